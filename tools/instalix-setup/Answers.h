// The unattended installation's answers file: the install choices, the
// answers to the Yes/No questions and, for the simulated machine, its state.
//
// Every value is checked before anything on the machine is touched: its
// form and the lists of the wizard's pages when the file is read
// (ReadAnswers), the package's device list and the ports the port page
// would offer once the package and the target system are known
// (FinishAnswers).  A problem is one line naming the key:
//   [Install] Parity: "Zebra" is not one of Even, Mark, None, Odd, Space
//
// Values are read with the profile API.  A ';' that begins a value or
// follows a blank or a tab starts a comment ("Mode=Advanced  ; or Typical"),
// as on a line of its own; a ';' inside a word stays ("Package=D:\drv;2").
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "install/InstallChoices.h"
#include "sys/Platform.h"

struct Answers {
    InstallChoices choices;
    bool targetGiven = false;
    // The package folder: the configuration beside it, the driver folders below it.
    std::string package;
    // Answers by message id ("Yes"/"No"); questions not listed are answered No.
    std::map<int, sys::MsgAnswer> replies;
    // The simulated machine (host build only).
    std::string windows = "winxp";
    std::vector<std::uint16_t> usbPrinters;
    std::uint32_t spoolerStartDelayMs = 0;
    bool languageMonitorInstalled = false;
};

// Reads the [Install] and [Answers] sections and, with `machine`, the
// [Machine] section (the Windows build ignores it).  On the first bad value
// returns nothing and says why in *error.
std::optional<Answers> ReadAnswers(sys::IProfile& profile, const std::string& file, bool machine,
                                   std::string* error);

// Completes and checks the choices against the machine and the package the
// platform's program path lies in: the target system from the running
// system when the file gives none; the package's setup.ini; the model in the
// package's device list for its class; the advanced mode allowed for it; the
// port among those the port page offers; the baud rate from the baud list or
// the model's own.  An empty model is left to the installation, which
// refuses it as the wizard does.  Reads only.
bool FinishAnswers(const sys::Platform& platform, Answers* answers, std::string* error);

// Prints each message box as one line and answers it from the file.  The
// string-table texts, for the log, come from `texts` (the system's own
// message boxes) when given.
class ScriptedMessages final : public sys::IMessageBox {
public:
    ScriptedMessages(const Answers& answers, std::FILE* out, sys::IMessageBox* texts = nullptr)
        : m_answers(answers), m_out(out), m_texts(texts) {}
    sys::MsgAnswer ShowMessage(int id, const char* extra, sys::MsgButtons buttons, sys::MsgIcon icon) override;
    sys::MsgAnswer ShowText(const char* text, sys::MsgButtons buttons, sys::MsgIcon icon) override;
    std::string MessageText(int id) override { return m_texts ? m_texts->MessageText(id) : std::string(); }

private:
    sys::MsgAnswer Answer(int id, sys::MsgButtons buttons);
    const Answers& m_answers;
    std::FILE* m_out;
    sys::IMessageBox* m_texts;
};

TargetSystem TargetOf(const sys::OsVersion& v);
