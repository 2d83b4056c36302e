// The seam between the installer's core and the operating system.
//
// The core reaches Windows only through these interfaces, handed to it in a
// Platform bundle.  Each method stands for one Win32 call (or one tightly
// bound group of calls) and returns what that call returns, with the error
// code where Windows would leave it in GetLastError().  Policy stays in the
// core: the adapters in sys/win32 only call Windows, and the simulated
// machine in sys/sim reproduces what Windows answers.
#pragma once

#include <cstdint>

#include "sys/Types.h"

namespace sys {

// Registry key handle: a predefined root (kHKeyLocalMachine, ...) or a key
// that OpenKey/CreateKey handed out.  0 is no key.
using RegHandle = std::uintptr_t;

constexpr RegHandle kHKeyClassesRoot = 0x80000000u;
constexpr RegHandle kHKeyCurrentUser = 0x80000001u;
constexpr RegHandle kHKeyLocalMachine = 0x80000002u;
constexpr RegHandle kHKeyUsers = 0x80000003u;

// Win32 error codes the core and the simulated machine use.
enum : std::uint32_t {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorSharingViolation = 32,
    kErrorFileExists = 80,
    kErrorInvalidParameter = 87,
    kErrorInsufficientBuffer = 122,
    kErrorBadPathname = 161,
    kErrorMoreData = 234,
    kErrorNoMoreItems = 259,
    kErrorKeyDeleted = 1018,
};

// Registry value types.
enum : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

// The registry, as RegOpenKeyExA and friends.  Every method returns the
// Win32 status code (0 on success).  Keys are opened with KEY_ALL_ACCESS.
class IRegistry {
public:
    virtual ~IRegistry() = default;

    // RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, out); *out is 0 on failure.
    virtual long OpenKey(RegHandle root, const char* path, RegHandle* out) = 0;
    // RegCreateKeyExA(root, path, 0, cls, REG_OPTION_NON_VOLATILE,
    // KEY_ALL_ACCESS, no security attributes, out, no disposition).
    virtual long CreateKey(RegHandle root, const char* path, const char* cls, RegHandle* out) = 0;
    // RegCloseKey.
    virtual long CloseKey(RegHandle key) = 0;
    // RegDeleteKeyA: the key must have no subkeys.
    virtual long DeleteKey(RegHandle root, const char* path) = 0;
    // RegQueryValueExA(key, name, 0, type, data, size).  type and data may be
    // null; size is in and out (bytes).
    virtual long QueryValue(RegHandle key, const char* name, std::uint32_t* type, void* data,
                            std::uint32_t* size) = 0;
    // RegSetValueExA(key, name, 0, type, data, size).
    virtual long SetValue(RegHandle key, const char* name, std::uint32_t type, const void* data,
                          std::uint32_t size) = 0;
    // RegEnumValueA(key, index, name, nameLen, 0, type, no data, no size).
    // nameLen is in characters: in the buffer size, out the name length.
    virtual long EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLen,
                           std::uint32_t* type) = 0;
};

// Profile files, as GetPrivateProfileStringA.
class IProfile {
public:
    virtual ~IProfile() = default;

    // GetPrivateProfileStringA(section, key, def, buffer, size, file): the
    // number of characters copied, not counting the terminator.  A bare file
    // name means a file in the Windows directory.
    virtual std::uint32_t GetPrivateString(const char* section, const char* key, const char* def,
                                           char* buffer, std::uint32_t size, const char* file) = 0;
};

// The running program and its files.
class IFiles {
public:
    virtual ~IFiles() = default;

    // GetModuleFileNameA(NULL, buffer, size): the length copied.  A path that
    // does not fit is cut to size - 1 characters and size is returned, as on
    // Windows XP and later (older systems may leave no terminator; the
    // adapter always terminates).  0 on failure, with the error in *error.
    virtual std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) = 0;

    // GetCurrentDirectoryA, GetSystemDirectoryA, GetWindowsDirectoryA: the
    // length copied without the terminator; when the buffer is too small,
    // the size needed with the terminator and nothing copied; 0 on failure.
    virtual std::uint32_t CurrentDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) = 0;
    virtual std::uint32_t SystemDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) = 0;
    virtual std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) = 0;

    // CopyFileA(source, destination, failIfExists).
    virtual bool Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) = 0;
    // SetFileAttributesA / GetFileAttributesA (kInvalidFileAttributes on failure).
    virtual bool SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) = 0;
    virtual std::uint32_t GetAttributes(const char* path, std::uint32_t* error) = 0;
    // CreateFileA(path, no access, share read and write, OPEN_EXISTING) and
    // CloseHandle: whether the file could be opened.
    virtual bool OpenExisting(const char* path, std::uint32_t* error) = 0;
};

constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
constexpr std::uint32_t kFileAttributeHidden = 0x02;
constexpr std::uint32_t kFileAttributeSystem = 0x04;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// Everything the core may ask of the operating system, by reference.
struct Platform {
    IRegistry& registry;
    IProfile& profile;
    IFiles& files;
};

}  // namespace sys
