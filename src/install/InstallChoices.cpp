#include "install/InstallChoices.h"

std::optional<PortKind> PortKindOf(const std::string& portName) {
    if (portName.find("USB_") != std::string::npos) return PortKind::Usb;
    if (portName.find("COM") != std::string::npos) return PortKind::Serial;
    if (portName.find("LPT") != std::string::npos) return PortKind::Parallel;
    return std::nullopt;
}
