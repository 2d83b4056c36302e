// The simulated print spooler: drivers, printers, monitors, print
// processors, ports and the default printer, refusing what Windows refuses.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "sys/Platform.h"
#include "sys/sim/Faults.h"
#include "sys/sim/SimFileSystem.h"
#include "sys/sim/SimRegistry.h"

namespace sys::sim {

class SimSystem;

enum : std::uint32_t {
    kErrorModNotFound = 126,
    kErrorProcNotFound = 127,
    kErrorAlreadyExists = 183,
    kErrorUnknownPort = 1796,
    kErrorUnknownPrinterDriver = 1797,
    kErrorUnknownPrintProcessor = 1798,
    kErrorInvalidPrinterName = 1801,
    kErrorPrinterAlreadyExists = 1802,
    kErrorPrintProcessorAlreadyInstalled = 3005,
    kErrorPrintMonitorAlreadyInstalled = 3006,
};

class SimSpooler final : public ISpooler {
public:
    SimSpooler(SimFileSystem& fs, SimSystem& system, SimRegistry& registry, Faults& faults);

    bool AddPrinterA(const PrinterInfo2& info, std::uint32_t level, PrinterHandle* handle, std::uint32_t* error) override;
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

    // The machine's spooler state, for tests to set up and to inspect.
    std::string driverDirectory = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
    std::string processorDirectory = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86";
    std::vector<DriverInfo3> drivers;
    std::map<std::string, PrinterInfo2> printers;       // by folded name
    std::map<std::string, std::string> monitors;        // folded name -> DLL
    std::map<std::string, std::string> processors;      // folded name -> DLL
    std::vector<std::string> ports = {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"};
    // Ports a monitor DLL offers once it is added (folded DLL name).
    std::map<std::string, std::vector<std::string>> monitorPorts;
    // Monitor DLLs that load but lack the entry point (folded DLL name).
    std::set<std::string> monitorDllsWithoutEntry;
    // Whether "winspool.drv" exports SetDefaultPrinterA (not on 98/Me, NT 4).
    bool hasSetDefaultPrinter = true;
    // The default printer, as GetDefaultPrinter would read it.
    std::string DefaultPrinter() const;

    bool HasPrinter(const std::string& name) const;
    bool HasDriver(const std::string& name) const;
    std::size_t OpenHandleCount() const { return m_handles.size(); }

private:
    Faults& m_faults;
    SimFileSystem& m_fs;
    SimSystem& m_system;
    SimRegistry& m_registry;
    std::map<PrinterHandle, std::string> m_handles;  // handle -> folded printer name
    PrinterHandle m_nextHandle = 0x5000;
};

}  // namespace sys::sim
