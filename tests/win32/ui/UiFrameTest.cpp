// The wizard frame on the real dialogs: its state table, navigation, the
// keyboard, Cancel and the close box, the About entry and the help key.
#include <gtest/gtest.h>

#include "UiHarness.h"
#include "resource.h"

using namespace ui;

namespace {

class Frame : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitControlHosting();
        RecordedMessages none;
        ASSERT_TRUE(RegisterRichTextControl(none));
    }
    UiMachine machine;
};

HWND Button(Wizard& wz, int id) { return GetDlgItem(wz.frame(), id); }
bool Enabled(HWND h) { return IsWindowEnabled(h) != FALSE; }
bool Visible(HWND h) { return IsWindowVisible(h) != FALSE; }

}  // namespace

TEST_F(Frame, StartsOnTheAgreementWithItsCaptionButtonsAndHiddenPages) {
    Wizard wz(machine);
    EXPECT_EQ(Text(wz.frame()), "安装打印机驱动程序");
    EXPECT_EQ(wz.w.frame.m_current, 0);
    EXPECT_FALSE(Enabled(Button(wz, IDC_BACK)));
    EXPECT_FALSE(Enabled(Button(wz, IDOK)));
    EXPECT_EQ(Text(Button(wz, IDOK)), "下一步（&N）>>");
    EXPECT_EQ(Text(Button(wz, IDC_BACK)), "<<上一步（&B）");
    EXPECT_EQ(Text(Button(wz, IDCANCEL)), "取消（&C）");
    // Every page window exists, on the page area's rectangle; only page 0 shows.
    RECT area{};
    GetWindowRect(Button(wz, IDC_PAGE_AREA), &area);
    EXPECT_FALSE(Visible(Button(wz, IDC_PAGE_AREA)));
    for (int i = 0; i < 5; ++i) {
        HWND page = wz.w.frame.GetPage(i)->hwnd();
        ASSERT_TRUE(page) << i;
        RECT r{};
        GetWindowRect(page, &r);
        EXPECT_EQ(r.left, area.left);
        EXPECT_EQ(r.top, area.top);
        EXPECT_EQ(r.right, area.right);
        EXPECT_EQ(r.bottom, area.bottom);
        EXPECT_EQ(Visible(page), i == 0) << i;
    }
    Shot(wz.frame(), "page0-agreement");
}

TEST_F(Frame, OpensInTheMiddleOfTheWorkArea) {
    Wizard wz(machine);
    RECT work{}, frame{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    ASSERT_TRUE(GetWindowRect(wz.frame(), &frame));
    EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
    EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
    EXPECT_GT(frame.left, work.left);
}

TEST_F(Frame, AcceptAndRefuseEnableAndDisableNextAlsoWithTheArrowKeys) {
    Wizard wz(machine);
    HWND accept = wz.Control(wz.w.agreement, IDC_ACCEPT), refuse = wz.Control(wz.w.agreement, IDC_REFUSE);
    EXPECT_EQ(SendMessageA(refuse, BM_GETCHECK, 0, 0), BST_CHECKED);
    // Enter does nothing while Next is disabled.
    PressKey(wz.frame(), refuse, VK_RETURN);
    EXPECT_EQ(wz.w.frame.m_current, 0);
    Click(wz.frame(), accept);
    EXPECT_TRUE(Enabled(Button(wz, IDOK)));
    Click(wz.frame(), refuse);
    EXPECT_FALSE(Enabled(Button(wz, IDOK)));
    SetFocus(refuse);
    PressKey(wz.frame(), refuse, VK_UP);
    EXPECT_EQ(SendMessageA(accept, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Enabled(Button(wz, IDOK)));
    PressKey(wz.frame(), accept, VK_DOWN);
    EXPECT_EQ(SendMessageA(refuse, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(Enabled(Button(wz, IDOK)));
    // Enter on an enabled Next moves on.
    Click(wz.frame(), accept);
    PressKey(wz.frame(), accept, VK_RETURN);
    EXPECT_EQ(wz.w.frame.m_current, 1);
}

TEST_F(Frame, EveryRowOfTheStateTableForwardAndBack) {
    Wizard wz(machine);
    Click(wz.frame(), wz.Control(wz.w.agreement, IDC_ACCEPT));
    const char* next = "下一步（&N）>>";
    const char* names[] = {"page0-agreement", "page1-printer", "page2-mode", "page3-os", "page4-port"};
    for (int i = 1; i <= 4; ++i) {
        wz.Next();
        ASSERT_EQ(wz.w.frame.m_current, i);
        EXPECT_TRUE(Enabled(Button(wz, IDC_BACK))) << i;
        EXPECT_TRUE(Enabled(Button(wz, IDOK))) << i;
        EXPECT_EQ(Text(Button(wz, IDOK)), i == 4 ? "完成（&F）" : next) << i;
        EXPECT_EQ(GetFocus(), Button(wz, IDOK)) << i;
        for (int j = 0; j < 5; ++j) EXPECT_EQ(Visible(wz.w.frame.GetPage(j)->hwnd()), j == i) << i << " " << j;
        Shot(wz.frame(), names[i]);
    }
    for (int i = 3; i >= 0; --i) {
        wz.Back();
        ASSERT_EQ(wz.w.frame.m_current, i);
        EXPECT_EQ(Text(Button(wz, IDOK)), next) << i;
        EXPECT_TRUE(Enabled(Button(wz, IDOK))) << i;
        EXPECT_EQ(Enabled(Button(wz, IDC_BACK)), i > 0) << i;
    }
    EXPECT_EQ(GetFocus(), Button(wz, IDOK));
    // The agreement page still shows the user's choice.
    EXPECT_EQ(SendMessageA(wz.Control(wz.w.agreement, IDC_ACCEPT), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Frame, BackAndNextReenterPagesWithoutRecreatingThem) {
    Wizard wz(machine);
    wz.GoTo(1);
    HWND printerPage = wz.w.printer.hwnd();
    HWND list = wz.Control(wz.w.printer, IDC_LIST_RECEIPT);
    ChooseEntry(list, 2);
    SendMessageA(wz.Control(wz.w.printer, IDC_SET_DEFAULT), BM_CLICK, 0, 0);
    const std::string chosen = wz.w.printer.m_model;
    wz.Next();
    wz.Back();
    EXPECT_EQ(wz.w.printer.hwnd(), printerPage);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(std::string(wz.w.printer.m_model), chosen);
    // The check box reached its member when the page was left.
    EXPECT_EQ(wz.w.printer.m_setDefault, 1);
}

TEST_F(Frame, TabNeverLandsInAHiddenPage) {
    Wizard wz(machine);
    wz.GoTo(2);
    HWND visible = wz.w.mode.hwnd();
    for (int i = 0; i < 12; ++i) {
        PressKey(wz.frame(), GetFocus(), VK_TAB);
        HWND focus = GetFocus();
        ASSERT_TRUE(focus);
        const bool inFrame = GetParent(focus) == wz.frame();
        const bool inPage = IsChild(visible, focus) != FALSE;
        EXPECT_TRUE(inFrame || inPage) << "focus in a hidden page, step " << i;
    }
}

TEST_F(Frame, ASinglePageFrameOffersFinishFromTheStart) {
    WizardDialog frame(machine.platform());
    AgreementPage page;
    frame.AddPage("only", &page, IDD_AGREEMENT_PAGE);
    ASSERT_TRUE(frame.Create(nullptr));
    EXPECT_EQ(Text(GetDlgItem(frame.hwnd(), IDOK)), "完成（&F）");
    EXPECT_EQ(frame.m_title, "Wizard");
    EXPECT_EQ(Text(frame.hwnd()), "Wizard");
    DestroyWindow(frame.hwnd());
}

TEST_F(Frame, CancelOnEveryPageAndTheCloseBoxEndWithoutInstalling) {
    for (int page = 0; page <= 4; ++page) {
        Wizard wz(machine);
        wz.GoTo(page);
        ASSERT_EQ(wz.w.frame.m_current, page);
        wz.w.frame.m_choices.modelName = "untouched";
        Click(wz.frame(), Button(wz, IDCANCEL));
        EXPECT_EQ(wz.w.frame.EndResult(), IDCANCEL) << page;
        EXPECT_EQ(wz.w.frame.m_choices.modelName, "untouched") << "no Finish ran, page " << page;
    }
    Wizard wz(machine);
    SendMessageA(wz.frame(), WM_CLOSE, 0, 0);
    Pump(wz.frame());
    EXPECT_EQ(wz.w.frame.EndResult(), IDCANCEL);
    EXPECT_TRUE(machine.messages.ids.empty());
}

namespace {
HHOOK g_cbt = nullptr;
HWND g_about = nullptr;
std::string g_activated, g_aboutText;
bool g_aboutIcon = false;
bool g_aboutVisible = false;

// Once the About box's modal loop runs: the box as the user sees it, then OK.
void CALLBACK LookAtTheAboutBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND h = g_about;
    g_aboutVisible = IsWindowVisible(h) != FALSE;
    // The version line and the icon, the box's two statics.
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {}, text[256] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (_stricmp(cls, "Static") != 0) continue;
        if (SendMessageA(c, STM_GETICON, 0, 0)) g_aboutIcon = true;
        else if (GetWindowTextA(c, text, sizeof text) > 0) g_aboutText = text;
    }
    Shot(h, "about");
    PostMessageA(h, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK LookOnActivate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND h = reinterpret_cast<HWND>(wParam);
        char caption[256] = {};
        GetWindowTextA(h, caption, sizeof caption);
        if (std::string(caption) == "关于 Instalix" && !g_about) {
            g_activated = caption;
            g_about = h;
            SetTimer(nullptr, 0, 300, LookAtTheAboutBox);
        }
    }
    return CallNextHookEx(g_cbt, code, wParam, lParam);
}
}  // namespace

TEST_F(Frame, TheSystemMenuOpensTheAboutBox) {
    Wizard wz(machine);
    HMENU menu = GetSystemMenu(wz.frame(), FALSE);
    ASSERT_TRUE(menu);
    char item[128] = {};
    ASSERT_GT(GetMenuStringA(menu, IDM_ABOUTBOX, item, sizeof item, MF_BYCOMMAND), 0);
    EXPECT_STREQ(item, "关于 Instalix(&A)...");
    g_activated.clear();
    g_aboutText.clear();
    g_about = nullptr;
    g_aboutIcon = g_aboutVisible = false;
    g_cbt = SetWindowsHookExA(WH_CBT, LookOnActivate, nullptr, GetCurrentThreadId());
    SendMessageA(wz.frame(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    UnhookWindowsHookEx(g_cbt);
    EXPECT_EQ(g_activated, "关于 Instalix");
    EXPECT_TRUE(g_aboutVisible);
    EXPECT_TRUE(g_aboutIcon);
    EXPECT_EQ(g_aboutText, "Instalix 版本 1.0");
    EXPECT_FALSE(IsWindow(g_about)) << "OK ends the box";
    // The frame is still there and on its page.
    EXPECT_TRUE(IsWindow(wz.frame()));
    EXPECT_EQ(wz.w.frame.EndResult(), -1);
}

TEST_F(Frame, TheMinimisedFrameAnswersWithItsIcon) {
    Wizard wz(machine);
    ASSERT_TRUE(wz.w.frame.m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(wz.frame(), WM_QUERYDRAGICON, 0, 0)), wz.w.frame.m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(wz.frame(), WM_GETICON, ICON_BIG, 0)), wz.w.frame.m_hIcon);
    ShowWindow(wz.frame(), SW_MINIMIZE);
    Pump(wz.frame());
    EXPECT_TRUE(IsIconic(wz.frame()));
    ShowWindow(wz.frame(), SW_RESTORE);
    Pump(wz.frame());
}

namespace {
LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

HWND MakeHelpWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "InstalixHelpStandIn";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "打印机驱动安装手册", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                           100, nullptr, nullptr, wc.hInstance, nullptr);
}
}  // namespace

TEST_F(Frame, F1BringsAnOpenHelpWindowBackInsteadOfOpeningAnother) {
    Wizard wz(machine);
    wz.GoTo(1);
    HWND help = MakeHelpWindow();
    ASSERT_TRUE(help);
    ShowWindow(help, SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(IsIconic(help));
    // F1 on a page control: the page leaves the request to the frame.
    HWND list = wz.Control(wz.w.printer, IDC_LIST_RECEIPT);
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = IDC_LIST_RECEIPT;
    info.hItemHandle = list;
    SendMessageA(list, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    Pump(wz.frame());
    EXPECT_EQ(wz.w.frame.m_lastHelpWindow, help);
    EXPECT_FALSE(IsIconic(help));
    DestroyWindow(help);
}

TEST_F(Frame, F1WithoutAHelpWindowOpensTheManualOfTheCurrentDirectory) {
    Wizard wz(machine);
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    // A folder without the manual: the shell finds nothing and nothing shows.
    const std::string empty = TempFolder("nohelp");
    SetCurrentDirectoryA(empty.c_str());
    HWND accept = wz.Control(wz.w.agreement, IDC_ACCEPT);
    SetForegroundWindow(wz.frame());
    SetFocus(accept);
    // A real key press: the system turns a taken F1 into the help request.
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    for (int i = 0; i < 50 && wz.w.frame.m_lastHelpResult == 0; ++i) Pump(wz.frame());
    SetCurrentDirectoryA(before);
    EXPECT_EQ(wz.w.frame.m_lastHelpWindow, nullptr);
    EXPECT_NE(wz.w.frame.m_lastHelpResult, 0) << "F1 reached the frame's help request";
    EXPECT_LE(wz.w.frame.m_lastHelpResult, 32) << "no manual in that folder";
    EXPECT_EQ(FindWindowA(nullptr, "打印机驱动安装手册"), nullptr);
}
