#include "pages/PortPage.h"

#include <commctrl.h>

#include <cstdlib>

#include "resource.h"

namespace {

const int kSerialLists[] = {IDC_BAUD_LIST, IDC_DATABITS_LIST, IDC_PARITY_LIST, IDC_STOPBITS_LIST, IDC_FLOW_LIST};

}  // namespace

PortPage* PortPage::s_filterPage = nullptr;

PortPage::PortPage(const sys::Platform& platform) : DialogBase(IDD_PORT_PAGE), m_platform(platform) {}

PortPage::~PortPage() { RemoveMessageFilter(); }

void PortPage::RemoveMessageFilter() {
    if (!m_filter) return;
    UnhookWindowsHookEx(m_filter);
    m_filter = nullptr;
    s_filterPage = nullptr;
}

bool PortPage::DoDataExchange(bool save) {
    DdxControl(IDC_USB_NOTICE, m_usbNotice);
    DdxCheck(IDC_RASTER_BITMAP, m_rasterBitmap, save);
    return true;
}

BOOL PortPage::OnInitDialog() {
    DialogBase::OnInitDialog();  // fills the serial lists, binds the notice
    SendDlgItemMessageA(m_hwnd, IDC_PORT_LIST, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(m_hwnd, IDC_DATABITS_LIST, CB_SETCURSEL, 3, 0);
    SendDlgItemMessageA(m_hwnd, IDC_STOPBITS_LIST, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(m_hwnd, IDC_PARITY_LIST, CB_SETCURSEL, 2, 0);
    SendDlgItemMessageA(m_hwnd, IDC_FLOW_LIST, CB_SETCURSEL, 2, 0);
    m_stopBits = 1.0;
    m_dataBits = 8;
    m_parity = kUnpickedParity;
    m_flowControl = kUnpickedFlowControl;
    CreateToolTip();
    m_usbNotice.SetTextColor(RGB(0, 0, 255)).SetBkColor(RGB(255, 255, 0)).SetFontSize(14).SetFontName("Arial");
    m_builder.lastModel = "PRINTER";
    m_mode = InstallMode::Typical;
    m_builder.listMode = InstallMode::Typical;
    return TRUE;
}

void PortPage::CreateToolTip() {
    m_toolTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!m_toolTip) return;
    SendMessageA(m_toolTip, TTM_ACTIVATE, TRUE, 0);
    SendMessageA(m_toolTip, TTM_SETMAXTIPWIDTH, 0, 200);
    m_toolTipText = LoadText(IDS_HELP_HINT);
    // The first structure size: every version of the control takes it.
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(IDC_RASTER_BITMAP));
    tool.lpszText = const_cast<char*>(m_toolTipText.c_str());
    SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    // A disabled check box gets no mouse messages; its page does.  A second
    // tool over the same rectangle of the page shows the tip then too.
    RECT box{};
    GetWindowRect(Item(IDC_RASTER_BITMAP), &box);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&box), 2);
    TOOLINFOA area{};
    area.cbSize = TTTOOLINFOA_V1_SIZE;
    area.hwnd = m_hwnd;
    area.uId = IDC_RASTER_BITMAP;
    area.rect = box;
    area.lpszText = const_cast<char*>(m_toolTipText.c_str());
    SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&area));
    // One filter for the thread: a second page does not set its own.
    if (!s_filterPage) {
        m_filter = SetWindowsHookExA(WH_MSGFILTER, MessageFilter, nullptr, GetCurrentThreadId());
        if (m_filter) s_filterPage = this;
    }
}

LRESULT CALLBACK PortPage::MessageFilter(int code, WPARAM wParam, LPARAM lParam) {
    PortPage* page = s_filterPage;
    if (code == MSGF_DIALOGBOX && page) page->RelayToToolTip(reinterpret_cast<MSG*>(lParam));
    return CallNextHookEx(page ? page->m_filter : nullptr, code, wParam, lParam);
}

void PortPage::RelayToToolTip(MSG* message) {
    if (!m_toolTip || !m_hwnd || !message) return;
    if (message->hwnd == m_hwnd || IsChild(m_hwnd, message->hwnd))
        SendMessageA(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
}

void PortPage::OnDestroy() {
    RemoveMessageFilter();
    if (m_toolTip) DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
}

bool PortPage::OnCommand(int id, int code, HWND control) {
    if (code == CBN_SELCHANGE) {
        switch (id) {
            case IDC_PORT_LIST: OnPortChange(); return true;
            case IDC_BAUD_LIST: OnBaudChange(); return true;
            case IDC_DATABITS_LIST: OnDataBitsChange(); return true;
            case IDC_STOPBITS_LIST: OnStopBitsChange(); return true;
            case IDC_PARITY_LIST: OnParityChange(); return true;
            case IDC_FLOW_LIST: OnFlowChange(); return true;
            default: break;
        }
    }
    return DialogBase::OnCommand(id, code, control);
}

void PortPage::OnBaudChange() {
    bool selected = false;
    const std::string text = ComboSelectedText(IDC_BAUD_LIST, &selected);
    if (selected) m_baudRate = std::atoi(text.c_str());
}

void PortPage::OnDataBitsChange() {
    bool selected = false;
    const std::string text = ComboSelectedText(IDC_DATABITS_LIST, &selected);
    if (selected) m_dataBits = std::atoi(text.c_str());
}

void PortPage::OnStopBitsChange() {
    bool selected = false;
    const std::string text = ComboSelectedText(IDC_STOPBITS_LIST, &selected);
    if (selected) m_stopBits = std::atof(text.c_str());
}

void PortPage::OnParityChange() {
    bool selected = false;
    const std::string text = ComboSelectedText(IDC_PARITY_LIST, &selected);
    if (selected && !text.empty()) m_parity = text[0];
}

void PortPage::OnFlowChange() {
    bool selected = false;
    const std::string text = ComboSelectedText(IDC_FLOW_LIST, &selected);
    if (selected) m_flowControl = FlowControlOf(text, m_flowControl);
}

void PortPage::OnPortChange() {
    m_port = ComboSelectedText(IDC_PORT_LIST);
    ApplyControls(PortControlsOf(m_port));
    UpdateData(false);
}

void PortPage::ApplyControls(const PortControls& controls) {
    for (int id : kSerialLists) EnableItem(id, controls.serialEnabled);
    EnableItem(IDC_RASTER_BITMAP, controls.rasterEnabled);
    ShowItem(IDC_USB_NOTICE, controls.usbNoticeShown ? SW_SHOWNORMAL : SW_HIDE);
    m_rasterBitmap = controls.rasterBitmap;
}

void PortPage::BuildTypicalPortList(const std::string& model, TargetSystem target, PrinterClass printerClass) {
    Build(model, target, printerClass, InstallMode::Typical);
}

void PortPage::BuildAdvancedPortList(const std::string& model, TargetSystem target, PrinterClass printerClass) {
    Build(model, target, printerClass, InstallMode::Advanced);
}

void PortPage::Build(const std::string& model, TargetSystem target, PrinterClass printerClass, InstallMode mode) {
    const PortListResult r = m_builder.Build(m_platform, model, target, printerClass, mode);
    if (!r.rebuilt) return;
    HWND list = Item(IDC_PORT_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : r.entries)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    // The sorted control keeps its own order: select by text.
    LRESULT index = CB_ERR;
    if (r.selection >= 0 && r.selection < static_cast<int>(r.entries.size()))
        index = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(r.entries[static_cast<std::size_t>(r.selection)].c_str()));
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_port = r.port;
    ApplyControls(r.controls);
    ShowItem(IDC_RASTER_BITMAP, r.rasterShown ? SW_SHOW : SW_HIDE);
    UpdateData(false);
}

void PortPage::SetBaudRate(int baudRate, int listIndex) {
    m_baudRate = baudRate;
    SendDlgItemMessageA(m_hwnd, IDC_BAUD_LIST, CB_SETCURSEL, static_cast<WPARAM>(listIndex), 0);
}
