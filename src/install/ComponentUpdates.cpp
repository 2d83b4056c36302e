#include "install/ComponentUpdates.h"

#include "config/ConfigReader.h"
#include "resource.h"
#include "spooler/DriverStaging.h"
#include "spooler/PrintSystem.h"
#include "sys/RegistryKey.h"

std::string MonitorKey(const std::string& monitorName) {
    return "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + monitorName;
}

std::string ProcessorKey(TargetSystem target, const std::string& processorName) {
    const char* env = target == TargetSystem::Win98Me ? "Windows 4.0" : "Windows NT x86";
    return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") + env + "\\Print Processors\\" +
           processorName;
}

bool IsComponentName(const std::string& name) { return !name.empty() && !HoldsSeparator(name, "\\"); }

namespace {

// One port monitor: `outdatedFlag` when the installed one is older than the
// package's, 0 when it is current or was installed now, -15 when adding failed.
int UpdateMonitor(const sys::Platform& p, TargetSystem target, sys::MonitorInfo2 monitor, const std::string& uiDll,
                  std::int32_t configuredVersion, int outdatedFlag) {
    const std::uint32_t version = static_cast<std::uint32_t>(configuredVersion);
    if (!IsComponentName(monitor.pName)) {
        // Refused as the spooler refuses an empty name, before any key is touched.
        p.messages.ShowText(std::to_string(sys::kErrorInvalidParameter).c_str(), sys::MsgButtons::Ok,
                            sys::MsgIcon::Error);
        p.messages.ShowMessage(IDS_ADD_MONITOR_FAILED, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Error);
        return kMonitorAddFailed;
    }
    const std::string keyPath = MonitorKey(monitor.pName);
    RegistryKey key(p.registry);
    if (key.Open(sys::kHKeyLocalMachine, keyPath.c_str())) {
        std::uint32_t installed = 0;
        const bool known = key.QueryDWORD("DriverVersion", &installed);
        return !known || version > installed ? outdatedFlag : 0;
    }
    // Not installed: copy its files into the system directory and add it.  A
    // DLL held by the system is stored and registered as "n" + its name.
    const std::string dll = monitor.pDLLName;
    if (CopyRefused(CopyDriverFile(p, dll, CopyTarget::SystemDir, target, false))) {
        CopyDriverFile(p, dll, CopyTarget::SystemDir, target, true);
        monitor.pDLLName = "n" + dll;
    }
    if (!uiDll.empty()) CopyDriverFileReported(p, uiDll, CopyTarget::SystemDir, target);
    if (!InstallMonitor(p, monitor)) return kMonitorAddFailed;
    if (key.Open(sys::kHKeyLocalMachine, keyPath.c_str())) key.SetDWORD("DriverVersion", version);
    return 0;
}

}  // namespace

int UpdatePortMonitors(const sys::Platform& p, PrinterClass printerClass, TargetSystem target,
                       const std::string& portName) {
    if (portName.find("LPT") != std::string::npos) return 0;
    int result = 0;
    ConfigReader reader(p);
    reader.printerClass = printerClass;
    PortMonitorSet monitors;
    reader.ReadPortMonitors(target, monitors);

    if (portName.find("COM") != std::string::npos && !monitors.comMonitor.pDLLName.empty() &&
        target != TargetSystem::Win98Me) {
        int r = UpdateMonitor(p, target, monitors.comMonitor, monitors.comUiDll, monitors.comVersion,
                              SerialMonitorOutdated);
        if (r == kMonitorAddFailed) return r;
        if (r) result = r;
    }
    if (portName.find("USB_") != std::string::npos && !monitors.usbMonitor.pDLLName.empty() &&
        target != TargetSystem::WinNT) {
        int r = UpdateMonitor(p, target, monitors.usbMonitor, monitors.usbUiDll, monitors.usbVersion,
                              UsbMonitorOutdated);
        if (r == kMonitorAddFailed) return r;
        if (r) result = r;
    }
    return result;
}

int UpdatePrintProcessor(const sys::Platform& p, TargetSystem target, const std::string& processorName,
                         const std::string& processorDll) {
    ConfigReader reader(p);
    const std::uint32_t version = static_cast<std::uint32_t>(reader.ReadDriverVersion());
    // The system's standard processor is never examined or installed.
    if (processorName == "WinPrint") return 0;
    if (!IsComponentName(processorName)) {
        p.messages.ShowMessage(IDS_ADD_PROCESSOR_FAILED, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Error);
        return kProcessorAddFailed;
    }

    const std::string keyPath = ProcessorKey(target, processorName);
    RegistryKey key(p.registry);
    if (key.Open(sys::kHKeyLocalMachine, keyPath.c_str())) {
        std::uint32_t installed = 0;
        const bool known = key.QueryDWORD("DriverVersion", &installed);
        return !known || version > installed ? static_cast<int>(ProcessorOutdated) : 0;
    }
    if (!processorDll.empty()) CopyDriverFileReported(p, processorDll, CopyTarget::ProcessorDir, target);
    int added = InstallPrintProcessor(p, processorName.c_str(), processorDll.c_str(), target);
    if (added != 1) {
        p.messages.ShowMessage(IDS_ADD_PROCESSOR_FAILED, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Error);
        return kProcessorAddFailed;
    }
    if (key.Open(sys::kHKeyLocalMachine, keyPath.c_str())) key.SetDWORD("DriverVersion", version);
    p.system.Sleep(200);
    return 0;
}
