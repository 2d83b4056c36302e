// The real adapters: each method is one Win32 call.
#pragma once

#include "sys/Platform.h"

namespace sys::win32 {

class Win32Registry final : public IRegistry {
public:
    long OpenKey(RegHandle root, const char* path, RegHandle* out) override;
    long CreateKey(RegHandle root, const char* path, const char* cls, RegHandle* out) override;
    long CloseKey(RegHandle key) override;
    long DeleteKey(RegHandle root, const char* path) override;
    long QueryValue(RegHandle key, const char* name, std::uint32_t* type, void* data,
                    std::uint32_t* size) override;
    long SetValue(RegHandle key, const char* name, std::uint32_t type, const void* data,
                  std::uint32_t size) override;
    long EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLen,
                   std::uint32_t* type) override;
};

class Win32Profile final : public IProfile {
public:
    std::uint32_t GetPrivateString(const char* section, const char* key, const char* def, char* buffer,
                                   std::uint32_t size, const char* file) override;
};

class Win32Files final : public IFiles {
public:
    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t CurrentDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t SystemDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    std::uint32_t WindowsDirectory(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    bool Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) override;
    bool SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) override;
    std::uint32_t GetAttributes(const char* path, std::uint32_t* error) override;
    bool OpenExisting(const char* path, std::uint32_t* error) override;
    bool AppendFile(const char* path, const std::string& bytes, std::uint32_t* error) override;
    std::uint32_t TempPath(char* buffer, std::uint32_t size, std::uint32_t* error) override;
};

class Win32Spooler final : public ISpooler {
public:
    bool AddPrinterA(const PrinterInfo2& info, std::uint32_t level, PrinterHandle* handle,
                     std::uint32_t* error) override;
    bool ClosePrinter(PrinterHandle handle, std::uint32_t* error) override;
    bool AddPrinterDriverA(const DriverInfo3& info, std::uint32_t* error) override;
    bool AddMonitorA(const MonitorInfo2& info, std::uint32_t* error) override;
    bool AddPrintProcessorA(const std::optional<std::string>& environment, const char* pathName,
                            const char* processorName, std::uint32_t* error) override;
    bool EnumPortsA(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed,
                    std::uint32_t* error) override;
    bool PrinterDriverDirectory(std::string* directory, std::uint32_t* error) override;
    bool PrintProcessorDirectory(std::string* directory, std::uint32_t* error) override;
    bool OpenPrinterA(const char* name, PrinterHandle* handle, std::uint32_t* error) override;
    bool GetPrinterA(PrinterHandle handle, std::uint32_t bufferSize, PrinterInfo2* info, std::uint32_t* needed,
                     std::uint32_t* error) override;
    bool SetPrinterA(PrinterHandle handle, const PrinterInfo2& info, std::uint32_t* error) override;
    DefaultResult SetDefaultPrinterA(const char* name, std::uint32_t* error) override;
};

class Win32Services final : public IServices {
public:
    ServiceHandle OpenManager(std::uint32_t access, std::uint32_t* error) override;
    ServiceHandle OpenServiceA(ServiceHandle manager, const char* name, std::uint32_t access,
                               std::uint32_t* error) override;
    bool Stop(ServiceHandle service, std::uint32_t* error) override;
    bool Start(ServiceHandle service, std::uint32_t* error) override;
    bool QueryState(ServiceHandle service, std::uint32_t* state, std::uint32_t* error) override;
    bool Close(ServiceHandle handle) override;
};

class Win32System final : public ISystem {
public:
    bool Version(OsVersion* version, std::uint32_t* error) override;
    void Sleep(std::uint32_t milliseconds) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason, std::uint32_t* error) override;
    bool WriteProfileStringA(const char* section, const char* key, const char* value, std::uint32_t* error) override;
    std::uint32_t GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                                    std::uint32_t size) override;
    void BroadcastWinIniChange(const char* section, std::uint32_t timeoutMs) override;
    void NotifyWinIniChange(const char* section) override;
    SystemTime GetLocalTime() override;
};

// Message boxes with string-table texts of the running program, owned by
// `owner` (a window handle, or 0 before the wizard has one).
class Win32MessageBox final : public IMessageBox {
public:
    MsgAnswer ShowMessage(int id, const char* extra, MsgButtons buttons, MsgIcon icon) override;
    MsgAnswer ShowText(const char* text, MsgButtons buttons, MsgIcon icon) override;
    std::string MessageText(int id) override;
    std::uintptr_t owner = 0;
};

class Win32UsbLibrary final : public IUsbLibrary {
public:
    LibraryHandle LoadLibraryA(const char* name, std::uint32_t* error) override;
    bool HasExport(LibraryHandle library, const char* name) override;
    void FreeLibrary(LibraryHandle library) override;
    int OpenDeviceX(LibraryHandle library, int index) override;
    void CloseDevice(LibraryHandle library, int handle) override;
    int GetDescriptor(LibraryHandle library, int handle, std::uint8_t* buffer20) override;
    int uWrite(LibraryHandle library, int handle, int zero, const std::uint8_t* data, int length) override;
};

// The adapters of the running system, bundled.
class Win32Platform {
public:
    Platform platform() {
        return Platform{m_registry, m_profile, m_files, m_spooler, m_services, m_system, m_messages, m_usb};
    }
    Win32MessageBox& messages() { return m_messages; }

private:
    Win32Registry m_registry;
    Win32Profile m_profile;
    Win32Files m_files;
    Win32Spooler m_spooler;
    Win32Services m_services;
    Win32System m_system;
    Win32MessageBox m_messages;
    Win32UsbLibrary m_usb;
};

}  // namespace sys::win32
