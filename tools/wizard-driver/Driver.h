// Runs the steps of a script against a program: starts it, finds its
// windows and controls, acts on them with the messages a user's input
// produces, reads them back and answers its message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Script.h"

namespace driver {

class Driver {
public:
    Driver();
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // Runs one step and prints its line.  False when it failed; the line
    // says why.
    bool Run(const Step& step);
    // After the last step: a program still running is killed (a script ends
    // with wait-exit or kill).  False then.
    bool Finish();
    // After a failed step: a picture of the screen for the record, then the
    // program is killed so that nothing is left waiting.
    void Abandon(const Step& step);

    void SetShotDir(const std::wstring& dir, const std::wstring& prefix);

private:
    bool Dispatch(const Step& step, std::string& result);

    // Commands.  Each returns false with the reason in `result`, or true
    // with what it found or did.
    bool Start(const Step& step, std::string& result, bool timed);
    bool WaitWindow(const Step& step, std::string& result);
    bool OtherWindow(const Step& step, std::string& result);
    bool WaitExit(const Step& step, std::string& result);
    bool Kill(std::string& result);
    bool Click(const Step& step, std::string& result);
    bool Select(const Step& step, std::string& result);
    bool Key(const Step& step, std::string& result);
    bool SendCommand(UINT message, WPARAM wParam, std::string& result);
    bool ReadText(const Step& step, std::string& result);
    // Every visible control's id, class and text (command texts).
    bool ReadTexts(std::string& result);
    bool ExpectText(const Step& step, std::string& result);
    bool ExpectState(const Step& step, std::string& result);
    bool ExpectList(const Step& step, std::string& result);
    bool ExpectSelected(const Step& step, std::string& result);
    bool ExpectCaption(const Step& step, std::string& result);
    bool ExpectFocus(const Step& step, std::string& result);
    bool Answer(const Step& step, std::string& result);
    bool ExpectNoBox(std::string& result);
    bool Shot(const Step& step, std::string& result, bool screen);
    bool ShotDir(const Step& step, std::string& result);
    bool WaitIdleStep(const Step& step, std::string& result);

    // The process and its windows.
    bool Running() const;
    bool NeedTarget(std::string& why) const;
    // Until the program's user-interface thread waits for input.
    bool WaitIdle(double seconds, std::string& why);
    // Posts the messages and waits until the program has handled them
    // (see Driver.cpp); `root` holds the marker button, never `except`.
    struct Posted {
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    bool PostAndWait(const std::vector<Posted>& messages, HWND root, HWND except, std::string& why);
    // A control and every window above it are enabled and visible.
    bool Usable(HWND control, std::string& why) const;
    HWND FindControl(const std::string& word, std::string& why) const;
    HWND FindTopWindow(const std::wstring& caption) const;
    std::vector<HWND> TopWindows() const;
    std::vector<HWND> OpenBoxes() const;
    std::vector<HWND> Dialogs() const;
    std::string DescribeWindows() const;
    void CloseProcess();
    std::wstring ShotPath(const std::string& name) const;

    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    DWORD m_exitCode = 0;
    HWND m_target = nullptr;
    std::string m_programBase;  // message boxes' caption
    std::wstring m_shotDir;
    std::wstring m_shotPrefix;
    int m_boxShots = 0;
    std::string m_opened;  // the text of a box the last step opened
};

// Text helpers shared with main.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
// One line on standard output, UTF-8 (or the console's own text).
void PrintLine(const std::string& utf8);

}  // namespace driver
