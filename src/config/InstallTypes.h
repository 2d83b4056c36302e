// The small enumerations shared by the wizard, the configuration readers and
// the installation.  Each has a fixed 32-bit representation.
#pragma once

#include <cstdint>

enum class TargetSystem : std::int32_t { Win98Me = 0, WinNT = 1, Win2000 = 2, WinXP = 3, WinServer2003 = 4 };

// A value outside 0 to 3 selects no class configuration file.
enum class PrinterClass : std::int32_t { Receipt = 0, Ticket = 1, Label = 2, Embedded = 3 };

enum class InstallMode : std::int32_t { Advanced = 0, Typical = 1 };

enum class PortKind : std::int32_t { Serial = 0, Parallel = 1, Usb = 2 };

// Which installed components are outdated and need replacing.
enum ReplaceFlags : std::uint32_t {
    kReplaceNone = 0,
    SerialMonitorOutdated = 1,
    UsbMonitorOutdated = 2,
    ProcessorOutdated = 8,
};
