// Value types that cross the seam: the print records the spooler is handed
// and the device-control block of a serial port.  They mirror the Win32
// records, with owned strings instead of pointers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sys {

// DEVMODEA as the spooler takes it: 148 bytes, the layout that ends with
// dmReserved2 (no panning members).  The union of the printer and display
// members is laid out with its printer members.
struct DevMode {
    char dmDeviceName[32];
    std::uint16_t dmSpecVersion;
    std::uint16_t dmDriverVersion;
    std::uint16_t dmSize;
    std::uint16_t dmDriverExtra;
    std::uint32_t dmFields;
    std::int16_t dmOrientation;
    std::int16_t dmPaperSize;
    std::int16_t dmPaperLength;
    std::int16_t dmPaperWidth;
    std::int16_t dmScale;
    std::int16_t dmCopies;
    std::int16_t dmDefaultSource;
    std::int16_t dmPrintQuality;
    std::int16_t dmColor;
    std::int16_t dmDuplex;
    std::int16_t dmYResolution;
    std::int16_t dmTTOption;
    std::int16_t dmCollate;
    char dmFormName[32];
    std::uint16_t dmLogPixels;
    std::uint32_t dmBitsPerPel;
    std::uint32_t dmPelsWidth;
    std::uint32_t dmPelsHeight;
    std::uint32_t dmNup;
    std::uint32_t dmDisplayFrequency;
    std::uint32_t dmICMMethod;
    std::uint32_t dmICMIntent;
    std::uint32_t dmMediaType;
    std::uint32_t dmDitherType;
    std::uint32_t dmReserved1;
    std::uint32_t dmReserved2;
};
static_assert(sizeof(DevMode) == 148, "DevMode must have the 148-byte DEVMODEA layout");
static_assert(offsetof(DevMode, dmFields) == 40, "DevMode layout");
static_assert(offsetof(DevMode, dmFormName) == 70, "DevMode layout");
static_assert(offsetof(DevMode, dmICMMethod) == 124, "DevMode layout");

// The DEVMODE block handed to the spooler: the 148 bytes followed by
// dmDriverExtra zero bytes, so that a configured driver-private size never
// makes the spooler read past the block.
std::vector<std::uint8_t> DevModeBlock(const DevMode& dm);

// DCB, the device-control block of a serial port: 28 bytes.
struct Dcb {
    std::uint32_t DCBlength;
    std::uint32_t BaudRate;
    std::uint32_t fBinary : 1;
    std::uint32_t fParity : 1;
    std::uint32_t fOutxCtsFlow : 1;
    std::uint32_t fOutxDsrFlow : 1;
    std::uint32_t fDtrControl : 2;
    std::uint32_t fDsrSensitivity : 1;
    std::uint32_t fTXContinueOnXoff : 1;
    std::uint32_t fOutX : 1;
    std::uint32_t fInX : 1;
    std::uint32_t fErrorChar : 1;
    std::uint32_t fNull : 1;
    std::uint32_t fRtsControl : 2;
    std::uint32_t fAbortOnError : 1;
    std::uint32_t fDummy2 : 17;
    std::uint16_t wReserved;
    std::uint16_t XonLim;
    std::uint16_t XoffLim;
    std::uint8_t ByteSize;
    std::uint8_t Parity;
    std::uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    std::uint16_t wReserved1;
};
static_assert(sizeof(Dcb) == 28, "Dcb must have the 28-byte DCB layout");

// PRINTER_INFO_2A.  An empty optional is a null pointer.  The security
// descriptor is always null: the installer never hands one over.
struct PrinterInfo2 {
    std::optional<std::string> pServerName;
    std::string pPrinterName;
    std::optional<std::string> pShareName;
    std::string pPortName;
    std::string pDriverName;
    std::string pComment;
    std::string pLocation;
    std::optional<DevMode> pDevMode;
    // The device mode as the spooler holds it, when it was read from one:
    // its dmSize public bytes (not always 148) and the driver's dmDriverExtra
    // private ones.  See DevModeToWrite.
    std::vector<std::uint8_t> devModeBytes;
    std::string pSepFile;
    std::string pPrintProcessor;
    std::string pDatatype;
    std::string pParameters;
    std::uint32_t Attributes = 0;
    std::uint32_t Priority = 0;
    std::uint32_t DefaultPriority = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t UntilTime = 0;
    std::uint32_t Status = 0;
    std::uint32_t cJobs = 0;
    std::uint32_t AveragePPM = 0;
};

// The device mode a spooler returned (`size` bytes at `data`) into `p`: its
// public part into pDevMode (as much of it as dmSize covers; the rest zero)
// and the whole block, private bytes included, into devModeBytes.  A block
// shorter than its own header gives no device mode.
void ReadDevModeBlock(PrinterInfo2& p, const std::uint8_t* data, std::size_t size);

// The DEVMODE block to hand back to the spooler for `p`: the block as read
// while pDevMode still says what its public part says, so that the driver's
// private bytes and sizes come back unchanged; otherwise one built from
// pDevMode (DevModeBlock).  Empty without a device mode.
std::vector<std::uint8_t> DevModeToWrite(const PrinterInfo2& p);

// DRIVER_INFO_3A.  pDependentFiles is the list the spooler gets as a
// sequence of zero-terminated names ended by one more zero; an empty list is
// an empty sequence, not a null pointer.
struct DriverInfo3 {
    std::uint32_t cVersion = 0;
    std::string pName;
    std::optional<std::string> pEnvironment;
    std::string pDriverPath;
    std::string pDataFile;
    std::string pConfigFile;
    std::string pHelpFile;
    std::vector<std::string> pDependentFiles;
    std::string pMonitorName;
    std::optional<std::string> pDefaultDataType;
};

// The dependent-file list in the spooler's form: each name followed by a
// zero, then one more zero.
std::string MultiString(const std::vector<std::string>& items);

// The text at `bytes` within `size` bytes: up to the first NUL, or all of
// them when there is none.
std::string TextBeforeNul(const char* bytes, std::size_t size);

// MONITOR_INFO_2A.
struct MonitorInfo2 {
    std::string pName;
    std::optional<std::string> pEnvironment;
    std::string pDLLName;
};

}  // namespace sys
