#include "sys/InstallLog.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace sys {

const char kLogFileName[] = "Instalix.log";
const char kProgramVersion[] = "1.0";

namespace {

class DroppingLog final : public ILog {
public:
    void Step(const char*) override {}
    void Call(const char*, const std::string&, bool, std::uint32_t) override {}
    void Message(int, const std::string&, MsgButtons, MsgAnswer) override {}
    void Note(const std::string&) override {}
};

std::string WindowsText(ISystem& system) {
    OsVersion v;
    std::uint32_t error = 0;
    char text[96];
    if (!system.Version(&v, &error)) {
        std::snprintf(text, sizeof text, "Windows version unknown (error %u)", static_cast<unsigned>(error));
        return text;
    }
    // On Windows 95/98/Me the build number's high word repeats the version.
    const unsigned build = v.platformId == 1 ? (v.build & 0xFFFFu) : v.build;
    std::snprintf(text, sizeof text, "Windows %u.%u.%u (%s)", static_cast<unsigned>(v.major),
                  static_cast<unsigned>(v.minor), build, v.platformId == 1 ? "9x" : v.platformId == 2 ? "NT" : "?");
    return text;
}

}  // namespace

ILog& NullLog() {
    static DroppingLog log;
    return log;
}

std::string LogStamp(const SystemTime& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", static_cast<unsigned>(t.year),
                  static_cast<unsigned>(t.month), static_cast<unsigned>(t.day), static_cast<unsigned>(t.hour),
                  static_cast<unsigned>(t.minute), static_cast<unsigned>(t.second),
                  static_cast<unsigned>(t.milliseconds));
    return text;
}

std::string OneLine(const std::string& text) {
    // Neither byte is ever the second byte of a code page 936 character.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

const char* ButtonsText(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: return "OK";
        case MsgButtons::OkCancel: return "OK/Cancel";
        case MsgButtons::YesNo: return "Yes/No";
        case MsgButtons::YesNoCancel: return "Yes/No/Cancel";
    }
    return "?";
}

const char* AnswerText(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::Ok: return "OK";
        case MsgAnswer::Cancel: return "Cancel";
        case MsgAnswer::Yes: return "Yes";
        case MsgAnswer::No: return "No";
    }
    return "?";
}

FileLog::FileLog(IFiles& files, ISystem& system, std::string program, std::string path)
    : m_files(files), m_system(system), m_program(std::move(program)), m_path(std::move(path)),
      m_pathKnown(!m_path.empty()) {}

const std::string& FileLog::Path() {
    if (!m_pathKnown) {
        m_pathKnown = true;
        std::vector<char> buffer(261, '\0');
        std::uint32_t error = 0;
        std::uint32_t n = m_files.TempPath(buffer.data(), static_cast<std::uint32_t>(buffer.size()), &error);
        if (n >= buffer.size()) {
            buffer.assign(n + 1, '\0');
            n = m_files.TempPath(buffer.data(), static_cast<std::uint32_t>(buffer.size()), &error);
        }
        if (n > 0 && n < buffer.size()) {
            std::string dir(buffer.data(), n);
            if (dir.back() != '\\') dir += '\\';
            m_path = dir + kLogFileName;
        }
    }
    return m_path;
}

void FileLog::Write(const char* kind, const std::string& text) {
    if (!m_begun) Begin();
    const std::string& path = Path();
    if (path.empty()) return;
    const std::string line = LogStamp(m_system.GetLocalTime()) + " " + kind + " " + OneLine(text) + "\r\n";
    std::uint32_t error = 0;
    // A line that cannot be written is dropped; the next one tries again.
    m_files.AppendFile(path.c_str(), line, &error);
}

void FileLog::Begin() {
    if (m_begun) return;
    m_begun = true;
    Write("====", m_program + " " + kProgramVersion + ", " + WindowsText(m_system));
}

void FileLog::Step(const char* name) { Write("step", name ? name : ""); }

void FileLog::Call(const char* function, const std::string& arguments, bool ok, std::uint32_t error) {
    std::string text = std::string(function ? function : "") + "(" + arguments + ") -> ";
    if (ok)
        text += "ok";
    else if (error)
        text += "error " + std::to_string(error);
    else
        text += "failed";
    Write("call", text);
}

void FileLog::Message(int id, const std::string& text, MsgButtons buttons, MsgAnswer answer) {
    const std::string what = id ? "message " + std::to_string(id) : std::string("text");
    Write("box ", what + " [" + ButtonsText(buttons) + "] -> " + AnswerText(answer) + ": " + text);
}

void FileLog::Note(const std::string& text) { Write("note", text); }

}  // namespace sys
