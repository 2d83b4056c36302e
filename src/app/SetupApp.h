// Start-up: prepares the controls the wizard uses, builds the frame and its
// five pages, runs the wizard and ends the program.
#pragma once

#include <windows.h>

#include <string>

#include "sys/Platform.h"

// The window class of the agreement's rich-text control: our own name over
// whichever system RichEdit control could be loaded.
extern const char kRichTextClass[];

// Registers the common control classes the wizard uses (tooltips among
// them), with InitCommonControlsEx where the system has it.  The library
// comes from the system (sys/win32/SystemLibrary.h), never from beside the
// program.
void InitControlHosting();

// Makes sure the agreement's rich-text control can be created: OLE once
// (IDS_OLE_INIT_FAILED when it fails), then RichEdit 2.0, else 1.0,
// superclassed under kRichTextClass.  false when neither is there.
bool RegisterRichTextControl(sys::IMessageBox& messages);

// The file name of the RichEdit library that was loaded, for the tests.
const std::string& RichTextLibraryPath();

#include "app/WizardDialog.h"
#include "pages/AgreementPage.h"
#include "pages/ModePage.h"
#include "pages/OsPage.h"
#include "pages/PortPage.h"
#include "pages/PrinterPage.h"

// The frame and its five pages, constructed in start-up's order (the frame,
// then the agreement, mode, target-system, printer and port pages) and
// destroyed in the reverse order; the pages are added in index order.
struct WizardWindows {
    WizardWindows(const sys::Platform& platform, sys::win32::Win32MessageBox* messages);

    WizardDialog frame;
    AgreementPage agreement;
    ModePage mode;
    OsPage os;
    PrinterPage printer;
    PortPage port;
};

// The program's exit code: how the run ended.  The user sees the same
// either way; the code tells a test or a support technician why no wizard
// came up.
enum class SetupExit : int {
    Finished = 0,       // the wizard ran and was ended (Finish or Cancel)
    NoRichText = 2,     // OLE or the RichEdit control could not be prepared
    NoFrame = 3,        // the frame's dialog could not be created
};

class SetupApp {
public:
    // The whole run; returns FALSE as the application's start-up routine
    // does, so that the program ends after it.  `mark` is told each stage of
    // start-up as it ends (the start-up probe times them).
    BOOL InitInstance(StartupMark mark = nullptr);

    SetupExit ExitCode() const { return m_exit; }

private:
    SetupExit m_exit = SetupExit::Finished;
};
