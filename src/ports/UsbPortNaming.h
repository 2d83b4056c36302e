// The maker's registry records of USB printer ports: each listed port's
// index, the device slots and port defaults, and the ports of printers
// already recorded as installed.
#pragma once

#include <string>

#include "sys/Platform.h"

// Keeps the records for the port a printer is being added on.  Silent.
void NameUsbPort(const sys::Platform& platform, const std::string& portName);

// The port of a recorded printer name: "MTR-Q5(U) 3" gives "USB_MTR-Q5_3",
// a name without "(" gives "USB_" and the whole name.
std::string UsbPortOfPrinter(const std::string& printerName);

// The model whose USB ports the installation names after itself: a port
// whose name holds it becomes "USB_MTR-Q5_" and the port's last character.
extern const char kFourPortModel[];  // "MTR-Q5"

extern const char kPortNameKey[];       // "SOFTWARE\\KORVALE\\PORTNAME\\"
extern const char kPrinterPortKey[];    // "SOFTWARE\\KORVALE\\PRINTERPORT\\"
extern const char kInstallPrinterKey[]; // "SOFTWARE\\KORVALE\\INSTALLPRINTER\\"
