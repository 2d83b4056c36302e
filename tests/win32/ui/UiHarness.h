// What the Wine UI tests share: the real dialogs over the sample package,
// message boxes recorded instead of shown, the message pump, screenshots.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/SetupApp.h"
#include "sys/ProgramPathOverride.h"
#include "sys/win32/Win32Platform.h"

namespace ui {

// Message boxes as the core asks for them: recorded, answered from a script.
class RecordedMessages final : public sys::IMessageBox {
public:
    sys::MsgAnswer ShowMessage(int id, const char* extra, sys::MsgButtons buttons, sys::MsgIcon icon) override;
    sys::MsgAnswer ShowText(const char* text, sys::MsgButtons buttons, sys::MsgIcon icon) override;
    // The test program's own string table, as the real message boxes load it.
    std::string MessageText(int id) override { return sys::win32::Win32MessageBox().MessageText(id); }
    std::vector<int> ids;
    std::vector<std::string> texts;
    sys::MsgAnswer answer = sys::MsgAnswer::No;
};

// The sample package as the tests' program folder (set by the build).
std::string SamplePackage();
// A folder of this test run, made empty.
std::string TempFolder(const std::string& name);

// The real system, with the program file presented as lying in `package`
// and with recorded message boxes.
class UiMachine {
public:
    explicit UiMachine(const std::string& package = SamplePackage());
    sys::Platform platform() const { return m_platform; }
    RecordedMessages messages;

private:
    sys::win32::Win32Platform m_real;
    sys::ProgramPathOverride m_files;
    sys::Platform m_platform;
};

// Every message waiting for this thread, dispatched as the modal loop of
// the frame `dialog` would (nullptr: no dialog).
void Pump(HWND dialog = nullptr);
// A key press on `target`, through the frame's dialog manager.
void PressKey(HWND frame, HWND target, UINT vk);
// BM_CLICK, as a user's click (the window is activated first).
void Click(HWND frame, HWND button);
// Selects a combo box entry by index and tells the parent, as a user's choice does.
void ChooseEntry(HWND combo, int index);
// Text of a window, and of a combo box's entries.
std::string Text(HWND window);
std::vector<std::string> Entries(HWND combo);

// A screenshot of a window, kept under the build tree for review.
void Shot(HWND window, const std::string& name);

// The wizard as start-up builds it, run modeless so the test keeps control.
class Wizard {
public:
    explicit Wizard(UiMachine& machine);
    ~Wizard();
    WizardWindows w;
    HWND frame() const { return w.frame.hwnd(); }
    HWND Control(DialogBase& page, int id) const { return GetDlgItem(page.hwnd(), id); }
    // Next and Back as clicks on the frame's buttons.
    void Next();
    void Back();
    // Accept, then Next until page `index`.
    void GoTo(int index);
};

}  // namespace ui
