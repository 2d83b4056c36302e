// The print-system operations: each knows which spooler errors are harmless,
// reports the others in a message box and returns a plain result.
#pragma once

#include <cstdint>

#include "config/InstallTypes.h"
#include "sys/Platform.h"
#include "sys/Types.h"

// Adds the printer.  A taken name is retried as name(1) and name(2) unless
// noRetry is set (USB ports); the final name is left in info.pPrinterName,
// which is emptied on failure.  Only the low 8 bits of level are used.
bool InstallPrinter(const sys::Platform& platform, sys::PrinterInfo2& info, std::uint32_t level, bool noRetry);

bool InstallPrinterDriver(const sys::Platform& platform, const sys::DriverInfo3& info);

// True when the monitor was added or was already installed.
bool InstallMonitor(const sys::Platform& platform, const sys::MonitorInfo2& info);

// 1 when added; 87, 183 or 3005 returned unreported; 0 after a reported failure.
int InstallPrintProcessor(const sys::Platform& platform, const char* processorName, const char* dllName,
                          TargetSystem target);

// 1 when the printer became the default one, 0 otherwise; never reports.
int MakeDefaultPrinter(const sys::Platform& platform, const char* printerName);

// True when the spooler could enumerate its ports.
bool ProbePorts(const sys::Platform& platform);
