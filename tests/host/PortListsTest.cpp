// The port page's decisions: the offered ports and their order, the
// preselection by configuration and USB device identity, and the controls
// a port sets.
#include <gtest/gtest.h>

#include <algorithm>

#include "ports/PortLists.h"
#include "sys/sim/SimMachine.h"

namespace {

using Items = std::vector<std::string>;

const Items kNtFixed = {"KRCOM1:", "KRCOM2:", "KRCOM3:", "KRCOM4:", "KRCOM5:", "KRCOM6:",
                        "KRCOM7:", "KRCOM8:", "LPT1:",   "LPT2:",   "LPT3:"};

Items Plus(Items items, const Items& more) {
    items.insert(items.end(), more.begin(), more.end());
    return items;
}

// The simulated USB library, counting the loads: one per identity probe.
class CountingUsb final : public sys::IUsbLibrary {
public:
    explicit CountingUsb(sys::IUsbLibrary& inner) : m_inner(inner) {}
    sys::LibraryHandle LoadLibraryA(const char* name, std::uint32_t* error) override {
        ++loads;
        return m_inner.LoadLibraryA(name, error);
    }
    bool HasExport(sys::LibraryHandle l, const char* name) override { return m_inner.HasExport(l, name); }
    void FreeLibrary(sys::LibraryHandle l) override { m_inner.FreeLibrary(l); }
    int OpenDeviceX(sys::LibraryHandle l, int index) override { return m_inner.OpenDeviceX(l, index); }
    void CloseDevice(sys::LibraryHandle l, int handle) override { m_inner.CloseDevice(l, handle); }
    int GetDescriptor(sys::LibraryHandle l, int handle, std::uint8_t* buffer20) override {
        return m_inner.GetDescriptor(l, handle, buffer20);
    }
    int uWrite(sys::LibraryHandle l, int handle, int zero, const std::uint8_t* data, int length) override {
        return m_inner.uWrite(l, handle, zero, data, length);
    }
    int loads = 0;

private:
    sys::IUsbLibrary& m_inner;
};

class PortListsTest : public ::testing::Test {
protected:
    // The receipt class file with the model's port section.
    void Model(const std::string& model, int usb, int lpt) {
        m.fs.WriteFile("D:\\DRVCONFIG\\setup_receipt.ini", "[" + model + ".PORT]\r\nUSBSUPPORTED=" +
                                                               std::to_string(usb) + "\r\nLPTDEFAULT=" +
                                                               std::to_string(lpt) + "\r\n");
    }
    PortListResult Build(const std::string& model, TargetSystem target, InstallMode mode,
                         PrinterClass printerClass = PrinterClass::Receipt) {
        const sys::Platform base = m.platform();
        const sys::Platform p{base.registry, base.profile, base.files, base.spooler,
                              base.services, base.system,  base.messages, usb};
        return builder.Build(p, model, target, printerClass, mode);
    }
    std::string Selected(const PortListResult& r) {
        return r.selection >= 0 ? r.entries[static_cast<std::size_t>(r.selection)] : "<none>";
    }
    // Probes of the USB device: each loads the library once.
    int Probes() const { return usb.loads; }

    sys::sim::SimMachine m;
    CountingUsb usb{m.usb};
    PortListBuilder builder;
};

}  // namespace

// ---- The controls a port sets ----------------------------------------------

TEST(PortControlsOf, SerialWhereverComAppearsElseRasterAndTheUsbNotice) {
    const struct {
        const char* port;
        bool serial, notice;
    } cases[] = {{"COM1:", true, false},         {"KRCOM3:", true, false}, {"USB_COM_1", true, false},
                 {"LPT1:", false, false},        {"USB_MTR-Q5_2", false, true}, {"FILE:", false, false},
                 {"usb_lower_1", false, false},  {"com1:", false, false}};
    for (const auto& c : cases) {
        const PortControls p = PortControlsOf(c.port);
        EXPECT_EQ(p.serialEnabled, c.serial) << c.port;
        EXPECT_EQ(p.rasterEnabled, !c.serial) << c.port;
        EXPECT_EQ(p.rasterBitmap, c.serial ? 0 : 1) << c.port;
        EXPECT_EQ(p.usbNoticeShown, c.notice) << c.port;
    }
}

TEST(FlowControlOf, ExactEntryTextsOnly) {
    EXPECT_EQ(FlowControlOf("Xon/Xoff", 'p'), 'x');
    EXPECT_EQ(FlowControlOf("Hardware", 'x'), 'p');
    EXPECT_EQ(FlowControlOf("None", 'p'), ' ');
    EXPECT_EQ(FlowControlOf("none", 'p'), 'p');
    EXPECT_EQ(FlowControlOf("Hardware ", 'x'), 'x');
    EXPECT_EQ(FlowControlOf("", 'x'), 'x');
}

// ---- The sorted list's order --------------------------------------------

TEST(PortEntryLess, TheFixedEntriesSortAheadOfTheUsbEntriesOfAnyModel) {
    const Items ordered = {"9X", "_A", "a-b", "COM1:", "COM2:", "KRCOM1:", "KRCOM8:", "LPT1:", "LPT3:", "mtr_q5",
                           "USB_Q5_1", "USB_Q5_2", "Zeta", "\xB4\xF2\xD3\xA1\xBB\xFA"};
    for (std::size_t i = 0; i < ordered.size(); ++i)
        for (std::size_t j = 0; j < ordered.size(); ++j)
            EXPECT_EQ(PortEntryLess(ordered[i], ordered[j]), i < j) << ordered[i] << " / " << ordered[j];
    // Whatever the model, its USB entries follow every fixed one.
    for (const std::string model : {"_", "0", "A", "zz", "\xB4\xF2"}) {
        for (const char* fixed : {"COM2:", "KRCOM8:", "LPT3:"})
            EXPECT_TRUE(PortEntryLess(fixed, "USB_" + model + "_1")) << model << " " << fixed;
        EXPECT_TRUE(PortEntryLess("USB_" + model + "_1", "USB_" + model + "_4")) << model;
    }
}

TEST(PortEntryLess, APrefixComesFirst) {
    EXPECT_TRUE(PortEntryLess("LPT", "LPT1:"));
    EXPECT_FALSE(PortEntryLess("LPT1:", "LPT"));
    EXPECT_FALSE(PortEntryLess("", ""));
    EXPECT_TRUE(PortEntryLess("", "A"));
}

TEST(PortEntryLess, LetterCaseMakesNoDifference) {
    EXPECT_FALSE(PortEntryLess("com1:", "COM1:"));
    EXPECT_FALSE(PortEntryLess("COM1:", "com1:"));
    EXPECT_TRUE(PortEntryLess("com1:", "COM2:"));
    EXPECT_TRUE(PortEntryLess("USB_a_1", "usb_B_1"));
}

TEST(PortEntryLess, OnlyAsciiLettersFold) {
    // The byte order otherwise: '_' lies between the upper- and lower-case
    // letters, so folding to lower case puts it before every letter.
    EXPECT_TRUE(PortEntryLess("USB__1", "USB_A_1"));
    EXPECT_TRUE(PortEntryLess("A-C", "AB"));
    // A double-byte letter is left as it is.
    EXPECT_TRUE(PortEntryLess("\xA3\xC1", "\xA3\xE1"));
    EXPECT_FALSE(PortEntryLess("\xA3\xE1", "\xA3\xC1"));
}

// ---- The builders -----------------------------------------------------------

TEST_F(PortListsTest, Windows98TypicalWithoutUsbSelectsCom1AndTheSerialLists) {
    Model("MTR-C30", 0, 0);
    const PortListResult r = Build("MTR-C30", TargetSystem::Win98Me, InstallMode::Typical);
    EXPECT_TRUE(r.rebuilt);
    EXPECT_EQ(r.entries, (Items{"COM1:", "COM2:", "LPT1:"}));
    EXPECT_EQ(Selected(r), "COM1:");
    EXPECT_EQ(r.port, "COM1:");
    EXPECT_TRUE(r.controls.serialEnabled);
    EXPECT_FALSE(r.controls.rasterEnabled);
    EXPECT_EQ(r.controls.rasterBitmap, 0);
    EXPECT_FALSE(r.controls.usbNoticeShown);
    EXPECT_FALSE(r.rasterShown);
}

TEST_F(PortListsTest, NtTypicalWithLptDefaultSelectsLpt1) {
    Model("MTR-C30", 0, 1);
    const PortListResult r = Build("MTR-C30", TargetSystem::Win2000, InstallMode::Typical);
    EXPECT_EQ(r.entries, kNtFixed);
    EXPECT_EQ(Selected(r), "LPT1:");
    EXPECT_EQ(r.port, "LPT1:");
    EXPECT_FALSE(r.controls.serialEnabled);
    EXPECT_TRUE(r.controls.rasterEnabled);
    EXPECT_EQ(r.controls.rasterBitmap, 1);  // although the check box is hidden
    EXPECT_FALSE(r.rasterShown);
}

TEST_F(PortListsTest, XpAdvancedSelectsTheUsbPortOfTheDeviceIdentity) {
    Model("MTR-Q5", 1, 0);
    m.usb.printers = {2};
    const PortListResult r = Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Advanced);
    EXPECT_EQ(r.entries, Plus(kNtFixed, {"USB_MTR-Q5_1", "USB_MTR-Q5_2", "USB_MTR-Q5_3", "USB_MTR-Q5_4"}));
    EXPECT_EQ(Selected(r), "USB_MTR-Q5_3");
    EXPECT_EQ(r.port, "USB_MTR-Q5_3");
    EXPECT_TRUE(r.controls.usbNoticeShown);
    EXPECT_TRUE(r.controls.rasterEnabled);
    EXPECT_EQ(r.controls.rasterBitmap, 1);
    EXPECT_FALSE(r.controls.serialEnabled);
    EXPECT_TRUE(r.rasterShown);
}

TEST_F(PortListsTest, Windows98ListsItsUsbPortsAfterTheFixedOnes) {
    Model("MTR-Q5", 1, 0);
    m.usb.printers = {0};
    const PortListResult r = Build("MTR-Q5", TargetSystem::Win98Me, InstallMode::Advanced);
    EXPECT_EQ(r.entries, (Items{"COM1:", "COM2:", "LPT1:", "USB_MTR-Q5_1", "USB_MTR-Q5_2", "USB_MTR-Q5_3",
                                "USB_MTR-Q5_4"}));
    EXPECT_EQ(r.port, "USB_MTR-Q5_1");
}

TEST_F(PortListsTest, AdvancedWithAnIdentityBeyondPort4KeepsTheFirstEntry) {
    Model("MTR-Q5", 1, 1);
    m.usb.printers = {13};  // port 6
    for (TargetSystem target : {TargetSystem::WinNT, TargetSystem::WinXP}) {
        PortListBuilder b;
        const PortListResult r = b.Build(m.platform(), "MTR-Q5", target, PrinterClass::Receipt, InstallMode::Advanced);
        EXPECT_EQ(Selected(r), "KRCOM1:");
        EXPECT_EQ(r.port, "KRCOM1:");
        // A serial port after all: the serial lists are enabled again.
        EXPECT_TRUE(r.controls.serialEnabled);
        EXPECT_FALSE(r.controls.rasterEnabled);
        EXPECT_EQ(r.controls.rasterBitmap, 0);
        EXPECT_FALSE(r.controls.usbNoticeShown);
        EXPECT_TRUE(r.rasterShown);
    }
    // On Windows 98/Me the first entry is COM1:.
    const PortListResult r = Build("MTR-Q5", TargetSystem::Win98Me, InstallMode::Advanced);
    EXPECT_EQ(r.port, "COM1:");
    EXPECT_TRUE(r.controls.serialEnabled);
}

TEST_F(PortListsTest, AdvancedIdentitiesTakeTheirPortsOneToFour) {
    Model("MTR-Q5", 1, 1);
    // Identity v is port v mod 8 + 1.
    const struct {
        std::uint16_t identity;
        int port;
    } cases[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {8, 1}, {11, 4}, {65531, 4}};
    for (const auto& [identity, port] : cases) {
        m.usb.printers = {identity};
        PortListBuilder b;
        const PortListResult r =
            b.Build(m.platform(), "MTR-Q5", TargetSystem::Win2000, PrinterClass::Receipt, InstallMode::Advanced);
        EXPECT_EQ(r.port, "USB_MTR-Q5_" + std::to_string(port)) << identity;
        EXPECT_EQ(Selected(r), r.port) << identity;
    }
}

TEST_F(PortListsTest, TypicalOffersOneUsbPortAndTakesItWhateverTheIdentity) {
    Model("MTR-Q5", 1, 1);
    m.usb.printers = {5};
    const PortListResult r = Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Typical);
    EXPECT_EQ(r.entries, Plus(kNtFixed, {"USB_MTR-Q5_1"}));
    EXPECT_EQ(r.port, "USB_MTR-Q5_1");
    EXPECT_TRUE(r.controls.usbNoticeShown);
    EXPECT_FALSE(r.rasterShown);
}

TEST_F(PortListsTest, WithoutADeviceTheLptDefaultDecides) {
    Model("MTR-Q5", 1, 0);
    PortListResult r = Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Advanced);
    EXPECT_EQ(r.entries.size(), kNtFixed.size() + 4);
    EXPECT_EQ(r.port, "KRCOM1:");
    Model("MTR-Q5", 1, 1);
    r = Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Typical);
    EXPECT_EQ(r.port, "LPT1:");
    EXPECT_EQ(Selected(r), "LPT1:");
}

TEST_F(PortListsTest, NoUsbPortsOnNt4AndAFoundDeviceLeavesTheLastEntrySelected) {
    // The USB search examines every entry and finds none: the last entry
    // examined is m_port, and the list selects that entry too.
    Model("MTR-Q5", 1, 0);
    m.usb.printers = {1};
    for (InstallMode mode : {InstallMode::Typical, InstallMode::Advanced}) {
        PortListBuilder b;
        const PortListResult r = b.Build(m.platform(), "MTR-Q5", TargetSystem::WinNT, PrinterClass::Receipt, mode);
        EXPECT_EQ(r.entries, kNtFixed);
        EXPECT_EQ(Selected(r), "LPT3:");
        EXPECT_EQ(r.port, "LPT3:");
        EXPECT_FALSE(r.controls.usbNoticeShown);
        EXPECT_FALSE(r.controls.serialEnabled);
        EXPECT_TRUE(r.controls.rasterEnabled);
        EXPECT_EQ(r.controls.rasterBitmap, 1);
    }
}

TEST_F(PortListsTest, OnNt4OnlyAnIdentityBeyondPort4FallsBackToTheFirstEntry) {
    // Advanced: ports 1 to 4 (identities 0 to 3) search the USB entries and,
    // finding none on NT 4, end on the last entry; port 5 and above select
    // the first entry before they search.
    Model("MTR-Q5", 1, 0);
    const struct {
        std::uint16_t identity;
        const char* port;
    } cases[] = {{0, "LPT3:"}, {3, "LPT3:"}, {4, "KRCOM1:"}, {7, "KRCOM1:"}, {11, "LPT3:"}};
    for (const auto& c : cases) {
        m.usb.printers = {c.identity};
        PortListBuilder b;
        const PortListResult r =
            b.Build(m.platform(), "MTR-Q5", TargetSystem::WinNT, PrinterClass::Receipt, InstallMode::Advanced);
        EXPECT_EQ(r.port, c.port) << c.identity;
        EXPECT_EQ(Selected(r), c.port) << c.identity;
    }
}

TEST_F(PortListsTest, NoUsbPortsOnNt4WithoutADeviceTheLptDefaultDecides) {
    Model("MTR-Q5", 1, 1);
    const PortListResult r = Build("MTR-Q5", TargetSystem::WinNT, InstallMode::Advanced);
    EXPECT_EQ(r.entries, kNtFixed);
    EXPECT_EQ(r.port, "LPT1:");
    EXPECT_EQ(Selected(r), "LPT1:");
}

TEST_F(PortListsTest, TwoPrintersAttachedInAdvancedModeLeaveTheLastEntrySelected) {
    Model("MTR-Q5", 1, 1);
    m.usb.printers = {0, 1};
    // R = -2 gives n = -1: no entry holds "_-1", the search ends on the last
    // entry, and the LPT default does not come into it.
    PortListResult r = Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Advanced);
    EXPECT_EQ(Selected(r), "USB_MTR-Q5_4");
    EXPECT_EQ(r.port, "USB_MTR-Q5_4");
    EXPECT_FALSE(r.controls.serialEnabled);
    EXPECT_TRUE(r.controls.usbNoticeShown);
    ASSERT_EQ(m.messages.shown.size(), 1u);
    EXPECT_EQ(m.messages.shown[0].id, 144);
    // Typical takes its one USB port (the installation then refuses two printers).
    r = Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Typical);
    EXPECT_EQ(r.port, "USB_MTR-Q5_1");
}

TEST_F(PortListsTest, AModelNameHoldingAPortSuffixMatchesItsFirstUsbEntry) {
    Model("AB_2", 1, 0);
    m.usb.printers = {1};  // port 2: every entry of the model holds "_2"
    PortListResult r = Build("AB_2", TargetSystem::WinXP, InstallMode::Advanced);
    EXPECT_EQ(r.port, "USB_AB_2_1");
    EXPECT_EQ(Selected(r), "USB_AB_2_1");
    // Another port of the same model is found by its own suffix.
    m.usb.printers = {2};
    builder = PortListBuilder();
    r = Build("AB_2", TargetSystem::WinXP, InstallMode::Advanced);
    EXPECT_EQ(r.port, "USB_AB_2_3");
}

TEST_F(PortListsTest, TheSameModelAndModeAgainChangesNothingAndProbesNoDevice) {
    Model("MTR-Q5", 1, 0);
    m.usb.printers = {2};
    EXPECT_TRUE(Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Typical).rebuilt);
    EXPECT_EQ(Probes(), 1);
    const PortListResult again = Build("MTR-Q5", TargetSystem::Win98Me, InstallMode::Typical, PrinterClass::Label);
    EXPECT_FALSE(again.rebuilt);  // the target and class are not part of the check
    EXPECT_TRUE(again.entries.empty());
    EXPECT_EQ(Probes(), 1);
    // Another mode or model rebuilds, and probes again.
    EXPECT_TRUE(Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Advanced).rebuilt);
    EXPECT_EQ(builder.listMode, InstallMode::Advanced);
    EXPECT_TRUE(Build("MTR-C30", TargetSystem::WinXP, InstallMode::Advanced).rebuilt);
    EXPECT_EQ(builder.lastModel, "MTR-C30");
    EXPECT_EQ(Probes(), 3);
}

TEST_F(PortListsTest, TheDeviceIsProbedAlsoForAModelWithoutUsb) {
    Model("MTR-C30", 0, 0);
    m.usb.installed = false;
    const PortListResult r = Build("MTR-C30", TargetSystem::WinXP, InstallMode::Typical);
    EXPECT_EQ(Probes(), 1);
    // Its message appears while the page is entered.
    EXPECT_EQ(m.messages.Log(), (std::vector<std::string>{"T:Can not load KrUsbInt.dll"}));
    EXPECT_EQ(r.entries, kNtFixed);
    EXPECT_EQ(r.port, "KRCOM1:");
}

TEST_F(PortListsTest, AClassOutsideTheFourReadsNoUsbAndNoLptDefault) {
    Model("MTR-Q5", 1, 1);
    m.usb.printers = {0};
    const PortListResult r =
        Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Typical, static_cast<PrinterClass>(7));
    EXPECT_EQ(r.entries, kNtFixed);
    EXPECT_EQ(r.port, "KRCOM1:");
}

TEST_F(PortListsTest, TheSamplePackagesUsbModelOnXp) {
    m.InsertMedium(INSTALIX_PACKAGE_DIR);
    m.usb.printers = {3};
    const PortListResult r = Build("MTR-Q5", TargetSystem::WinXP, InstallMode::Advanced);
    EXPECT_EQ(r.port, "USB_MTR-Q5_4");
    EXPECT_TRUE(std::is_sorted(r.entries.begin(), r.entries.end(), PortEntryLess));
}
