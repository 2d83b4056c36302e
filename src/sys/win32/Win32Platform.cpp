#include "sys/win32/Win32Platform.h"

#include <windows.h>

#include <cstddef>

namespace sys::win32 {

// The seam's records have the Win32 layouts.
static_assert(sizeof(DevMode) == offsetof(DEVMODEA, dmPanningWidth), "DevMode size");
static_assert(offsetof(DevMode, dmSpecVersion) == offsetof(DEVMODEA, dmSpecVersion), "DevMode");
static_assert(offsetof(DevMode, dmDriverExtra) == offsetof(DEVMODEA, dmDriverExtra), "DevMode");
static_assert(offsetof(DevMode, dmFields) == offsetof(DEVMODEA, dmFields), "DevMode");
static_assert(offsetof(DevMode, dmOrientation) == offsetof(DEVMODEA, dmOrientation), "DevMode");
static_assert(offsetof(DevMode, dmPrintQuality) == offsetof(DEVMODEA, dmPrintQuality), "DevMode");
static_assert(offsetof(DevMode, dmColor) == offsetof(DEVMODEA, dmColor), "DevMode");
static_assert(offsetof(DevMode, dmCollate) == offsetof(DEVMODEA, dmCollate), "DevMode");
static_assert(offsetof(DevMode, dmFormName) == offsetof(DEVMODEA, dmFormName), "DevMode");
static_assert(offsetof(DevMode, dmLogPixels) == offsetof(DEVMODEA, dmLogPixels), "DevMode");
static_assert(offsetof(DevMode, dmNup) == offsetof(DEVMODEA, dmNup), "DevMode");
static_assert(offsetof(DevMode, dmICMMethod) == offsetof(DEVMODEA, dmICMMethod), "DevMode");
static_assert(offsetof(DevMode, dmDitherType) == offsetof(DEVMODEA, dmDitherType), "DevMode");
static_assert(offsetof(DevMode, dmReserved2) == offsetof(DEVMODEA, dmReserved2), "DevMode");
static_assert(sizeof(Dcb) == sizeof(DCB), "Dcb size");
static_assert(offsetof(Dcb, BaudRate) == offsetof(DCB, BaudRate), "Dcb");
static_assert(offsetof(Dcb, wReserved) == offsetof(DCB, wReserved), "Dcb");
static_assert(offsetof(Dcb, ByteSize) == offsetof(DCB, ByteSize), "Dcb");
static_assert(offsetof(Dcb, StopBits) == offsetof(DCB, StopBits), "Dcb");
static_assert(offsetof(Dcb, EvtChar) == offsetof(DCB, EvtChar), "Dcb");
static_assert(offsetof(Dcb, wReserved1) == offsetof(DCB, wReserved1), "Dcb");

namespace {
HKEY H(RegHandle h) { return reinterpret_cast<HKEY>(h); }
}  // namespace

long Win32Registry::OpenKey(RegHandle root, const char* path, RegHandle* out) {
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(H(root), path, 0, KEY_ALL_ACCESS, &key);
    *out = rc == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(key) : 0;
    return rc;
}

long Win32Registry::CreateKey(RegHandle root, const char* path, const char* cls, RegHandle* out) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(H(root), path, 0, const_cast<char*>(cls), REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr);
    *out = rc == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(key) : 0;
    return rc;
}

long Win32Registry::CloseKey(RegHandle key) { return RegCloseKey(H(key)); }

long Win32Registry::DeleteKey(RegHandle root, const char* path) { return RegDeleteKeyA(H(root), path); }

long Win32Registry::QueryValue(RegHandle key, const char* name, std::uint32_t* type, void* data,
                               std::uint32_t* size) {
    DWORD t = 0;
    DWORD s = size ? *size : 0;
    LONG rc = RegQueryValueExA(H(key), name, nullptr, type ? &t : nullptr, static_cast<BYTE*>(data),
                               size ? &s : nullptr);
    if (type) *type = t;
    if (size) *size = s;
    return rc;
}

long Win32Registry::SetValue(RegHandle key, const char* name, std::uint32_t type, const void* data,
                             std::uint32_t size) {
    return RegSetValueExA(H(key), name, 0, type, static_cast<const BYTE*>(data), size);
}

long Win32Registry::EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLen,
                              std::uint32_t* type) {
    DWORD len = *nameLen;
    DWORD t = 0;
    LONG rc = RegEnumValueA(H(key), index, name, &len, nullptr, type ? &t : nullptr, nullptr, nullptr);
    *nameLen = len;
    if (type) *type = t;
    return rc;
}

std::uint32_t Win32Profile::GetPrivateString(const char* section, const char* key, const char* def,
                                             char* buffer, std::uint32_t size, const char* file) {
    return GetPrivateProfileStringA(section, key, def, buffer, size, file);
}

std::uint32_t Win32Files::ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) {
    SetLastError(0);
    DWORD n = GetModuleFileNameA(nullptr, buffer, size);
    *error = GetLastError();
    // Windows 2000 leaves a cut path without a terminator.
    if (size > 0 && n >= size) buffer[size - 1] = '\0';
    return n;
}

std::uint32_t Win32Files::CurrentDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) {
    SetLastError(0);
    DWORD n = GetCurrentDirectoryA(size, buffer);
    *error = GetLastError();
    return n;
}

std::uint32_t Win32Files::SystemDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) {
    SetLastError(0);
    UINT n = GetSystemDirectoryA(buffer, size);
    *error = GetLastError();
    return n;
}

std::uint32_t Win32Files::WindowsDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) {
    SetLastError(0);
    UINT n = GetWindowsDirectoryA(buffer, size);
    *error = GetLastError();
    return n;
}

bool Win32Files::Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) {
    BOOL ok = CopyFileA(source, destination, failIfExists ? TRUE : FALSE);
    *error = ok ? 0 : GetLastError();
    return ok != FALSE;
}

bool Win32Files::SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) {
    BOOL ok = SetFileAttributesA(path, attributes);
    *error = ok ? 0 : GetLastError();
    return ok != FALSE;
}

std::uint32_t Win32Files::GetAttributes(const char* path, std::uint32_t* error) {
    DWORD a = GetFileAttributesA(path);
    *error = a == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    return a;
}

bool Win32Files::OpenExisting(const char* path, std::uint32_t* error) {
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    CloseHandle(h);
    *error = 0;
    return true;
}

bool Win32Files::AppendFile(const char* path, const std::string& bytes, std::uint32_t* error) {
    HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    *error = 0;
    SetLastError(NO_ERROR);
    bool ok = SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
    DWORD written = 0;
    if (ok) ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
    if (!ok) *error = GetLastError();
    CloseHandle(h);
    return ok && written == bytes.size();
}

std::uint32_t Win32Files::TempPath(char* buffer, std::uint32_t size, std::uint32_t* error) {
    SetLastError(0);
    DWORD n = GetTempPathA(size, buffer);
    *error = GetLastError();
    return n;
}

}  // namespace sys::win32
