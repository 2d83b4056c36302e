#include "sys/LoggedPlatform.h"

#include <cstdio>
#include <cstring>

namespace sys {

namespace {

std::string Quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : std::string("null"); }
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

std::string Environment(const std::optional<std::string>& environment) {
    return environment ? Quoted(*environment) : std::string("default");
}

const char* RootName(RegHandle root) {
    switch (root) {
        case kHKeyClassesRoot: return "HKCR";
        case kHKeyCurrentUser: return "HKCU";
        case kHKeyLocalMachine: return "HKLM";
        case kHKeyUsers: return "HKU";
    }
    return nullptr;
}

// A registry value as it was written: a number, a text, a list, or its size.
std::string ValueText(std::uint32_t type, const void* data, std::uint32_t size) {
    const char* bytes = static_cast<const char*>(data);
    if (!bytes) return "no data";
    switch (type) {
        case kRegDword:
            if (size == 4) {
                std::uint32_t value = 0;
                std::memcpy(&value, bytes, 4);
                return "REG_DWORD " + std::to_string(value);
            }
            break;
        case kRegSz:
        case kRegExpandSz:
            return std::string(type == kRegSz ? "REG_SZ " : "REG_EXPAND_SZ ") +
                   Quoted(TextBeforeNul(bytes, size));
        case kRegMultiSz: {
            std::string out = "REG_MULTI_SZ";
            std::uint32_t at = 0;
            const char* separator = " ";
            while (at < size && bytes[at]) {
                const std::string item = TextBeforeNul(bytes + at, size - at);
                out += separator + Quoted(item);
                separator = ", ";
                at += static_cast<std::uint32_t>(item.size()) + 1;
            }
            return out;
        }
        default: break;
    }
    return "type " + std::to_string(type) + ", " + std::to_string(size) + " bytes";
}

}  // namespace

// ---- Registry ----------------------------------------------------------

std::string LoggedRegistry::KeyPath(RegHandle root, const char* path) const {
    std::string base;
    if (const char* name = RootName(root)) {
        base = name;
    } else {
        auto it = m_keys.find(root);
        base = it != m_keys.end() ? it->second : "key " + Hex(static_cast<std::uint32_t>(root));
    }
    if (path && *path) base += std::string("\\") + path;
    return base;
}

long LoggedRegistry::OpenKey(RegHandle root, const char* path, RegHandle* out) {
    const long rc = m_inner.OpenKey(root, path, out);
    if (rc == 0 && *out) m_keys[*out] = KeyPath(root, path);
    return rc;
}

long LoggedRegistry::CreateKey(RegHandle root, const char* path, const char* cls, RegHandle* out) {
    const std::string key = KeyPath(root, path);
    const long rc = m_inner.CreateKey(root, path, cls, out);
    m_log.Call("RegCreateKeyExA", Quoted(key), rc == 0, static_cast<std::uint32_t>(rc));
    if (rc == 0 && *out) m_keys[*out] = key;
    return rc;
}

long LoggedRegistry::CloseKey(RegHandle key) {
    m_keys.erase(key);
    return m_inner.CloseKey(key);
}

long LoggedRegistry::DeleteKey(RegHandle root, const char* path) {
    const long rc = m_inner.DeleteKey(root, path);
    m_log.Call("RegDeleteKeyA", Quoted(KeyPath(root, path)), rc == 0, static_cast<std::uint32_t>(rc));
    return rc;
}

long LoggedRegistry::SetValue(RegHandle key, const char* name, std::uint32_t type, const void* data,
                              std::uint32_t size) {
    const long rc = m_inner.SetValue(key, name, type, data, size);
    const std::string value = name && *name ? Quoted(name) : std::string("(default)");
    m_log.Call("RegSetValueExA", Quoted(KeyPath(key, nullptr)) + ", " + value + ", " + ValueText(type, data, size),
               rc == 0, static_cast<std::uint32_t>(rc));
    return rc;
}

// ---- Files -------------------------------------------------------------

bool LoggedFiles::Copy(const char* source, const char* destination, bool failIfExists, std::uint32_t* error) {
    const bool ok = m_inner.Copy(source, destination, failIfExists, error);
    m_log.Call("CopyFileA",
               Quoted(source) + ", " + Quoted(destination) + (failIfExists ? ", fail if it exists" : ", overwrite"), ok,
               *error);
    return ok;
}

bool LoggedFiles::SetAttributes(const char* path, std::uint32_t attributes, std::uint32_t* error) {
    const bool ok = m_inner.SetAttributes(path, attributes, error);
    m_log.Call("SetFileAttributesA", Quoted(path) + ", " + Hex(attributes), ok, *error);
    return ok;
}

// ---- Spooler -----------------------------------------------------------

bool LoggedSpooler::AddPrinterA(const PrinterInfo2& info, std::uint32_t level, PrinterHandle* handle,
                                std::uint32_t* error) {
    const bool ok = m_inner.AddPrinterA(info, level, handle, error);
    m_log.Call("AddPrinterA",
               "level " + std::to_string(level) + ", printer " + Quoted(info.pPrinterName) + ", port " +
                   Quoted(info.pPortName) + ", driver " + Quoted(info.pDriverName) + ", processor " +
                   Quoted(info.pPrintProcessor) + ", attributes " + Hex(info.Attributes),
               ok, *error);
    if (ok && *handle) m_printers[*handle] = info.pPrinterName;
    return ok;
}

bool LoggedSpooler::ClosePrinter(PrinterHandle handle, std::uint32_t* error) {
    m_printers.erase(handle);
    return m_inner.ClosePrinter(handle, error);
}

bool LoggedSpooler::AddPrinterDriverA(const DriverInfo3& info, std::uint32_t* error) {
    const bool ok = m_inner.AddPrinterDriverA(info, error);
    m_log.Call("AddPrinterDriverA",
               "level 3, driver " + Quoted(info.pName) + ", version " + std::to_string(info.cVersion) +
                   ", environment " + Environment(info.pEnvironment) + ", file " + Quoted(info.pDriverPath) +
                   ", data " + Quoted(info.pDataFile) + ", ui " + Quoted(info.pConfigFile) + ", monitor " +
                   Quoted(info.pMonitorName),
               ok, *error);
    return ok;
}

bool LoggedSpooler::AddMonitorA(const MonitorInfo2& info, std::uint32_t* error) {
    const bool ok = m_inner.AddMonitorA(info, error);
    m_log.Call("AddMonitorA",
               "level 2, monitor " + Quoted(info.pName) + ", environment " + Environment(info.pEnvironment) +
                   ", dll " + Quoted(info.pDLLName),
               ok, *error);
    return ok;
}

bool LoggedSpooler::AddPrintProcessorA(const std::optional<std::string>& environment, const char* pathName,
                                       const char* processorName, std::uint32_t* error) {
    const bool ok = m_inner.AddPrintProcessorA(environment, pathName, processorName, error);
    m_log.Call("AddPrintProcessorA",
               "environment " + Environment(environment) + ", dll " + Quoted(pathName) + ", processor " +
                   Quoted(processorName),
               ok, *error);
    return ok;
}

bool LoggedSpooler::OpenPrinterA(const char* name, PrinterHandle* handle, std::uint32_t* error) {
    const bool ok = m_inner.OpenPrinterA(name, handle, error);
    if (ok && *handle) m_printers[*handle] = name ? name : "";
    return ok;
}

bool LoggedSpooler::SetPrinterA(PrinterHandle handle, const PrinterInfo2& info, std::uint32_t* error) {
    const bool ok = m_inner.SetPrinterA(handle, info, error);
    auto it = m_printers.find(handle);
    const std::string printer = it != m_printers.end() ? Quoted(it->second) : "handle " + Hex(static_cast<std::uint32_t>(handle));
    m_log.Call("SetPrinterA",
               "printer " + printer + ", level 2, port " + Quoted(info.pPortName) + ", attributes " +
                   Hex(info.Attributes),
               ok, *error);
    return ok;
}

ISpooler::DefaultResult LoggedSpooler::SetDefaultPrinterA(const char* name, std::uint32_t* error) {
    const DefaultResult r = m_inner.SetDefaultPrinterA(name, error);
    std::string arguments = Quoted(name);
    if (r == DefaultResult::NoLibrary) arguments += "; winspool.drv did not load";
    if (r == DefaultResult::NoFunction) arguments += "; this system has no SetDefaultPrinterA";
    m_log.Call("SetDefaultPrinterA", arguments, r == DefaultResult::Set, r == DefaultResult::Set ? 0 : *error);
    return r;
}

// ---- Services ----------------------------------------------------------

ServiceHandle LoggedServices::OpenServiceA(ServiceHandle manager, const char* name, std::uint32_t access,
                                           std::uint32_t* error) {
    const ServiceHandle h = m_inner.OpenServiceA(manager, name, access, error);
    if (h) m_services[h] = name ? name : "";
    return h;
}

std::string LoggedServices::Name(ServiceHandle service) const {
    auto it = m_services.find(service);
    return it != m_services.end() ? Quoted(it->second) : "handle " + Hex(static_cast<std::uint32_t>(service));
}

bool LoggedServices::Stop(ServiceHandle service, std::uint32_t* error) {
    const bool ok = m_inner.Stop(service, error);
    m_log.Call("ControlService", Name(service) + ", stop", ok, *error);
    return ok;
}

bool LoggedServices::Start(ServiceHandle service, std::uint32_t* error) {
    const bool ok = m_inner.Start(service, error);
    m_log.Call("StartServiceA", Name(service), ok, *error);
    return ok;
}

bool LoggedServices::Close(ServiceHandle handle) {
    m_services.erase(handle);
    return m_inner.Close(handle);
}

// ---- System ------------------------------------------------------------

bool LoggedSystem::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason, std::uint32_t* error) {
    const bool ok = m_inner.ExitWindowsEx(flags, reason, error);
    m_log.Call("ExitWindowsEx", "flags " + Hex(flags) + ", reason " + Hex(reason), ok, *error);
    return ok;
}

bool LoggedSystem::WriteProfileStringA(const char* section, const char* key, const char* value,
                                       std::uint32_t* error) {
    const bool ok = m_inner.WriteProfileStringA(section, key, value, error);
    const std::string arguments = !section && !key && !value
                                      ? std::string("null, null, null: flush")
                                      : Quoted(section) + ", " + Quoted(key) + ", " + Quoted(value);
    m_log.Call("WriteProfileStringA", arguments, ok, *error);
    return ok;
}

// ---- Message boxes -----------------------------------------------------

MsgAnswer LoggedMessageBox::ShowMessage(int id, const char* extra, MsgButtons buttons, MsgIcon icon) {
    const MsgAnswer answer = m_inner.ShowMessage(id, extra, buttons, icon);
    m_log.Message(id, m_inner.MessageText(id) + (extra ? extra : ""), buttons, answer);
    return answer;
}

MsgAnswer LoggedMessageBox::ShowText(const char* text, MsgButtons buttons, MsgIcon icon) {
    const MsgAnswer answer = m_inner.ShowText(text, buttons, icon);
    m_log.Message(0, text ? text : "", buttons, answer);
    return answer;
}

// ---- The maker's USB library -------------------------------------------

int LoggedUsbLibrary::uWrite(LibraryHandle library, int handle, int zero, const std::uint8_t* data, int length) {
    const int r = m_inner.uWrite(library, handle, zero, data, length);
    std::string arguments = "device " + std::to_string(handle) + ", " + std::to_string(length) + " bytes";
    for (int i = 0; data && i < length && i < 32; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, " %02X", data[i]);
        arguments += byte;
    }
    if (length > 32) arguments += " ...";
    m_log.Call("uWrite", arguments + ", returned " + std::to_string(r), r > 0, 0);
    return r;
}

LoggedPlatform::LoggedPlatform(const Platform& inner, ILog& log)
    : m_inner(inner),
      m_log(log),
      m_registry(inner.registry, log),
      m_files(inner.files, log),
      m_spooler(inner.spooler, log),
      m_services(inner.services, log),
      m_system(inner.system, log),
      m_messages(inner.messages, log),
      m_usb(inner.usb, log) {}

}  // namespace sys
