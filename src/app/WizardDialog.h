// The wizard frame: the picture, the page area and the Back, Next/Finish
// and Cancel buttons.  It creates the pages inside its page area, shows one
// at a time and runs the step controller on Next; the pages belong to
// start-up, the frame only refers to them.
#pragma once

#include <string>
#include <vector>

#include "dialog/DialogBase.h"
#include "install/InstallChoices.h"
#include "install/Installation.h"
#include "install/StepController.h"
#include "sys/Platform.h"

namespace sys::win32 {
class Win32MessageBox;
}

class ModePage;
class OsPage;
class PortPage;
class PrinterPage;

// Told the name of each stage of start-up as it ends (the start-up probe
// times them); the program passes none.
using StartupMark = void (*)(const char* stage);

class WizardDialog : public DialogBase {
public:
    // `ownedMessages`, when given, are the message boxes the platform shows:
    // the frame makes itself their owner while its window exists.
    explicit WizardDialog(const sys::Platform& platform, sys::win32::Win32MessageBox* ownedMessages = nullptr);
    ~WizardDialog() override;

    // Adds a page, in index order.  The title and the template name the page
    // where start-up lists them; the frame keeps neither (a page knows its
    // own template).
    void AddPage(const std::string& title, DialogBase* page, unsigned templateId);
    DialogBase* GetPage(int index) const;
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // Switches to page `index`; nonzero when the switch happened.
    virtual int ShowPage(int index);
    void OnNext();
    void OnBack();
    void DestroyPages();
    bool OnHelpRequest();

    std::vector<DialogBase*> m_pages;
    int m_current = -1;
    std::string m_title = "Wizard";
    InstallChoices m_choices;
    HICON m_hIcon = nullptr;

    // What the last help request did: the window it brought to the front,
    // or the shell's answer for the file (for the tests).
    HWND m_lastHelpWindow = nullptr;
    INT_PTR m_lastHelpResult = 0;
    // How the last Finish ended; true while the installation runs.
    InstallEnding m_lastEnding = InstallEnding::Stayed;
    bool m_installing = false;
    // Set when the frame had its WM_INITDIALOG.
    bool m_initialised = false;
    // Told when the frame's window and each page are made.
    StartupMark m_startupMark = nullptr;

protected:
    BOOL OnInitDialog() override;
    // Puts the frame in the middle of the work area.
    void CentreOnScreen();
    bool OnCommand(int id, int code, HWND control) override;
    bool OnHelp(HELPINFO* info) override;
    void OnDestroy() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    PrinterPage* Printer() const;
    ModePage* Mode() const;
    OsPage* Os() const;
    PortPage* Port() const;
    PageValues ReadPages() const;
    void ArriveAtLastPage();
    void Finish();
    void FocusItem(int id);
    void SetBusy(bool busy);

    sys::Platform m_platform;
    sys::win32::Win32MessageBox* m_ownedMessages;
    StepController m_steps;
};
