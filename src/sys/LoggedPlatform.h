// A Platform that reports to a log what the installation does to the
// system: each decorator forwards every call to the interface it wraps and
// reports the calls that change the system (with what they were given that
// an administrator wants to know, their outcome and error code) and every
// message box with its text and answer.  Queries pass through unreported.
//
// Reported, by the Win32 function's name (the simulated machine's fault
// names): RegCreateKeyExA, RegSetValueExA, RegDeleteKeyA; CopyFileA,
// SetFileAttributesA; AddPrinterA, AddPrinterDriverA, AddMonitorA,
// AddPrintProcessorA, SetPrinterA, SetDefaultPrinterA; ControlService (the
// stop), StartServiceA; ExitWindowsEx, WriteProfileStringA; uWrite.
//
// Both builds use them over their own adapters: plain C++, no Windows API.
#pragma once

#include <map>
#include <string>

#include "sys/ForwardingFiles.h"
#include "sys/Platform.h"

namespace sys {

class LoggedRegistry final : public IRegistry {
public:
    LoggedRegistry(IRegistry& inner, ILog& log) : m_inner(inner), m_log(log) {}
    long OpenKey(RegHandle root, const char* path, RegHandle* out) override;
    long CreateKey(RegHandle root, const char* path, const char* cls, RegHandle* out) override;
    long CloseKey(RegHandle key) override;
    long DeleteKey(RegHandle root, const char* path) override;
    long QueryValue(RegHandle key, const char* name, std::uint32_t* type, void* data, std::uint32_t* size) override {
        return m_inner.QueryValue(key, name, type, data, size);
    }
    long SetValue(RegHandle key, const char* name, std::uint32_t type, const void* data, std::uint32_t size) override;
    long EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLen,
                   std::uint32_t* type) override {
        return m_inner.EnumValue(key, index, name, nameLen, type);
    }

private:
    // "HKLM\SOFTWARE\...": a predefined root's short name, or the path an
    // open key was opened under, followed by `path`.
    std::string KeyPath(RegHandle root, const char* path) const;

    IRegistry& m_inner;
    ILog& m_log;
    std::map<RegHandle, std::string> m_keys;  // open keys by handle
};

// The log's own writing (AppendFile) is not reported.
class LoggedFiles final : public ForwardingFiles {
public:
    LoggedFiles(IFiles& inner, ILog& log) : ForwardingFiles(inner), m_log(log) {}
    bool Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) override;
    bool SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) override;

private:
    ILog& m_log;
};

class LoggedSpooler final : public ISpooler {
public:
    LoggedSpooler(ISpooler& inner, ILog& log) : m_inner(inner), m_log(log) {}
    bool AddPrinterA(const PrinterInfo2& info, std::uint32_t level, PrinterHandle* handle,
                     std::uint32_t* error) override;
    bool ClosePrinter(PrinterHandle handle, std::uint32_t* error) override;
    bool AddPrinterDriverA(const DriverInfo3& info, std::uint32_t* error) override;
    bool AddMonitorA(const MonitorInfo2& info, std::uint32_t* error) override;
    bool AddPrintProcessorA(const std::optional<std::string>& environment, const char* pathName,
                            const char* processorName, std::uint32_t* error) override;
    bool EnumPortsA(std::uint32_t bufferSize, std::vector<std::string>* ports, std::uint32_t* needed,
                    std::uint32_t* error) override {
        return m_inner.EnumPortsA(bufferSize, ports, needed, error);
    }
    bool PrinterDriverDirectory(std::string* directory, std::uint32_t* error) override {
        return m_inner.PrinterDriverDirectory(directory, error);
    }
    bool PrintProcessorDirectory(std::string* directory, std::uint32_t* error) override {
        return m_inner.PrintProcessorDirectory(directory, error);
    }
    bool OpenPrinterA(const char* name, PrinterHandle* handle, std::uint32_t* error) override;
    bool GetPrinterA(PrinterHandle handle, std::uint32_t bufferSize, PrinterInfo2* info, std::uint32_t* needed,
                     std::uint32_t* error) override {
        return m_inner.GetPrinterA(handle, bufferSize, info, needed, error);
    }
    bool SetPrinterA(PrinterHandle handle, const PrinterInfo2& info, std::uint32_t* error) override;
    DefaultResult SetDefaultPrinterA(const char* name, std::uint32_t* error) override;

private:
    ISpooler& m_inner;
    ILog& m_log;
    std::map<PrinterHandle, std::string> m_printers;  // open printers by handle
};

class LoggedServices final : public IServices {
public:
    LoggedServices(IServices& inner, ILog& log) : m_inner(inner), m_log(log) {}
    ServiceHandle OpenManager(std::uint32_t access, std::uint32_t* error) override {
        return m_inner.OpenManager(access, error);
    }
    ServiceHandle OpenServiceA(ServiceHandle manager, const char* name, std::uint32_t access,
                               std::uint32_t* error) override;
    bool Stop(ServiceHandle service, std::uint32_t* error) override;
    bool Start(ServiceHandle service, std::uint32_t* error) override;
    bool QueryState(ServiceHandle service, std::uint32_t* state, std::uint32_t* error) override {
        return m_inner.QueryState(service, state, error);
    }
    bool Close(ServiceHandle handle) override;

private:
    std::string Name(ServiceHandle service) const;

    IServices& m_inner;
    ILog& m_log;
    std::map<ServiceHandle, std::string> m_services;  // open services by handle
};

class LoggedSystem final : public ISystem {
public:
    LoggedSystem(ISystem& inner, ILog& log) : m_inner(inner), m_log(log) {}
    bool Version(OsVersion* version, std::uint32_t* error) override { return m_inner.Version(version, error); }
    void Sleep(std::uint32_t milliseconds) override { m_inner.Sleep(milliseconds); }
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason, std::uint32_t* error) override;
    bool WriteProfileStringA(const char* section, const char* key, const char* value, std::uint32_t* error) override;
    std::uint32_t GetProfileStringA(const char* section, const char* key, const char* def, char* buffer,
                                    std::uint32_t size) override {
        return m_inner.GetProfileStringA(section, key, def, buffer, size);
    }
    void BroadcastWinIniChange(const char* section, std::uint32_t timeoutMs) override {
        m_inner.BroadcastWinIniChange(section, timeoutMs);
    }
    void NotifyWinIniChange(const char* section) override { m_inner.NotifyWinIniChange(section); }
    SystemTime GetLocalTime() override { return m_inner.GetLocalTime(); }

private:
    ISystem& m_inner;
    ILog& m_log;
};

class LoggedMessageBox final : public IMessageBox {
public:
    LoggedMessageBox(IMessageBox& inner, ILog& log) : m_inner(inner), m_log(log) {}
    MsgAnswer ShowMessage(int id, const char* extra, MsgButtons buttons, MsgIcon icon) override;
    MsgAnswer ShowText(const char* text, MsgButtons buttons, MsgIcon icon) override;
    std::string MessageText(int id) override { return m_inner.MessageText(id); }

private:
    IMessageBox& m_inner;
    ILog& m_log;
};

class LoggedUsbLibrary final : public IUsbLibrary {
public:
    LoggedUsbLibrary(IUsbLibrary& inner, ILog& log) : m_inner(inner), m_log(log) {}
    LibraryHandle LoadLibraryA(const char* name, std::uint32_t* error) override {
        return m_inner.LoadLibraryA(name, error);
    }
    bool HasExport(LibraryHandle library, const char* name) override { return m_inner.HasExport(library, name); }
    void FreeLibrary(LibraryHandle library) override { m_inner.FreeLibrary(library); }
    int OpenDeviceX(LibraryHandle library, int index) override { return m_inner.OpenDeviceX(library, index); }
    void CloseDevice(LibraryHandle library, int handle) override { m_inner.CloseDevice(library, handle); }
    int GetDescriptor(LibraryHandle library, int handle, std::uint8_t* buffer20) override {
        return m_inner.GetDescriptor(library, handle, buffer20);
    }
    int uWrite(LibraryHandle library, int handle, int zero, const std::uint8_t* data, int length) override;

private:
    IUsbLibrary& m_inner;
    ILog& m_log;
};

// `inner` with every interface wrapped and `log` as its log.  Not copied or
// moved: the bundle refers to its own members.
class LoggedPlatform {
public:
    LoggedPlatform(const Platform& inner, ILog& log);
    LoggedPlatform(const LoggedPlatform&) = delete;
    LoggedPlatform& operator=(const LoggedPlatform&) = delete;

    Platform platform() {
        return Platform{m_registry, m_inner.profile, m_files, m_spooler, m_services, m_system, m_messages, m_usb, m_log};
    }

private:
    Platform m_inner;
    ILog& m_log;
    LoggedRegistry m_registry;
    LoggedFiles m_files;
    LoggedSpooler m_spooler;
    LoggedServices m_services;
    LoggedSystem m_system;
    LoggedMessageBox m_messages;
    LoggedUsbLibrary m_usb;
};

}  // namespace sys
