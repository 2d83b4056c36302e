// What the wizard's page switches prepare from the model's port section,
// and the record the installation gets at Finish.
#include <gtest/gtest.h>

#include "install/StepController.h"
#include "sys/sim/SimMachine.h"

namespace {

// The pages by index, in the order start-up adds them.
constexpr int kAgreement = 0;
constexpr int kPrinter = 1;
constexpr int kMode = 2;
constexpr int kOs = 3;
constexpr int kPort = 4;

class StepControllerTest : public ::testing::Test {
protected:
    StepControllerTest() { m.files.programPath = "E:\\Setup\\instalix.exe"; }

    // The receipt class file with one model's port section.
    void Receipt(const std::string& model, const std::string& keys) {
        m.fs.WriteFile("E:\\Setup\\DRVCONFIG\\setup_receipt.ini", "[" + model + ".PORT]\r\n" + keys);
    }
    PageValues Pages(const std::string& model, int printerClass = 0, int system = 3) {
        PageValues p;
        p.model = model;
        p.printerClass = printerClass;
        p.system = system;
        p.hasModels = 1;
        return p;
    }
    // Next from the printer page through the mode page to the port page.
    StepActions ToPortPage(const PageValues& p) {
        steps.Switch(kPrinter, kMode, p);
        steps.Switch(kMode, kOs, p);
        return steps.Switch(kOs, kPort, p);
    }

    sys::sim::SimMachine m;
    StepController steps{m.platform()};
};

}  // namespace

TEST(BaudListIndex, ListedRatesHaveTheirEntryAndEveryOtherValue38400) {
    const int listed[] = {110, 300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(BaudListIndex(listed[i]), i) << listed[i];
    for (int other : {0, -1, 14400, 56000, 230400, 1}) EXPECT_EQ(BaudListIndex(other), 7) << other;
}

// ---- Leaving the agreement page -----------------------------------------

TEST_F(StepControllerTest, LeavingTheAgreementEnablesNextOnlyWhenThereAreModels) {
    PageValues p = Pages("A");
    StepActions a = steps.Switch(kAgreement, kPrinter, p);
    EXPECT_TRUE(a.setNextEnabled);
    EXPECT_TRUE(a.nextEnabled);
    p.hasModels = 0;
    a = steps.Switch(kAgreement, kPrinter, p);
    EXPECT_TRUE(a.setNextEnabled);
    EXPECT_FALSE(a.nextEnabled);
    // The first page shown and other switches leave the button alone.
    EXPECT_FALSE(steps.Switch(-1, kAgreement, p).setNextEnabled);
    EXPECT_FALSE(steps.Switch(kPrinter, kAgreement, p).setNextEnabled);
    EXPECT_FALSE(steps.Switch(kMode, kOs, p).setNextEnabled);
}

// ---- Leaving the printer page -------------------------------------------

TEST_F(StepControllerTest, TheModelsAdvancedSetupDecidesWhetherAdvancedIsOffered) {
    m.fs.WriteFile("E:\\Setup\\DRVCONFIG\\setup_receipt.ini",
                   "[Yes.PORT]\r\nAdvancedSetup=1\r\n[Two.PORT]\r\nAdvancedSetup=2\r\n"
                   "[No.PORT]\r\nAdvancedSetup=0\r\n[Missing.PORT]\r\nBaudRate=9600\r\n");
    const struct {
        const char* model;
        bool allowed;
    } cases[] = {{"Yes", true}, {"Two", true}, {"No", false}, {"Missing", false}, {"Absent", false}};
    for (const auto& c : cases) {
        const StepActions a = steps.Switch(kPrinter, kMode, Pages(c.model));
        EXPECT_TRUE(a.adjustMode) << c.model;
        EXPECT_EQ(a.advancedAllowed, c.allowed) << c.model;
        EXPECT_FALSE(a.stay);
        EXPECT_EQ(steps.PortSection(), std::string(c.model) + ".PORT");
    }
    EXPECT_EQ(steps.ClassIniPath(), "E:\\Setup\\DRVCONFIG\\setup_receipt.ini");
}

TEST_F(StepControllerTest, EachClassReadsItsOwnFile) {
    const char* const files[] = {"setup_receipt.ini", "setup_Ticket.ini", "setup_Lable.ini", "setup_Embedded.ini"};
    for (int k = 0; k < 4; ++k) {
        m.fs.WriteFile(std::string("E:\\Setup\\DRVCONFIG\\") + files[k],
                       "[M" + std::to_string(k) + ".PORT]\r\nAdvancedSetup=1\r\n");
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(steps.Switch(kPrinter, kMode, Pages("M" + std::to_string(k), k)).advancedAllowed) << k;
        EXPECT_EQ(steps.ClassIniPath(), std::string("E:\\Setup\\DRVCONFIG\\") + files[k]);
        // Another class's file does not hold the model.
        EXPECT_FALSE(steps.Switch(kPrinter, kMode, Pages("M" + std::to_string(k), (k + 1) % 4)).advancedAllowed);
    }
}

TEST_F(StepControllerTest, NoValidClassMeansTheBareDirectoryAndEveryValueZero) {
    Receipt("A", "AdvancedSetup=1\r\nSystem2003Supported=1\r\nBaudRate=9600\r\n");
    for (int invalid : {-1, 4, 99}) {
        StepController s(m.platform());
        const PageValues p = Pages("A", invalid, 4);
        EXPECT_FALSE(s.Switch(kPrinter, kMode, p).advancedAllowed) << invalid;
        EXPECT_EQ(s.ClassIniPath(), "E:\\Setup\\");
        s.Switch(kMode, kOs, p);
        const StepActions a = s.Switch(kOs, kPort, p);
        EXPECT_TRUE(a.stay) << invalid;  // Server 2003 refused
        EXPECT_EQ(a.baudRate, 0);
        EXPECT_EQ(a.baudIndex, 7);
    }
}

TEST_F(StepControllerTest, GoingBackFromTheModePageAdjustsNothing) {
    Receipt("A", "AdvancedSetup=1\r\n");
    const StepActions a = steps.Switch(kMode, kPrinter, Pages("A"));
    EXPECT_FALSE(a.adjustMode);
    EXPECT_FALSE(a.setBaudRate);
    EXPECT_TRUE(m.messages.shown.empty());
}

// ---- Leaving the target-system page --------------------------------------

TEST_F(StepControllerTest, TheBaudRateComesFromTheModelOnTheFirstVisitOnly) {
    Receipt("A", "BaudRate=9600\r\n");
    StepActions a = ToPortPage(Pages("A"));
    EXPECT_TRUE(a.setBaudRate);
    EXPECT_EQ(a.baudRate, 9600);
    EXPECT_EQ(a.baudIndex, 5);
    EXPECT_FALSE(steps.ReloadBaudRate());
    // Back to the target-system page and on again: the user's choice stays.
    steps.Switch(kPort, kOs, Pages("A"));
    a = steps.Switch(kOs, kPort, Pages("A"));
    EXPECT_FALSE(a.setBaudRate);
    // Back as far as the mode page and on again: still the user's choice.
    steps.Switch(kPort, kOs, Pages("A"));
    steps.Switch(kOs, kMode, Pages("A"));
    EXPECT_FALSE(steps.ReloadBaudRate());
    steps.Switch(kMode, kOs, Pages("A"));
    EXPECT_FALSE(steps.Switch(kOs, kPort, Pages("A")).setBaudRate);
    // Back from the mode page to the printer page: the next model brings its own.
    steps.Switch(kOs, kMode, Pages("A"));
    steps.Switch(kMode, kPrinter, Pages("A"));
    EXPECT_TRUE(steps.ReloadBaudRate());
    Receipt("B", "BaudRate=115200\r\n");
    a = ToPortPage(Pages("B"));
    EXPECT_TRUE(a.setBaudRate);
    EXPECT_EQ(a.baudRate, 115200);
    EXPECT_EQ(a.baudIndex, 9);
}

TEST_F(StepControllerTest, ARateThatIsNotListedSelects38400ButKeepsItsValue) {
    Receipt("A", "BaudRate=14400\r\n");
    StepActions a = ToPortPage(Pages("A"));
    EXPECT_EQ(a.baudRate, 14400);
    EXPECT_EQ(a.baudIndex, 7);
    StepController fresh(m.platform());
    fresh.Switch(kPrinter, kMode, Pages("NoSuchModel"));
    a = fresh.Switch(kOs, kPort, Pages("NoSuchModel"));
    EXPECT_TRUE(a.setBaudRate);
    EXPECT_EQ(a.baudRate, 0);
    EXPECT_EQ(a.baudIndex, 7);
}

TEST_F(StepControllerTest, Server2003WithoutSupportShowsMessage145AndStays) {
    Receipt("A", "BaudRate=9600\r\n");
    StepActions a = ToPortPage(Pages("A", 0, 4));
    EXPECT_TRUE(a.stay);
    ASSERT_EQ(m.messages.shown.size(), 1u);
    EXPECT_EQ(m.messages.shown[0].id, 145);
    EXPECT_EQ(m.messages.shown[0].text, "");
    EXPECT_EQ(m.messages.shown[0].buttons, sys::MsgButtons::Ok);
    // The baud rate is taken even so; the next try does not reload it.
    EXPECT_TRUE(a.setBaudRate);
    EXPECT_EQ(a.baudRate, 9600);
    a = steps.Switch(kOs, kPort, Pages("A", 0, 4));
    EXPECT_TRUE(a.stay);
    EXPECT_FALSE(a.setBaudRate);
    EXPECT_EQ(m.messages.shown.size(), 2u);
}

TEST_F(StepControllerTest, Server2003SupportIsOnlyAskedOfServer2003) {
    Receipt("A", "System2003Supported=1\r\n");
    EXPECT_FALSE(ToPortPage(Pages("A", 0, 4)).stay);
    Receipt("A", "System2003Supported=0\r\n");
    for (int system = 0; system <= 3; ++system) {
        StepController s(m.platform());
        s.Switch(kPrinter, kMode, Pages("A", 0, system));
        EXPECT_FALSE(s.Switch(kOs, kPort, Pages("A", 0, system)).stay) << system;
    }
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(StepControllerTest, TheTargetSystemPageReadsTheSectionOfTheModelLeftLast) {
    m.fs.WriteFile("E:\\Setup\\DRVCONFIG\\setup_receipt.ini",
                   "[Old.PORT]\r\nSystem2003Supported=1\r\n[New.PORT]\r\nSystem2003Supported=0\r\n");
    steps.Switch(kPrinter, kMode, Pages("Old", 0, 4));
    steps.Switch(kMode, kPrinter, Pages("Old", 0, 4));
    steps.Switch(kPrinter, kMode, Pages("New", 0, 4));
    steps.Switch(kMode, kOs, Pages("New", 0, 4));
    EXPECT_TRUE(steps.Switch(kOs, kPort, Pages("New", 0, 4)).stay);
}

// ---- Finish ----------------------------------------------------------------

TEST(FinishChoices, CopiesEveryPageValue) {
    PageValues p;
    p.printerClass = 2;
    p.model = "MTR-L58";
    p.setDefault = 1;
    p.mode = static_cast<int>(InstallMode::Advanced);
    p.system = 4;
    p.port = "USB_MTR-L58_3";
    p.rasterBitmap = 1;
    p.baudRate = 19200;
    p.dataBits = 7;
    p.stopBits = 1.5;
    p.parity = 'E';
    p.flowControl = 'x';
    const InstallChoices c = FinishChoices(p);
    EXPECT_EQ(c.printerClass, PrinterClass::Label);
    EXPECT_EQ(c.modelName, "MTR-L58");
    EXPECT_EQ(c.setAsDefault, 1);
    EXPECT_EQ(c.installMode, InstallMode::Advanced);
    EXPECT_EQ(c.targetSystem, TargetSystem::WinServer2003);
    EXPECT_EQ(c.portName, "USB_MTR-L58_3");
    EXPECT_EQ(c.rasterBitmap, 1);
    EXPECT_EQ(c.baudRate, 19200);
    EXPECT_EQ(c.dataBits, 7);
    EXPECT_DOUBLE_EQ(c.stopBits, 1.5);
    EXPECT_EQ(c.parity, 'E');
    EXPECT_EQ(c.flowControl, 'x');
    // The derived fields are the installation's to fill.
    EXPECT_EQ(c.usbPortName, "");
    EXPECT_EQ(c.replaceFlags, 0u);
}

TEST(FinishChoices, NoClassChosenStaysOutsideTheFourClasses) {
    PageValues p;
    p.printerClass = -1;
    EXPECT_EQ(static_cast<int>(FinishChoices(p).printerClass), -1);
    EXPECT_EQ(FinishChoices(p).modelName, "");
    EXPECT_EQ(FinishChoices(p).installMode, InstallMode::Typical);
}

// ---- The sample package -----------------------------------------------------

TEST(StepControllerSample, TheSamplePackagesModelsPrepareTheirPages) {
    sys::sim::SimMachine m;
    m.SetWindows("win2003");
    m.InsertMedium(INSTALIX_PACKAGE_DIR);
    const struct {
        const char* model;
        int printerClass;
        bool advanced, server2003;
        int baud, index;
    } cases[] = {
        {"MTR-Q5", 0, true, true, 115200, 9},  {"MTR-C30", 0, false, true, 9600, 5},
        {"MTR-R80", 0, true, false, 38400, 7}, {"MTR-T76", 1, false, false, 1200, 2},
        {"MTR-L108", 2, false, true, 2400, 3}, {"MTR-E58", 3, false, false, 110, 0},
    };
    for (const auto& c : cases) {
        StepController steps(m.platform());
        PageValues p;
        p.model = c.model;
        p.printerClass = c.printerClass;
        p.system = static_cast<int>(TargetSystem::WinServer2003);
        EXPECT_EQ(steps.Switch(kPrinter, kMode, p).advancedAllowed, c.advanced) << c.model;
        steps.Switch(kMode, kOs, p);
        const StepActions a = steps.Switch(kOs, kPort, p);
        EXPECT_EQ(a.stay, !c.server2003) << c.model;
        EXPECT_EQ(a.baudRate, c.baud) << c.model;
        EXPECT_EQ(a.baudIndex, c.index) << c.model;
    }
    EXPECT_EQ(m.messages.shown.size(), 3u);
}
