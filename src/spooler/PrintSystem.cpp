#include "spooler/PrintSystem.h"

#include <string>

#include "resource.h"

namespace {

constexpr std::uint32_t kErrorAlreadyExists = 183;
constexpr std::uint32_t kErrorPrinterAlreadyExists = 1802;
constexpr std::uint32_t kErrorProcessorAlreadyInstalled = 3005;
constexpr std::uint32_t kErrorMonitorAlreadyInstalled = 3006;
constexpr std::uint32_t kPrinterAttributeDefault = 4;
constexpr std::uint32_t kBroadcastTimeoutMs = 1000;

void Error(const sys::Platform& p, int id, const char* extra = nullptr) {
    p.messages.ShowMessage(id, extra, sys::MsgButtons::Ok, sys::MsgIcon::Error);
}

std::string ErrorCodeText(std::uint32_t e) { return "er = " + std::to_string(e); }

bool TryAdd(const sys::Platform& p, const sys::PrinterInfo2& info, std::uint32_t level, std::uint32_t* error) {
    sys::PrinterHandle h = 0;
    if (!p.spooler.AddPrinterA(info, level & 0xFF, &h, error)) return false;
    std::uint32_t ignored = 0;
    p.spooler.ClosePrinter(h, &ignored);
    return true;
}

// Opens the printer and reads its level-2 record: the sizing call first,
// then the read with the size asked for.
bool ReadPrinter(const sys::Platform& p, const char* name, sys::PrinterHandle* h, sys::PrinterInfo2* info) {
    std::uint32_t error = 0;
    if (!p.spooler.OpenPrinterA(name, h, &error) || *h == 0) return false;
    std::uint32_t needed = 0;
    if (!p.spooler.GetPrinterA(*h, 0, nullptr, &needed, &error) && error != sys::kErrorInsufficientBuffer) {
        p.spooler.ClosePrinter(*h, &error);
        return false;
    }
    if (needed == 0 || !p.spooler.GetPrinterA(*h, needed, info, &needed, &error)) {
        p.spooler.ClosePrinter(*h, &error);
        return false;
    }
    return true;
}

}  // namespace

bool InstallPrinter(const sys::Platform& p, sys::PrinterInfo2& info, std::uint32_t level, bool noRetry) {
    std::uint32_t error = 0;
    if (TryAdd(p, info, level, &error)) return true;
    if (error != kErrorPrinterAlreadyExists) {
        Error(p, IDS_ADD_PRINTER_FAILED, ErrorCodeText(error).c_str());
        info.pPrinterName.clear();
        return false;
    }
    if (noRetry) {
        Error(p, IDS_MAX_PRINTERS_ON_PORT);
        info.pPrinterName.clear();
        return false;
    }
    const std::string base = info.pPrinterName;
    for (int n = 1; n <= 2; ++n) {
        info.pPrinterName = base + "(" + std::to_string(n) + ")";
        if (TryAdd(p, info, level, &error)) return true;
        if (error != kErrorPrinterAlreadyExists) {
            Error(p, IDS_ADD_PRINTER_FAILED, ErrorCodeText(error).c_str());
            info.pPrinterName.clear();
            return false;
        }
    }
    Error(p, IDS_MAX_PRINTERS_ON_PORT);
    info.pPrinterName.clear();
    return false;
}

bool InstallPrinterDriver(const sys::Platform& p, const sys::DriverInfo3& info) {
    std::uint32_t error = 0;
    if (p.spooler.AddPrinterDriverA(info, &error)) return true;
    Error(p, IDS_ADD_DRIVER_FAILED);
    return false;
}

bool InstallMonitor(const sys::Platform& p, const sys::MonitorInfo2& info) {
    std::uint32_t error = 0;
    if (p.spooler.AddMonitorA(info, &error)) return true;
    if (error == kErrorMonitorAlreadyInstalled || error == kErrorAlreadyExists) return true;
    p.messages.ShowText(std::to_string(error).c_str(), sys::MsgButtons::Ok, sys::MsgIcon::Error);
    Error(p, IDS_ADD_MONITOR_FAILED);
    return false;
}

int InstallPrintProcessor(const sys::Platform& p, const char* processorName, const char* dllName,
                          TargetSystem target) {
    std::optional<std::string> environment;
    if (target == TargetSystem::Win98Me) environment = "Windows 4.0";
    std::uint32_t error = 0;
    if (p.spooler.AddPrintProcessorA(environment, dllName, processorName, &error)) return 1;
    if (error == kErrorProcessorAlreadyInstalled || error == kErrorAlreadyExists ||
        error == sys::kErrorInvalidParameter)
        return static_cast<int>(error);
    Error(p, IDS_ADD_PROCESSOR_FAILED);
    return 0;
}

int MakeDefaultPrinter(const sys::Platform& p, const char* printerName) {
    sys::OsVersion v;
    std::uint32_t error = 0;
    if (!printerName || !p.system.Version(&v, &error)) return 0;

    if (v.platformId == 1) {
        // Windows 95/98/Me: the printer's default attribute.
        sys::PrinterHandle h = 0;
        sys::PrinterInfo2 info;
        if (!ReadPrinter(p, printerName, &h, &info)) return 0;
        info.Attributes |= kPrinterAttributeDefault;
        bool ok = p.spooler.SetPrinterA(h, info, &error);
        if (ok) p.system.BroadcastWinIniChange("windows", kBroadcastTimeoutMs);
        p.spooler.ClosePrinter(h, &error);
        return ok ? 1 : 0;
    }
    if (v.platformId == 2 && v.major < 5) {
        // Windows NT 4: the "device" value of WIN.INI's [windows] section.
        sys::PrinterHandle h = 0;
        sys::PrinterInfo2 info;
        if (!ReadPrinter(p, printerName, &h, &info)) return 0;
        bool ok = !info.pDriverName.empty() && !info.pPortName.empty();
        if (ok) {
            const std::string device = std::string(printerName) + "," + info.pDriverName + "," + info.pPortName;
            ok = p.system.WriteProfileStringA("windows", "device", device.c_str(), &error);
        }
        if (ok) p.system.BroadcastWinIniChange(nullptr, kBroadcastTimeoutMs);
        p.spooler.ClosePrinter(h, &error);
        return ok ? 1 : 0;
    }
    if (v.platformId == 2) {
        // Windows 2000 and later: SetDefaultPrinterA, looked up at run time.
        if (p.spooler.SetDefaultPrinterA(printerName, &error) != sys::ISpooler::DefaultResult::Set) return 0;
        p.system.BroadcastWinIniChange(nullptr, kBroadcastTimeoutMs);
        return 1;
    }
    return 1;
}

bool ProbePorts(const sys::Platform& p) {
    std::uint32_t needed = 0, error = 0;
    // The first call only learns the size needed.
    if (!p.spooler.EnumPortsA(0, nullptr, &needed, &error) && error == sys::kErrorNotEnoughMemory) {
        Error(p, IDS_OUT_OF_MEMORY);
        return false;
    }
    if (p.spooler.EnumPortsA(needed, nullptr, &needed, &error)) return true;
    Error(p, error == sys::kErrorNotEnoughMemory ? IDS_OUT_OF_MEMORY : IDS_ENUM_PORTS_FAILED);
    return false;
}
