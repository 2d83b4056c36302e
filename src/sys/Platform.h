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
#include <optional>
#include <string>
#include <vector>

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

// The text that GetPrivateString left in `buffer` with the count it
// returned: at most `count` bytes and never past the first NUL.  A value
// cut inside a two-byte character comes back as its whole characters with
// a count that also covers the byte left unwritten.
inline std::string ProfileText(const char* buffer, std::uint32_t count) { return TextBeforeNul(buffer, count); }

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

    // CreateFileA(path, GENERIC_WRITE, share read, OPEN_ALWAYS),
    // SetFilePointer to its end, WriteFile and CloseHandle: `bytes` appended
    // to the file, which is created when missing.  Windows 98 has no
    // append-only access, hence the explicit seek.
    virtual bool AppendFile(const char* path, const std::string& bytes, std::uint32_t* error) = 0;
    // GetTempPathA: the temporary folder with its trailing backslash; the
    // length copied, or the size needed when the buffer is too small; 0 on
    // failure.
    virtual std::uint32_t TempPath(char* buffer, std::uint32_t size, std::uint32_t* error) = 0;
};

constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
constexpr std::uint32_t kFileAttributeHidden = 0x02;
constexpr std::uint32_t kFileAttributeSystem = 0x04;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// `path` names a file that is there and is not a folder.
inline bool IsFile(IFiles& files, const std::string& path) {
    std::uint32_t error = 0;
    const std::uint32_t attributes = files.GetAttributes(path.c_str(), &error);
    return attributes != kInvalidFileAttributes && (attributes & kFileAttributeDirectory) == 0;
}

// Handles of the spooler and of the service control manager; 0 is none.
using PrinterHandle = std::uintptr_t;
using ServiceHandle = std::uintptr_t;

// The print spooler on the local machine (no server name anywhere).  Each
// method is one winspool call; on failure *error holds GetLastError().
class ISpooler {
public:
    virtual ~ISpooler() = default;

    // AddPrinterA(NULL, level, info); the handle is closed by ClosePrinter.
    virtual bool AddPrinterA(const PrinterInfo2& info, std::uint32_t level, PrinterHandle* handle,
                            std::uint32_t* error) = 0;
    virtual bool ClosePrinter(PrinterHandle handle, std::uint32_t* error) = 0;
    // AddPrinterDriverA(NULL, 3, info).
    virtual bool AddPrinterDriverA(const DriverInfo3& info, std::uint32_t* error) = 0;
    // AddMonitorA(NULL, 2, info).
    virtual bool AddMonitorA(const MonitorInfo2& info, std::uint32_t* error) = 0;
    // AddPrintProcessorA(NULL, environment, pathName, processorName).
    virtual bool AddPrintProcessorA(const std::optional<std::string>& environment, const char* pathName,
                                   const char* processorName, std::uint32_t* error) = 0;
    // EnumPortsA(NULL, 1, buffer of bufferSize bytes, ...): the port names
    // on success; *needed is the size the spooler asked for.  A buffer that
    // cannot be allocated fails with ERROR_NOT_ENOUGH_MEMORY.
    virtual bool EnumPortsA(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed,
                           std::uint32_t* error) = 0;
    // GetPrinterDriverDirectoryA / GetPrintProcessorDirectoryA(NULL, NULL
    // environment, 1, ...): the directory of the running system.
    virtual bool PrinterDriverDirectory(std::string* directory, std::uint32_t* error) = 0;
    virtual bool PrintProcessorDirectory(std::string* directory, std::uint32_t* error) = 0;
    // OpenPrinterA(name, handle, no defaults).
    virtual bool OpenPrinterA(const char* name, PrinterHandle* handle, std::uint32_t* error) = 0;
    // GetPrinterA(handle, 2, buffer of bufferSize bytes, ...): with size 0
    // only *needed is learnt (and the call fails with 122).
    virtual bool GetPrinterA(PrinterHandle handle, std::uint32_t bufferSize, PrinterInfo2* info,
                            std::uint32_t* needed, std::uint32_t* error) = 0;
    // SetPrinterA(handle, 2, info, 0).
    virtual bool SetPrinterA(PrinterHandle handle, const PrinterInfo2& info, std::uint32_t* error) = 0;

    enum class DefaultResult { Set, Refused, NoLibrary, NoFunction };
    // LoadLibraryA("winspool.drv"), GetProcAddress("SetDefaultPrinterA"),
    // the call and FreeLibrary: older systems lack the function.
    virtual DefaultResult SetDefaultPrinterA(const char* name, std::uint32_t* error) = 0;
};

// Service states and the rights the installer asks for.
enum : std::uint32_t {
    kServiceStopped = 1,
    kServiceStartPending = 2,
    kServiceStopPending = 3,
    kServiceRunning = 4,
    kScManagerAllAccess = 0xF003F,
    kServiceStop = 0x0020,
    kServiceStart = 0x0010,
    kServiceQueryStatus = 0x0004,
    kErrorServiceAlreadyRunning = 1056,
    kErrorServiceNotActive = 1062,
};

// The service control manager of the local machine.
class IServices {
public:
    virtual ~IServices() = default;

    // OpenSCManagerA(NULL, NULL, access); 0 on failure.
    virtual ServiceHandle OpenManager(std::uint32_t access, std::uint32_t* error) = 0;
    // OpenServiceA(manager, name, access); 0 on failure.
    virtual ServiceHandle OpenServiceA(ServiceHandle manager, const char* name, std::uint32_t access,
                                      std::uint32_t* error) = 0;
    // ControlService(service, SERVICE_CONTROL_STOP, status).
    virtual bool Stop(ServiceHandle service, std::uint32_t* error) = 0;
    // StartServiceA(service, 0, NULL).
    virtual bool Start(ServiceHandle service, std::uint32_t* error) = 0;
    // QueryServiceStatus: the current state.
    virtual bool QueryState(ServiceHandle service, std::uint32_t* state, std::uint32_t* error) = 0;
    virtual bool Close(ServiceHandle handle) = 0;
};

struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;  // 1: Windows 95/98/Me, 2: NT family
};

// SYSTEMTIME, as GetLocalTime fills it (without the day of the week).
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// The system's version, time and system-wide effects.
class ISystem {
public:
    virtual ~ISystem() = default;

    // GetVersionExA with OSVERSIONINFOA (size 148).
    virtual bool Version(OsVersion* version, std::uint32_t* error) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // ExitWindowsEx(flags, reason).
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason, std::uint32_t* error) = 0;
    // WriteProfileStringA(section, key, value): WIN.INI; all three null
    // flushes the profile cache.
    virtual bool WriteProfileStringA(const char* section, const char* key, const char* value,
                                    std::uint32_t* error) = 0;
    // GetProfileStringA(section, key, def, buffer, size): WIN.INI.
    virtual std::uint32_t GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                                           std::uint32_t size) = 0;
    // SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, section or
    // NULL, SMTO_NORMAL, timeout, result).
    virtual void BroadcastWinIniChange(const char* section, std::uint32_t timeoutMs) = 0;
    // SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, section):
    // without waiting for the receivers.
    virtual void NotifyWinIniChange(const char* section) = 0;
    // GetLocalTime.
    virtual SystemTime GetLocalTime() = 0;
};

constexpr std::uint32_t kEwxReboot = 2;

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// Modal message boxes with the program's base name as caption.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;

    // The string-table text `id`, directly followed by `extra` when given.
    virtual MsgAnswer ShowMessage(int id, const char* extra, MsgButtons buttons, MsgIcon icon) = 0;
    // A text of the program's own (the fixed English texts, a path).
    virtual MsgAnswer ShowText(const char* text, MsgButtons buttons, MsgIcon icon) = 0;
    // The string-table text `id` that ShowMessage shows (LoadStringA on the
    // program's module); empty when there is none.
    virtual std::string MessageText(int id) = 0;
};

using LibraryHandle = std::uintptr_t;

// The maker's USB interface library, loaded by file name for each use.  Its
// functions are looked up by name; calling one that is not there is not
// allowed (check with HasExport first).
class IUsbLibrary {
public:
    virtual ~IUsbLibrary() = default;

    // LoadLibraryA(name); 0 on failure.
    virtual LibraryHandle LoadLibraryA(const char* name, std::uint32_t* error) = 0;
    // GetProcAddress(library, name) != NULL.
    virtual bool HasExport(LibraryHandle library, const char* name) = 0;
    virtual void FreeLibrary(LibraryHandle library) = 0;

    // The library's functions: OpenDeviceX(index) gives a handle, 0 or -1
    // when no device is there; GetDescriptor fills 20 bytes with the USB
    // device descriptor, non-zero on success; uWrite(handle, 0, data,
    // length) is greater than 0 on success.
    virtual int OpenDeviceX(LibraryHandle library, int index) = 0;
    virtual void CloseDevice(LibraryHandle library, int handle) = 0;
    virtual int GetDescriptor(LibraryHandle library, int handle, std::uint8_t* buffer20) = 0;
    virtual int uWrite(LibraryHandle library, int handle, int zero, const std::uint8_t* data, int length) = 0;
};

// The installation log: what the installation did, for the administrator.
// The core marks the steps of the installation; the decorators of
// sys/LoggedPlatform.h report the calls that change the system and every
// message box.  Nothing here can fail: a sink that cannot write drops the
// line, and the installation goes on as without a log.
class ILog {
public:
    virtual ~ILog() = default;

    // A step of the installation begins: a stable short English name (the
    // list is in install/Installation.h).
    virtual void Step(const char* name) = 0;
    // A call that changes the system: the Win32 function's name, what it was
    // given that is worth knowing (a path, a key, a printer name), whether it
    // succeeded and its error code.
    virtual void Call(const char* function, const std::string& arguments, bool ok, std::uint32_t error) = 0;
    // A message box: its string-table id (0 for a text of the program's
    // own), its whole text, its buttons and the answer given.
    virtual void Message(int id, const std::string& text, MsgButtons buttons, MsgAnswer answer) = 0;
    // A line of its own, such as how the installation ended.
    virtual void Note(const std::string& text) = 0;
};

// A log that drops everything: the one a Platform has unless given another.
ILog& NullLog();

// Everything the core may ask of the operating system, by reference.
struct Platform {
    IRegistry& registry;
    IProfile& profile;
    IFiles& files;
    ISpooler& spooler;
    IServices& services;
    ISystem& system;
    IMessageBox& messages;
    IUsbLibrary& usb;
    ILog& log = NullLog();

    // The same bundle with another view of the files (a program path of the
    // caller's choosing, say).
    Platform WithFiles(IFiles& other) const {
        return Platform{registry, profile, other, spooler, services, system, messages, usb, log};
    }
};

}  // namespace sys
