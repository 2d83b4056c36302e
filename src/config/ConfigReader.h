// Reads the driver package's configuration files (DRVCONFIG beside the
// program) and turns a model, a Windows family and a driver variant into the
// records the print spooler is given.
#pragma once

#include <cstdint>
#include <string>

#include "config/InstallTypes.h"
#include "sys/Platform.h"
#include "sys/Types.h"

// A configured file name that begins with '0' names no file: "0" is how a
// package says that a model has no such file.
bool SaysNoFile(const std::string& fileName);
// Whether a configured file name names a file: neither empty nor "0".
bool NamesFile(const std::string& fileName);

// The files of a model to copy from the medium; "0" means no such file.
struct DriverFileList {
    std::string DriverPath;
    std::string DataFile;
    std::string ConfigFile;
    std::string HelpFile;
    std::string MonitorDLLName;
    std::string ProcessorDLLName;
    std::string DataFileDLLName;
    std::string DataOemuniDLL;
    std::string DataOemuniini;
    std::string DataOemuiDLL;
};

// The package's serial-port and USB port monitors.
struct PortMonitorSet {
    sys::MonitorInfo2 comMonitor;
    sys::MonitorInfo2 usbMonitor;
    std::string comUiDll;
    std::string usbUiDll;
    std::int32_t comVersion = 0;
    std::int32_t usbVersion = 0;
};

// The most device entries (DEVICENUMBER) and listed USB port names
// (PRNCOUNT) that are ever walked: a count beyond it is taken as this many,
// so that a mistyped count cannot keep the wizard or the tools reading for
// hours, and no index can overflow.
constexpr int kMaxConfigEntries = 100000;

class ConfigReader {
public:
    explicit ConfigReader(const sys::Platform& platform);
    virtual ~ConfigReader() = default;

    // Selects the class file; a value outside the four classes selects none,
    // and everything read from the class file is then "0".  The owner sets it
    // before any read from a class file.
    PrinterClass printerClass = static_cast<PrinterClass>(-1);

    // rasterBitmap 0 reads the "STD" keys, 1 the "GDI" keys; any other value
    // reads no variant key (the values stay empty, a caller's list untouched).
    void ReadDriverFiles(const std::string& model, TargetSystem target, DriverFileList& files, int rasterBitmap);
    void ReadDriverInfo(const std::string& model, TargetSystem target, sys::DriverInfo3& info, int rasterBitmap);
    void ReadLanguageMonitor(const std::string& model, TargetSystem target, sys::MonitorInfo2& info,
                             int rasterBitmap);
    void ReadPrinterInfo(const std::string& model, TargetSystem target, sys::PrinterInfo2& info, int rasterBitmap);
    void ReadPortMonitors(TargetSystem target, PortMonitorSet& monitors);
    std::int32_t ReadDriverVersion();
    int ReadDdkFlag(const std::string& model, TargetSystem target, int rasterBitmap);
    std::int32_t ReadDeviceCount();
    // The model name of device `index` into `name`, and its class (0 to 3),
    // or -1 with the whole value left in `name` when it has no class suffix.
    int ReadDeviceName(int index, std::string& name);
    int ReadDefaultDevice(std::string& name);

    const std::string& MainFile() const { return m_mainFile; }
    // The class file of printerClass, or empty.
    std::string ClassFile() const;

    // One value of the main file or of the class file as every operation
    // above reads it: default "0", cut to `limit` characters.
    std::string ReadMain(const std::string& section, const char* key, std::uint32_t limit);
    std::string ReadClass(const std::string& section, const char* key, std::uint32_t limit);

private:
    std::string ReadVariant(const std::string& section, int rasterBitmap, const char* stem, std::uint32_t limit);
    std::int32_t ReadClassInt(const std::string& section, const char* key, std::uint32_t limit);
    std::string Read(const std::string& file, const std::string& section, const char* key, std::uint32_t limit);

    sys::Platform m_platform;
    std::string m_mainFile;
    std::string m_classFiles[4];
};

// The suffix that marks a device entry's class ("-ReceiptPrinter",
// "-TicketPrinter", "-LabelPrinter", "-EmbeddedPrinter"), or nullptr
// outside the four classes.  ReadDeviceName tests them in this order.
const char* DeviceClassSuffix(int printerClass);

// The section names of a model for a Windows family.
std::string FileListSection(const std::string& model, TargetSystem target);
std::string PrinterSection(const std::string& model, TargetSystem target);
std::string DevModeSection(const std::string& model, TargetSystem target);
std::string PortMonitorSection(TargetSystem target);
