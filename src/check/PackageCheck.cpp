#include "check/PackageCheck.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <set>

#include "config/ConfigInt.h"
#include "config/ConfigPaths.h"
#include "config/ConfigReader.h"
#include "config/IniScan.h"
#include "config/PortSection.h"
#include "install/PrinterLists.h"
#include "ports/SerialSettings.h"
#include "ports/UsbPortNaming.h"
#include "spooler/DriverStaging.h"

namespace {

constexpr int kFamilies = 5;
const char* const kFamilyNames[kFamilies] = {"Windows 98/Me", "Windows NT 4", "Windows 2000", "Windows XP",
                                             "Windows Server 2003"};
const char* const kClassNames[4] = {"receipt", "ticket", "label", "embedded"};
// The family folders on the medium, as SourceFolder names them.
const char* const kFolderNames[3] = {"win98", "winnt", "win2003"};

// A value read with this limit is taken as whole: no reader's limit comes near.
constexpr std::uint32_t kWholeValue = 4095;
// Device and USB port lists are walked at most this far, as the installer does.
constexpr int kMaxEntries = kMaxConfigEntries;
// The USB port names of setup.ini are read with room for this many characters.
constexpr std::size_t kUsbListLimit = 29;

TargetSystem Family(int f) { return static_cast<TargetSystem>(f); }

int FolderOf(TargetSystem target) {
    switch (target) {
        case TargetSystem::Win98Me: return 0;
        case TargetSystem::WinServer2003: return 2;
        default: return 1;
    }
}

bool IsNt5(int f) { return f >= 2; }

std::string Quote(std::string_view text) { return "'" + std::string(text) + "'"; }

// "DEVICENAME4, DEVICENAME6 to DEVICENAME9", the first few runs only.
std::string Runs(const std::vector<int>& numbers, const std::string& prefix) {
    std::string out;
    int runs = 0;
    for (std::size_t i = 0; i < numbers.size();) {
        std::size_t j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1) ++j;
        if (++runs > 4) {
            out += ", ...";
            break;
        }
        if (!out.empty()) out += ", ";
        out += prefix + std::to_string(numbers[i]);
        if (j > i) out += " to " + prefix + std::to_string(numbers[j]);
        i = j + 1;
    }
    return out;
}

// The decimal index a key name spells after `prefix`, written as the
// installer writes it ("%d"), or -1.
int CanonicalIndex(const std::string& name, std::size_t prefixLength) {
    std::string digits = name.substr(prefixLength);
    if (digits.empty() || digits.size() > 9) return -1;
    for (char c : digits)
        if (c < '0' || c > '9') return -1;
    if (digits.size() > 1 && digits[0] == '0') return -1;
    return std::stoi(digits);
}

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

struct ConfigFile {
    std::string display;
    bool present = false;
    IniScan scan;
};

struct FamilyFolder {
    std::string display;
    bool present = false;
    bool reported = false;
    std::vector<PackageEntry> entries;
    std::set<std::string> used;  // folded names the configuration names
};

// One key as the installer reads it.
struct KeyRead {
    bool present = false;  // a line of the section the profile API reads holds it
    int line = 1;          // that line, else the section's header, else 1
    std::string value;     // what the reader gets
    bool failed = false;   // an error was reported about it
};

// Where a value is read from: the configuration reader's main or class
// file, or the class file as the wizard pages spell it (the port section).
enum class Source { Main, Class, Port };

struct Model {
    std::string name;
    int cls = -1;
    int line = 1;  // of its device entry
    // From its port section.
    bool offered[kFamilies] = {true, true, true, true, false};
    bool usb = false;
    bool advanced = false;
    int usbLine = 1;
};

class Checker {
public:
    Checker(const sys::Platform& platform, IPackageFolder& package)
        : m_platform(platform), m_package(package), m_reader(platform) {}

    std::vector<Diagnostic> Run();

private:
    void Report(const std::string& file, int line, Severity severity, std::string text) {
        m_out.push_back(Diagnostic{file, line, severity, std::move(text)});
    }
    void Report(int file, int line, Severity severity, std::string text) {
        Report(m_files[file].display, line, severity, std::move(text));
    }

    void FindLayout();
    std::string Read(Source source, int cls, const std::string& section, const std::string& key,
                     std::uint32_t limit);
    KeyRead CheckKey(int file, Source source, int cls, const std::string& section, const std::string& key,
                     const KeyRule& rule, FamilyFolder* folder);
    void CheckFileName(int file, int line, const std::string& key, const std::string& value, const KeyRule& rule,
                       FamilyFolder* folder, bool* failed);
    bool FolderUsable(FamilyFolder& folder, const std::string& why);
    void MarkUsed(FamilyFolder& folder, const std::string& name) {
        if (NamesFile(name)) folder.used.insert(FoldNameCase(name));
    }
    int ModelAnchor(int file, const std::string& model) const;

    void CheckDevices();
    void CheckPortSection(Model& m);
    void CheckUsbList();
    void CheckModelNames(const Model& m);
    void CheckFileList(const Model& m, int f);
    void CheckRecordSection(const Model& m, const std::string& section, const std::string& families,
                            const KeyRules& rules);
    void CheckMonitors();
    void CheckVersion();
    void CheckFixedFiles();
    void CheckUnreadSections();
    void CheckUnusedFiles();

    const sys::Platform& m_platform;
    IPackageFolder& m_package;
    ConfigReader m_reader;
    std::vector<Diagnostic> m_out;

    ConfigFile m_files[5];  // setup.ini, then the class files in class order
    FamilyFolder m_folders[3];
    std::vector<Model> m_models;
    int m_deviceCount = 0;
    std::map<std::string, int> m_usbListed;  // listed USB port name -> its key
    bool m_usbSection = false;
    // Every listed printer's class file is there.
    bool m_complete = true;
    // Where the DDK support files are needed first, per folder.
    std::map<int, std::pair<int, int>> m_ddkNeed;  // folder -> (file, line)
    std::set<std::string> m_reportedOnce;
};

void Checker::FindLayout() {
    std::vector<PackageEntry> root;
    m_package.List("", &root);
    const PackageEntry* config = FindNoCase(root, "DRVCONFIG");
    const std::string configDir = config && config->folder ? config->name : "DRVCONFIG";
    std::vector<PackageEntry> configEntries;
    const bool haveConfig = config && config->folder && m_package.List(configDir, &configEntries);
    for (int i = 0; i < 5; ++i) {
        std::string canonical = i == 0 ? kMainConfigName : ClassConfigName(static_cast<PrinterClass>(i - 1));
        canonical = canonical.substr(canonical.find('\\') + 1);
        const PackageEntry* entry = haveConfig ? FindNoCase(configEntries, canonical) : nullptr;
        ConfigFile& f = m_files[i];
        f.display = configDir + "/" + (entry && !entry->folder ? entry->name : canonical);
        std::string bytes;
        f.present = entry && !entry->folder && m_package.Read(f.display, &bytes);
        if (f.present) f.scan = ScanIni(bytes);
    }
    for (int i = 0; i < 3; ++i) {
        const PackageEntry* entry = FindNoCase(root, kFolderNames[i]);
        FamilyFolder& folder = m_folders[i];
        folder.display = entry && entry->folder ? entry->name : kFolderNames[i];
        folder.present = entry && entry->folder && m_package.List(folder.display, &folder.entries);
    }
}

std::string Checker::Read(Source source, int cls, const std::string& section, const std::string& key,
                          std::uint32_t limit) {
    switch (source) {
        case Source::Main: return m_reader.ReadMain(section, key.c_str(), limit);
        case Source::Class:
            m_reader.printerClass = static_cast<PrinterClass>(cls);
            return m_reader.ReadClass(section, key.c_str(), limit);
        case Source::Port: {
            // As ReadPortSectionInt reads it, but kept as text.
            const std::string path = ClassConfigPath(m_platform.files, static_cast<PrinterClass>(cls));
            std::vector<char> buffer(limit + 1, '\0');
            std::uint32_t n = m_platform.profile.GetPrivateString(section.c_str(), key.c_str(), "0", buffer.data(),
                                                                  limit + 1, path.c_str());
            return sys::ProfileText(buffer.data(), n > limit ? limit : n);
        }
    }
    return std::string();
}

bool Checker::FolderUsable(FamilyFolder& folder, const std::string& why) {
    if (folder.present) return true;
    if (!folder.reported)
        Report(folder.display, 1, Severity::Error, "the folder is missing: " + why);
    folder.reported = true;
    return false;
}

void Checker::CheckFileName(int file, int line, const std::string& key, const std::string& value,
                            const KeyRule& rule, FamilyFolder* folder, bool* failed) {
    if (value.empty()) {
        if (rule.mustName) {
            Report(file, line, Severity::Error, key + " is empty: the installer cannot go on without this file");
            *failed = true;
        } else if (!rule.emptyOwn) {
            Report(file, line, Severity::Warning, key + " is empty; a package writes 0 for 'no file'");
        }
        return;
    }
    if (SaysNoFile(value)) {
        if (rule.mustName) {
            Report(file, line, Severity::Error, key + "=" + value + " names no file, but the installer needs one");
            *failed = true;
        } else if (value != "0") {
            Report(file, line, Severity::Warning,
                   key + "=" + value + " begins with 0, which the installer takes for 'no file'");
        }
        return;
    }
    if (std::optional<std::string> problem = FileNameProblem(value)) {
        Report(file, line, Severity::Error, key + "=" + value + " " + *problem);
        *failed = true;
        return;
    }
    if (!folder) return;
    MarkUsed(*folder, value);
    if (!FolderUsable(*folder, "the installer copies the driver files from it")) return;
    if (!FindNoCase(folder->entries, value)) {
        Report(file, line, Severity::Error, key + "=" + value + ": " + folder->display + "/" + value + " is missing");
        *failed = true;
    }
}

KeyRead Checker::CheckKey(int file, Source source, int cls, const std::string& section, const std::string& key,
                          const KeyRule& rule, FamilyFolder* folder) {
    KeyRead r;
    const IniSection* sec = m_files[file].scan.Find(section);
    const IniKey* line = sec ? IniScan::Find(*sec, key) : nullptr;
    r.present = line != nullptr;
    r.line = line ? line->line : sec ? sec->line : 1;
    r.value = Read(source, cls, section, key, rule.limit);
    if (!r.present) {
        if (sec && rule.need != Need::Own) {
            const bool required = rule.need == Need::Required;
            Report(file, r.line, required ? Severity::Error : Severity::Warning,
                   "[" + section + "] has no " + key + ": the installer reads 0");
            r.failed = required;
        }
        return r;
    }
    if (line && !line->hasValue) return r;  // reported by the scan

    const std::string whole = Read(source, cls, section, key, kWholeValue);
    if (whole.size() > r.value.size() && rule.type != KeyType::Flag) {
        std::string text = key + " is " + std::to_string(whole.size()) +
                           " characters long; the installer reads only the first " +
                           std::to_string(rule.limit);
        if (rule.type == KeyType::Int)
            text += ", " + Quote(r.value) + ", as " + std::to_string(ParseConfigInt(r.value));
        const bool error = !rule.cosmetic;
        Report(file, r.line, error ? Severity::Error : Severity::Warning, text);
        r.failed = error;
        return r;
    }
    switch (rule.type) {
        case KeyType::Text: break;
        case KeyType::Int:
            if (std::optional<Finding> f = JudgeInteger(key, r.value, rule.field)) {
                Report(file, r.line, f->severity, f->text);
                r.failed = f->severity == Severity::Error;
            }
            break;
        case KeyType::Flag:
            if (r.value != "0" && r.value != "1")
                Report(file, r.line, Severity::Warning,
                       key + "=" + r.value + ": only a first character '1' sets it; the installer reads it as " +
                           (!r.value.empty() && r.value[0] == '1' ? "set" : "not set"));
            break;
        case KeyType::File:
            CheckFileName(file, r.line, key, r.value, rule, folder, &r.failed);
            break;
    }
    return r;
}

int Checker::ModelAnchor(int file, const std::string& model) const {
    for (const IniSection& s : m_files[file].scan.sections) {
        if (s.name.size() <= model.size() || !StartsWithNoCase(s.name, model + ".")) continue;
        const std::string suffix = s.name.substr(model.size() + 1);
        if (IsClassSectionSuffix(suffix)) return s.line;
    }
    return 1;
}

void Checker::CheckDevices() {
    const IniSection* sec = m_files[0].scan.Find("DEVICENAME");
    if (!sec) {
        Report(0, 1, Severity::Error, "section [DEVICENAME] is missing: the printer page offers no printer");
        return;
    }
    KeyRead count = CheckKey(0, Source::Main, 0, "DEVICENAME", "DEVICENUMBER", kDeviceCountKey, nullptr);
    m_deviceCount = ParseConfigInt(count.value);
    if (!count.present) {
        Report(0, sec->line, Severity::Error, "[DEVICENAME] has no DEVICENUMBER: the printer page offers no printer");
    } else if (m_deviceCount <= 0 && !count.failed) {
        Report(0, count.line, Severity::Error,
               "DEVICENUMBER=" + count.value + ": the printer page offers no printer");
    }
    const int walked = std::min(m_deviceCount, kMaxEntries);
    if (m_deviceCount > kMaxEntries)
        Report(0, count.line, Severity::Warning,
               "DEVICENUMBER=" + count.value + " is more than the " + std::to_string(kMaxEntries) +
                   " devices the installer lists: the rest are never offered");

    // The device entries written, by the index the installer reads them by.
    std::map<int, const IniKey*> entries;
    for (const IniKey& k : sec->keys) {
        if (!StartsWithNoCase(k.name, "DEVICENAME") || k.name.size() == 10 || !AllDigits(k.name.substr(10))) continue;
        const int index = CanonicalIndex(k.name, 10);
        if (index < 0) {
            Report(0, k.line, Severity::Warning,
                   k.name + " is never read: the installer asks for DEVICENAME and the index without leading zeros");
        } else if (index == 0 || index > m_deviceCount) {
            Report(0, k.line, Severity::Warning,
                   k.name + " lies beyond DEVICENUMBER=" + std::to_string(m_deviceCount) + " and is not offered");
        } else if (!entries.count(index)) {
            entries[index] = &k;
        }
    }
    std::vector<int> missing;
    for (int i = 1; i <= walked; ++i)
        if (!entries.count(i)) missing.push_back(i);
    if (!missing.empty())
        Report(0, count.line, Severity::Error,
               "DEVICENUMBER=" + std::to_string(m_deviceCount) + " but there is no " + Runs(missing, "DEVICENAME"));

    std::map<std::pair<std::string, int>, int> seen;  // (model, class) -> index
    for (const auto& [index, key] : entries) {
        std::string name;
        const int cls = m_reader.ReadDeviceName(index, name);
        const std::string keyName = "DEVICENAME" + std::to_string(index);
        const std::string whole = m_reader.ReadMain("DEVICENAME", keyName.c_str(), kWholeValue);
        if (whole.size() > 199)
            Report(0, key->line, Severity::Error,
                   keyName + " is " + std::to_string(whole.size()) +
                       " characters long; the installer reads only the first 199");
        if (cls < 0) {
            std::string text = keyName + "=" + name + " has no class suffix (-ReceiptPrinter, -TicketPrinter, " +
                               "-LabelPrinter or -EmbeddedPrinter) and is not offered";
            const std::string folded = FoldNameCase(name);
            for (int c = 0; c < 4; ++c)
                if (folded.find(FoldNameCase(DeviceClassSuffix(c))) != std::string::npos)
                    text += " (the suffixes are case-sensitive)";
            Report(0, key->line, Severity::Error, text);
            continue;
        }
        const std::string suffix = DeviceClassSuffix(cls);
        const std::string full = m_reader.ReadMain("DEVICENAME", keyName.c_str(), 199);
        const std::string after = full.substr(name.size() + suffix.size());
        if (name.empty()) {
            Report(0, key->line, Severity::Error, keyName + " names no model before " + suffix);
            continue;
        }
        if (!after.empty())
            Report(0, key->line, Severity::Warning,
                   keyName + ": the text after " + suffix + ", " + Quote(after) + ", is dropped; the model is " +
                       Quote(name));
        auto [it, fresh] = seen.emplace(std::make_pair(name, cls), index);
        if (!fresh) {
            Report(0, key->line, Severity::Warning,
                   keyName + " lists " + name + " as a " + kClassNames[cls] + " printer again (as DEVICENAME" +
                       std::to_string(it->second) + ")");
            continue;
        }
        Model m;
        m.name = name;
        m.cls = cls;
        m.line = key->line;
        m_models.push_back(m);
    }

    // The preselected model.
    KeyRead def = CheckKey(0, Source::Main, 0, "DEVICENAME", "DEFAULTNAME", kDefaultNameKey, nullptr);
    if (!def.present) {
        Report(0, sec->line, Severity::Warning, "[DEVICENAME] has no DEFAULTNAME: no printer is preselected");
        return;
    }
    if (def.failed || m_deviceCount <= 0) return;
    const int d = ParseConfigInt(def.value);
    if (d < 1 || d > m_deviceCount) {
        Report(0, def.line, Severity::Error,
               "DEFAULTNAME=" + def.value + " is not a device index from 1 to " + std::to_string(m_deviceCount) +
                   ": no printer is preselected");
        return;
    }
    std::string defaultName;
    const int defaultClass = m_reader.ReadDefaultDevice(defaultName);
    if (defaultClass < 0) {
        if (entries.count(d))
            Report(0, def.line, Severity::Error,
                   "DEFAULTNAME=" + def.value + " names DEVICENAME" + std::to_string(d) +
                       ", which has no class suffix: no printer is preselected");
        return;
    }
    if (m_deviceCount > kMaxEntries) return;
    // The printer page looks the name up the way its list control does.
    const PrinterLists lists = ReadPrinterLists(m_reader);
    if (lists.defaultModel != defaultName)
        Report(0, def.line, Severity::Warning,
               "DEFAULTNAME=" + def.value + " names " + defaultName + ", but the printer page preselects " +
                   (lists.defaultModel.empty() ? std::string("nothing") : lists.defaultModel) +
                   " (its list finds the first name that begins with it, searching from the second entry)");
}

void Checker::CheckPortSection(Model& m) {
    const int file = 1 + m.cls;
    const std::string section = PortSectionName(m.name);
    const IniSection* sec = m_files[file].scan.Find(section);
    if (!sec) {
        Report(file, ModelAnchor(file, m.name), Severity::Error,
               "section [" + section + "] is missing: every setting of " + m.name +
                   " reads 0 (typical mode only, no Windows Server 2003, no USB, baud rate 0)");
        return;
    }
    const std::string path = ClassConfigPath(m_platform.files, static_cast<PrinterClass>(m.cls));
    std::int32_t values[4];
    int usbLine = sec->line;
    for (int i = 0; i < 4; ++i) {
        KeyRead r = CheckKey(file, Source::Port, m.cls, section, kPortFlags[i].name, kPortFlags[i], nullptr);
        // The decision is the wizard's own reading.
        values[i] = ReadPortSectionInt(m_platform.profile, path, section, kPortFlags[i].name);
        if (i == 2) usbLine = r.line;
    }
    m.advanced = values[0] != 0;
    m.offered[4] = values[1] != 0;
    m.usb = values[2] != 0;
    m.usbLine = usbLine;

    KeyRead baud = CheckKey(file, Source::Port, m.cls, section, "BaudRate", kBaudRateKey, nullptr);
    const std::int32_t rate = ReadPortSectionInt(m_platform.profile, path, section, "BaudRate");
    const std::vector<int>& list = BaudListRates();
    if (std::find(list.begin(), list.end(), rate) == list.end() && !baud.failed) {
        std::string rates;
        for (int r : list) rates += (rates.empty() ? "" : ", ") + std::to_string(r);
        const std::string shown = std::to_string(list[static_cast<std::size_t>(BaudListIndex(rate))]);
        Report(file, baud.line, Severity::Error,
               (baud.present ? "BaudRate=" + baud.value : "[" + section + "] has no BaudRate, which reads 0") +
                   ": the port page's list holds only " + rates + "; it shows " + shown + " but the installer uses " +
                   std::to_string(rate));
    }
}

void Checker::CheckUsbList() {
    const IniSection* sec = m_files[0].scan.Find("SUPPORTED-USB-DEVICE");
    const bool usbModels = std::any_of(m_models.begin(), m_models.end(), [](const Model& m) { return m.usb; });
    m_usbSection = sec != nullptr;
    if (!sec) {
        if (usbModels)
            Report(0, 1, Severity::Error,
                   "section [SUPPORTED-USB-DEVICE] is missing: no USB port is listed, so the USB port records are "
                   "not written");
        return;
    }
    KeyRead count = CheckKey(0, Source::Main, 0, "SUPPORTED-USB-DEVICE", "PRNCOUNT", kUsbCountKey, nullptr);
    const int n = ParseConfigInt(count.value);
    if (count.present && n < 0 && !count.failed)
        Report(0, count.line, Severity::Error, "PRNCOUNT=" + count.value + " is negative: no USB port is listed");
    if (n > kMaxEntries)
        Report(0, count.line, Severity::Warning,
               "PRNCOUNT=" + count.value + " is more than the " + std::to_string(kMaxEntries) +
                   " USB port names the installer reads: the rest are never read");

    // The ports the port page can offer.
    std::set<std::string> offered;
    for (const Model& m : m_models)
        if (m.usb)
            for (int i = 1; i <= (m.advanced ? 4 : 1); ++i) offered.insert("USB_" + m.name + "_" + std::to_string(i));

    std::map<int, const IniKey*> entries;
    for (const IniKey& k : sec->keys) {
        if (!AllDigits(k.name)) continue;
        const int index = CanonicalIndex(k.name, 0);
        if (index < 0)
            Report(0, k.line, Severity::Warning,
                   "key " + k.name + " is never read: the installer asks for the index without leading zeros");
        else if (index >= n)
            Report(0, k.line, Severity::Warning,
                   "key " + k.name + " lies beyond PRNCOUNT=" + std::to_string(n) + " and is never read");
        else if (!entries.count(index))
            entries[index] = &k;
    }
    std::vector<int> missing;
    for (int i = 0; i < std::min(n, kMaxEntries); ++i)
        if (!entries.count(i)) missing.push_back(i);
    if (!missing.empty())
        Report(0, count.line, Severity::Error,
               "PRNCOUNT=" + std::to_string(n) + " but there is no key " + Runs(missing, ""));

    for (const auto& [index, key] : entries) {
        const std::string keyName = std::to_string(index);
        const std::string name = m_reader.ReadMain("SUPPORTED-USB-DEVICE", keyName.c_str(), kUsbListLimit);
        const std::string whole = m_reader.ReadMain("SUPPORTED-USB-DEVICE", keyName.c_str(), kWholeValue);
        if (whole.size() > name.size()) {
            Report(0, key->line, Severity::Error,
                   "the USB port name " + whole + " is " + std::to_string(whole.size()) +
                       " characters long; the installer reads only the first 29, which name no port");
            continue;
        }
        const std::size_t last = name.rfind('_');
        if (name.size() < 7 || name.compare(0, 4, "USB_") != 0 || last != name.size() - 2 ||
            name.back() < '0' || name.back() > '9') {
            Report(0, key->line, Severity::Warning,
                   Quote(name) + " is not a USB port name of the form USB_<model>_<n>");
        } else if (!offered.count(name) && m_complete) {
            Report(0, key->line, Severity::Warning, "no listed printer offers the USB port " + name);
        }
        auto [it, fresh] = m_usbListed.emplace(name, index);
        if (!fresh)
            Report(0, key->line, Severity::Warning,
                   name + " is listed again; the first, key " + std::to_string(it->second) + ", wins");
    }
}

void Checker::CheckModelNames(const Model& m) {
    for (int c = 0; c < 4; ++c)
        if (m.name.find(DeviceClassSuffix(c)) != std::string::npos)
            Report(0, m.line, Severity::Warning,
                   "the model name " + m.name + " holds the class suffix " + DeviceClassSuffix(c));
    if (m.name.find_first_of("\\,") != std::string::npos)
        Report(0, m.line, Severity::Error,
               "the model name " + m.name + " holds a backslash or a comma, which a printer name cannot hold");
    if (m.name.size() > 31)
        Report(0, m.line, Severity::Warning,
               "the model name " + m.name + " is " + std::to_string(m.name.size()) +
                   " characters long; the printer's device mode keeps only the first 31");
    if (!m.usb) return;

    const int file = 1 + m.cls;
    const std::string port = "USB_" + m.name + "_1";
    if (port.size() > kUsbListLimit) {
        Report(file, m.usbLine, Severity::Error,
               "USB port " + port + " is " + std::to_string(port.size()) +
                   " characters long, but [SUPPORTED-USB-DEVICE] of setup.ini is read with room for 29: "
                   "its port records cannot be written (the model name may have " +
                   std::to_string(kUsbListLimit - 6) + " characters at most)");
    } else if (m_usbSection && !m_usbListed.count(port)) {
        Report(file, m.usbLine, Severity::Error,
               port + " is not listed in [SUPPORTED-USB-DEVICE] of setup.ini: its port records are not written");
    }
    if (m.name.find('(') != std::string::npos)
        Report(file, m.usbLine, Severity::Warning,
               "the model name " + m.name + " holds '(': the port of a recorded USB printer is derived from the "
               "printer name up to its first '('");
    for (int i = 1; i <= 4; ++i)
        if (m.name.find("_" + std::to_string(i)) != std::string::npos) {
            Report(file, m.usbLine, Severity::Warning,
                   "the model name " + m.name + " holds _" + std::to_string(i) +
                       ", by which its USB ports are told apart: the port search and the printer name's USB "
                       "suffix take it for a port number");
            break;
        }
    if (m.name != kFourPortModel && m.name.find(kFourPortModel) != std::string::npos)
        Report(file, m.usbLine, Severity::Error,
               "the model name " + m.name + " holds " + kFourPortModel + ": the installer adds the printer on " +
                   "USB_" + kFourPortModel + "_<n>, the ports of " + kFourPortModel);
}

void Checker::CheckFileList(const Model& m, int f) {
    const int file = 1 + m.cls;
    const TargetSystem target = Family(f);
    const std::string section = FileListSection(m.name, target);
    const IniSection* sec = m_files[file].scan.Find(section);
    FamilyFolder& folder = m_folders[FolderOf(target)];

    if (!m.offered[f]) {
        // Never read, but its files are still looked for.
        if (!sec) return;
        for (const char* prefix : {"STD", "GDI"})
            for (const KeyRule& rule : kFileListStems) {
                if (rule.type != KeyType::File) continue;
                const std::string key = std::string(prefix) + rule.name;
                const std::string value = Read(Source::Class, m.cls, section, key, rule.limit);
                if (!NamesFile(value) || FileNameProblem(value) || !IniScan::Find(*sec, key)) continue;
                MarkUsed(folder, value);
                if (folder.present && !FindNoCase(folder.entries, value))
                    Report(file, IniScan::Find(*sec, key)->line, Severity::Warning,
                           key + "=" + value + ": " + folder.display + "/" + value + " is missing (the section is " +
                               "never read while System2003Supported=0)");
            }
        return;
    }
    if (!sec) {
        Report(file, ModelAnchor(file, m.name), Severity::Error,
               "section [" + section + "] is missing: " + m.name + " has no driver files for " + kFamilyNames[f]);
        return;
    }

    KeyRead ddkKeys[2];
    for (int v = 0; v < 2; ++v)
        ddkKeys[v] = CheckKey(file, Source::Class, m.cls, section, kDdkKeys[v].name, kDdkKeys[v], nullptr);
    for (int v = 0; v < 2; ++v) {
        const std::string prefix = v == 0 ? "STD" : "GDI";
        std::map<std::string, KeyRead> read;
        for (const KeyRule& rule : kFileListStems)
            read[rule.name] = CheckKey(file, Source::Class, m.cls, section, prefix + rule.name, rule, &folder);

        // The print processor: the system's own, or one of the package.
        const KeyRead& processor = read["PrintProcessor"];
        const KeyRead& processorDll = read["ProcessorDLLName"];
        if (processor.present && !processor.failed) {
            if (processor.value.empty())
                Report(file, processor.line, Severity::Error,
                       prefix + "PrintProcessor is empty: the installer cannot add the print processor");
            else if (processor.value != "WinPrint" && !NamesFile(processorDll.value) && !processorDll.failed)
                Report(file, processor.line, Severity::Error,
                       prefix + "PrintProcessor=" + processor.value + " needs " + prefix +
                           "ProcessorDLLName, which names no file" +
                           (SameName(processor.value, "WinPrint")
                                ? " (only the exact spelling WinPrint is the system's own processor)"
                                : ""));
        }

        // The universal-driver support files.
        m_reader.printerClass = static_cast<PrinterClass>(m.cls);
        const int flag = m_reader.ReadDdkFlag(m.name, target, v);
        const KeyRead& flagKey = ddkKeys[v];
        if (flag && !IsNt5(f)) {
            Report(file, flagKey.line, Severity::Warning,
                   prefix + "2KDDKDEV=" + flagKey.value + " has no effect on " + kFamilyNames[f] +
                       " (only Windows 2000, XP and Server 2003 use it)");
            continue;
        }
        if (!flag) continue;
        const KeyRead& extra = read["DataFileDLLName"];
        if (!extra.failed && !NamesFile(extra.value))
            Report(file, flagKey.line, Severity::Error,
                   prefix + "2KDDKDEV=" + flagKey.value + " needs " + prefix +
                       "DataFileDLLName, which names no file");
        for (const char* support : kDdkSupportFiles) MarkUsed(folder, support);
        const int at = FolderOf(target);
        if (!m_ddkNeed.count(at)) m_ddkNeed[at] = {file, flagKey.line};
    }

    if (!IsNt5(f)) return;
    // The driver record takes "GDI2KDDKDEV" as an integer for both drivers;
    // the file copy takes each driver's own key, by its first character.
    const KeyRead& gdiKey = ddkKeys[1];
    const std::int32_t dependent = ParseConfigInt(m_reader.ReadClass(section, "GDI2KDDKDEV", 9));
    if (dependent == 0) return;
    if (!m_reader.ReadDdkFlag(m.name, target, 0))
        Report(file, gdiKey.line, Severity::Error,
               "GDI2KDDKDEV=" + gdiKey.value + " makes the STD driver depend on UNIRES.DLL, STDNAMES.GPD and " +
                   "TTFSUB.GPD as well, but STD2KDDKDEV=" + ddkKeys[0].value + " does not have them copied");
    if (!m_reader.ReadDdkFlag(m.name, target, 1))
        Report(file, gdiKey.line, Severity::Error,
               "GDI2KDDKDEV=" + gdiKey.value + ": the driver record takes it as set, but the file copy " +
                   "only takes a first character '1': the support files are not copied");
}

void Checker::CheckRecordSection(const Model& m, const std::string& section, const std::string& families,
                                 const KeyRules& rules) {
    const int file = 1 + m.cls;
    if (!m_files[file].scan.Find(section)) {
        Report(file, ModelAnchor(file, m.name), Severity::Error,
               "section [" + section + "] is missing: " + m.name + " reads 0 for all of it on " + families);
        return;
    }
    for (const KeyRule& rule : rules) {
        KeyRead r = CheckKey(file, Source::Class, m.cls, section, rule.name, rule, nullptr);
        const std::string name = rule.name;
        if (r.present && !r.failed && r.value.empty() && name.size() > 10 &&
            name.compare(name.size() - 10, 10, "DRIVERNAME") == 0)
            Report(file, r.line, Severity::Error, name + " is empty: the printer driver cannot be added");
    }
}

void Checker::CheckMonitors() {
    bool need[kFamilies][2] = {};
    for (const Model& m : m_models)
        for (int f = 0; f < kFamilies; ++f) {
            if (!m.offered[f]) continue;
            // The serial-port monitor is brought up to date on the NT family,
            // the USB monitor wherever USB ports are offered.
            if (f != 0) need[f][0] = true;
            if (m.usb && f != 1) need[f][1] = true;
        }
    int anchor = 1;
    for (const IniSection& s : m_files[0].scan.sections)
        if (StartsWithNoCase(s.name, "COMMON-MONITOR")) {
            anchor = s.line;
            break;
        }
    for (int f = 0; f < kFamilies; ++f) {
        const TargetSystem target = Family(f);
        const std::string section = PortMonitorSection(target);
        const IniSection* sec = m_files[0].scan.Find(section);
        FamilyFolder& folder = m_folders[FolderOf(target)];
        if (!sec) {
            if (need[f][0] || need[f][1])
                Report(0, anchor, Severity::Error,
                       "section [" + section + "] is missing: the port monitors for " + kFamilyNames[f] + " read 0");
            continue;
        }
        for (int half = 0; half < 2; ++half) {
            const std::string prefix = kMonitorPrefixes[half];
            if (!need[f][half]) {
                for (const KeyRule& rule : kMonitorStems)
                    if (rule.type == KeyType::File)
                        MarkUsed(folder, Read(Source::Main, 0, section, prefix + rule.name, rule.limit));
                continue;
            }
            KeyRead name = CheckKey(0, Source::Main, 0, section, prefix + "PName", kMonitorStems[0], nullptr);
            KeyRead dll = CheckKey(0, Source::Main, 0, section, prefix + "PDLLName", kNeededMonitorDllKey, &folder);
            CheckKey(0, Source::Main, 0, section, prefix + "PUIDLLName", kMonitorStems[2], &folder);
            CheckKey(0, Source::Main, 0, section, prefix + "Version", kMonitorStems[3], nullptr);
            if (dll.present && !dll.failed) {
                if (dll.value.empty())
                    Report(0, dll.line, Severity::Warning,
                           prefix + "PDLLName is empty: the installer never installs this monitor");
                else if (SaysNoFile(dll.value))
                    Report(0, dll.line, Severity::Error,
                           prefix + "PDLLName=" + dll.value + " names no file: adding the monitor fails");
            }
            if (name.present && !name.failed && name.value.empty() && NamesFile(dll.value))
                Report(0, name.line, Severity::Error, prefix + "PName is empty: the monitor has no name");
        }
    }
}

void Checker::CheckVersion() {
    if (!m_files[0].scan.Find("Version")) {
        Report(0, 1, Severity::Error,
               "section [Version] is missing: the print processor's version reads 0, so an installed one is "
               "never replaced");
        return;
    }
    CheckKey(0, Source::Main, 0, "Version", "DriverVersion", kDriverVersionKey, nullptr);
}

void Checker::CheckFixedFiles() {
    if (m_models.empty()) return;
    FamilyFolder& win98 = m_folders[0];
    for (const char* name : kWin98StagedFiles) MarkUsed(win98, name);
    if (FolderUsable(win98, "the installer copies the Windows 98/Me driver files from it")) {
        if (!FindNoCase(win98.entries, kWin98StagedFiles[0]))
            Report(win98.display + "/" + kWin98StagedFiles[0], 1, Severity::Error,
                   "the file is missing: the installer copies it for every printer on Windows 98/Me");
        if (!FindNoCase(win98.entries, kWin98StagedFiles[1]))
            Report(win98.display + "/" + kWin98StagedFiles[1], 1, Severity::Error,
                   "the file is missing: the installer copies it on Windows 98/Me when the system has none");
    }
    for (const Model& m : m_models) {
        if (!NeedsColourLibrary(m.name)) continue;
        MarkUsed(win98, kColourLibrary);
        if (win98.present && !FindNoCase(win98.entries, kColourLibrary) && m_reportedOnce.insert(kColourLibrary).second)
            Report(0, m.line, Severity::Error,
                   m.name + " needs " + win98.display + "/" + kColourLibrary + " on Windows 98/Me, which is missing");
    }
    for (const auto& [at, where] : m_ddkNeed) {
        FamilyFolder& folder = m_folders[at];
        if (!folder.present) continue;
        for (const char* support : kDdkSupportFiles)
            if (!FindNoCase(folder.entries, support))
                Report(where.first, where.second, Severity::Error,
                       "the DDK flag needs " + folder.display + "/" + support + ", which is missing");
    }
}

void Checker::CheckUnreadSections() {
    // setup.ini
    const std::string monitorSections[kFamilies] = {PortMonitorSection(Family(0)), PortMonitorSection(Family(1)),
                                                    PortMonitorSection(Family(2)), PortMonitorSection(Family(3)),
                                                    PortMonitorSection(Family(4))};
    std::set<std::string> seen;
    auto unreadKeys = [&](int file, const IniSection& s, const std::set<std::string>& known,
                          bool (*handled)(const std::string&)) {
        for (const IniKey& k : s.keys) {
            if (k.name.empty() || !k.hasValue || known.count(FoldNameCase(k.name)) || (handled && handled(k.name)))
                continue;
            Report(file, k.line, Severity::Warning, k.name + " in [" + s.name + "] is not read by the installer");
        }
    };
    auto folded = [](std::initializer_list<std::string> names) {
        std::set<std::string> out;
        for (const std::string& n : names) out.insert(FoldNameCase(n));
        return out;
    };
    for (const IniSection& s : m_files[0].scan.sections) {
        if (!seen.insert(FoldNameCase(s.name)).second) continue;
        if (SameName(s.name, "DEVICENAME")) {
            unreadKeys(0, s, folded({"DEVICENUMBER", "DEFAULTNAME"}), [](const std::string& k) {
                return StartsWithNoCase(k, "DEVICENAME") && k.size() > 10 && AllDigits(k.substr(10));
            });
        } else if (SameName(s.name, "Version")) {
            unreadKeys(0, s, folded({"DriverVersion"}), nullptr);
        } else if (SameName(s.name, "SUPPORTED-USB-DEVICE")) {
            unreadKeys(0, s, folded({"PRNCOUNT"}), [](const std::string& k) { return AllDigits(k); });
        } else if (std::any_of(std::begin(monitorSections), std::end(monitorSections),
                               [&](const std::string& m) { return SameName(m, s.name); })) {
            std::set<std::string> known;
            for (const char* prefix : kMonitorPrefixes)
                for (const KeyRule& rule : kMonitorStems) known.insert(FoldNameCase(std::string(prefix) + rule.name));
            unreadKeys(0, s, known, nullptr);
        } else {
            Report(0, s.line, Severity::Warning, "section [" + s.name + "] is not read by the installer");
        }
    }

    // The class files.
    std::set<std::string> fileListKeys, printerKeys, devModeKeys, portKeys;
    for (const char* prefix : {"STD", "GDI"})
        for (const KeyRule& rule : kFileListStems) fileListKeys.insert(FoldNameCase(std::string(prefix) + rule.name));
    for (const KeyRule& rule : kDdkKeys) fileListKeys.insert(FoldNameCase(rule.name));
    for (const KeyRule& rule : kPrinterKeys) printerKeys.insert(FoldNameCase(rule.name));
    for (const KeyRule& rule : kDevModeKeys) devModeKeys.insert(FoldNameCase(rule.name));
    for (const KeyRule& rule : kPortFlags) portKeys.insert(FoldNameCase(rule.name));
    portKeys.insert(FoldNameCase(kBaudRateKey.name));

    for (int file = 1; file <= 4; ++file) {
        const int cls = file - 1;
        std::set<std::string> seenClass;
        // Sections of unlisted models, by model: the first one's line and how many.
        std::map<std::string, std::pair<const IniSection*, int>> unlisted;
        std::vector<std::string> unlistedOrder;
        for (const IniSection& s : m_files[file].scan.sections) {
            if (!seenClass.insert(FoldNameCase(s.name)).second) continue;
            const std::size_t dot = s.name.rfind('.');
            const std::string suffix = dot == std::string::npos ? std::string() : s.name.substr(dot + 1);
            const std::string model = dot == std::string::npos ? s.name : s.name.substr(0, dot);
            const bool knownSuffix = dot != std::string::npos && IsClassSectionSuffix(suffix);
            if (!knownSuffix) {
                std::string text = "section [" + s.name + "] is not read by the installer";
                if (SameName(suffix, "PRINTERINFOXP") || SameName(suffix, "DEVMODEXP"))
                    text += " (Windows XP reads the 2K printer and device-mode sections)";
                Report(file, s.line, Severity::Warning, text);
                continue;
            }
            const auto listed = std::find_if(m_models.begin(), m_models.end(), [&](const Model& m) {
                return m.cls == cls && SameName(m.name, model);
            });
            if (listed == m_models.end()) {
                auto [it, fresh] = unlisted.emplace(FoldNameCase(model), std::make_pair(&s, 0));
                if (fresh) unlistedOrder.push_back(FoldNameCase(model));
                ++it->second.second;
                // What such a section names is still named by the configuration.
                for (int f = 0; f < kFamilies; ++f) {
                    if (!SameName(s.name, FileListSection(model, Family(f)))) continue;
                    for (const char* prefix : {"STD", "GDI"})
                        for (const KeyRule& rule : kFileListStems)
                            if (rule.type == KeyType::File)
                                MarkUsed(m_folders[FolderOf(Family(f))],
                                         Read(Source::Class, cls, s.name, std::string(prefix) + rule.name, rule.limit));
                }
                continue;
            }
            const std::string u = FoldNameCase(suffix);
            const std::set<std::string>& known = u == "PORT"                        ? portKeys
                                                 : u.compare(0, 11, "PRINTERINFO") == 0 ? printerKeys
                                                 : u.compare(0, 7, "DEVMODE") == 0     ? devModeKeys
                                                                                       : fileListKeys;
            unreadKeys(file, s, known, nullptr);
        }
        for (const std::string& key : unlistedOrder) {
            const auto& [first, count] = unlisted[key];
            const std::string model = first->name.substr(0, first->name.rfind('.'));
            std::string text = "no listed " + std::string(kClassNames[cls]) + " printer is named " + model + ": " +
                               (count == 1 ? std::string("this section is") :
                                             "its " + std::to_string(count) + " sections from here on are") +
                               " never read";
            for (const Model& m : m_models)
                if (SameName(m.name, model)) {
                    text += " (" + m.name + " is listed as a " + kClassNames[m.cls] + " printer)";
                    break;
                }
            Report(file, first->line, Severity::Warning, text);
        }
    }
}

void Checker::CheckUnusedFiles() {
    for (FamilyFolder& folder : m_folders) {
        if (!folder.present) continue;
        for (const PackageEntry& e : folder.entries)
            if (!e.folder && !folder.used.count(FoldNameCase(e.name)))
                Report(folder.display + "/" + e.name, 1, Severity::Warning, "no configuration names this file");
    }
}

std::vector<Diagnostic> Checker::Run() {
    FindLayout();
    for (const ConfigFile& f : m_files)
        for (const IniProblem& p : f.scan.problems)
            Report(f.display, p.line, p.error ? Severity::Error : Severity::Warning, p.text);

    if (!m_files[0].present) {
        Report(m_files[0].display, 1, Severity::Error, "the file is missing: the installer finds no printer");
    } else {
        CheckDevices();
        bool needed[4] = {};
        for (const Model& m : m_models) needed[m.cls] = true;
        for (int c = 0; c < 4; ++c)
            if (!m_files[1 + c].present)
                Report(m_files[1 + c].display, 1, needed[c] ? Severity::Error : Severity::Warning,
                       needed[c] ? std::string("the file is missing: the ") + kClassNames[c] +
                                       " printers' settings all read 0"
                                 : std::string("the file is missing (no listed printer needs it)"));
        // Printers whose class file is missing are not looked at further, and
        // without their sections the files they would name are not known.
        const std::size_t listed = m_models.size();
        m_models.erase(std::remove_if(m_models.begin(), m_models.end(),
                                      [&](const Model& m) { return !m_files[1 + m.cls].present; }),
                       m_models.end());
        m_complete = m_models.size() == listed;

        for (Model& m : m_models) CheckPortSection(m);
        CheckUsbList();
        for (const Model& m : m_models) {
            CheckModelNames(m);
            for (int f = 0; f < kFamilies; ++f) CheckFileList(m, f);
            std::set<std::string> done;
            for (int f = 0; f < kFamilies; ++f) {
                if (!m.offered[f]) continue;
                const std::string printer = PrinterSection(m.name, Family(f));
                if (!done.insert(printer).second) continue;
                const std::string families =
                    f == 2 ? std::string("Windows 2000 and XP") : std::string(kFamilyNames[f]);
                CheckRecordSection(m, printer, families, kPrinterKeys);
                CheckRecordSection(m, DevModeSection(m.name, Family(f)), families, kDevModeKeys);
            }
        }
        CheckMonitors();
        CheckVersion();
        CheckFixedFiles();
        CheckUnreadSections();
        if (m_complete) CheckUnusedFiles();
    }

    // setup.ini, the class files, then everything else by name.
    auto rank = [&](const std::string& file) {
        for (int i = 0; i < 5; ++i)
            if (file == m_files[i].display) return i;
        return 5;
    };
    std::stable_sort(m_out.begin(), m_out.end(), [&](const Diagnostic& a, const Diagnostic& b) {
        const int ra = rank(a.file), rb = rank(b.file);
        if (ra != rb) return ra < rb;
        if (a.file != b.file) return a.file < b.file;
        return a.line < b.line;
    });
    return m_out;
}

}  // namespace

const PackageEntry* FindNoCase(const std::vector<PackageEntry>& entries, std::string_view name) {
    const std::string folded = FoldNameCase(name);
    for (const PackageEntry& e : entries)
        if (FoldNameCase(e.name) == folded) return &e;
    return nullptr;
}

std::vector<Diagnostic> CheckPackage(const sys::Platform& platform, IPackageFolder& package) {
    return Checker(platform, package).Run();
}

std::string FormatDiagnostic(const Diagnostic& d) {
    return d.file + ":" + std::to_string(d.line) + ": " + (d.severity == Severity::Error ? "error" : "warning") +
           ": " + d.text;
}

bool HasErrors(const std::vector<Diagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Error; });
}
