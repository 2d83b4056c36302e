#include "config/ConfigReader.h"

#include <cstring>
#include <vector>

#include "config/ConfigInt.h"
#include "config/ConfigPaths.h"

namespace {

const char* Suffix(TargetSystem target, const char* const (&names)[5]) {
    int i = static_cast<int>(target);
    return i >= 0 && i <= 4 ? names[i] : "";
}

const char* VariantPrefix(int rasterBitmap) {
    if (rasterBitmap == 0) return "STD";
    if (rasterBitmap == 1) return "GDI";
    return nullptr;
}

bool IsNtFamily2000OrLater(TargetSystem target) {
    return target == TargetSystem::Win2000 || target == TargetSystem::WinXP ||
           target == TargetSystem::WinServer2003;
}

// Copies at most `max` bytes of `text` into a fixed field and terminates it,
// never ending on the first byte of a two-byte character.
template <std::size_t N>
void CopyField(char (&field)[N], const std::string& text) {
    std::size_t max = N - 1;
    std::size_t n = 0;
    while (n < text.size() && n < max) {
        unsigned char c = static_cast<unsigned char>(text[n]);
        std::size_t width = (c >= 0x81 && c != 0xFF && n + 1 < text.size()) ? 2 : 1;
        if (n + width > max) break;
        n += width;
    }
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), n);
}

std::int16_t Low16(std::int32_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF)); }

std::optional<std::string> Environment(TargetSystem target) {
    if (target == TargetSystem::Win98Me) return std::string("Windows 4.0");
    return std::nullopt;
}

}  // namespace

bool SaysNoFile(const std::string& fileName) { return !fileName.empty() && fileName[0] == '0'; }

bool NamesFile(const std::string& fileName) { return !fileName.empty() && !SaysNoFile(fileName); }

const char* DeviceClassSuffix(int printerClass) {
    static const char* const suffixes[4] = {"-ReceiptPrinter", "-TicketPrinter", "-LabelPrinter", "-EmbeddedPrinter"};
    return printerClass >= 0 && printerClass <= 3 ? suffixes[printerClass] : nullptr;
}

std::string FileListSection(const std::string& model, TargetSystem target) {
    static const char* const names[5] = {".98", ".NT", ".2K", ".XP", ".2003"};
    return model + Suffix(target, names);
}

std::string PrinterSection(const std::string& model, TargetSystem target) {
    static const char* const names[5] = {".PRINTERINFO98", ".PRINTERINFONT", ".PRINTERINFO2K", ".PRINTERINFO2K",
                                         ".PRINTERINFO2003"};
    return model + Suffix(target, names);
}

std::string DevModeSection(const std::string& model, TargetSystem target) {
    static const char* const names[5] = {".DEVMODE98", ".DEVMODENT", ".DEVMODE2K", ".DEVMODE2K", ".DEVMODE2003"};
    return model + Suffix(target, names);
}

std::string PortMonitorSection(TargetSystem target) {
    static const char* const names[5] = {".98", ".NT", ".2K", ".XP", ".2003"};
    return std::string("COMMON-MONITOR") + Suffix(target, names);
}

ConfigReader::ConfigReader(const sys::Platform& platform) : m_platform(platform) {
    std::string dir = ProgramDirectory(platform.files);
    m_mainFile = dir + kMainConfigName;
    for (int i = 0; i < 4; ++i) m_classFiles[i] = dir + ClassConfigName(static_cast<PrinterClass>(i));
}

std::string ConfigReader::ClassFile() const {
    int i = static_cast<int>(printerClass);
    return i >= 0 && i <= 3 ? m_classFiles[i] : std::string();
}

std::string ConfigReader::Read(const std::string& file, const std::string& section, const char* key,
                               std::uint32_t limit) {
    if (file.empty()) return std::string("0").substr(0, limit);
    std::vector<char> buffer(limit + 1, '\0');
    std::uint32_t n = m_platform.profile.GetPrivateString(section.c_str(), key, "0", buffer.data(), limit + 1,
                                                          file.c_str());
    return sys::ProfileText(buffer.data(), n > limit ? limit : n);
}

std::string ConfigReader::ReadMain(const std::string& section, const char* key, std::uint32_t limit) {
    return Read(m_mainFile, section, key, limit);
}

std::string ConfigReader::ReadClass(const std::string& section, const char* key, std::uint32_t limit) {
    return Read(ClassFile(), section, key, limit);
}

std::string ConfigReader::ReadVariant(const std::string& section, int rasterBitmap, const char* stem,
                                      std::uint32_t limit) {
    const char* prefix = VariantPrefix(rasterBitmap);
    if (!prefix) return std::string();
    return ReadClass(section, (std::string(prefix) + stem).c_str(), limit);
}

std::int32_t ConfigReader::ReadClassInt(const std::string& section, const char* key, std::uint32_t limit) {
    return ParseConfigInt(ReadClass(section, key, limit));
}

void ConfigReader::ReadDriverFiles(const std::string& model, TargetSystem target, DriverFileList& files,
                                   int rasterBitmap) {
    if (!VariantPrefix(rasterBitmap)) return;
    const std::string section = FileListSection(model, target);
    files.DataFile = ReadVariant(section, rasterBitmap, "DataFile", 199);
    files.ConfigFile = ReadVariant(section, rasterBitmap, "ConfigFile", 199);
    files.HelpFile = ReadVariant(section, rasterBitmap, "HelpFile", 199);
    files.MonitorDLLName = ReadVariant(section, rasterBitmap, "MonitorDLLName", 199);
    files.ProcessorDLLName = ReadVariant(section, rasterBitmap, "ProcessorDLLName", 199);
    files.DriverPath = ReadVariant(section, rasterBitmap, "DriverPath", 199);
    files.DataFileDLLName = ReadVariant(section, rasterBitmap, "DataFileDLLName", 199);
    files.DataOemuiDLL = ReadVariant(section, rasterBitmap, "DataOemuiDLL", 199);
    files.DataOemuniDLL = ReadVariant(section, rasterBitmap, "DataOemuniDLL", 199);
    files.DataOemuniini = ReadVariant(section, rasterBitmap, "DataOemuniini", 199);
}

void ConfigReader::ReadDriverInfo(const std::string& model, TargetSystem target, sys::DriverInfo3& info,
                                  int rasterBitmap) {
    const std::string printer = PrinterSection(model, target);
    const std::string fileList = FileListSection(model, target);
    const char* prefix = VariantPrefix(rasterBitmap);
    info.pName = prefix ? ReadClass(printer, (std::string(prefix) + "DRIVERNAME").c_str(), 49) : std::string();

    info.cVersion = target == TargetSystem::Win98Me ? 0 : target == TargetSystem::WinNT ? 2 : 3;
    info.pEnvironment = Environment(target);

    info.pDataFile = ReadVariant(fileList, rasterBitmap, "DataFile", 199);
    info.pDriverPath = ReadVariant(fileList, rasterBitmap, "DriverPath", 199);
    info.pHelpFile = ReadVariant(fileList, rasterBitmap, "HelpFile", 199);
    info.pConfigFile = ReadVariant(fileList, rasterBitmap, "ConfigFile", 199);
    info.pMonitorName = ReadVariant(fileList, rasterBitmap, "MonitorName", 49);
    const std::string extras[4] = {ReadVariant(fileList, rasterBitmap, "DataFileDLLName", 199),
                                   ReadVariant(fileList, rasterBitmap, "DataOemuiDLL", 199),
                                   ReadVariant(fileList, rasterBitmap, "DataOemuniDLL", 199),
                                   ReadVariant(fileList, rasterBitmap, "DataOemuniini", 199)};

    // The universal-driver flag is read from the "GDI" key whatever the variant.
    std::int32_t ddk = ReadClassInt(fileList, "GDI2KDDKDEV", 9);
    info.pDependentFiles.clear();
    if (ddk != 0 && IsNtFamily2000OrLater(target)) {
        info.pDependentFiles = {info.pDataFile, "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD"};
        // An empty value names no file either, and would end the spooler's
        // list early.
        for (const std::string& extra : extras)
            if (NamesFile(extra)) info.pDependentFiles.push_back(extra);
    }
}

void ConfigReader::ReadLanguageMonitor(const std::string& /*model*/, TargetSystem target, sys::MonitorInfo2& info,
                                       int /*rasterBitmap*/) {
    info.pName = "Language Monitor";
    info.pDLLName = "pjlmon.dll";
    info.pEnvironment = Environment(target);
}

void ConfigReader::ReadPrinterInfo(const std::string& model, TargetSystem target, sys::PrinterInfo2& info,
                                   int rasterBitmap) {
    const std::string printer = PrinterSection(model, target);
    const char* prefix = VariantPrefix(rasterBitmap);

    info.pServerName = ReadClass(printer, "SERVERNAME", 49);
    info.pDriverName = prefix ? ReadClass(printer, (std::string(prefix) + "DRIVERNAME").c_str(), 49) : std::string();
    info.pComment = ReadClass(printer, "COMMENT", 49);
    info.pLocation = ReadClass(printer, "LOCATION", 49);
    info.pSepFile = ReadClass(printer, "SEPFILE", 49);
    info.pDatatype = ReadClass(printer, "DATATYPE", 49);
    info.pParameters = ReadClass(printer, "PARAMETERS", 49);
    // "SECURITYDESCRIPTOR" is a text, not a descriptor: it is read like the
    // other keys but the printer gets no security descriptor.
    (void)ReadClass(printer, "SECURITYDESCRIPTOR", 49);
    info.Attributes = static_cast<std::uint32_t>(ReadClassInt(printer, "ATTRIBUTES", 49));
    info.Priority = static_cast<std::uint32_t>(ReadClassInt(printer, "PRIORITY", 49));
    info.DefaultPriority = static_cast<std::uint32_t>(ReadClassInt(printer, "DEFAULTPRIORITY", 49));
    info.StartTime = static_cast<std::uint32_t>(ReadClassInt(printer, "STARTTIME", 49));
    info.UntilTime = static_cast<std::uint32_t>(ReadClassInt(printer, "UNTILTIME", 49));
    info.Status = static_cast<std::uint32_t>(ReadClassInt(printer, "STATUS", 49));
    info.cJobs = static_cast<std::uint32_t>(ReadClassInt(printer, "CJOBS", 49));
    info.AveragePPM = static_cast<std::uint32_t>(ReadClassInt(printer, "AVERAGEPPM", 49));

    info.pPrinterName = model;
    info.pShareName.reset();

    info.pPrintProcessor = ReadVariant(FileListSection(model, target), rasterBitmap, "PrintProcessor", 49);

    const std::string dmSection = DevModeSection(model, target);
    sys::DevMode dm;
    std::memset(&dm, 0, sizeof dm);
    CopyField(dm.dmDeviceName, model);
    dm.dmSpecVersion = 0x0400;
    dm.dmDriverVersion = static_cast<std::uint16_t>(ReadClassInt(dmSection, "DRIVERVERSION", 19));
    dm.dmSize = sizeof(sys::DevMode);
    dm.dmDriverExtra = static_cast<std::uint16_t>(ReadClassInt(dmSection, "DMDRIVEREXTRA", 19));
    dm.dmFields = static_cast<std::uint32_t>(ReadClassInt(dmSection, "FIELDS", 19));
    dm.dmOrientation = Low16(ReadClassInt(dmSection, "ORIENTATION", 19));
    dm.dmPaperSize = Low16(ReadClassInt(dmSection, "PAPERSIZE", 19));
    dm.dmPaperLength = Low16(ReadClassInt(dmSection, "PAPERLENGTH", 19));
    dm.dmPaperWidth = Low16(ReadClassInt(dmSection, "PAPERWIDTH", 19));
    dm.dmScale = Low16(ReadClassInt(dmSection, "SCALE", 19));
    dm.dmCopies = Low16(ReadClassInt(dmSection, "COPIES", 19));
    dm.dmDefaultSource = Low16(ReadClassInt(dmSection, "DEFAULTSOURCE", 19));
    dm.dmPrintQuality = Low16(ReadClassInt(dmSection, "PRINTQUALITY", 19));
    dm.dmColor = Low16(ReadClassInt(dmSection, "COLOR", 19));
    dm.dmDuplex = Low16(ReadClassInt(dmSection, "DUPLEX", 19));
    dm.dmYResolution = Low16(ReadClassInt(dmSection, "YRESOLUTION", 19));
    dm.dmTTOption = Low16(ReadClassInt(dmSection, "TTOPTION", 19));
    dm.dmCollate = Low16(ReadClassInt(dmSection, "COLLATE", 19));
    CopyField(dm.dmFormName, ReadClass(dmSection, "FORMNAME", 19));
    dm.dmICMMethod = static_cast<std::uint32_t>(ReadClassInt(dmSection, "ICMMETHOD", 19));
    dm.dmICMIntent = static_cast<std::uint32_t>(ReadClassInt(dmSection, "ICMINTENT", 19));
    dm.dmMediaType = static_cast<std::uint32_t>(ReadClassInt(dmSection, "MEDIATYPE", 19));
    dm.dmDitherType = static_cast<std::uint32_t>(ReadClassInt(dmSection, "DITHERTYPE", 19));
    info.pDevMode = dm;
}

void ConfigReader::ReadPortMonitors(TargetSystem target, PortMonitorSet& monitors) {
    const std::string section = PortMonitorSection(target);
    monitors.usbMonitor.pName = ReadMain(section, "USBMONitorPName", 49);
    monitors.usbMonitor.pDLLName = ReadMain(section, "USBMONitorPDLLName", 199);
    monitors.usbUiDll = ReadMain(section, "USBMONitorPUIDLLName", 49);
    monitors.usbVersion = ParseConfigInt(ReadMain(section, "USBMONitorVersion", 9));
    monitors.comMonitor.pName = ReadMain(section, "COMMONitorPName", 49);
    monitors.comMonitor.pDLLName = ReadMain(section, "COMMONitorPDLLName", 199);
    monitors.comUiDll = ReadMain(section, "COMMONitorPUIDLLName", 49);
    monitors.comVersion = ParseConfigInt(ReadMain(section, "COMMONitorVersion", 9));
    monitors.comMonitor.pEnvironment = Environment(target);
    monitors.usbMonitor.pEnvironment = Environment(target);
}

std::int32_t ConfigReader::ReadDriverVersion() { return ParseConfigInt(ReadMain("Version", "DriverVersion", 11)); }

int ConfigReader::ReadDdkFlag(const std::string& model, TargetSystem target, int rasterBitmap) {
    const char* prefix = VariantPrefix(rasterBitmap);
    if (!prefix) return 0;
    std::string value = ReadClass(FileListSection(model, target), (std::string(prefix) + "2KDDKDEV").c_str(), 4);
    return !value.empty() && value[0] == '1' ? 1 : 0;
}

std::int32_t ConfigReader::ReadDeviceCount() { return ParseConfigInt(ReadMain("DEVICENAME", "DEVICENUMBER", 31)); }

int ConfigReader::ReadDeviceName(int index, std::string& name) {
    name = ReadMain("DEVICENAME", ("DEVICENAME" + std::to_string(index)).c_str(), 199);
    for (int i = 0; i < 4; ++i) {
        std::size_t at = name.find(DeviceClassSuffix(i));
        if (at != std::string::npos) {
            name.resize(at);
            return i;
        }
    }
    return -1;
}

int ConfigReader::ReadDefaultDevice(std::string& name) {
    name = ReadMain("DEVICENAME", "DEFAULTNAME", 199);
    return ReadDeviceName(ParseConfigInt(name), name);
}
