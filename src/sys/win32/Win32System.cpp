// Version, time, WIN.INI, broadcasts, restart and message boxes.
#include <windows.h>

#include <string>

#include "sys/win32/Resources.h"
#include "sys/win32/Win32Platform.h"

namespace sys::win32 {

bool Win32System::Version(OsVersion* version, std::uint32_t* error) {
    OSVERSIONINFOA v;
    ZeroMemory(&v, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;  // 148
    if (!GetVersionExA(&v)) {
        *error = GetLastError();
        return false;
    }
    *version = OsVersion{v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber, v.dwPlatformId};
    *error = 0;
    return true;
}

void Win32System::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

bool Win32System::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason, std::uint32_t* error) {
    BOOL ok = ::ExitWindowsEx(flags, reason);
    *error = ok ? 0 : GetLastError();
    return ok != FALSE;
}

bool Win32System::WriteProfileStringA(const char* section, const char* key, const char* value,
                                      std::uint32_t* error) {
    BOOL ok = ::WriteProfileStringA(section, key, value);
    *error = ok ? 0 : GetLastError();
    return ok != FALSE;
}

std::uint32_t Win32System::GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                                             std::uint32_t size) {
    return ::GetProfileStringA(section, key, def, buffer, size);
}

void Win32System::BroadcastWinIniChange(const char* section, std::uint32_t timeoutMs) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(section), SMTO_NORMAL,
                        timeoutMs, &result);
}

void Win32System::NotifyWinIniChange(const char* section) {
    SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(section));
}

SystemTime Win32System::GetLocalTime() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    return SystemTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

namespace {

UINT Style(MsgButtons buttons, MsgIcon icon) {
    UINT style = MB_OK;
    switch (buttons) {
        case MsgButtons::Ok: style = MB_OK; break;
        case MsgButtons::OkCancel: style = MB_OKCANCEL; break;
        case MsgButtons::YesNo: style = MB_YESNO; break;
        case MsgButtons::YesNoCancel: style = MB_YESNOCANCEL; break;
    }
    switch (icon) {
        case MsgIcon::None: break;
        case MsgIcon::Information: style |= MB_ICONINFORMATION; break;
        case MsgIcon::Warning: style |= MB_ICONWARNING; break;
        case MsgIcon::Error: style |= MB_ICONERROR; break;
        case MsgIcon::Question: style |= MB_ICONQUESTION; break;
    }
    return style;
}

// The caption: the program file's base name without its extension.
std::string Caption() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

MsgAnswer Show(std::uintptr_t owner, const std::string& text, MsgButtons buttons, MsgIcon icon) {
    int r = MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), Caption().c_str(), Style(buttons, icon));
    switch (r) {
        case IDYES: return MsgAnswer::Yes;
        case IDNO: return MsgAnswer::No;
        case IDCANCEL: return MsgAnswer::Cancel;
        default: return MsgAnswer::Ok;
    }
}

}  // namespace

MsgAnswer Win32MessageBox::ShowMessage(int id, const char* extra, MsgButtons buttons, MsgIcon icon) {
    return Show(owner, MessageText(id) + (extra ? extra : ""), buttons, icon);
}

std::string Win32MessageBox::MessageText(int id) { return LoadText(id); }

MsgAnswer Win32MessageBox::ShowText(const char* text, MsgButtons buttons, MsgIcon icon) {
    return Show(owner, text ? text : "", buttons, icon);
}

}  // namespace sys::win32
