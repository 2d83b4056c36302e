#include "Answers.h"

#include <algorithm>

#include "config/ConfigReader.h"
#include "config/PortSection.h"
#include "install/OsClassification.h"
#include "install/PrinterLists.h"
#include "ports/PortLists.h"
#include "ports/SerialSettings.h"

namespace {

// Room for one value; a value that fills it was cut and is refused.
constexpr std::uint32_t kValueRoom = 1024;

// The installer's message ids: the keys of [Answers].
constexpr int kFirstMessage = 101;
constexpr int kLastMessage = 145;

// The simulated maker's library holds zero to eight printers.
constexpr std::size_t kMaxUsbPrinters = 8;

// The names of the choices, in the order of their values.
const std::vector<std::string> kClasses = {"Receipt", "Ticket", "Label", "Embedded"};
const std::vector<std::string> kTargets = {"98", "NT", "2000", "XP", "2003"};
const std::vector<std::string> kModes = {"Advanced", "Typical"};
const std::vector<std::string> kFlags = {"0", "1"};
// The port page's serial lists, as it shows them.
const std::vector<std::string> kDataBits = {"5", "6", "7", "8"};
const std::vector<std::string> kStopBits = {"1", "1.5", "2"};
const std::vector<std::string> kParities = {"Even", "Mark", "None", "Odd", "Space"};
const std::vector<std::string> kFlows = {"Xon/Xoff", "Hardware", "None"};
const char kFlowLetters[] = {kFlowXonXoff, kFlowHardware, kFlowNone};
const std::vector<std::string> kReplies = {"Yes", "No"};
const std::vector<std::string> kWindows = {"win98", "nt40", "win2k", "winxp", "win2003"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Join(const std::vector<std::string>& names) {
    std::string all;
    for (const std::string& n : names) all += (all.empty() ? "" : ", ") + n;
    return all;
}

// The value up to its comment, without the blanks before it (no byte of a
// two-byte character is a ';' or a blank).  A value that was quoted before
// its comment loses its quotes, as it would without one.
std::string CutComment(std::string v) {
    std::size_t cut = std::string::npos;
    for (std::size_t i = 0; i < v.size() && cut == std::string::npos; ++i)
        if (v[i] == ';' && (i == 0 || IsBlank(v[i - 1]))) cut = i;
    if (cut == std::string::npos) return v;
    v.erase(cut);
    while (!v.empty() && IsBlank(v.back())) v.pop_back();
    if (v.size() > 1 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

// Decimal digits only, at most nine of them (no sign, no blanks).
bool ParseDigits(const std::string& text, std::uint32_t* value) {
    if (text.empty() || text.size() > 9) return false;
    std::uint32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
    }
    *value = v;
    return true;
}

class AnswersFile {
public:
    AnswersFile(sys::IProfile& profile, const std::string& file, std::string* error)
        : m_profile(profile), m_file(file), m_error(error) {}

    // The value of a key with its comment cut, or nothing when the file has
    // no such key.  False (with the error set) for a value too long to read.
    bool Value(const char* section, const char* key, std::optional<std::string>* value) {
        // Two different defaults: only a missing key gives back each one.
        const std::string first = Read(section, key, "?");
        if (first.size() >= kValueRoom - 1)
            return Fail(section, key, "longer than " + std::to_string(kValueRoom - 2) + " characters");
        if (first == "?" && Read(section, key, "!") == "!") {
            value->reset();
            return true;
        }
        *value = CutComment(first);
        return true;
    }

    // The index of the value among `names` (or, with `numbers`, its index
    // written as a number), `fallback` when the key is missing.
    bool Choose(const char* section, const char* key, const std::vector<std::string>& names, bool numbers,
                int fallback, int* index) {
        std::optional<std::string> v;
        if (!Value(section, key, &v)) return false;
        if (!v) {
            *index = fallback;
            return true;
        }
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (*v == names[i] || (numbers && *v == std::to_string(i))) {
                *index = static_cast<int>(i);
                return true;
            }
        }
        return Fail(section, key, "\"" + *v + "\" is not one of " + Join(names));
    }

    // A number of at most nine digits, `fallback` when the key is missing.
    bool Number(const char* section, const char* key, std::uint32_t fallback, std::uint32_t* value) {
        std::optional<std::string> v;
        if (!Value(section, key, &v)) return false;
        if (!v) {
            *value = fallback;
            return true;
        }
        if (!ParseDigits(*v, value)) return Fail(section, key, "\"" + *v + "\" is not a number");
        return true;
    }

    bool Fail(const char* section, const char* key, const std::string& why) {
        *m_error = std::string("[") + section + "]" + (*key ? " " : "") + key + ": " + why;
        return false;
    }

    // The section names (no section given) or a section's key names, as
    // the file has them: a null key or section enumerates them.
    std::vector<std::string> Names(const char* section) {
        std::string buffer(kValueRoom, '\0');
        std::uint32_t n = 0;
        // A list cut short comes back two bytes under the buffer's size.
        for (;;) {
            n = m_profile.GetPrivateString(section, nullptr, "", &buffer[0], static_cast<std::uint32_t>(buffer.size()),
                                           m_file.c_str());
            if (n + 2 < buffer.size() || buffer.size() >= (1u << 24)) break;
            buffer.assign(buffer.size() * 4, '\0');
        }
        std::vector<std::string> names;
        for (std::size_t pos = 0; pos < n;) {
            const std::size_t end = buffer.find('\0', pos);
            if (end == pos || end == std::string::npos || end > n) break;
            names.push_back(buffer.substr(pos, end - pos));
            pos = end + 1;
        }
        return names;
    }

private:
    std::string Read(const char* section, const char* key, const char* def) {
        std::string buffer(kValueRoom, '\0');
        const std::uint32_t n = m_profile.GetPrivateString(section, key, def, &buffer[0], kValueRoom, m_file.c_str());
        return sys::ProfileText(buffer.data(), std::min(n, kValueRoom - 1));
    }

    sys::IProfile& m_profile;
    const std::string& m_file;
    std::string* m_error;
};

bool ReadInstall(AnswersFile& f, Answers* a) {
    InstallChoices& c = a->choices;
    const char* s = "Install";
    int index = 0;
    // Class, Target and Mode also take their values as numbers.
    if (!f.Choose(s, "Class", kClasses, true, 0, &index)) return false;
    c.printerClass = static_cast<PrinterClass>(index);

    std::optional<std::string> v;
    if (!f.Value(s, "Model", &v)) return false;
    c.modelName = v.value_or("");
    if (!f.Value(s, "Port", &v)) return false;
    c.portName = v.value_or("");

    if (!f.Choose(s, "Mode", kModes, true, static_cast<int>(InstallMode::Typical), &index)) return false;
    c.installMode = static_cast<InstallMode>(index);
    if (!f.Choose(s, "Target", kTargets, true, -1, &index)) return false;
    a->targetGiven = index >= 0;
    if (a->targetGiven) c.targetSystem = static_cast<TargetSystem>(index);

    if (!f.Choose(s, "RasterBitmap", kFlags, false, 0, &index)) return false;
    c.rasterBitmap = index;
    if (!f.Choose(s, "SetDefault", kFlags, false, 0, &index)) return false;
    c.setAsDefault = index;

    // The baud rate's list, and the model's own rate, are checked against the
    // package by FinishAnswers.
    std::uint32_t baud = 0;
    if (!f.Number(s, "BaudRate", 9600, &baud)) return false;
    c.baudRate = static_cast<std::int32_t>(baud);
    if (!f.Choose(s, "DataBits", kDataBits, false, 3, &index)) return false;
    c.dataBits = 5 + index;
    if (!f.Choose(s, "StopBits", kStopBits, false, 0, &index)) return false;
    c.stopBits = 1.0 + 0.5 * index;
    if (!f.Choose(s, "Parity", kParities, false, 2, &index)) return false;
    c.parity = kParities[static_cast<std::size_t>(index)][0];
    if (!f.Choose(s, "FlowControl", kFlows, false, 2, &index)) return false;
    c.flowControl = kFlowLetters[index];

    if (!f.Value(s, "Package", &v)) return false;
    if (!v || v->empty()) return f.Fail(s, "Package", "no package folder given");
    a->package = *v;
    return true;
}

bool ReadReplies(AnswersFile& f, Answers* a) {
    for (int id = kFirstMessage; id <= kLastMessage; ++id) {
        int index = -1;
        if (!f.Choose("Answers", std::to_string(id).c_str(), kReplies, false, -1, &index)) return false;
        if (index >= 0) a->replies[id] = index == 0 ? sys::MsgAnswer::Yes : sys::MsgAnswer::No;
    }
    return true;
}

bool ReadMachine(AnswersFile& f, Answers* a) {
    const char* s = "Machine";
    int index = 0;
    if (!f.Choose(s, "Windows", kWindows, false, 3, &index)) return false;
    a->windows = kWindows[static_cast<std::size_t>(index)];

    // Identities 0 to 65535, separated by commas; empty or missing: none.
    std::optional<std::string> v;
    if (!f.Value(s, "UsbPrinters", &v)) return false;
    const std::string usb = v.value_or("");
    for (std::size_t pos = 0; !usb.empty() && pos <= usb.size();) {
        std::size_t comma = usb.find(',', pos);
        if (comma == std::string::npos) comma = usb.size();
        std::string item = usb.substr(pos, comma - pos);
        while (!item.empty() && IsBlank(item.front())) item.erase(0, 1);
        while (!item.empty() && IsBlank(item.back())) item.pop_back();
        std::uint32_t identity = 0;
        if (!ParseDigits(item, &identity) || identity > 0xFFFF)
            return f.Fail(s, "UsbPrinters", "\"" + item + "\" is not a printer identity (0 to 65535)");
        if (a->usbPrinters.size() == kMaxUsbPrinters)
            return f.Fail(s, "UsbPrinters", "more than " + std::to_string(kMaxUsbPrinters) + " printers");
        a->usbPrinters.push_back(static_cast<std::uint16_t>(identity));
        pos = comma + 1;
    }

    std::uint32_t delay = 0;
    if (!f.Number(s, "SpoolerStartDelay", 0, &delay)) return false;
    a->spoolerStartDelayMs = delay;
    if (!f.Choose(s, "LanguageMonitor", kFlags, false, 0, &index)) return false;
    a->languageMonitorInstalled = index == 1;
    return true;
}

// The port page's entries, in the order of its sorted list: the fixed ports
// of the family, then the model's USB ports (one in typical mode, four in
// advanced mode; none on NT 4).
std::vector<std::string> OfferedPorts(const std::string& model, TargetSystem target, bool usbSupported,
                                      InstallMode mode) {
    std::vector<std::string> ports;
    if (target == TargetSystem::Win98Me) {
        ports = {"COM1:", "COM2:", "LPT1:"};
    } else {
        for (int i = 1; i <= 8; ++i) ports.push_back("KRCOM" + std::to_string(i) + ":");
        for (int i = 1; i <= 3; ++i) ports.push_back("LPT" + std::to_string(i) + ":");
    }
    if (usbSupported && target != TargetSystem::WinNT) {
        const int count = mode == InstallMode::Advanced ? 4 : 1;
        for (int i = 1; i <= count; ++i) ports.push_back("USB_" + model + "_" + std::to_string(i));
    }
    return ports;
}

bool Fail(std::string* error, const char* key, const std::string& why) {
    *error = std::string("[Install] ") + key + ": " + why;
    return false;
}

}  // namespace

// The family as the wizard's target-system page derives it.
TargetSystem TargetOf(const sys::OsVersion& v) { return ClassifyOs(v).system; }

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool Known(const std::string& name, const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, name); });
}

// A section or key the reader does not know is a misspelling that would
// otherwise be taken as missing and give its default without a word.  The
// keys of [Machine] only where the section is read.
bool CheckNames(AnswersFile& f, bool readMachine) {
    const std::vector<std::string> sections = {"Install", "Answers", "Machine"};
    const std::vector<std::string> install = {"Class",    "Model",    "Port",        "Mode",        "Target",
                                              "RasterBitmap", "SetDefault", "BaudRate", "DataBits", "StopBits",
                                              "Parity",   "FlowControl", "Package"};
    const std::vector<std::string> machine = {"Windows", "UsbPrinters", "SpoolerStartDelay", "LanguageMonitor"};
    std::vector<std::string> replies;
    for (int id = kFirstMessage; id <= kLastMessage; ++id) replies.push_back(std::to_string(id));
    for (const std::string& s : f.Names(nullptr))
        if (!Known(s, sections))
            return f.Fail(s.c_str(), "", "unknown section; the sections are " + Join(sections));
    const std::pair<const char*, const std::vector<std::string>*> checks[] = {
        {"Install", &install}, {"Machine", &machine}, {"Answers", &replies}};
    for (const auto& [section, keys] : checks) {
        if (keys == &machine && !readMachine) continue;
        for (const std::string& k : f.Names(section))
            if (!Known(k, *keys))
                return f.Fail(section, k.c_str(),
                              std::string("unknown key; the keys are ") +
                                  (keys == &replies ? "the message numbers " + replies.front() + " to " + replies.back()
                                                    : Join(*keys)));
    }
    return true;
}

}  // namespace

std::optional<Answers> ReadAnswers(sys::IProfile& profile, const std::string& file, bool machine,
                                   std::string* error) {
    Answers a;
    AnswersFile f(profile, file, error);
    if (!CheckNames(f, machine) || !ReadInstall(f, &a) || !ReadReplies(f, &a)) return std::nullopt;
    if (machine && !ReadMachine(f, &a)) return std::nullopt;
    return a;
}

bool FinishAnswers(const sys::Platform& platform, Answers* answers, std::string* error) {
    InstallChoices& c = answers->choices;
    if (!answers->targetGiven) {
        sys::OsVersion v;
        std::uint32_t e = 0;
        if (platform.system.Version(&v, &e)) c.targetSystem = TargetOf(v);
    }

    // The package: the program path lies in its folder, the configuration
    // beside it.  A folder that does not exist holds no setup.ini either.
    ConfigReader reader(platform);
    if (!sys::IsFile(platform.files, reader.MainFile()))
        return Fail(error, "Package",
                    "\"" + answers->package + "\" is not a driver package: it holds no DRVCONFIG\\setup.ini");

    // No model: the installation refuses it with the wizard's message.
    const std::string& model = c.modelName;
    if (model.empty()) return true;
    const int cls = static_cast<int>(c.printerClass);
    const PrinterLists lists = ReadPrinterLists(reader);
    const std::vector<std::string>& models = lists.models[cls];
    if (std::find(models.begin(), models.end(), model) == models.end()) {
        for (int other = 0; other < 4; ++other) {
            const std::vector<std::string>& m = lists.models[other];
            if (std::find(m.begin(), m.end(), model) != m.end())
                return Fail(error, "Model", "\"" + model + "\" is a " + kClasses[static_cast<std::size_t>(other)] +
                                                " model, not a " + kClasses[static_cast<std::size_t>(cls)] + " one");
        }
        return Fail(error, "Model",
                    "\"" + model + "\" is not one of the package's " + kClasses[static_cast<std::size_t>(cls)] +
                        " models" + (models.empty() ? std::string(" (it has none)") : ": " + Join(models)));
    }

    // The model's port section, as the wizard reads it on the way to the port page.
    const std::string classFile = ClassConfigPath(platform.files, c.printerClass);
    const std::string section = PortSectionName(model);
    if (c.installMode == InstallMode::Advanced &&
        ReadPortSectionInt(platform.profile, classFile, section, "AdvancedSetup") == 0)
        return Fail(error, "Mode", "\"Advanced\" is not offered for " + model + " (its AdvancedSetup is 0)");

    const bool usb = ReadPortSectionInt(platform.profile, classFile, section, "USBSUPPORTED") != 0;
    const std::vector<std::string> ports = OfferedPorts(model, c.targetSystem, usb, c.installMode);
    if (std::find(ports.begin(), ports.end(), c.portName) == ports.end())
        return Fail(error, "Port",
                    "\"" + c.portName + "\" is not one of " + Join(ports) + " (the ports offered for " + model +
                        " on " + kTargets[static_cast<std::size_t>(c.targetSystem)] + " in " +
                        kModes[static_cast<std::size_t>(c.installMode)] + " mode)");
    // A serial port disables the raster check box and clears it.
    if (c.rasterBitmap && !PortControlsOf(c.portName).rasterEnabled)
        return Fail(error, "RasterBitmap",
                    "\"1\" is not offered on the serial port " + c.portName + " (only parallel and USB ports)");

    // The baud list, or the rate the wizard takes from the model's
    // configuration when the user leaves the list alone (a rate of 0, from
    // a missing key, is no rate).
    const std::vector<int>& rates = BaudListRates();
    const std::int32_t own = ReadPortSectionInt(platform.profile, classFile, section, "BaudRate");
    if (std::find(rates.begin(), rates.end(), c.baudRate) == rates.end() && !(own > 0 && c.baudRate == own)) {
        std::vector<std::string> names;
        for (int r : rates) names.push_back(std::to_string(r));
        std::string why = "\"" + std::to_string(c.baudRate) + "\" is not one of " + Join(names);
        if (own > 0 && std::find(rates.begin(), rates.end(), own) == rates.end())
            why += " or " + std::to_string(own) + " (" + model + "'s own rate)";
        return Fail(error, "BaudRate", why);
    }
    return true;
}

namespace {

const char* ButtonsName(sys::MsgButtons b) {
    switch (b) {
        case sys::MsgButtons::Ok: return "OK";
        case sys::MsgButtons::OkCancel: return "OK/Cancel";
        case sys::MsgButtons::YesNo: return "Yes/No";
        case sys::MsgButtons::YesNoCancel: return "Yes/No/Cancel";
    }
    return "";
}

const char* AnswerName(sys::MsgAnswer a) {
    switch (a) {
        case sys::MsgAnswer::Ok: return "OK";
        case sys::MsgAnswer::Cancel: return "Cancel";
        case sys::MsgAnswer::Yes: return "Yes";
        case sys::MsgAnswer::No: return "No";
    }
    return "";
}

}  // namespace

sys::MsgAnswer ScriptedMessages::Answer(int id, sys::MsgButtons buttons) {
    if (buttons == sys::MsgButtons::Ok) return sys::MsgAnswer::Ok;
    auto it = m_answers.replies.find(id);
    if (it != m_answers.replies.end()) return it->second;
    return buttons == sys::MsgButtons::OkCancel ? sys::MsgAnswer::Cancel : sys::MsgAnswer::No;
}

sys::MsgAnswer ScriptedMessages::ShowMessage(int id, const char* extra, sys::MsgButtons buttons, sys::MsgIcon) {
    sys::MsgAnswer a = Answer(id, buttons);
    std::fprintf(m_out, "message %d%s%s [%s] -> %s\n", id, extra ? ": " : "", extra ? extra : "", ButtonsName(buttons),
                 AnswerName(a));
    return a;
}

sys::MsgAnswer ScriptedMessages::ShowText(const char* text, sys::MsgButtons buttons, sys::MsgIcon) {
    sys::MsgAnswer a = Answer(0, buttons);
    std::fprintf(m_out, "text: %s [%s] -> %s\n", text ? text : "", ButtonsName(buttons), AnswerName(a));
    return a;
}
