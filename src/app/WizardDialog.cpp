#include "app/WizardDialog.h"

#include "app/AboutDialog.h"
#include "pages/ModePage.h"
#include "pages/OsPage.h"
#include "pages/PortPage.h"
#include "pages/PrinterPage.h"
#include "resource.h"
#include "sys/Language.h"
#include "sys/win32/Resources.h"
#include "sys/win32/SystemLibrary.h"
#include "sys/win32/Win32Platform.h"

namespace {
// The buttons' captions and the manual, in the program's language.
const sys::WizardTexts& Texts() { return sys::TextsFor(sys::win32::ProgramLanguage()); }
// Start-up's names for the pages' creation, in index order.
const char* const kPageStages[] = {"agreement page (the rich text)", "printer page (the package's models)",
                                   "mode page", "target-system page (the version)", "port page", "another page"};
}  // namespace

WizardDialog::WizardDialog(const sys::Platform& platform, sys::win32::Win32MessageBox* ownedMessages)
    : DialogBase(IDD_WIZARD), m_platform(platform), m_ownedMessages(ownedMessages), m_steps(platform) {
    m_hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAINFRAME));
}

WizardDialog::~WizardDialog() {
    if (m_ownedMessages && m_hwnd && m_ownedMessages->owner == reinterpret_cast<std::uintptr_t>(m_hwnd))
        m_ownedMessages->owner = 0;
}

void WizardDialog::AddPage(const std::string& /*title*/, DialogBase* page, unsigned /*templateId*/) {
    m_pages.push_back(page);
}

DialogBase* WizardDialog::GetPage(int index) const {
    return index >= 0 && index < PageCount() ? m_pages[static_cast<std::size_t>(index)] : nullptr;
}

PrinterPage* WizardDialog::Printer() const { return dynamic_cast<PrinterPage*>(GetPage(kPrinterPage)); }
ModePage* WizardDialog::Mode() const { return dynamic_cast<ModePage*>(GetPage(kModePage)); }
OsPage* WizardDialog::Os() const { return dynamic_cast<OsPage*>(GetPage(kOsPage)); }
PortPage* WizardDialog::Port() const { return dynamic_cast<PortPage*>(GetPage(kPortPage)); }

BOOL WizardDialog::OnInitDialog() {
    DialogBase::OnInitDialog();
    m_initialised = true;
    if (m_startupMark) m_startupMark("frame: window and controls");
    if (m_ownedMessages) m_ownedMessages->owner = reinterpret_cast<std::uintptr_t>(m_hwnd);

    if (HMENU menu = GetSystemMenu(m_hwnd, FALSE)) {
        const std::string about = LoadText(IDS_ABOUTBOX);
        if (!about.empty()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }
    SendMessageA(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    if (!m_pages.empty()) {
        RECT area{};
        GetWindowRect(Item(IDC_PAGE_AREA), &area);
        POINT topLeft{area.left, area.top};
        ScreenToClient(m_hwnd, &topLeft);
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        for (std::size_t i = 0; i < m_pages.size(); ++i) {
            DialogBase* page = m_pages[i];
            if (!page) continue;
            // Page templates are hidden child dialogs: every page starts hidden.
            m_pages[i]->Create(m_hwnd);
            SetWindowPos(page->hwnd(), nullptr, topLeft.x, topLeft.y, width, height, SWP_NOZORDER);
            if (m_startupMark) m_startupMark(kPageStages[i < 5 ? i : 5]);
        }
        ShowPage(0);
    }
    CentreOnScreen();
    SetWindowTextA(m_hwnd, m_title.c_str());
    SetDlgItemTextA(m_hwnd, IDC_BACK, Texts().back);
    SetDlgItemTextA(m_hwnd, IDOK, PageCount() >= 2 ? Texts().next : Texts().finish);
    SetDlgItemTextA(m_hwnd, IDCANCEL, Texts().cancel);
    if (m_startupMark) m_startupMark("frame: first page shown, centred, captions");
    return TRUE;
}

void WizardDialog::CentreOnScreen() {
    // In the middle of the work area (the screen less the taskbar), where
    // setup programs open; never above or left of it.
    RECT work{}, frame{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || !GetWindowRect(m_hwnd, &frame)) return;
    const int x = work.left + ((work.right - work.left) - (frame.right - frame.left)) / 2;
    const int y = work.top + ((work.bottom - work.top) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(m_hwnd, nullptr, x > work.left ? x : work.left, y > work.top ? y : work.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool WizardDialog::OnCommand(int id, int code, HWND control) {
    if (code != BN_CLICKED && code != 0) return DialogBase::OnCommand(id, code, control);
    // While the installation runs, no button takes a second click.
    if (m_installing && (id == IDOK || id == IDCANCEL || id == IDC_BACK)) return true;
    switch (id) {
        case IDOK: OnNext(); return true;
        case IDC_BACK: OnBack(); return true;
        case IDCANCEL: End(IDCANCEL); return true;
        default: return DialogBase::OnCommand(id, code, control);
    }
}

PageValues WizardDialog::ReadPages() const {
    PageValues v;
    if (PrinterPage* p = Printer()) {
        v.printerClass = p->m_class;
        v.model = p->m_model;
        v.setDefault = p->m_setDefault;
        v.hasModels = p->m_hasModels;
    }
    if (ModePage* m = Mode()) v.mode = m->m_mode;
    if (OsPage* o = Os()) v.system = o->m_system;
    if (PortPage* p = Port()) {
        v.port = p->m_port;
        v.rasterBitmap = p->m_rasterBitmap;
        v.baudRate = p->m_baudRate;
        v.dataBits = p->m_dataBits;
        v.stopBits = p->m_stopBits;
        v.parity = p->m_parity;
        v.flowControl = p->m_flowControl;
    }
    return v;
}

int WizardDialog::ShowPage(int index) {
    DialogBase* current = GetPage(m_current);
    if (current) {
        if (!current->UpdateData(true)) return 0;
        // Focus never stays inside a page that is hidden.
        HWND focus = GetFocus();
        if (focus && (focus == current->hwnd() || IsChild(current->hwnd(), focus))) FocusItem(IDOK);
        ShowWindow(current->hwnd(), SW_HIDE);
    }
    DialogBase* next = GetPage(index);
    if (!next) {
        if (current) ShowWindow(current->hwnd(), SW_SHOW);
        return 0;
    }

    const StepActions a = m_steps.Switch(m_current, index, ReadPages());
    if (a.setNextEnabled) EnableItem(IDOK, a.nextEnabled);
    if (a.adjustMode)
        if (ModePage* mode = Mode()) mode->AllowAdvanced(a.advancedAllowed);
    if (a.setBaudRate)
        if (PortPage* port = Port()) port->SetBaudRate(a.baudRate, a.baudIndex);
    if (a.stay) {
        // The current page stays the current one and is shown again.
        if (current) ShowWindow(current->hwnd(), SW_SHOW);
        return 0;
    }

    m_current = index;
    ShowWindow(next->hwnd(), SW_SHOW);
    return 1;
}

void WizardDialog::OnNext() {
    const int count = PageCount();
    if (m_current < count - 1) {
        ShowPage(m_current + 1);
        if (m_current == count - 1) ArriveAtLastPage();
        EnableItem(IDC_BACK, true);
        FocusItem(IDOK);
        return;
    }
    Finish();
}

void WizardDialog::ArriveAtLastPage() {
    SetDlgItemTextA(m_hwnd, IDOK, Texts().finish);
    PrinterPage* printer = Printer();
    OsPage* os = Os();
    ModePage* mode = Mode();
    PortPage* port = Port();
    if (printer) {
        m_choices.printerClass = static_cast<PrinterClass>(printer->m_class);
        m_choices.modelName = printer->m_model;
    }
    if (os) m_choices.targetSystem = os->m_system.value();
    if (!port) return;
    if (mode) port->m_mode = mode->m_mode;
    if (port->m_mode.value() == InstallMode::Typical)
        port->BuildTypicalPortList(m_choices.modelName, m_choices.targetSystem, m_choices.printerClass);
    else
        port->BuildAdvancedPortList(m_choices.modelName, m_choices.targetSystem, m_choices.printerClass);
}

void WizardDialog::Finish() {
    for (DialogBase* page : m_pages)
        if (page && page->hwnd()) page->UpdateData(true);
    m_choices = FinishChoices(ReadPages());
    SetBusy(true);
    m_lastEnding = RunInstallation(m_platform, m_choices, [this] {
        DestroyPages();
        End(IDOK);
    });
    SetBusy(false);
}

void WizardDialog::SetBusy(bool busy) {
    m_installing = busy;
    if (busy) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return;
    }
    // Clicks and keys that arrived while the installation ran are dropped,
    // so that none of them starts a second one.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void WizardDialog::OnBack() {
    if (m_current > 0) {
        if (m_current <= PageCount() - 1) SetDlgItemTextA(m_hwnd, IDOK, Texts().next);
        ShowPage(m_current - 1);
    }
    if (m_current <= 0) {
        EnableItem(IDC_BACK, false);
        FocusItem(IDOK);
    }
    EnableItem(IDOK, true);
}

void WizardDialog::DestroyPages() {
    for (DialogBase* page : m_pages)
        if (page && page->hwnd()) DestroyWindow(page->hwnd());
}

void WizardDialog::FocusItem(int id) {
    // WM_NEXTDLGCTL moves the default-button look with the focus.
    if (HWND item = Item(id)) SendMessageA(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

bool WizardDialog::OnHelp(HELPINFO*) { return OnHelpRequest(); }

bool WizardDialog::OnHelpRequest() {
    HWND help = FindWindowA(nullptr, Texts().helpCaption);
    m_lastHelpWindow = help;
    if (help) {
        BringWindowToTop(help);
        OpenIcon(help);
    } else {
        // Relative to the current directory: the medium the user started from.
        m_lastHelpResult = reinterpret_cast<INT_PTR>(sys::win32::ShellOpen(Texts().helpFile, SW_SHOW));
    }
    return true;
}

bool WizardDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                AboutDialog about;
                about.RunModal(m_hwnd);
                result = 0;
                return true;
            }
            return false;
        case WM_PAINT: {
            if (!IsIconic(m_hwnd)) return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_hwnd, &ps);
            SendMessageA(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            RECT client;
            GetClientRect(m_hwnd, &client);
            const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
            const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
            DrawIcon(dc, x, y, m_hIcon);
            EndPaint(m_hwnd, &ps);
            result = 0;
            return true;
        }
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(m_hIcon);
            return true;
        case WM_SETCURSOR:
            if (!m_installing) return false;
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            result = TRUE;
            return true;
        default:
            return false;
    }
}

void WizardDialog::OnDestroy() {
    if (m_ownedMessages && m_ownedMessages->owner == reinterpret_cast<std::uintptr_t>(m_hwnd))
        m_ownedMessages->owner = 0;
    // The pages belong to start-up; the frame only forgets them.
    m_pages.clear();
}
