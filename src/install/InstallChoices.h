// Everything the installation needs to know: what the user chose on the
// wizard pages and the values the installation derives from those choices.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "config/InstallTypes.h"
#include "ports/SerialSettings.h"

struct InstallChoices {
    PrinterClass printerClass = PrinterClass::Receipt;
    TargetSystem targetSystem = TargetSystem::Win98Me;
    // 1: the raster-bitmap ("GDI") driver variant; 0: the "STD" one.
    std::int32_t rasterBitmap = 0;
    // The chosen model; after a successful installation, the printer's final name.
    std::string modelName;
    // "COM1:", "LPT1:", "KRCOM1:" or a USB port name such as "USB_MTR-Q5_1".
    std::string portName;
    // The port name rewritten for the four-port model; empty otherwise.
    std::string usbPortName;
    std::int32_t setAsDefault = 0;
    // Serial settings, meaningful for a serial port only.
    std::int32_t baudRate = 0;
    std::int32_t dataBits = 8;
    double stopBits = 1;
    char parity = kDefaultParity;  // first letter of Even, Mark, None, Odd, Space
    char flowControl = kDefaultFlowControl;
    std::uint32_t replaceFlags = kReplaceNone;
    InstallMode installMode = InstallMode::Typical;
    PortKind portKind = PortKind::Serial;
};

// The port kind of a port name, by case-sensitive substrings: "USB_" is
// tested first, then "COM", then "LPT".  A name with none of them has no kind.
std::optional<PortKind> PortKindOf(const std::string& portName);
