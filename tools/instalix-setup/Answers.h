// The unattended installation's answers file: the install choices, the
// answers to the Yes/No questions and, for the simulated machine, its state.
#pragma once

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
    std::vector<unsigned> usbPrinters;
    std::uint32_t spoolerStartDelayMs = 0;
    bool languageMonitorInstalled = false;
};

// Reads the answers file through the profile seam; on a problem returns
// nothing and says why in *error.
std::optional<Answers> ReadAnswers(sys::IProfile& profile, const std::string& file, std::string* error);

// Prints each message box as one line and answers it from the file.
class ScriptedMessages final : public sys::IMessageBox {
public:
    ScriptedMessages(const Answers& answers, std::FILE* out) : m_answers(answers), m_out(out) {}
    sys::MsgAnswer ShowMessage(int id, const char* extra, sys::MsgButtons buttons, sys::MsgIcon icon) override;
    sys::MsgAnswer ShowText(const char* text, sys::MsgButtons buttons, sys::MsgIcon icon) override;

private:
    sys::MsgAnswer Answer(int id, sys::MsgButtons buttons);
    const Answers& m_answers;
    std::FILE* m_out;
};

TargetSystem TargetOf(const sys::OsVersion& v);
