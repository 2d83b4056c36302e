// Fuzz target: the configuration readers over a package made of the input.
//
// The input is cut at every "\n@@@\n" into up to six pieces: setup.ini, the
// receipt, ticket, label and embedded class files (the simulated machine's
// D:\DRVCONFIG, beside the program D:\instalix.exe), and a listing of the
// family folders, one "win98/NAME" line per file.  The first models of the
// device lists are then read as the installer reads them, in each Windows
// family, and, when the input has the listing, the package is checked as
// instalix-config --check does (the check reads every model, which makes
// it the slow part).  Besides the sanitizers, the run stops on a record that
// breaks what the readers promise: values within their limits, fixed
// fields terminated, the lists' default among its models, and the value of
// every key the checker's line scan finds equal to what the profile reader
// gives for it.
#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "FuzzSupport.h"
#include "check/PackageCheck.h"
#include "config/ConfigReader.h"
#include "config/IniScan.h"
#include "config/PortSection.h"
#include "install/PrinterLists.h"
#include "sys/sim/SimMachine.h"

namespace {

const char kSeparator[] = "\n@@@\n";
const char* const kConfigNames[5] = {"setup.ini", "setup_receipt.ini", "setup_ticket.ini", "setup_lable.ini",
                                     "setup_embedded.ini"};
const char* const kFamilyFolders[3] = {"win98", "winnt", "win2003"};
// Models read per input; the device list can name up to 100,000.
constexpr std::size_t kMaxModels = 3;

// The package as the checker lists and reads it, from the same bytes.
class MemoryPackage final : public IPackageFolder {
public:
    std::map<std::string, std::vector<PackageEntry>> folders;
    std::map<std::string, std::string> files;

    bool List(const std::string& path, std::vector<PackageEntry>* entries) override {
        auto it = folders.find(path);
        if (it == folders.end()) return false;
        *entries = it->second;
        return true;
    }
    bool Read(const std::string& path, std::string* bytes) override {
        auto it = files.find(path);
        if (it == files.end()) return false;
        *bytes = it->second;
        return true;
    }
};

// Code page 936 text as stored: no NUL, no byte order mark, every lead byte
// with its trail byte.
bool PlainText(const std::string& text) {
    if (text.find('\0') != std::string::npos) return false;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0 || text.rfind("\xFF\xFE", 0) == 0) return false;
    return InvalidGbkAt(text) == std::string::npos;
}

std::string StripQuotes(const std::string& v) {
    if (v.size() > 1 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// Every key the line scan finds in the section the profile API reads reads
// the scan's value through the profile reader (plain text only: the reader
// converts files with a byte order mark, turns broken two-byte characters
// into '?' and ends a value at NUL, where the scan reports the line).
void CompareScanWithReader(sys::IProfile& profile, const std::string& path, const std::string& bytes) {
    if (!PlainText(bytes)) return;
    const IniScan scan = ScanIni(bytes);
    std::set<std::string> seen;
    for (const IniSection& section : scan.sections) {
        if (section.name.empty() || !seen.insert(FoldNameCase(section.name)).second) continue;
        FUZZ_CHECK(scan.Find(section.name) == &section);
        for (const IniKey& key : section.keys) {
            if (key.name.empty() || IniScan::Find(section, key.name) != &key) continue;
            char buffer[4096];
            const std::uint32_t n = profile.GetPrivateString(section.name.c_str(), key.name.c_str(), "<missing>",
                                                             buffer, sizeof buffer, path.c_str());
            const std::string read(buffer, n);
            if (!key.hasValue) {
                FUZZ_CHECK(read == "<missing>");
            } else if (key.value.size() < sizeof buffer - 1) {
                if (read != StripQuotes(key.value))
                    std::fprintf(stderr, "[%s] %s: scan '%s', reader '%s'\n", section.name.c_str(), key.name.c_str(),
                                 key.value.c_str(), read.c_str());
                FUZZ_CHECK(read == StripQuotes(key.value));
            }
        }
    }
}

bool Terminated(const char* field, std::size_t size) { return std::memchr(field, '\0', size) != nullptr; }

// Reads a model's records: the first model in every family, the others in
// one family each, turn by turn.
void ReadModel(ConfigReader& reader, sys::Platform platform, int cls, const std::string& model, std::size_t nth) {
    reader.printerClass = static_cast<PrinterClass>(cls);
    for (int t = 0; t < 5; ++t) {
        if (nth > 0 && static_cast<std::size_t>(t) != nth % 5) continue;
        const TargetSystem target = static_cast<TargetSystem>(t);
        // STD, GDI or no variant, turn by turn across models and families.
        const int variant = static_cast<int>((nth + static_cast<std::size_t>(t)) % 3);

        DriverFileList files;
        reader.ReadDriverFiles(model, target, files, variant);
        for (const std::string* v : {&files.DriverPath, &files.DataFile, &files.ConfigFile, &files.HelpFile,
                                     &files.MonitorDLLName, &files.ProcessorDLLName, &files.DataFileDLLName,
                                     &files.DataOemuiDLL, &files.DataOemuniDLL, &files.DataOemuniini}) {
            FUZZ_CHECK(v->size() <= 199);
            if (variant == 2) FUZZ_CHECK(v->empty());
        }

        sys::DriverInfo3 info;
        reader.ReadDriverInfo(model, target, info, variant);
        FUZZ_CHECK(info.pName.size() <= 49);
        FUZZ_CHECK(info.pMonitorName.size() <= 49);
        FUZZ_CHECK(info.pDataFile.size() <= 199 && info.pDriverPath.size() <= 199);
        if (t < 2) FUZZ_CHECK(info.pDependentFiles.empty());
        for (std::size_t i = 1; i < info.pDependentFiles.size(); ++i) FUZZ_CHECK(!info.pDependentFiles[i].empty());
        (void)sys::MultiString(info.pDependentFiles);

        sys::MonitorInfo2 language;
        reader.ReadLanguageMonitor(model, target, language, variant);

        sys::PrinterInfo2 printer;
        reader.ReadPrinterInfo(model, target, printer, variant);
        FUZZ_CHECK(printer.pPrinterName == model);
        FUZZ_CHECK(printer.pDriverName.size() <= 49 && printer.pComment.size() <= 49);
        FUZZ_CHECK(printer.pPrintProcessor.size() <= 49);
        FUZZ_CHECK(printer.pDevMode.has_value());
        const sys::DevMode& dm = *printer.pDevMode;
        FUZZ_CHECK(Terminated(dm.dmDeviceName, sizeof dm.dmDeviceName));
        FUZZ_CHECK(Terminated(dm.dmFormName, sizeof dm.dmFormName));
        FUZZ_CHECK(dm.dmSize == sizeof(sys::DevMode));
        FUZZ_CHECK(sys::DevModeBlock(dm).size() == sizeof(sys::DevMode) + dm.dmDriverExtra);

        const int ddk = reader.ReadDdkFlag(model, target, variant);
        FUZZ_CHECK(ddk == 0 || ddk == 1);
    }
    // The port page's keys, as the wizard spells the class file.
    const std::string classFile = ClassConfigPath(platform.files, static_cast<PrinterClass>(cls));
    for (const char* key : {"AdvancedSetup", "System2003Supported", "USBSUPPORTED", "LPTDEFAULT", "BaudRate"})
        (void)ReadPortSectionInt(platform.profile, classFile, PortSectionName(model), key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> pieces = fuzz::Split(data, size, kSeparator, 6);

    sys::sim::SimMachine machine;
    machine.SetWindows("winxp");
    machine.files.programPath = "D:\\instalix.exe";
    MemoryPackage package;
    std::vector<PackageEntry>& root = package.folders[""];
    root.push_back(PackageEntry{"DRVCONFIG", true});
    std::vector<PackageEntry>& config = package.folders["DRVCONFIG"];
    for (std::size_t i = 0; i < 5 && i < pieces.size(); ++i) {
        machine.fs.WriteFile(std::string("D:\\DRVCONFIG\\") + kConfigNames[i], pieces[i]);
        config.push_back(PackageEntry{kConfigNames[i], false});
        package.files[std::string("DRVCONFIG/") + kConfigNames[i]] = pieces[i];
    }
    if (pieces.size() > 5) {
        // "folder/name" lines; the folder must be one of the family folders.
        std::size_t pos = 0;
        const std::string& listing = pieces[5];
        while (pos < listing.size()) {
            std::size_t end = listing.find('\n', pos);
            if (end == std::string::npos) end = listing.size();
            const std::string line = listing.substr(pos, end - pos);
            pos = end + 1;
            const std::size_t slash = line.find('/');
            if (slash == std::string::npos || slash + 1 >= line.size()) continue;
            const std::string folder = line.substr(0, slash);
            if (std::find(std::begin(kFamilyFolders), std::end(kFamilyFolders), folder) == std::end(kFamilyFolders))
                continue;
            if (!package.folders.count(folder)) root.push_back(PackageEntry{folder, true});
            package.folders[folder].push_back(PackageEntry{line.substr(slash + 1), false});
        }
    }

    sys::Platform platform = machine.platform();
    ConfigReader reader(platform);
    FUZZ_CHECK(reader.MainFile() == "D:\\DRVCONFIG\\setup.ini");

    // The main file's own records.
    for (int t = 0; t < 5; ++t) {
        PortMonitorSet monitors;
        reader.ReadPortMonitors(static_cast<TargetSystem>(t), monitors);
        FUZZ_CHECK(monitors.comMonitor.pName.size() <= 49 && monitors.usbMonitor.pName.size() <= 49);
        FUZZ_CHECK(monitors.comMonitor.pDLLName.size() <= 199 && monitors.usbMonitor.pDLLName.size() <= 199);
        FUZZ_CHECK(monitors.comUiDll.size() <= 49 && monitors.usbUiDll.size() <= 49);
    }
    (void)reader.ReadDriverVersion();
    for (std::uint32_t limit : {0u, 1u, 2u, 4u, 49u, 199u})
        FUZZ_CHECK(reader.ReadMain("DEVICENAME", "DEFAULTNAME", limit).size() <= limit);

    // The device lists and the models in them.
    const PrinterLists lists = ReadPrinterLists(reader);
    FUZZ_CHECK(lists.defaultClass >= -1 && lists.defaultClass <= 3);
    if (lists.defaultIndex >= 0) {
        FUZZ_CHECK(lists.defaultClass >= 0);
        const std::vector<std::string>& models = lists.models[lists.defaultClass];
        FUZZ_CHECK(static_cast<std::size_t>(lists.defaultIndex) < models.size());
        FUZZ_CHECK(lists.defaultModel == models[static_cast<std::size_t>(lists.defaultIndex)]);
    } else {
        FUZZ_CHECK(lists.defaultIndex == -1 && lists.defaultModel.empty());
    }
    std::size_t read = 0;
    for (int cls = 0; cls < 4; ++cls) {
        FUZZ_CHECK(lists.hasModels == 1 || lists.models[cls].empty());
        for (const std::string& model : lists.models[cls]) {
            if (read == kMaxModels) break;
            FUZZ_CHECK(model.size() <= 199);
            ReadModel(reader, platform, cls, model, read++);
        }
    }

    // What the line scan finds, the profile reader reads.
    for (std::size_t i = 0; i < 5 && i < pieces.size(); ++i)
        CompareScanWithReader(machine.profile, std::string("D:\\DRVCONFIG\\") + kConfigNames[i], pieces[i]);

    // The package authors' check.
    if (pieces.size() > 5) {
        const std::vector<Diagnostic> diagnostics = CheckPackage(platform, package);
        for (const Diagnostic& d : diagnostics) {
            FUZZ_CHECK(!d.file.empty() && d.line >= 1 && !d.text.empty());
            (void)FormatDiagnostic(d);
        }
    }
    // Reading changes nothing on the machine.
    FUZZ_CHECK(machine.files.copies.empty() && machine.messages.shown.empty());
    return 0;
}
