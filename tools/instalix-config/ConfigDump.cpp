#include "ConfigDump.h"

#include <algorithm>

#include <vector>

#include "config/ConfigReader.h"

namespace {

const char* const kFamilyNames[5] = {"98", "NT", "2K", "XP", "2003"};
const char* const kVariantNames[2] = {"STD", "GDI"};

class Printer {
public:
    explicit Printer(std::FILE* out) : m_out(out) {}
    void Section(const std::string& name) { Raw("[" + name + "]\n"); }
    void Line(const std::string& name, const std::string& value) { Raw(name + "=" + value + "\n"); }
    void Line(const std::string& name, const std::optional<std::string>& value) {
        Line(name, value ? *value : std::string("<null>"));
    }
    void Line(const std::string& name, long long value) { Line(name, std::to_string(value)); }

private:
    void Raw(const std::string& text) { std::fwrite(text.data(), 1, text.size(), m_out); }
    std::FILE* m_out;
};

void DumpMonitor(Printer& p, const std::string& prefix, const sys::MonitorInfo2& m) {
    p.Line(prefix + ".pName", m.pName);
    p.Line(prefix + ".pEnvironment", m.pEnvironment);
    p.Line(prefix + ".pDLLName", m.pDLLName);
}

void DumpModel(Printer& p, ConfigReader& reader, const std::string& model, TargetSystem family, int variant) {
    p.Section("model " + model + " " + kFamilyNames[static_cast<int>(family)] + " " + kVariantNames[variant]);

    DriverFileList f;
    reader.ReadDriverFiles(model, family, f, variant);
    const std::pair<const char*, const std::string*> files[] = {
        {"DriverPath", &f.DriverPath},           {"DataFile", &f.DataFile},
        {"ConfigFile", &f.ConfigFile},           {"HelpFile", &f.HelpFile},
        {"MonitorDLLName", &f.MonitorDLLName},   {"ProcessorDLLName", &f.ProcessorDLLName},
        {"DataFileDLLName", &f.DataFileDLLName}, {"DataOemuniDLL", &f.DataOemuniDLL},
        {"DataOemuniini", &f.DataOemuniini},     {"DataOemuiDLL", &f.DataOemuiDLL}};
    for (const auto& [name, value] : files) p.Line(std::string("files.") + name, *value);

    sys::DriverInfo3 d;
    reader.ReadDriverInfo(model, family, d, variant);
    p.Line("driver.cVersion", static_cast<long long>(d.cVersion));
    p.Line("driver.pName", d.pName);
    p.Line("driver.pEnvironment", d.pEnvironment);
    p.Line("driver.pDriverPath", d.pDriverPath);
    p.Line("driver.pDataFile", d.pDataFile);
    p.Line("driver.pConfigFile", d.pConfigFile);
    p.Line("driver.pHelpFile", d.pHelpFile);
    p.Line("driver.pDependentFiles.count", static_cast<long long>(d.pDependentFiles.size()));
    for (std::size_t i = 0; i < d.pDependentFiles.size(); ++i)
        p.Line("driver.pDependentFiles." + std::to_string(i + 1), d.pDependentFiles[i]);
    p.Line("driver.pMonitorName", d.pMonitorName);
    p.Line("driver.pDefaultDataType", d.pDefaultDataType);

    sys::MonitorInfo2 lang;
    reader.ReadLanguageMonitor(model, family, lang, variant);
    DumpMonitor(p, "langmon", lang);

    sys::PrinterInfo2 pi;
    reader.ReadPrinterInfo(model, family, pi, variant);
    p.Line("printer.pServerName", pi.pServerName);
    p.Line("printer.pPrinterName", pi.pPrinterName);
    p.Line("printer.pShareName", pi.pShareName);
    p.Line("printer.pDriverName", pi.pDriverName);
    p.Line("printer.pComment", pi.pComment);
    p.Line("printer.pLocation", pi.pLocation);
    p.Line("printer.pSepFile", pi.pSepFile);
    p.Line("printer.pPrintProcessor", pi.pPrintProcessor);
    p.Line("printer.pDatatype", pi.pDatatype);
    p.Line("printer.pParameters", pi.pParameters);
    p.Line("printer.pSecurityDescriptor", std::optional<std::string>());
    p.Line("printer.Attributes", pi.Attributes);
    p.Line("printer.Priority", pi.Priority);
    p.Line("printer.DefaultPriority", pi.DefaultPriority);
    p.Line("printer.StartTime", pi.StartTime);
    p.Line("printer.UntilTime", pi.UntilTime);
    p.Line("printer.Status", pi.Status);
    p.Line("printer.cJobs", pi.cJobs);
    p.Line("printer.AveragePPM", pi.AveragePPM);

    const sys::DevMode& dm = *pi.pDevMode;
    p.Line("devmode.dmDeviceName", std::string(dm.dmDeviceName));
    p.Line("devmode.dmSpecVersion", dm.dmSpecVersion);
    p.Line("devmode.dmDriverVersion", dm.dmDriverVersion);
    p.Line("devmode.dmSize", dm.dmSize);
    p.Line("devmode.dmDriverExtra", dm.dmDriverExtra);
    p.Line("devmode.dmFields", dm.dmFields);
    p.Line("devmode.dmOrientation", dm.dmOrientation);
    p.Line("devmode.dmPaperSize", dm.dmPaperSize);
    p.Line("devmode.dmPaperLength", dm.dmPaperLength);
    p.Line("devmode.dmPaperWidth", dm.dmPaperWidth);
    p.Line("devmode.dmScale", dm.dmScale);
    p.Line("devmode.dmCopies", dm.dmCopies);
    p.Line("devmode.dmDefaultSource", dm.dmDefaultSource);
    p.Line("devmode.dmPrintQuality", dm.dmPrintQuality);
    p.Line("devmode.dmColor", dm.dmColor);
    p.Line("devmode.dmDuplex", dm.dmDuplex);
    p.Line("devmode.dmYResolution", dm.dmYResolution);
    p.Line("devmode.dmTTOption", dm.dmTTOption);
    p.Line("devmode.dmCollate", dm.dmCollate);
    p.Line("devmode.dmFormName", std::string(dm.dmFormName));
    p.Line("devmode.dmLogPixels", dm.dmLogPixels);
    p.Line("devmode.dmBitsPerPel", dm.dmBitsPerPel);
    p.Line("devmode.dmPelsWidth", dm.dmPelsWidth);
    p.Line("devmode.dmPelsHeight", dm.dmPelsHeight);
    p.Line("devmode.dmNup", dm.dmNup);
    p.Line("devmode.dmDisplayFrequency", dm.dmDisplayFrequency);
    p.Line("devmode.dmICMMethod", dm.dmICMMethod);
    p.Line("devmode.dmICMIntent", dm.dmICMIntent);
    p.Line("devmode.dmMediaType", dm.dmMediaType);
    p.Line("devmode.dmDitherType", dm.dmDitherType);
    p.Line("devmode.dmReserved1", dm.dmReserved1);
    p.Line("devmode.dmReserved2", dm.dmReserved2);
    p.Line("devmode.blockSize", static_cast<long long>(sys::DevModeBlock(dm).size()));

    p.Line("ddk", reader.ReadDdkFlag(model, family, variant));
}

}  // namespace

std::optional<TargetSystem> ParseFamily(const std::string& text) {
    const char* const aliases[5] = {"win98", "nt40", "win2k", "winxp", "win2003"};
    for (int i = 0; i < 5; ++i)
        if (text == kFamilyNames[i] || text == aliases[i]) return static_cast<TargetSystem>(i);
    return std::nullopt;
}

std::optional<int> ParseVariant(const std::string& text) {
    if (text == "STD" || text == "std" || text == "0") return 0;
    if (text == "GDI" || text == "gdi" || text == "1") return 1;
    return std::nullopt;
}

int DumpConfiguration(const sys::Platform& platform, const DumpRequest& request, std::FILE* out) {
    Printer p(out);
    ConfigReader reader(platform);

    struct Device {
        std::string name;
        int cls;
    };
    std::vector<Device> devices;
    p.Section("devices");
    const std::int32_t count = reader.ReadDeviceCount();
    p.Line("DEVICENUMBER", count);
    for (int i = 1; i <= std::min(count, static_cast<std::int32_t>(kMaxConfigEntries)); ++i) {
        std::string name;
        int cls = reader.ReadDeviceName(i, name);
        p.Line("device" + std::to_string(i) + ".name", name);
        p.Line("device" + std::to_string(i) + ".class", cls);
        if (cls >= 0) devices.push_back(Device{name, cls});
    }
    std::string defaultName;
    int defaultClass = reader.ReadDefaultDevice(defaultName);
    p.Line("default.name", defaultName);
    p.Line("default.class", defaultClass);
    p.Line("Version.DriverVersion", reader.ReadDriverVersion());

    std::vector<TargetSystem> families;
    for (int f = 0; f < 5; ++f)
        if (!request.family || *request.family == static_cast<TargetSystem>(f))
            families.push_back(static_cast<TargetSystem>(f));

    for (TargetSystem family : families) {
        p.Section(std::string("monitors ") + kFamilyNames[static_cast<int>(family)]);
        PortMonitorSet m;
        reader.ReadPortMonitors(family, m);
        DumpMonitor(p, "com", m.comMonitor);
        p.Line("com.uiDll", m.comUiDll);
        p.Line("com.version", m.comVersion);
        DumpMonitor(p, "usb", m.usbMonitor);
        p.Line("usb.uiDll", m.usbUiDll);
        p.Line("usb.version", m.usbVersion);
    }

    bool found = !request.model;
    for (const Device& d : devices) {
        if (request.model && *request.model != d.name) continue;
        found = true;
        reader.printerClass = static_cast<PrinterClass>(d.cls);
        for (TargetSystem family : families)
            for (int variant = 0; variant < 2; ++variant)
                if (!request.variant || *request.variant == variant) DumpModel(p, reader, d.name, family, variant);
    }
    return found ? 0 : 2;
}
