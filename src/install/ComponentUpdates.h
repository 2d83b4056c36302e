// Bringing the package's port monitors and print processor up to date:
// missing ones are installed at once, outdated ones are reported in
// ReplaceFlags for the installation to replace.
#pragma once

#include <string>

#include "config/InstallTypes.h"
#include "sys/Platform.h"

constexpr int kMonitorAddFailed = -15;
constexpr int kProcessorAddFailed = -14;

// 0, SerialMonitorOutdated, UsbMonitorOutdated, or kMonitorAddFailed.
int UpdatePortMonitors(const sys::Platform& platform, PrinterClass printerClass, TargetSystem target,
                       const std::string& portName);

// 0, ProcessorOutdated, or kProcessorAddFailed (after IDS_ADD_PROCESSOR_FAILED).
int UpdatePrintProcessor(const sys::Platform& platform, TargetSystem target, const std::string& processorName,
                         const std::string& processorDll);

// Whether a monitor or processor name can name its own registry key: not
// empty and without a "\\" (walked by code page 936 characters, whose second
// byte may be 0x5C).  Any other name would write into the key above every
// component, or into keys nested elsewhere.
bool IsComponentName(const std::string& name);

// The registry keys the spooler keeps a monitor and a print processor under.
std::string MonitorKey(const std::string& monitorName);
std::string ProcessorKey(TargetSystem target, const std::string& processorName);
