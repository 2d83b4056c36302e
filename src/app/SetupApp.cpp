#include "app/SetupApp.h"

#include <commctrl.h>
#include <ole2.h>

#include "resource.h"
#include "sys/InstallLog.h"
#include "sys/LoggedPlatform.h"
#include "sys/Language.h"
#include "sys/win32/Resources.h"
#include "sys/win32/SystemLibrary.h"
#include "sys/win32/Win32Platform.h"

const char kRichTextClass[] = INSTALIX_RICHTEXT_CLASS;

namespace {

// Our superclass of the system's RichEdit control: every message of our
// windows goes on to the base class's window procedure.  A window procedure
// gets no object, so the class keeps the procedure, with the file of the
// library it came from, for the whole run.
class RichTextSuperclass {
public:
    // Registers kRichTextClass over `baseClass` of `library`.
    static bool Register(const char* baseClass, HMODULE library) {
        WNDCLASSA wc{};
        if (!GetClassInfoA(nullptr, baseClass, &wc) && !GetClassInfoA(library, baseClass, &wc)) return false;
        s_baseProc = wc.lpfnWndProc;
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kRichTextClass;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
        char path[MAX_PATH] = {};
        GetModuleFileNameA(library, path, MAX_PATH);
        s_libraryPath = path;
        return true;
    }

    static const std::string& LibraryPath() { return s_libraryPath; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        return CallWindowProcA(s_baseProc, hwnd, message, wParam, lParam);
    }

    static WNDPROC s_baseProc;
    static std::string s_libraryPath;
};

WNDPROC RichTextSuperclass::s_baseProc = nullptr;
std::string RichTextSuperclass::s_libraryPath;

}  // namespace

void InitControlHosting() {
    // InitCommonControlsEx came with later versions of the control library
    // than some of the systems have: look it up, fall back to the old call.
    HMODULE controls = sys::win32::CommonControlsLibrary();
    if (!controls) return;
    using Init = void(WINAPI*)();
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControls")));
    auto initEx = reinterpret_cast<InitEx>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
    if (init) init();
    if (initEx) {
        INITCOMMONCONTROLSEX icc{};
        icc.dwSize = sizeof icc;
        icc.dwICC = ICC_WIN95_CLASSES;
        initEx(&icc);
    }
}

bool RegisterRichTextControl(sys::IMessageBox& messages) {
    auto oleInitialize = sys::win32::SystemCall<decltype(::OleInitialize)>("ole32.dll", "OleInitialize");
    auto oleUninitialize = sys::win32::SystemCall<decltype(::OleUninitialize)>("ole32.dll", "OleUninitialize");
    if (!oleInitialize || !oleUninitialize || FAILED(oleInitialize(nullptr))) {
        messages.ShowMessage(IDS_OLE_INIT_FAILED, nullptr, sys::MsgButtons::Ok, sys::MsgIcon::Error);
        return false;
    }
    bool ok = false;
    // RichEdit 2.0 first; Windows 98 and NT 4 always have RichEdit 1.0.
    static const struct {
        const char* library;
        const char* windowClass;
    } kRichEdits[] = {{"riched20.dll", "RichEdit20A"}, {"riched32.dll", "RICHEDIT"}};
    for (const auto& r : kRichEdits) {
        HMODULE library = sys::win32::LoadSystemLibrary(r.library);
        if (!library) continue;
        // The library stays loaded for the whole run: its controls need it.
        if (RichTextSuperclass::Register(r.windowClass, library)) {
            ok = true;
            break;
        }
        FreeLibrary(library);
    }
    oleUninitialize();
    return ok;
}

const std::string& RichTextLibraryPath() { return RichTextSuperclass::LibraryPath(); }

WizardWindows::WizardWindows(const sys::Platform& platform, sys::win32::Win32MessageBox* messages)
    : frame(platform, messages), os(platform), printer(platform), port(platform) {
    const sys::WizardTexts& texts = sys::TextsFor(sys::win32::ProgramLanguage());
    frame.m_title = texts.frameTitle;
    frame.AddPage(texts.pageTitles[0], &agreement, IDD_AGREEMENT_PAGE);
    frame.AddPage(texts.pageTitles[1], &printer, IDD_PRINTER_PAGE);
    frame.AddPage(texts.pageTitles[2], &mode, IDD_MODE_PAGE);
    frame.AddPage(texts.pageTitles[3], &os, IDD_OS_PAGE);
    frame.AddPage(texts.pageTitles[4], &port, IDD_PORT_PAGE);
}

BOOL SetupApp::InitInstance(StartupMark mark) {
    // The language of every text of this run, chosen once from the code page.
    sys::win32::SetProgramLanguage(sys::LanguageForCodePage(GetACP()));
    sys::win32::Win32Platform real;
    const sys::Platform base = real.platform();
    // The installation log, %TEMP%\Instalix.log: every step, every change
    // to the system and every message box of this run.
    sys::FileLog log(base.files, base.system, "instalix");
    log.Begin();
    sys::LoggedPlatform logged(base, log);
    const sys::Platform platform = logged.platform();
    if (mark) mark("language, platform and log");
    InitControlHosting();
    if (mark) mark("common controls");
    const bool richText = RegisterRichTextControl(platform.messages);
    if (mark) mark("OLE and the rich-text library");
    if (!richText) {
        m_exit = SetupExit::NoRichText;
        log.Note("the agreement's rich-text control could not be prepared");
        return FALSE;
    }
    DWORD frameError = 0;
    bool initialised = false;
    {
        WizardWindows wizard(platform, &real.messages());
        wizard.frame.m_startupMark = mark;
        // IDOK or IDCANCEL is not used: the run did everything inside the
        // dialog.  -1 means the frame never came up.
        SetLastError(0);
        if (wizard.frame.RunModal(nullptr) == -1) {
            frameError = GetLastError();
            initialised = wizard.frame.m_initialised;
            m_exit = SetupExit::NoFrame;
        }
    }
    // Why the frame did not come up: the system's error, and whether the
    // frame had its WM_INITDIALOG (a window destroyed after it) or not (its
    // window or one of its controls could not be created).
    if (m_exit == SetupExit::NoFrame)
        log.Note(std::string("the wizard could not be shown (error ") + std::to_string(frameError) +
                 (initialised ? ", after its set-up)" : ", before its set-up)"));
    else
        log.Note("wizard closed");
    return FALSE;
}
