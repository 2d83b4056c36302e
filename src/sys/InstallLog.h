// The installation log file, as administrators expect of a setup program:
// %TEMP%\Instalix.log, appended run after run, one line per entry, each
// with its local time stamp, code page 936 text and CRLF line ends:
//
//   2024-05-06 09:30:00.000 ==== instalix-setup 1.0, Windows 5.1.2600 (NT)
//   2024-05-06 09:30:00.000 step add printer
//   2024-05-06 09:30:00.000 call AddPrinterA(level 2, printer "MTR-Q5(P)", port "LPT1:", ...) -> error 1801
//   2024-05-06 09:30:00.000 box  message 116 [OK] -> OK: <the message text>
//   2024-05-06 09:30:00.000 note installation closed
//
// Every line is appended on its own (the file is opened, written and closed
// each time), so that the log holds everything up to a crash or a restart.
// A line that cannot be written is dropped: the log never changes what the
// installation does.
#pragma once

#include <string>

#include "sys/Platform.h"

namespace sys {

extern const char kLogFileName[];     // "Instalix.log"
extern const char kProgramVersion[];  // "1.0", as the About box shows it

class FileLog final : public ILog {
public:
    // Writes through the undecorated `files` and `system`.  `program` names
    // the program in the run's header line; the log goes to `path`, or to
    // the temporary folder's kLogFileName when `path` is empty.
    FileLog(IFiles& files, ISystem& system, std::string program, std::string path = "");
    FileLog(const FileLog&) = delete;
    FileLog& operator=(const FileLog&) = delete;

    // The run's header line: program, version, Windows version (the line's
    // stamp gives date and time).  Written once; the first entry writes it
    // when Begin was not called.
    void Begin();

    void Step(const char* name) override;
    void Call(const char* function, const std::string& arguments, bool ok, std::uint32_t error) override;
    void Message(int id, const std::string& text, MsgButtons buttons, MsgAnswer answer) override;
    void Note(const std::string& text) override;

    // The file written to; empty when the temporary folder is not known.
    const std::string& Path();

private:
    void Write(const char* kind, const std::string& text);

    IFiles& m_files;
    ISystem& m_system;
    std::string m_program;
    std::string m_path;
    bool m_pathKnown = false;
    bool m_begun = false;
};

// "2024-05-06 09:30:00.125": the stamp that starts every line.
std::string LogStamp(const SystemTime& t);
// `text` on one line: CR and LF written as \r and \n.
std::string OneLine(const std::string& text);
const char* ButtonsText(MsgButtons buttons);  // "OK", "Yes/No", ...
const char* AnswerText(MsgAnswer answer);     // "OK", "Yes", ...

}  // namespace sys
