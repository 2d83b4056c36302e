#include "sys/sim/SimSpooler.h"

#include <cstring>

#include "sys/sim/SimSystem.h"
#include "sys/sim/WinText.h"

namespace sys::sim {

namespace {
constexpr std::uint32_t kPrinterAttributeDefault = 4;

bool SameEnvironment(const std::optional<std::string>& a, const std::optional<std::string>& b) {
    return EqualNoCase(a.value_or(""), b.value_or(""));
}

// What GetPrinterA level 2 needs: the 32-bit record, its texts and the DEVMODE.
std::uint32_t PrinterInfoSize(const PrinterInfo2& p) {
    std::size_t n = 84;
    for (const std::string* s : {&p.pPrinterName, &p.pPortName, &p.pDriverName, &p.pComment, &p.pLocation,
                                 &p.pSepFile, &p.pPrintProcessor, &p.pDatatype, &p.pParameters})
        n += s->size() + 1;
    if (p.pShareName) n += p.pShareName->size() + 1;
    n += p.devModeBytes.empty() ? 148 : p.devModeBytes.size();
    return static_cast<std::uint32_t>(n);
}
}  // namespace

SimSpooler::SimSpooler(SimFileSystem& fs, SimSystem& system, SimRegistry& registry, Faults& faults)
    : m_faults(faults), m_fs(fs), m_system(system), m_registry(registry) {
    processors["WINPRINT"] = "localspl.dll";
}

bool SimSpooler::HasPrinter(const std::string& name) const { return printers.count(FoldCase(name)) != 0; }

bool SimSpooler::HasDriver(const std::string& name) const {
    for (const DriverInfo3& d : drivers)
        if (EqualNoCase(d.pName, name)) return true;
    return false;
}

std::string SimSpooler::DefaultPrinter() const {
    char buf[512];
    std::uint32_t n = m_system.GetProfileStringA("windows", "device", "", buf, sizeof buf);
    std::string device(buf, n);
    return device.substr(0, device.find(','));
}

bool SimSpooler::AddPrinterA(const PrinterInfo2& info, std::uint32_t level, PrinterHandle* handle,
                            std::uint32_t* error) {
    *handle = 0;
    if ((*error = m_faults.Take("AddPrinterA"))) return false;
    if ((level & 0xFF) != 2) {
        *error = 124;  // ERROR_INVALID_LEVEL
        return false;
    }
    if (info.pPrinterName.empty() || info.pPrinterName.find_first_of(",\\!") != std::string::npos) {
        *error = kErrorInvalidPrinterName;
        return false;
    }
    if (HasPrinter(info.pPrinterName)) {
        *error = kErrorPrinterAlreadyExists;
        return false;
    }
    if (!HasDriver(info.pDriverName)) {
        *error = kErrorUnknownPrinterDriver;
        return false;
    }
    if (!processors.count(FoldCase(info.pPrintProcessor))) {
        *error = kErrorUnknownPrintProcessor;
        return false;
    }
    bool portKnown = false;
    for (const std::string& p : ports) portKnown = portKnown || EqualNoCase(p, info.pPortName);
    if (!portKnown) {
        *error = kErrorUnknownPort;
        return false;
    }
    // The spooler keeps the block it was given, as the adapter sends it.
    PrinterInfo2& kept = printers[FoldCase(info.pPrinterName)];
    kept = info;
    kept.devModeBytes = DevModeToWrite(info);
    *handle = m_nextHandle++;
    m_handles[*handle] = FoldCase(info.pPrinterName);
    return true;
}

bool SimSpooler::ClosePrinter(PrinterHandle handle, std::uint32_t* error) {
    if ((*error = m_faults.Take("ClosePrinter"))) return false;
    if (!m_handles.erase(handle)) {
        *error = kErrorInvalidHandle;
        return false;
    }
    return true;
}

bool SimSpooler::AddPrinterDriverA(const DriverInfo3& info, std::uint32_t* error) {
    if ((*error = m_faults.Take("AddPrinterDriverA"))) return false;
    // Windows takes the files from the driver directory and copies them into
    // its version folder; a missing one fails the call.
    const std::string version = std::to_string(info.cVersion);
    std::vector<std::string> files = {info.pDriverPath, info.pDataFile, info.pConfigFile};
    if (!info.pHelpFile.empty()) files.push_back(info.pHelpFile);
    for (const std::string& d : info.pDependentFiles) files.push_back(d);
    for (const std::string& f : files) {
        const std::string base = f.substr(FindLastSeparator(f) + 1);
        std::string bytes;
        if (!m_fs.ReadFile(driverDirectory + "\\" + base, &bytes) &&
            !m_fs.ReadFile(driverDirectory + "\\" + version + "\\" + base, &bytes)) {
            *error = kErrorFileNotFound;
            return false;
        }
    }
    for (const std::string& f : files) {
        const std::string base = f.substr(FindLastSeparator(f) + 1);
        std::string bytes;
        if (m_fs.ReadFile(driverDirectory + "\\" + base, &bytes))
            m_fs.WriteFile(driverDirectory + "\\" + version + "\\" + base, bytes);
    }
    for (DriverInfo3& d : drivers) {
        if (EqualNoCase(d.pName, info.pName) && SameEnvironment(d.pEnvironment, info.pEnvironment)) {
            d = info;
            return true;
        }
    }
    drivers.push_back(info);
    return true;
}

bool SimSpooler::AddMonitorA(const MonitorInfo2& info, std::uint32_t* error) {
    if ((*error = m_faults.Take("AddMonitorA"))) return false;
    if (info.pName.empty()) {
        *error = kErrorInvalidParameter;
        return false;
    }
    if (monitors.count(FoldCase(info.pName))) {
        *error = m_system.version.platformId == 1 ? kErrorAlreadyExists : kErrorPrintMonitorAlreadyInstalled;
        return false;
    }
    // The spooler loads the DLL from the system directory.
    if (!m_fs.Exists(m_fs.systemDir + "\\" + info.pDLLName)) {
        *error = kErrorModNotFound;
        return false;
    }
    if (monitorDllsWithoutEntry.count(FoldCase(info.pDLLName))) {
        *error = kErrorProcNotFound;
        return false;
    }
    monitors[FoldCase(info.pName)] = info.pDLLName;
    // The spooler records the monitor under its Monitors key.
    m_registry.WriteValue("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + info.pName, "Driver", kRegSz,
                          info.pDLLName + '\0');
    auto offered = monitorPorts.find(FoldCase(info.pDLLName));
    if (offered != monitorPorts.end())
        for (const std::string& p : offered->second) ports.push_back(p);
    return true;
}

bool SimSpooler::AddPrintProcessorA(const std::optional<std::string>& environment, const char* pathName,
                                   const char* processorName, std::uint32_t* error) {
    if ((*error = m_faults.Take("AddPrintProcessorA"))) return false;
    if (!pathName || !processorName) {
        *error = kErrorInvalidParameter;
        return false;
    }
    if (processors.count(FoldCase(processorName))) {
        *error = kErrorPrintProcessorAlreadyInstalled;
        return false;
    }
    processors[FoldCase(processorName)] = pathName;
    // The spooler records the processor under its environment's key.
    const std::string env =
        environment.value_or(m_system.version.platformId == 1 ? "Windows 4.0" : "Windows NT x86");
    m_registry.WriteValue("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + env +
                              "\\Print Processors\\" + processorName,
                          "Driver", kRegSz, std::string(pathName) + '\0');
    return true;
}

bool SimSpooler::EnumPortsA(std::uint32_t bufferSize, std::vector<std::string>* out, std::uint32_t* needed,
                           std::uint32_t* error) {
    if ((*error = m_faults.Take("EnumPortsA"))) return false;
    // PORT_INFO_1A: one pointer per port and its text.
    std::uint32_t size = 0;
    for (const std::string& p : ports) size += 4 + static_cast<std::uint32_t>(p.size()) + 1;
    *needed = size;
    if (bufferSize < size) {
        *error = kErrorInsufficientBuffer;
        return false;
    }
    if (out) *out = ports;
    return true;
}

bool SimSpooler::PrinterDriverDirectory(std::string* directory, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetPrinterDriverDirectoryA"))) return false;
    *directory = driverDirectory;
    return true;
}

bool SimSpooler::PrintProcessorDirectory(std::string* directory, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetPrintProcessorDirectoryA"))) return false;
    *directory = processorDirectory;
    return true;
}

bool SimSpooler::OpenPrinterA(const char* name, PrinterHandle* handle, std::uint32_t* error) {
    *handle = 0;
    if ((*error = m_faults.Take("OpenPrinterA"))) return false;
    if (!name || !HasPrinter(name)) {
        *error = kErrorInvalidPrinterName;
        return false;
    }
    *handle = m_nextHandle++;
    m_handles[*handle] = FoldCase(name);
    return true;
}

bool SimSpooler::GetPrinterA(PrinterHandle handle, std::uint32_t bufferSize, PrinterInfo2* info,
                            std::uint32_t* needed, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetPrinterA"))) return false;
    auto h = m_handles.find(handle);
    if (h == m_handles.end() || !printers.count(h->second)) {
        *error = kErrorInvalidHandle;
        return false;
    }
    const PrinterInfo2& p = printers[h->second];
    *needed = PrinterInfoSize(p);
    if (bufferSize < *needed) {
        *error = kErrorInsufficientBuffer;
        return false;
    }
    if (info) *info = p;
    return true;
}

bool SimSpooler::SetPrinterA(PrinterHandle handle, const PrinterInfo2& info, std::uint32_t* error) {
    if ((*error = m_faults.Take("SetPrinterA"))) return false;
    auto h = m_handles.find(handle);
    if (h == m_handles.end() || !printers.count(h->second)) {
        *error = kErrorInvalidHandle;
        return false;
    }
    PrinterInfo2& p = printers[h->second];
    p = info;
    p.devModeBytes = DevModeToWrite(info);
    if (info.Attributes & kPrinterAttributeDefault) {
        std::uint32_t ignored = 0;
        m_system.WriteProfileStringA("windows", "device", (p.pPrinterName + "," + p.pDriverName + "," + p.pPortName).c_str(),
                                    &ignored);
    }
    return true;
}

ISpooler::DefaultResult SimSpooler::SetDefaultPrinterA(const char* name, std::uint32_t* error) {
    if ((*error = m_faults.Take("LoadLibraryA"))) return DefaultResult::NoLibrary;
    if (!hasSetDefaultPrinter) {
        *error = kErrorProcNotFound;
        return DefaultResult::NoFunction;
    }
    if ((*error = m_faults.Take("SetDefaultPrinterA"))) return DefaultResult::Refused;
    if (!name || !HasPrinter(name)) {
        *error = kErrorInvalidPrinterName;
        return DefaultResult::Refused;
    }
    const PrinterInfo2& p = printers[FoldCase(name)];
    std::uint32_t ignored = 0;
    m_system.WriteProfileStringA("windows", "device", (p.pPrinterName + ",winspool," + p.pPortName).c_str(), &ignored);
    return DefaultResult::Set;
}

}  // namespace sys::sim
