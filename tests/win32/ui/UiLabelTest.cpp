// The label control, by message: its colours and font through the colour
// query its page reflects to it, and both kinds of flashing.
#include <gtest/gtest.h>

#include "UiHarness.h"
#include "dialog/LinkLabel.h"
#include "resource.h"

using namespace ui;

namespace {

class Label : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitControlHosting();
        RecordedMessages none;
        ASSERT_TRUE(RegisterRichTextControl(none));
    }
    UiMachine machine;
};

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof lb, &lb);
    return lb.lbColor;
}

struct Query {
    HBRUSH brush;
    COLORREF text;
    int mode;
    LOGFONTA font;
};

// The colour query a static sends its parent, with a memory device context.
Query Ask(HWND page, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    Query q{};
    q.brush = reinterpret_cast<HBRUSH>(SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(control)));
    q.text = GetTextColor(dc);
    q.mode = GetBkMode(dc);
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof q.font, &q.font);
    DeleteDC(dc);
    return q;
}

}  // namespace

TEST_F(Label, TheUsbNoticeIsBlueOnYellowInArial14AndOnlyItIsAsked) {
    Wizard wz(machine);
    PortPage& port = wz.w.port;
    HWND notice = wz.Control(port, IDC_USB_NOTICE);
    ASSERT_EQ(port.m_usbNotice.hwnd(), notice);
    const Query q = Ask(port.hwnd(), notice);
    EXPECT_EQ(q.brush, port.m_usbNotice.BackgroundBrush());
    EXPECT_EQ(BrushColour(q.brush), RGB(255, 255, 0));
    EXPECT_EQ(q.text, RGB(0, 0, 255));
    EXPECT_EQ(q.mode, TRANSPARENT);
    EXPECT_STREQ(q.font.lfFaceName, "Arial");
    EXPECT_EQ(q.font.lfHeight, -14);
    EXPECT_EQ(Text(notice), "请确认已连接打印机并安装了USB设备驱动程序");
    // The group box and the check box of the same page are not the label's.
    HWND box = wz.Control(port, IDC_RASTER_BITMAP);
    const Query other = Ask(port.hwnd(), box);
    EXPECT_NE(other.brush, port.m_usbNotice.BackgroundBrush());
    EXPECT_NE(other.text, RGB(0, 0, 255));
}

TEST_F(Label, ALabelWithoutSettersPaintsInTheSystemColoursAndGuiFont) {
    Wizard wz(machine);
    // A static of the port page no code touches: the "port" caption.
    HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_CHILD | WS_VISIBLE, 0, 0, 50, 10, wz.w.port.hwnd(),
                                 reinterpret_cast<HMENU>(4711), GetModuleHandleA(nullptr), nullptr);
    LinkLabel label;
    label.Attach(plain);
    const Query q = Ask(wz.w.port.hwnd(), plain);
    EXPECT_EQ(BrushColour(q.brush), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(q.text, GetSysColor(COLOR_WINDOWTEXT));
    LOGFONTA gui{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    EXPECT_STREQ(q.font.lfFaceName, gui.lfFaceName);
    EXPECT_EQ(q.font.lfHeight, gui.lfHeight);
    label.SetFontSize(14).SetFontBold(true).SetFontItalic(true).SetFontUnderline(true).SetFontName("Arial");
    EXPECT_EQ(label.LogFont().lfHeight, -14);
    EXPECT_EQ(label.LogFont().lfWeight, 700);
    EXPECT_EQ(label.LogFont().lfItalic, 1);
    EXPECT_EQ(label.LogFont().lfUnderline, 1);
    label.SetFontBold(false);
    EXPECT_EQ(label.LogFont().lfWeight, 400);
    // A face name longer than the field is cut to 31 characters.
    label.SetFontName(std::string(40, 'F'));
    EXPECT_EQ(std::string(label.LogFont().lfFaceName), std::string(31, 'F'));
    label.SetSunken(true).SetBorder(true).SetLink(true);
    EXPECT_TRUE(GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_TRUE(GetWindowLongA(plain, GWL_STYLE) & WS_BORDER);
    EXPECT_TRUE(GetWindowLongA(plain, GWL_STYLE) & SS_NOTIFY);
    label.SetSunken(false).SetLink(false);
    EXPECT_FALSE(GetWindowLongA(plain, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_FALSE(GetWindowLongA(plain, GWL_STYLE) & SS_NOTIFY);
    // Its own cursor, once set, answers the cursor query.
    EXPECT_EQ(SendMessageA(plain, WM_SETCURSOR, reinterpret_cast<WPARAM>(plain), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 0);
    label.SetLinkCursor(LoadCursorA(nullptr, IDC_CROSS));
    EXPECT_EQ(SendMessageA(plain, WM_SETCURSOR, reinterpret_cast<WPARAM>(plain), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    DestroyWindow(plain);
    EXPECT_EQ(label.hwnd(), nullptr);
}

TEST_F(Label, AFlashingTextHidesAndComesBackAndStopsWithTheText) {
    Wizard wz(machine);
    LinkLabel& notice = wz.w.port.m_usbNotice;
    HWND h = notice.hwnd();
    const std::string text = Text(h);
    notice.FlashText(true);
    EXPECT_TRUE(notice.TimerActive());
    SendMessageA(h, WM_TIMER, LinkLabel::kFlashTimer, 0);
    EXPECT_EQ(Text(h), "");
    SendMessageA(h, WM_TIMER, LinkLabel::kFlashTimer, 0);
    EXPECT_EQ(Text(h), text);
    SendMessageA(h, WM_TIMER, LinkLabel::kFlashTimer, 0);
    ASSERT_EQ(Text(h), "");
    // Stopped while hidden: the text is back.
    notice.FlashText(false);
    EXPECT_EQ(Text(h), text);
    EXPECT_FALSE(notice.TimerActive());
    // The real timer ticks too, every half second.
    notice.FlashText(true);
    const DWORD start = GetTickCount();
    while (Text(h) == text && GetTickCount() - start < 3000) Pump();
    EXPECT_EQ(Text(h), "");
    notice.FlashText(false);
    EXPECT_EQ(Text(h), text);
}

TEST_F(Label, ABackgroundFlashAlternatesTheBrushesAndStopsOnTheNormalOne) {
    Wizard wz(machine);
    LinkLabel& notice = wz.w.port.m_usbNotice;
    HWND page = wz.w.port.hwnd(), h = notice.hwnd();
    notice.FlashBackground(true);
    EXPECT_EQ(Ask(page, h).brush, notice.FlashBrush());
    SendMessageA(h, WM_TIMER, LinkLabel::kFlashTimer, 0);
    EXPECT_EQ(Ask(page, h).brush, notice.BackgroundBrush());
    SendMessageA(h, WM_TIMER, LinkLabel::kFlashTimer, 0);
    ASSERT_EQ(Ask(page, h).brush, notice.FlashBrush());
    notice.FlashBackground(false);
    EXPECT_EQ(Ask(page, h).brush, notice.BackgroundBrush());
    EXPECT_EQ(notice.FlashMode(), 0);
    // A text flash started over a background flash keeps the label's text.
    const std::string text = Text(h);
    notice.FlashBackground(true);
    notice.FlashText(true);
    EXPECT_EQ(Text(h), text);
    notice.FlashText(false);
    EXPECT_EQ(Text(h), text);
}
