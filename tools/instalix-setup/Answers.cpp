#include "Answers.h"

#include <cstdio>
#include <cstring>

#include "config/ConfigInt.h"
#include "install/OsClassification.h"

namespace {

std::string Get(sys::IProfile& profile, const std::string& file, const char* section, const char* key,
                const char* def = "") {
    char buffer[512] = {};
    profile.GetPrivateString(section, key, def, buffer, sizeof buffer, file.c_str());
    return buffer;
}

bool OneOf(const std::string& value, std::initializer_list<const char*> names, int* index) {
    int i = 0;
    for (const char* n : names) {
        if (value == n || value == std::to_string(i)) {
            *index = i;
            return true;
        }
        ++i;
    }
    return false;
}

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

// The family as the wizard's target-system page derives it.
TargetSystem TargetOf(const sys::OsVersion& v) { return ClassifyOs(v).system; }

std::optional<Answers> ReadAnswers(sys::IProfile& profile, const std::string& file, std::string* error) {
    Answers a;
    InstallChoices& c = a.choices;
    int index = 0;
    const std::string cls = Get(profile, file, "Install", "Class", "Receipt");
    if (!OneOf(cls, {"Receipt", "Ticket", "Label", "Embedded"}, &index)) {
        *error = "unknown Class " + cls;
        return std::nullopt;
    }
    c.printerClass = static_cast<PrinterClass>(index);
    c.modelName = Get(profile, file, "Install", "Model");
    c.portName = Get(profile, file, "Install", "Port");
    const std::string target = Get(profile, file, "Install", "Target");
    if (!target.empty()) {
        if (!OneOf(target, {"98", "NT", "2000", "XP", "2003"}, &index)) {
            *error = "unknown Target " + target;
            return std::nullopt;
        }
        c.targetSystem = static_cast<TargetSystem>(index);
        a.targetGiven = true;
    }
    const std::string mode = Get(profile, file, "Install", "Mode", "Typical");
    if (!OneOf(mode, {"Advanced", "Typical"}, &index)) {
        *error = "unknown Mode " + mode;
        return std::nullopt;
    }
    c.installMode = static_cast<InstallMode>(index);
    c.rasterBitmap = ParseConfigInt(Get(profile, file, "Install", "RasterBitmap", "0"));
    c.setAsDefault = ParseConfigInt(Get(profile, file, "Install", "SetDefault", "0"));
    c.baudRate = ParseConfigInt(Get(profile, file, "Install", "BaudRate", "9600"));
    c.dataBits = ParseConfigInt(Get(profile, file, "Install", "DataBits", "8"));
    c.stopBits = std::atof(Get(profile, file, "Install", "StopBits", "1").c_str());
    c.parity = Get(profile, file, "Install", "Parity", "None")[0];
    const std::string flow = Get(profile, file, "Install", "FlowControl", "None");
    c.flowControl = flow == "Xon/Xoff" ? 'x' : flow == "Hardware" ? 'p' : ' ';
    a.package = Get(profile, file, "Install", "Package");
    if (a.package.empty()) {
        *error = "no Package folder given";
        return std::nullopt;
    }
    for (int id = 101; id <= 145; ++id) {
        const std::string reply = Get(profile, file, "Answers", std::to_string(id).c_str());
        if (reply == "Yes") a.replies[id] = sys::MsgAnswer::Yes;
        if (reply == "No") a.replies[id] = sys::MsgAnswer::No;
    }
    a.windows = Get(profile, file, "Machine", "Windows", "winxp");
    const std::string usb = Get(profile, file, "Machine", "UsbPrinters");
    for (std::size_t pos = 0; pos < usb.size();) {
        std::size_t comma = usb.find(',', pos);
        if (comma == std::string::npos) comma = usb.size();
        a.usbPrinters.push_back(static_cast<unsigned>(ParseConfigInt(usb.substr(pos, comma - pos))));
        pos = comma + 1;
    }
    a.spoolerStartDelayMs = static_cast<std::uint32_t>(ParseConfigInt(Get(profile, file, "Machine", "SpoolerStartDelay", "0")));
    a.languageMonitorInstalled = ParseConfigInt(Get(profile, file, "Machine", "LanguageMonitor", "0")) != 0;
    return a;
}

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
