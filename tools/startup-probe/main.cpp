// startup-probe: the wizard's start-up, timed stage by stage.  It runs the
// program's own start-up (SetupApp::InitInstance) with its resources, and
// prints how long each stage took, from the process's creation on:
//
//   process start (to main)                       41.2 ms
//   language, platform and log                     1.1 ms
//   ...
//
// Start-up names its stages itself (StartupMark); a page's figure is the
// creation of its window and controls and its own set-up (the printer page
// reads the package's device list, the target-system page probes the
// version).  The last figure runs to the first timer message after the
// frame is shown: Windows delivers timer messages only when no other message
// and no painting is waiting, so that is when the wizard waits for input.
// The probe then cancels the wizard.
//
// startup-probe --floor (or the same program named startup-floor.exe, for
// a caller that cannot pass arguments): the wizard's windows and nothing else, the least
// start-up the design allows: the control libraries prepared as the wizard
// prepares them, the frame and its five pages made from the same templates
// (with their initialisation data: the agreement, the serial lists) when the
// frame initialises, the first page shown; no log, no package, no version
// probe, no tool tip.  The start-up benchmark compares it with the wizard.
//
// Not shipped: scripts/startup-benchmark runs it.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/SetupApp.h"
#include "resource.h"
#include "sys/Language.h"
#include "sys/win32/Resources.h"
#include "sys/win32/Win32Platform.h"

namespace {

LARGE_INTEGER g_frequency;
LARGE_INTEGER g_last;
double g_total = 0;

void Print(const char* stage, double ms) {
    g_total += ms;
    std::printf("  %-44s %7.1f ms\n", stage, ms);
    std::fflush(stdout);
}

void Mark(const char* stage) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    Print(stage, static_cast<double>(now.QuadPart - g_last.QuadPart) * 1000.0 / g_frequency.QuadPart);
    QueryPerformanceCounter(&g_last);
}

BOOL CALLBACK CancelVisible(HWND window, LPARAM) {
    if (IsWindowVisible(window)) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void CALLBACK Idle(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    Mark("shown and painted, to waiting for input");
    EnumThreadWindows(GetCurrentThreadId(), CancelVisible, 0);
}

void StageEnded(const char* stage) {
    Mark(stage);
    // The frame's set-up is over when it has shown its first page.
    if (std::strncmp(stage, "frame: first page", 17) == 0) SetTimer(nullptr, 0, 0, Idle);
}

// The frame of the floor: its pages are plain dialogs of the wizard's
// templates.
class FloorFrame : public DialogBase {
public:
    FloorFrame() : DialogBase(IDD_WIZARD) {}

protected:
    BOOL OnInitDialog() override {
        DialogBase::OnInitDialog();
        RECT area{};
        GetWindowRect(Item(IDC_PAGE_AREA), &area);
        POINT topLeft{area.left, area.top};
        ScreenToClient(m_hwnd, &topLeft);
        for (DialogBase* page : m_pages) {
            page->Create(m_hwnd);
            SetWindowPos(page->hwnd(), nullptr, topLeft.x, topLeft.y, area.right - area.left,
                         area.bottom - area.top, SWP_NOZORDER);
        }
        ShowWindow(m_pages[0]->hwnd(), SW_SHOW);
        const sys::WizardTexts& texts = sys::TextsFor(sys::win32::ProgramLanguage());
        SetWindowTextA(m_hwnd, texts.frameTitle);
        SetDlgItemTextA(m_hwnd, IDC_BACK, texts.back);
        SetDlgItemTextA(m_hwnd, IDOK, texts.next);
        SetDlgItemTextA(m_hwnd, IDCANCEL, texts.cancel);
        return TRUE;
    }

private:
    DialogBase m_agreement{IDD_AGREEMENT_PAGE}, m_printer{IDD_PRINTER_PAGE}, m_mode{IDD_MODE_PAGE},
        m_os{IDD_OS_PAGE}, m_port{IDD_PORT_PAGE};
    DialogBase* const m_pages[5] = {&m_agreement, &m_printer, &m_mode, &m_os, &m_port};
};

int Floor() {
    sys::win32::SetProgramLanguage(sys::LanguageForCodePage(GetACP()));
    sys::win32::Win32Platform real;
    InitControlHosting();
    if (!RegisterRichTextControl(real.platform().messages)) return 2;
    FloorFrame frame;
    return frame.RunModal(nullptr) == -1 ? 3 : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const char* name = std::strrchr(self, '\\');
    name = name ? name + 1 : self;
    if (std::strstr(commandLine, "--floor") || _strnicmp(name, "startup-floor", 13) == 0)
        return Floor();
    QueryPerformanceFrequency(&g_frequency);
    QueryPerformanceCounter(&g_last);
    // From the process's creation (the system's clock) to here.
    FILETIME created, exited, kernel, user, now;
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER a, b;
        a.LowPart = created.dwLowDateTime;
        a.HighPart = created.dwHighDateTime;
        b.LowPart = now.dwLowDateTime;
        b.HighPart = now.dwHighDateTime;
        Print("process start (to main)", static_cast<double>(b.QuadPart - a.QuadPart) / 10000.0);
    }
    SetupApp app;
    app.InitInstance(StageEnded);
    std::printf("  %-44s %7.1f ms\n", "in all", g_total);
    return static_cast<int>(app.ExitCode());
}
