// The pages on the real dialogs: the agreement's control, the mode page's
// descriptions, the target-system page per Windows version, the printer
// page over the sample package and an empty one, and the port page.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "UiHarness.h"
#include "install/OsClassification.h"
#include "install/PrinterLists.h"
#include "ports/PortLists.h"
#include "resource.h"

using namespace ui;

namespace {

class Pages : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitControlHosting();
        RecordedMessages none;
        ASSERT_TRUE(RegisterRichTextControl(none));
    }
    UiMachine machine;
};

bool Enabled(HWND h) { return IsWindowEnabled(h) != FALSE; }
bool Visible(HWND h) { return IsWindowVisible(h) != FALSE; }
int Checked(HWND h) { return static_cast<int>(SendMessageA(h, BM_GETCHECK, 0, 0)); }

}  // namespace

TEST_F(Pages, TheAgreementIsShownReadOnlyInOurRichTextControl) {
    Wizard wz(machine);
    HWND text = wz.Control(wz.w.agreement, IDC_AGREEMENT_TEXT);
    ASSERT_TRUE(text);
    char cls[64] = {};
    GetClassNameA(text, cls, sizeof cls);
    EXPECT_STREQ(cls, kRichTextClass);
    EXPECT_TRUE(GetWindowLongA(text, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongA(text, GWL_STYLE) & WS_VSCROLL);
    // The document arrived as formatted text, not as RTF source.
    const std::string shown = Text(text);
    EXPECT_GT(GetWindowTextLengthA(text), 1000);
    EXPECT_EQ(shown.find("\\rtf"), std::string::npos);
    EXPECT_NE(shown.find("许可"), std::string::npos);
    // Whatever the user does inside it does not change the wizard.
    SendMessageA(text, WM_CHAR, 'x', 0);
    EXPECT_FALSE(Enabled(GetDlgItem(wz.frame(), IDOK)));
    // The library loaded for it is the system's own.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(_strnicmp(RichTextLibraryPath().c_str(), system, std::strlen(system)), 0) << RichTextLibraryPath();
}

TEST_F(Pages, TheModePageDescribesTheChosenMode) {
    Wizard wz(machine);
    wz.GoTo(2);
    ModePage& mode = wz.w.mode;
    HWND line1 = wz.Control(mode, IDC_MODE_LINE1), line2 = wz.Control(mode, IDC_MODE_LINE2);
    EXPECT_EQ(mode.m_mode, 1);
    EXPECT_EQ(Text(line1), "典型安装：安装默认的打印机驱动程序");
    EXPECT_FALSE(Visible(line2));
    Click(wz.frame(), wz.Control(mode, IDC_MODE_ADVANCED));
    EXPECT_EQ(mode.m_mode, 0);
    EXPECT_EQ(Text(line1), "高级安装：支持多台USB接口驱动的安装；");
    EXPECT_TRUE(Visible(line2));
    EXPECT_EQ(Text(line2), "支持驱动模式选择。");
    EXPECT_FALSE(Visible(wz.Control(mode, IDC_MODE_LINE3)));
    Shot(wz.frame(), "page2-mode-advanced");
    Click(wz.frame(), wz.Control(mode, IDC_MODE_TYPICAL));
    EXPECT_EQ(mode.m_mode, 1);
    EXPECT_FALSE(Visible(line2));
    EXPECT_EQ(Text(line1), "典型安装：安装默认的打印机驱动程序");
}

TEST_F(Pages, AModelWithoutAdvancedSetupTurnsTheModePageBackToTypical) {
    Wizard wz(machine);
    wz.GoTo(2);
    Click(wz.frame(), wz.Control(wz.w.mode, IDC_MODE_ADVANCED));
    ASSERT_EQ(wz.w.mode.m_mode, 0);
    wz.Back();
    // MTR-C30 (second receipt model) has AdvancedSetup=0.
    ChooseEntry(wz.Control(wz.w.printer, IDC_LIST_RECEIPT), 1);
    ASSERT_STREQ(wz.w.printer.m_model, "MTR-C30");
    wz.Next();
    EXPECT_EQ(wz.w.mode.m_mode, 1);
    EXPECT_FALSE(Enabled(wz.Control(wz.w.mode, IDC_MODE_ADVANCED)));
    EXPECT_EQ(Checked(wz.Control(wz.w.mode, IDC_MODE_TYPICAL)), BST_CHECKED);
    EXPECT_EQ(Text(wz.Control(wz.w.mode, IDC_MODE_LINE1)), "典型安装：安装默认的打印机驱动程序");
    EXPECT_FALSE(Visible(wz.Control(wz.w.mode, IDC_MODE_LINE2)));
    Shot(wz.frame(), "page2-mode-no-advanced");
    // Back to a model that allows it: the button comes back, the mode stays.
    wz.Back();
    ChooseEntry(wz.Control(wz.w.printer, IDC_LIST_RECEIPT), 0);
    wz.Next();
    EXPECT_TRUE(Enabled(wz.Control(wz.w.mode, IDC_MODE_ADVANCED)));
    EXPECT_EQ(wz.w.mode.m_mode, 1);
}

TEST_F(Pages, TheTargetSystemPageShowsTheRunningFamilyOnly) {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(&v));
    const OsClassification expected = ClassifyOs(sys::OsVersion{v.dwMajorVersion, v.dwMinorVersion, 0, v.dwPlatformId});
    const char* winver = std::getenv("INSTALIX_EXPECT_WINVER");
    Wizard wz(machine);
    OsPage& os = wz.w.os;
    EXPECT_EQ(os.m_system, static_cast<int>(expected.system));
    static const int buttons[] = {IDC_OS_WIN98, IDC_OS_WINNT, IDC_OS_WIN2000, IDC_OS_WINXP, IDC_OS_WIN2003};
    for (int i = 0; i < 5; ++i) {
        HWND b = wz.Control(os, buttons[i]);
        EXPECT_EQ(Enabled(b), i == os.m_system) << i;
        EXPECT_EQ(Checked(b) == BST_CHECKED, buttons[i] == expected.markedButton) << i;
    }
    EXPECT_EQ(Text(wz.Control(os, IDC_OS_WIN2003)), "Windows Server 2003 ");
    if (winver) {
        // What each prefix must give, whatever the classification says.
        const std::string w = winver;
        const int want = w == "win98" ? 0 : w == "nt40" ? 1 : w == "win2k" ? 2 : w == "winxp" ? 3 : w == "win2003" ? 4 : 0;
        EXPECT_EQ(os.m_system, want) << w;
        const bool known = w == "win98" || w == "nt40" || w == "win2k" || w == "winxp" || w == "win2003";
        EXPECT_EQ(expected.markedButton != 0, known) << w;
        // No message: every version Wine reports is 9x or NT.
        EXPECT_TRUE(machine.messages.ids.empty());
        wz.GoTo(3);
        if (wz.w.frame.m_current == 3) Shot(wz.frame(), "page3-os-" + w);
    }
    // Clicking the one enabled button changes nothing.
    Click(wz.frame(), wz.Control(os, buttons[os.m_system]));
    EXPECT_EQ(os.m_system, static_cast<int>(expected.system));
}

TEST_F(Pages, ThePrinterPageOffersTheSamplePackagesModelsByClass) {
    Wizard wz(machine);
    PrinterPage& p = wz.w.printer;
    sys::Platform platform = machine.platform();
    ConfigReader reader(platform);
    const PrinterLists lists = ReadPrinterLists(reader);
    for (int k = 0; k < 4; ++k) {
        HWND list = wz.Control(p, PrinterPage::kLists[k]);
        EXPECT_EQ(Entries(list), lists.models[k]) << k;
        EXPECT_EQ(Enabled(wz.Control(p, PrinterPage::kRadios[k])), !lists.models[k].empty()) << k;
        // Only the default class's list is enabled; each list starts on an entry.
        EXPECT_EQ(Enabled(list), k == lists.defaultClass) << k;
        if (k != lists.defaultClass) {
            EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0) << k;
        }
    }
    EXPECT_EQ(p.m_hasModels, 1);
    EXPECT_EQ(p.m_class, lists.defaultClass);
    EXPECT_EQ(std::string(p.m_model), lists.defaultModel);
    EXPECT_EQ(SendMessageA(wz.Control(p, PrinterPage::kLists[p.m_class]), CB_GETCURSEL, 0, 0), lists.defaultIndex);
    EXPECT_EQ(Checked(wz.Control(p, IDC_SET_DEFAULT)), BST_UNCHECKED);
    // Another class takes that class's selected entry.
    Click(wz.frame(), wz.Control(p, IDC_CLASS_TICKET));
    EXPECT_EQ(p.m_class, 1);
    EXPECT_EQ(std::string(p.m_model), lists.models[1].front());
    EXPECT_TRUE(Enabled(wz.Control(p, IDC_LIST_TICKET)));
    EXPECT_FALSE(Enabled(wz.Control(p, IDC_LIST_RECEIPT)));
    ChooseEntry(wz.Control(p, IDC_LIST_TICKET), 2);
    EXPECT_EQ(std::string(p.m_model), lists.models[1][2]);
    EXPECT_EQ(p.m_class, 1);
}

TEST_F(Pages, CbFindStringOfTheRealComboBoxMatchesItsModel) {
    Wizard wz(machine);
    HWND list = wz.Control(wz.w.printer, IDC_LIST_LABEL);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    const std::vector<std::string> items = {"MTR-Q5", "mtr-q5 plus", "MTR-Q", "打印机A", "Z9", "mtr-q5"};
    for (const std::string& s : items) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    for (const char* text : {"MTR-Q5", "mtr-Q", "打印", "z", "none", ""}) {
        for (int start : {-1, 0, 1, 3, 5}) {
            const LRESULT real = SendMessageA(list, CB_FINDSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(ComboFindString(items, start, text), real == CB_ERR ? -1 : static_cast<int>(real))
                << text << " from " << start;
        }
    }
}

TEST_F(Pages, APackageWithoutModelsLeavesNextDisabledOnThePrinterPage) {
    const std::string empty = TempFolder("nomodels");
    CreateDirectoryA((empty + "\\DRVCONFIG").c_str(), nullptr);
    UiMachine bare(empty);
    Wizard wz(bare);
    PrinterPage& p = wz.w.printer;
    EXPECT_EQ(p.m_hasModels, 0);
    EXPECT_EQ(p.m_class, -1);
    EXPECT_STREQ(p.m_model, "");
    for (int k = 0; k < 4; ++k) {
        EXPECT_FALSE(Enabled(wz.Control(p, PrinterPage::kRadios[k])));
        EXPECT_FALSE(Enabled(wz.Control(p, PrinterPage::kLists[k])));
    }
    Click(wz.frame(), wz.Control(wz.w.agreement, IDC_ACCEPT));
    wz.Next();
    EXPECT_EQ(wz.w.frame.m_current, 1);
    EXPECT_FALSE(Enabled(GetDlgItem(wz.frame(), IDOK)));
    Shot(wz.frame(), "page1-printer-no-models");
}

TEST_F(Pages, ThePortPageSetsItsControlsByTheChosenPort) {
    Wizard wz(machine);
    PortPage& port = wz.w.port;
    HWND list = wz.Control(port, IDC_PORT_LIST);
    const struct {
        const char* text;
        bool serial;
        bool usbNotice;
    } cases[] = {{"COM2:", true, false}, {"KRCOM3:", true, false}, {"LPT1:", false, false},
                 {"USB_MTR-Q5_2", false, true}, {"USB_COM_1", true, false}};
    for (const auto& c : cases) {
        SendMessageA(list, CB_RESETCONTENT, 0, 0);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.text));
        port.m_port = "AAAAAAAA";
        port.m_rasterBitmap = -1;
        ChooseEntry(list, 0);
        EXPECT_EQ(port.m_port, c.text);
        EXPECT_EQ(port.m_rasterBitmap, c.serial ? 0 : 1) << c.text;
        EXPECT_EQ(Checked(wz.Control(port, IDC_RASTER_BITMAP)), c.serial ? BST_UNCHECKED : BST_CHECKED) << c.text;
        EXPECT_EQ(Enabled(wz.Control(port, IDC_RASTER_BITMAP)), !c.serial) << c.text;
        for (int id : {IDC_BAUD_LIST, IDC_DATABITS_LIST, IDC_PARITY_LIST, IDC_STOPBITS_LIST, IDC_FLOW_LIST})
            EXPECT_EQ(Enabled(wz.Control(port, id)), c.serial) << c.text << " " << id;
        EXPECT_EQ(Visible(wz.Control(port, IDC_USB_NOTICE)) || (GetWindowLongA(wz.Control(port, IDC_USB_NOTICE), GWL_STYLE) & WS_VISIBLE),
                  c.usbNotice)
            << c.text;
    }
}

TEST_F(Pages, TheSerialListsComeFromTheTemplateAndFeedTheMembers) {
    Wizard wz(machine);
    PortPage& port = wz.w.port;
    EXPECT_EQ(Entries(wz.Control(port, IDC_BAUD_LIST)),
              (std::vector<std::string>{"110", "300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
    EXPECT_EQ(Entries(wz.Control(port, IDC_PARITY_LIST)), (std::vector<std::string>{"Even", "Mark", "None", "Odd", "Space"}));
    EXPECT_EQ(Entries(wz.Control(port, IDC_DATABITS_LIST)), (std::vector<std::string>{"5", "6", "7", "8"}));
    EXPECT_EQ(Entries(wz.Control(port, IDC_STOPBITS_LIST)), (std::vector<std::string>{"1", "1.5", "2"}));
    EXPECT_EQ(Entries(wz.Control(port, IDC_FLOW_LIST)), (std::vector<std::string>{"None", "Xon/Xoff", "Hardware"}));
    // The start selections and members.
    EXPECT_EQ(SendMessageA(wz.Control(port, IDC_BAUD_LIST), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(wz.Control(port, IDC_DATABITS_LIST), CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessageA(wz.Control(port, IDC_PARITY_LIST), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageA(wz.Control(port, IDC_FLOW_LIST), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(port.m_parity, 'n');
    EXPECT_EQ(port.m_flowControl, 'p');
    ChooseEntry(wz.Control(port, IDC_PARITY_LIST), 2);
    EXPECT_EQ(port.m_parity, 'N');
    ChooseEntry(wz.Control(port, IDC_STOPBITS_LIST), 1);
    EXPECT_DOUBLE_EQ(port.m_stopBits, 1.5);
    ChooseEntry(wz.Control(port, IDC_STOPBITS_LIST), 2);
    EXPECT_DOUBLE_EQ(port.m_stopBits, 2.0);
    ChooseEntry(wz.Control(port, IDC_FLOW_LIST), 1);
    EXPECT_EQ(port.m_flowControl, 'x');
    ChooseEntry(wz.Control(port, IDC_FLOW_LIST), 0);
    EXPECT_EQ(port.m_flowControl, ' ');
    ChooseEntry(wz.Control(port, IDC_DATABITS_LIST), 1);
    EXPECT_EQ(port.m_dataBits, 6);
    ChooseEntry(wz.Control(port, IDC_BAUD_LIST), 6);
    EXPECT_EQ(port.m_baudRate, 19200);
    // The tooltip holds the check box's tip.
    ASSERT_TRUE(port.m_toolTip);
    EXPECT_GE(SendMessageA(port.m_toolTip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(Pages, TheSortedPortListKeepsTheOrderItsModelPredicts) {
    Wizard wz(machine);
    HWND list = wz.Control(wz.w.port, IDC_PORT_LIST);
    const std::vector<std::string> models = {"MTR-Q5", "mtr_q5", "Q5_2", "9X", "_A", "打印机", "a-b_c", "Zeta"};
    for (const std::string& m : models) {
        std::vector<std::string> entries = {"KRCOM1:", "KRCOM8:", "LPT1:", "LPT3:", "COM1:", "COM2:"};
        for (int n = 1; n <= 4; ++n) entries.push_back("USB_" + m + "_" + std::to_string(n));
        // Also the models themselves, against each other.
        entries.push_back(m);
        SendMessageA(list, CB_RESETCONTENT, 0, 0);
        std::vector<std::string> shuffled = entries;
        std::reverse(shuffled.begin(), shuffled.end());
        for (const std::string& e : shuffled) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.c_str()));
        std::vector<std::string> modelled = entries;
        std::stable_sort(modelled.begin(), modelled.end(), PortEntryLess);
        EXPECT_EQ(Entries(list), modelled) << m;
    }
}

TEST_F(Pages, ThePortPageBuildsItsListForTheModelOnReachingIt) {
    Wizard wz(machine);
    wz.GoTo(4);
    ASSERT_EQ(wz.w.frame.m_current, 4);
    PortPage& port = wz.w.port;
    const std::vector<std::string> shown = Entries(wz.Control(port, IDC_PORT_LIST));
    ASSERT_FALSE(shown.empty());
    const LRESULT sel = SendMessageA(wz.Control(port, IDC_PORT_LIST), CB_GETCURSEL, 0, 0);
    ASSERT_NE(sel, CB_ERR);
    EXPECT_EQ(shown[static_cast<std::size_t>(sel)], port.m_port);
    // The baud rate came from the model's port section (MTR-Q5: 115200).
    EXPECT_EQ(port.m_baudRate, 115200);
    EXPECT_EQ(SendMessageA(wz.Control(port, IDC_BAUD_LIST), CB_GETCURSEL, 0, 0), 9);
    Shot(wz.frame(), "page4-port");
}
