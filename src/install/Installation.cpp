#include "install/Installation.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "config/ConfigInt.h"
#include "config/ConfigPaths.h"
#include "config/ConfigReader.h"
#include "install/ComponentUpdates.h"
#include "install/SpoolerControl.h"
#include "ports/SerialSettings.h"
#include "ports/UsbIdentity.h"
#include "ports/UsbPortNaming.h"
#include "resource.h"
#include "spooler/DriverStaging.h"
#include "spooler/PrintSystem.h"
#include "sys/RegistryKey.h"

namespace {

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class Installation {
public:
    Installation(const sys::Platform& p, InstallChoices& c, const std::function<void()>& endWizard)
        : m_p(p), m_c(c), m_endWizard(endWizard), m_reader(p) {}

    InstallEnding Run();

private:
    InstallEnding Stay(int id = 0) {
        if (id) Message(id);
        return InstallEnding::Stayed;
    }
    InstallEnding Close(int id = 0) {
        if (id) Message(id);
        m_endWizard();
        return InstallEnding::Closed;
    }
    void Message(int id, sys::MsgIcon icon = sys::MsgIcon::Error) {
        m_p.messages.ShowMessage(id, nullptr, sys::MsgButtons::Ok, icon);
    }
    bool Ask(int id) {
        return m_p.messages.ShowMessage(id, nullptr, sys::MsgButtons::YesNo, sys::MsgIcon::Question) ==
               sys::MsgAnswer::Yes;
    }
    // A copy without a fallback: every failure is reported.
    int Copy(const std::string& file, CopyTarget to) { return CopyDriverFileReported(m_p, file, to, m_c.targetSystem); }

    bool Server2003Supported();
    bool PrepareUsb(InstallEnding* ending);
    bool ReplaceOnNt(InstallEnding* ending);
    bool ReplaceOn98(InstallEnding* ending);
    bool CopyWithRename(const std::string& file, CopyTarget to, std::string* registeredName);
    void CopyDriverFiles();
    void WriteSerialSettings();

    const sys::Platform& m_p;
    InstallChoices& m_c;
    const std::function<void()>& m_endWizard;
    ConfigReader m_reader;
    DriverFileList m_files;
    sys::DriverInfo3 m_driver;
    sys::MonitorInfo2 m_languageMonitor;
    sys::PrinterInfo2 m_printer;
    std::uint32_t m_processorVersion = 0;
};

bool Installation::Server2003Supported() {
    const char* name = ClassConfigNameMixedCase(m_c.printerClass);
    if (!name) return false;
    const std::string file = ConfigPath(m_p.files, name);
    char value[200] = {};
    m_p.profile.GetPrivateString((m_c.modelName + ".PORT").c_str(), "System2003Supported", "0", value, sizeof value,
                                 file.c_str());
    return ParseConfigInt(value) != 0;
}

// The identity of the attached printer against the chosen USB port, the
// printer-name suffix and the maker's port records.
bool Installation::PrepareUsb(InstallEnding* ending) {
    m_p.log.Step("usb identity");
    const int identity = ReadUsbIdentity(m_p);
    const int n = static_cast<int>(std::fmod(static_cast<double>(identity), 8.0) + 1.0);
    if (m_c.installMode == InstallMode::Advanced) {
        if (identity == kNoUsbIdentity) {
            *ending = Stay(IDS_CONNECT_USB_PRINTER);
            return false;
        }
        if (identity == kSeveralUsbPrinters) {
            *ending = Stay();
            return false;
        }
        if (!Contains(m_c.portName, ("_" + std::to_string(n)).c_str())) {
            int k = 0;
            for (int candidate = 4; candidate >= 1 && k == 0; --candidate)
                if (Contains(m_c.portName, ("_" + std::to_string(candidate)).c_str())) k = candidate;
            if (k != n) {
                if (!Ask(IDS_RENAME_USB_DEVICE)) {
                    *ending = Stay();
                    return false;
                }
                WriteUsbIdentity(m_p, k);
            }
        }
    } else if (identity != kNoUsbIdentity && n != 1) {
        if (!Ask(IDS_RENAME_USB_DEVICE)) {
            *ending = Stay();
            return false;
        }
        WriteUsbIdentity(m_p, 1);
    }
    m_p.log.Step("usb port names");
    for (int i = 1; i <= 4; ++i)
        if (Contains(m_c.portName, ("_" + std::to_string(i)).c_str())) m_printer.pPrinterName += "(U) " + std::to_string(i);
    if (Contains(m_c.portName, kFourPortModel)) {
        // The four-port model: the printer goes on its own port of that number.
        m_c.usbPortName = std::string("USB_") + kFourPortModel + "_" + m_c.portName.substr(m_c.portName.size() - 1);
        m_printer.pPortName = m_c.usbPortName;
        NameUsbPort(m_p, m_c.usbPortName);
    } else {
        NameUsbPort(m_p, m_c.portName);
    }
    return true;
}

// Outdated components on the NT family are replaced with the spooler
// stopped.  Every ending here leaves the spooler started again.
bool Installation::ReplaceOnNt(InstallEnding* ending) {
    m_p.log.Step("replace on nt");
    std::string processorDir;
    std::uint32_t error = 0;
    if ((m_c.replaceFlags & ProcessorOutdated) && !m_p.spooler.PrintProcessorDirectory(&processorDir, &error)) {
        *ending = Close(IDS_NO_PROCESSOR_DIR);
        return false;
    }
    StopSpooler(m_p);
    m_p.system.Sleep(500);

    PortMonitorSet monitors;
    m_reader.ReadPortMonitors(m_c.targetSystem, monitors);
    RegistryKey key(m_p.registry);
    if (m_c.replaceFlags & SerialMonitorOutdated) {
        // A monitor whose file stayed the old one keeps its old version.
        if (Copy(monitors.comMonitor.pDLLName, CopyTarget::SystemDir) == kCopied &&
            key.Open(sys::kHKeyLocalMachine, MonitorKey(monitors.comMonitor.pName).c_str()))
            key.SetDWORD("DriverVersion", static_cast<std::uint32_t>(monitors.comVersion));
    } else if (m_c.replaceFlags & UsbMonitorOutdated) {
        if (Copy(monitors.usbMonitor.pDLLName, CopyTarget::SystemDir) == kCopied &&
            key.Open(sys::kHKeyLocalMachine, MonitorKey(monitors.usbMonitor.pName).c_str())) {
            key.SetString("Driver", monitors.usbMonitor.pDLLName.c_str());
            key.SetDWORD("DriverVersion", static_cast<std::uint32_t>(monitors.usbVersion));
        }
    } else if (m_c.replaceFlags & ProcessorOutdated) {
        std::vector<char> current(256, '\0');
        std::uint32_t n = m_p.files.CurrentDirectory(current.data(), 256, &error);
        if (n >= 256) {
            current.assign(n, '\0');
            n = m_p.files.CurrentDirectory(current.data(), n, &error);
        }
        if (n == 0) {
            // The spooler was stopped above: printing must not stay broken.
            StartSpooler(m_p);
            *ending = Close(IDS_NO_CURRENT_DIR);
            return false;
        }
        const std::string name = m_files.ProcessorDLLName;
        std::string dir(current.data(), n);
        if (!dir.empty() && dir.back() == '\\') dir.pop_back();
        const std::string source = dir + SourceFolder(m_c.targetSystem) + name;
        const std::string destination = processorDir + "\\" + name;
        if (!IsBareFileName(name) || !m_p.files.Copy(source.c_str(), destination.c_str(), false, &error)) {
            m_p.messages.ShowText(source.c_str(), sys::MsgButtons::Ok, sys::MsgIcon::Error);
            StartSpooler(m_p);
            *ending = Close(IDS_COPY_FAILED);
            return false;
        }
        if (key.Open(sys::kHKeyLocalMachine, ProcessorKey(m_c.targetSystem, m_printer.pPrintProcessor).c_str()))
            key.SetDWORD("DriverVersion", m_processorVersion);
    }
    key.Close();

    StartSpooler(m_p);
    const bool xpOrLater = m_c.targetSystem == TargetSystem::WinXP || m_c.targetSystem == TargetSystem::WinServer2003;
    m_p.system.Sleep(xpOrLater ? 2500 : 1000);
    StartSpooler(m_p);
    m_p.system.Sleep(1000);
    if (!WaitForSpooler(m_p)) {
        StartSpooler(m_p);
        *ending = Close();
        return false;
    }
    return true;
}

// Windows 98/Me: a DLL in use is installed under the name "n" + its name.
bool Installation::CopyWithRename(const std::string& file, CopyTarget to, std::string* registeredName) {
    *registeredName = file;
    int r = CopyDriverFile(m_p, file, to, m_c.targetSystem, false);
    if (CopyRefused(r)) {
        r = CopyDriverFile(m_p, file, to, m_c.targetSystem, true);
        if (CopyRefused(r)) return false;
        *registeredName = "n" + file;
    }
    return true;
}

bool Installation::ReplaceOn98(InstallEnding* ending) {
    m_p.log.Step("replace on 98");
    RegistryKey key(m_p.registry);
    std::string keyPath, file, registered;
    std::uint32_t version = 0;
    CopyTarget to = CopyTarget::SystemDir;
    if (m_c.replaceFlags & UsbMonitorOutdated) {
        PortMonitorSet monitors;
        m_reader.ReadPortMonitors(m_c.targetSystem, monitors);
        keyPath = MonitorKey(monitors.usbMonitor.pName);
        file = monitors.usbMonitor.pDLLName;
        version = static_cast<std::uint32_t>(monitors.usbVersion);
    } else if (m_c.replaceFlags & ProcessorOutdated) {
        keyPath = ProcessorKey(TargetSystem::Win98Me, m_printer.pPrintProcessor);
        file = m_files.ProcessorDLLName;
        version = m_processorVersion;
        to = CopyTarget::ProcessorDir;
    } else {
        return true;
    }
    if (!key.Open(sys::kHKeyLocalMachine, keyPath.c_str())) {
        RegistryKey::CreateKey(m_p.registry, sys::kHKeyLocalMachine, keyPath.c_str());
        key.Open(sys::kHKeyLocalMachine, keyPath.c_str());
    }
    if (!CopyWithRename(file, to, &registered)) {
        *ending = Close(IDS_SYSTEM_ERROR_RESTART);
        return false;
    }
    key.SetString("Driver", registered.c_str());
    key.SetDWORD("DriverVersion", version);
    return true;
}

void Installation::CopyDriverFiles() {
    const bool nt5 = m_c.targetSystem == TargetSystem::Win2000 || m_c.targetSystem == TargetSystem::WinXP ||
                     m_c.targetSystem == TargetSystem::WinServer2003;
    Copy(m_files.ConfigFile, CopyTarget::DriverDir);
    Copy(m_files.DataFile, CopyTarget::DriverDir);
    if (nt5) Copy(m_files.DataFile, CopyTarget::DriverDirV3);
    Copy(m_files.DriverPath, CopyTarget::DriverDir);
    Copy(m_files.HelpFile, CopyTarget::DriverDir);
    if (NamesFile(m_files.DataFileDLLName)) Copy(m_files.DataFileDLLName, CopyTarget::DriverDir);
    for (const std::string* extra : {&m_files.DataOemuiDLL, &m_files.DataOemuniDLL, &m_files.DataOemuniini}) {
        if (!NamesFile(*extra)) continue;
        Copy(*extra, CopyTarget::DriverDir);
        Copy(*extra, CopyTarget::DriverDirV3);
    }
}

void Installation::WriteSerialSettings() {
    const std::size_t at = m_c.portName.find("COM");
    const std::string portText = m_c.portName.substr(at);
    const char digit = at + 3 < m_c.portName.size() ? m_c.portName[at + 3] : '\0';
    const int portNumber = digit >= '0' && digit <= '9' ? digit - '0' : 0;
    SerialSettings s;
    s.baudRate = m_c.baudRate;
    s.dataBits = m_c.dataBits;
    s.stopBits = m_c.stopBits;
    s.parity = static_cast<char>(std::tolower(static_cast<unsigned char>(m_c.parity)));
    s.flow = m_c.flowControl;
    if (m_c.targetSystem == TargetSystem::Win98Me)
        WriteSerialSettingsWin98(m_p, portNumber, portText, s);
    else
        WriteSerialSettingsNT(m_p, portText, s);
}

InstallEnding Installation::Run() {
    m_reader.printerClass = m_c.printerClass;
    m_p.log.Step("check model");
    if (m_c.modelName.empty()) return Stay(IDS_CHOOSE_PRINTER);
    if (m_c.targetSystem == TargetSystem::WinServer2003) {
        m_p.log.Step("check server 2003");
        if (!Server2003Supported()) return Close(IDS_NO_SERVER_2003);
    }

    m_p.log.Step("port kind");
    std::optional<PortKind> kind = PortKindOf(m_c.portName);
    if (!kind) return Stay(IDS_PORT_NOT_SUPPORTED);
    m_c.portKind = *kind;
    if (m_c.targetSystem == TargetSystem::WinNT && m_c.portKind == PortKind::Usb) return Stay(IDS_NT4_NO_USB);

    m_p.log.Step("read configuration");
    const int variant = m_c.rasterBitmap;
    m_reader.ReadDriverFiles(m_c.modelName, m_c.targetSystem, m_files, variant);
    m_reader.ReadDriverInfo(m_c.modelName, m_c.targetSystem, m_driver, variant);
    m_reader.ReadLanguageMonitor(m_c.modelName, m_c.targetSystem, m_languageMonitor, variant);
    m_reader.ReadPrinterInfo(m_c.modelName, m_c.targetSystem, m_printer, variant);
    m_c.usbPortName.clear();
    m_printer.pPortName = m_c.portName;

    InstallEnding ending = InstallEnding::Stayed;
    if (m_c.portKind == PortKind::Usb) {
        if (!PrepareUsb(&ending)) return ending;
    } else {
        m_printer.pPrinterName += m_c.portKind == PortKind::Serial ? "(S)" : "(P)";
    }

    if (m_c.targetSystem == TargetSystem::Win98Me) {
        m_p.log.Step("wait 98");
        m_p.system.Sleep(1000);
    }
    m_p.log.Step("port monitors");
    const int monitors = UpdatePortMonitors(m_p, m_c.printerClass, m_c.targetSystem, m_c.portName);
    if (monitors == kMonitorAddFailed) return Close();
    m_c.replaceFlags = static_cast<std::uint32_t>(monitors);
    m_p.log.Step("print processor");
    const int processor = UpdatePrintProcessor(m_p, m_c.targetSystem, m_printer.pPrintProcessor, m_files.ProcessorDLLName);
    if (processor == kProcessorAddFailed) return Close();
    m_c.replaceFlags |= static_cast<std::uint32_t>(processor);
    m_processorVersion = static_cast<std::uint32_t>(m_reader.ReadDriverVersion());

    if (m_c.replaceFlags != 0) {
        const bool ok = m_c.targetSystem == TargetSystem::Win98Me ? ReplaceOn98(&ending) : ReplaceOnNt(&ending);
        if (!ok) return ending;
    }

    if (m_c.portKind == PortKind::Usb) {
        m_p.log.Step("enumerate ports");
        if (!ProbePorts(m_p)) return Close();
    }
    m_p.log.Step("check driver files");
    if (m_files.ConfigFile.empty() || m_files.DataFile.empty() || m_files.DriverPath.empty() ||
        m_files.HelpFile.empty())
        return Close(IDS_DRIVER_FILES_MISSING);

    m_p.log.Step("copy driver files");
    CopyDriverFiles();
    m_p.log.Step("stage universal driver");
    const int ddk = m_reader.ReadDdkFlag(m_c.modelName, m_c.targetSystem, variant);
    StageUniversalDriver(m_p, m_c.targetSystem, ddk);
    if (m_c.targetSystem == TargetSystem::Win98Me && NeedsColourLibrary(m_c.modelName)) {
        m_p.log.Step("colour library");
        Copy(kColourLibrary, CopyTarget::DriverDir);
    }
    if (ddk) {
        m_p.log.Step("ddk data file");
        if (m_files.DataFileDLLName.empty()) return Close(IDS_DRIVER_FILES_MISSING);
        Copy(m_files.DataFileDLLName, CopyTarget::DriverDirV3);
    }
    if (!m_files.MonitorDLLName.empty()) {
        m_p.log.Step("language monitor");
        Copy(m_files.MonitorDLLName, CopyTarget::DriverDir);
        InstallMonitor(m_p, m_languageMonitor);
    }
    m_p.log.Step("add driver");
    InstallPrinterDriver(m_p, m_driver);

    if (m_c.portKind == PortKind::Usb) {
        m_p.log.Step("usb port record");
        RegistryKey key(m_p.registry);
        if (key.Open(sys::kHKeyLocalMachine, kPrinterPortKey)) key.SetDWORD(m_c.portName.c_str(), 0);
    }
    m_p.log.Step("add printer");
    if (!InstallPrinter(m_p, m_printer, 2, m_c.portKind == PortKind::Usb)) return Close();
    m_c.modelName = m_printer.pPrinterName;
    if (m_c.modelName.empty()) return Close();
    if (m_c.setAsDefault) {
        m_p.log.Step("default printer");
        MakeDefaultPrinter(m_p, m_c.modelName.c_str());
    }
    if (m_c.portKind == PortKind::Serial) {
        m_p.log.Step("serial settings");
        WriteSerialSettings();
    }

    m_p.log.Step("end wizard");
    m_endWizard();
    if (m_c.targetSystem != TargetSystem::Win98Me) {
        m_p.log.Step("success message");
        Message(m_c.portKind == PortKind::Usb ? IDS_INSTALL_DONE_RESET : IDS_INSTALL_DONE, sys::MsgIcon::Information);
    } else {
        m_p.log.Step("restart");
        if (Ask(IDS_RESTART_QUESTION)) RestartWindows(m_p);
    }
    return InstallEnding::Finished;
}

}  // namespace

namespace {

// The choices an installation starts from, as its log's first line.
std::string ChoicesText(const InstallChoices& c) {
    static const char* const kClasses[] = {"Receipt", "Ticket", "Label", "Embedded"};
    static const char* const kTargets[] = {"98/Me", "NT 4", "2000", "XP", "Server 2003"};
    const auto cls = static_cast<std::size_t>(c.printerClass);
    const auto target = static_cast<std::size_t>(c.targetSystem);
    char serial[96];
    std::snprintf(serial, sizeof serial, "%d baud, %d data bits, %g stop bits, parity %c, flow control '%c'",
                  static_cast<int>(c.baudRate), static_cast<int>(c.dataBits), c.stopBits, c.parity, c.flowControl);
    return std::string("installing: class ") + (cls < 4 ? kClasses[cls] : "?") + ", model \"" + c.modelName +
           "\", port \"" + c.portName + "\", mode " +
           (c.installMode == InstallMode::Advanced ? "Advanced" : "Typical") + ", for Windows " +
           (target < 5 ? kTargets[target] : "?") + ", raster bitmap " + std::to_string(c.rasterBitmap) +
           ", default " + std::to_string(c.setAsDefault) + ", serial " + serial;
}

}  // namespace

const char* EndingName(InstallEnding ending) {
    switch (ending) {
        case InstallEnding::Finished: return "finished";
        case InstallEnding::Closed: return "closed";
        case InstallEnding::Stayed: return "stayed";
    }
    return "";
}

InstallEnding RunInstallation(const sys::Platform& platform, InstallChoices& choices,
                              const std::function<void()>& endWizard) {
    platform.log.Note(ChoicesText(choices));
    InstallEnding ending;
    {
        Installation installation(platform, choices, endWizard);
        ending = installation.Run();
    }
    platform.log.Note(std::string("installation ") + EndingName(ending) +
                      (ending == InstallEnding::Finished ? ", printer " + choices.modelName : std::string()));
    return ending;
}
