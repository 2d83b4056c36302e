// The whole installation on the simulated machine with the sample package
// on drive E:, grouped by what the scenarios prove.
#include <gtest/gtest.h>

#include <cstring>

#include "config/ConfigReader.h"
#include "install/ComponentUpdates.h"
#include "install/Installation.h"
#include "spooler/DriverStaging.h"
#include "sys/sim/SimMachine.h"
#include "sys/sim/WinText.h"

namespace {

using Log = std::vector<std::string>;
using Waits = std::vector<std::uint32_t>;

const char* const kFamilies[] = {"win98", "nt40", "win2k", "winxp", "win2003"};

// Where the spooler keeps its monitors and print processors.
const std::string kMonitors = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
const std::string kNtProcessors =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\";
const std::string k98Processors =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows 4.0\\Print Processors\\";

TargetSystem Target(const std::string& windows) {
    if (windows == "win98") return TargetSystem::Win98Me;
    if (windows == "nt40") return TargetSystem::WinNT;
    if (windows == "win2k") return TargetSystem::Win2000;
    if (windows == "win2003") return TargetSystem::WinServer2003;
    return TargetSystem::WinXP;
}

class InstallScenario : public ::testing::Test {
protected:
    // A machine of the given family with the sample package as medium E:,
    // the setup program started from it.
    void Machine(const std::string& windows) {
        m.SetWindows(windows);
        m.InsertMedium(INSTALIX_PACKAGE_DIR);
        m.fs.WriteFile(m.fs.systemDir + "\\pjlmon.dll", "language monitor shipped with Windows");
    }
    InstallChoices Choices(const std::string& model, const std::string& port, const std::string& windows,
                           InstallMode mode = InstallMode::Typical) {
        InstallChoices c;
        c.printerClass = model.find("MTR-L") == 0 ? PrinterClass::Label : PrinterClass::Receipt;
        c.targetSystem = Target(windows);
        c.modelName = model;
        c.portName = port;
        c.rasterBitmap = 0;
        c.setAsDefault = 1;
        c.baudRate = 115200;
        c.dataBits = 8;
        c.stopBits = 1;
        c.parity = 'N';
        c.flowControl = 'p';
        c.installMode = mode;
        return c;
    }
    InstallEnding Run(InstallChoices& c) {
        return RunInstallation(m.platform(), c, [this] { ++ended; });
    }
    bool Exists(const std::string& path) { return m.fs.Exists(path); }

    sys::sim::SimMachine m;
    int ended = 0;
};

// ---- Each family, each port kind, both modes ---------------------------

struct FamilyCase {
    const char* windows;
    const char* port;
    const char* printer;
    const char* success;
};

class EachFamily : public InstallScenario, public ::testing::WithParamInterface<std::tuple<FamilyCase, InstallMode>> {};

TEST_P(EachFamily, InstallsThePrinterOnItsPort) {
    const FamilyCase& f = std::get<0>(GetParam());
    Machine(f.windows);
    if (std::string(f.port).find("USB_") == 0) m.usb.printers = {static_cast<std::uint16_t>(f.port[11] - '1')};
    InstallChoices c = Choices("MTR-Q5", f.port, f.windows, std::get<1>(GetParam()));
    m.messages.answers = {sys::MsgAnswer::No};  // not now, for the restart question
    ASSERT_EQ(Run(c), InstallEnding::Finished) << ::testing::PrintToString(m.messages.Log());
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(c.modelName, f.printer);
    ASSERT_TRUE(m.spooler.HasPrinter(f.printer));
    const sys::PrinterInfo2& p = m.spooler.printers[sys::sim::FoldCase(f.printer)];
    EXPECT_EQ(p.pDriverName, "KORVALE MTR-Q5 Receipt");
    EXPECT_EQ(m.spooler.DefaultPrinter(), f.printer);
    EXPECT_EQ(m.messages.Log(), Log{f.success});
    ASSERT_EQ(m.spooler.drivers.size(), 1u);
    EXPECT_TRUE(Exists(m.spooler.driverDirectory + "\\" + m.spooler.drivers[0].pDriverPath));
    EXPECT_TRUE(m.system.exitWindowsCalls.empty());
    EXPECT_EQ(m.services.OpenHandleCount(), 0u);
    EXPECT_EQ(m.registry.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    SamplePackage, EachFamily,
    ::testing::Combine(::testing::Values(FamilyCase{"win98", "COM1:", "MTR-Q5(S)", "114"},
                                         FamilyCase{"win98", "LPT1:", "MTR-Q5(P)", "114"},
                                         FamilyCase{"win98", "USB_MTR-Q5_1", "MTR-Q5(U) 1", "114"},
                                         FamilyCase{"nt40", "KRCOM1:", "MTR-Q5(S)", "131"},
                                         FamilyCase{"nt40", "LPT2:", "MTR-Q5(P)", "131"},
                                         FamilyCase{"win2k", "KRCOM2:", "MTR-Q5(S)", "131"},
                                         FamilyCase{"win2k", "USB_MTR-Q5_1", "MTR-Q5(U) 1", "133"},
                                         FamilyCase{"winxp", "LPT1:", "MTR-Q5(P)", "131"},
                                         FamilyCase{"winxp", "USB_MTR-Q5_1", "MTR-Q5(U) 1", "133"},
                                         FamilyCase{"win2003", "KRCOM8:", "MTR-Q5(S)", "131"},
                                         FamilyCase{"win2003", "USB_MTR-Q5_1", "MTR-Q5(U) 1", "133"}),
                       ::testing::Values(InstallMode::Typical, InstallMode::Advanced)));

TEST_F(InstallScenario, SerialSettingsOnTheNtFamilyGoToThePortsKey) {
    Machine("winxp");
    InstallChoices c = Choices("MTR-Q5", "KRCOM5:", "winxp");
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    std::string text;
    ASSERT_TRUE(m.registry.ReadValue("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM5:", nullptr,
                                     &text));
    EXPECT_EQ(std::string(text.c_str()), "115200,n,8,1,p");
}

TEST_F(InstallScenario, SerialSettingsOnWindows98GoToWinIni) {
    Machine("win98");
    InstallChoices c = Choices("MTR-Q5", "COM2:", "win98");
    m.messages.answers = {sys::MsgAnswer::No};
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    char buf[64];
    m.system.GetProfileStringA("Ports", "COM2:", "", buf, sizeof buf);
    EXPECT_STREQ(buf, "115200,n,8,1,p");
    EXPECT_EQ(m.system.notifications, Log{"Ports"});
}

// The data file goes into the driver folder's "3" as well from Windows 2000 on.
class DataFileInFolder3 : public InstallScenario, public ::testing::WithParamInterface<const char*> {};

TEST_P(DataFileInFolder3, OnlyFromWindows2000On) {
    const std::string windows = GetParam();
    Machine(windows);
    InstallChoices c = Choices("MTR-Q5", "LPT1:", windows);
    m.messages.answers = {sys::MsgAnswer::No};
    ASSERT_EQ(Run(c), InstallEnding::Finished) << ::testing::PrintToString(m.messages.Log());
    ASSERT_EQ(m.spooler.drivers.size(), 1u);
    const std::string inFolder3 = m.spooler.driverDirectory + "\\3\\" + m.spooler.drivers[0].pDataFile;
    bool copied = false;
    for (const auto& copy : m.files.copies) copied = copied || copy.second == inFolder3;
    EXPECT_EQ(copied, windows != "win98" && windows != "nt40");
}

INSTANTIATE_TEST_SUITE_P(EachFamily, DataFileInFolder3, ::testing::ValuesIn(kFamilies));

TEST(ColourLibrary, TheTwoColourModelsAreKnownByTheirNames) {
    for (const char* model : {"MTR-C30", "MTR-C40", "MTR-C40 Plus", "New MTR-C30"})
        EXPECT_TRUE(NeedsColourLibrary(model)) << model;
    for (const char* model : {"MTR-C3", "MTR-C50", "mtr-c40", "MTR-Q5", ""})
        EXPECT_FALSE(NeedsColourLibrary(model)) << model;
}

TEST_F(InstallScenario, ASecondInstallationIsNumbered) {
    Machine("winxp");
    for (const char* expected : {"MTR-C30(P)", "MTR-C30(P)(1)", "MTR-C30(P)(2)"}) {
        InstallChoices c = Choices("MTR-C30", "LPT1:", "winxp");
        ASSERT_EQ(Run(c), InstallEnding::Finished);
        EXPECT_EQ(c.modelName, expected);
    }
    InstallChoices c = Choices("MTR-C30", "LPT1:", "winxp");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log().back(), "103");
}

// ---- Every row of the failure table -------------------------------------

TEST_F(InstallScenario, EarlyChecksStayWithTheirMessages) {
    Machine("winxp");
    InstallChoices none = Choices("", "LPT1:", "winxp");
    EXPECT_EQ(Run(none), InstallEnding::Stayed);
    InstallChoices noKind = Choices("MTR-Q5", "FILE:", "winxp");
    EXPECT_EQ(Run(noKind), InstallEnding::Stayed);
    Machine("nt40");
    InstallChoices usbOnNt4 = Choices("MTR-Q5", "USB_MTR-Q5_1", "nt40");
    EXPECT_EQ(Run(usbOnNt4), InstallEnding::Stayed);
    EXPECT_EQ(m.messages.Log(), (Log{"112", "140", "113"}));
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(m.files.copies.empty());
    EXPECT_TRUE(m.usb.written.empty());
}

TEST_F(InstallScenario, AModelWithoutServer2003SupportIsRefusedThere) {
    Machine("win2003");
    InstallChoices c = Choices("MTR-R80", "LPT1:", "win2003");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), Log{"145"});
    EXPECT_EQ(ended, 1);
}

TEST_F(InstallScenario, UsbIdentityQuestions) {
    Machine("winxp");
    // Advanced, no printer attached.
    InstallChoices c = Choices("MTR-Q5", "USB_MTR-Q5_3", "winxp", InstallMode::Advanced);
    EXPECT_EQ(Run(c), InstallEnding::Stayed);
    // Two printers: the library's own message, then stay.
    m.usb.printers = {0, 1};
    EXPECT_EQ(Run(c), InstallEnding::Stayed);
    // Identity 0 on port 3: asked; No stays and writes nothing.
    m.usb.printers = {0};
    m.messages.answers = {sys::MsgAnswer::No};
    EXPECT_EQ(Run(c), InstallEnding::Stayed);
    EXPECT_TRUE(m.usb.written.empty());
    EXPECT_EQ(m.messages.Log(), (Log{"139", "144", "143"}));
    // Yes rewrites the identity to match port 3.
    m.messages.shown.clear();
    m.messages.answers = {sys::MsgAnswer::Yes};
    EXPECT_EQ(Run(c), InstallEnding::Finished);
    EXPECT_EQ(m.usb.printers[0], 2);
    EXPECT_EQ(m.messages.Log(), (Log{"143", "133"}));
    EXPECT_EQ(c.modelName, "MTR-Q5(U) 3");
}

TEST_F(InstallScenario, IdentityMatchingThePortAsksNothing) {
    Machine("winxp");
    m.usb.printers = {9};  // 9 mod 8 + 1 = 2
    InstallChoices c = Choices("MTR-T2", "USB_MTR-T2_2", "winxp", InstallMode::Advanced);
    c.printerClass = PrinterClass::Ticket;
    EXPECT_EQ(Run(c), InstallEnding::Finished);
    EXPECT_TRUE(m.usb.written.empty());
    EXPECT_EQ(m.messages.Log(), Log{"133"});
}

TEST_F(InstallScenario, AnIdentityBeyondPortFourIsRewrittenInBothModes) {
    // Identity 4 is port 5 (4 mod 8 + 1), which no USB port name carries.
    Machine("winxp");
    m.usb.printers = {4};
    m.messages.answers = {sys::MsgAnswer::Yes};
    InstallChoices advanced = Choices("MTR-Q5", "USB_MTR-Q5_1", "winxp", InstallMode::Advanced);
    EXPECT_EQ(Run(advanced), InstallEnding::Finished);
    EXPECT_EQ(m.messages.Log(), (Log{"143", "133"}));
    EXPECT_EQ(m.usb.printers[0], 0);

    Machine("winxp");
    m.messages.shown.clear();
    m.usb.printers = {12};  // port 5 again
    m.messages.answers = {sys::MsgAnswer::Yes};
    InstallChoices typical = Choices("MTR-E80", "USB_MTR-E80_1", "winxp");
    typical.printerClass = PrinterClass::Embedded;
    EXPECT_EQ(Run(typical), InstallEnding::Finished);
    EXPECT_EQ(m.messages.Log(), (Log{"143", "133"}));
    EXPECT_EQ(m.usb.printers[0], 0);
}

TEST_F(InstallScenario, APortNameHoldingTwoNumbersIsTakenAsTheHigher) {
    // "_4", "_3", "_2" and "_1" are looked for in this order: the port
    // named USB_MTR-Q5_1_3 is port 3 for the identity.
    Machine("winxp");
    m.usb.printers = {1};  // port 2
    m.messages.answers = {sys::MsgAnswer::Yes};
    InstallChoices c = Choices("MTR-Q5", "USB_MTR-Q5_1_3", "winxp", InstallMode::Advanced);
    Run(c);
    ASSERT_FALSE(m.messages.Log().empty());
    EXPECT_EQ(m.messages.Log().front(), "143");
    EXPECT_EQ(m.usb.printers[0], 2);
}

TEST_F(InstallScenario, TypicalModeRewritesToPortOneAndGoesOnWithoutAPrinter) {
    Machine("winxp");
    m.usb.printers = {0, 5};
    m.messages.answers = {sys::MsgAnswer::Ok, sys::MsgAnswer::Yes};
    InstallChoices c = Choices("MTR-Q5", "USB_MTR-Q5_1", "winxp");
    // Two printers: n is -1, so the rewrite question follows the library's message.
    EXPECT_EQ(Run(c), InstallEnding::Finished);
    EXPECT_EQ(m.messages.Log(), (Log{"144", "143", "133"}));
    EXPECT_EQ(m.usb.written.size(), 1u);

    Machine("winxp");
    m.messages.shown.clear();
    m.usb.printers.clear();
    InstallChoices again = Choices("MTR-E80", "USB_MTR-E80_1", "winxp");
    again.printerClass = PrinterClass::Embedded;
    EXPECT_EQ(Run(again), InstallEnding::Finished);
    EXPECT_EQ(m.messages.Log(), Log{"133"});
}

TEST_F(InstallScenario, TheFourPortModelIsAddedOnItsOwnPortName) {
    Machine("winxp");
    m.usb.printers = {3};
    InstallChoices c = Choices("MTR-Q5", "USB_MTR-Q5LONG_4", "winxp", InstallMode::Advanced);
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    EXPECT_EQ(c.usbPortName, "USB_MTR-Q5_4");
    EXPECT_EQ(m.spooler.printers[sys::sim::FoldCase(c.modelName)].pPortName, "USB_MTR-Q5_4");
    std::string data;
    EXPECT_TRUE(m.registry.ReadValue("HKLM\\SOFTWARE\\KORVALE\\PORTNAME", "USB_MTR-Q5_4", nullptr, &data));
    ASSERT_TRUE(m.registry.ReadValue("HKLM\\SOFTWARE\\KORVALE\\PRINTERPORT", "USB_MTR-Q5LONG_4", nullptr, &data));
    EXPECT_EQ(data, std::string(4, '\0'));
}

TEST_F(InstallScenario, ComponentFailuresClose) {
    Machine("winxp");
    m.faults.Fail("AddMonitorA", 5);
    InstallChoices c = Choices("MTR-Q5", "KRCOM1:", "winxp");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), (Log{"T:5", "119"}));

    Machine("winxp");
    m.messages.shown.clear();
    m.faults.Fail("AddPrintProcessorA", 5);
    InstallChoices p = Choices("MTR-Q5", "LPT1:", "winxp");
    EXPECT_EQ(Run(p), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), (Log{"123", "123"}));
    EXPECT_EQ(ended, 2);
}

TEST_F(InstallScenario, LaterFailuresCloseAndNothingIsRolledBack) {
    Machine("winxp");
    m.faults.Fail("AddPrinterA", 5);
    InstallChoices c = Choices("MTR-Q5", "LPT1:", "winxp");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), Log{"116:er = 5"});
    // What earlier steps did stays.
    EXPECT_TRUE(m.spooler.HasDriver("KORVALE MTR-Q5 Receipt"));
    EXPECT_TRUE(Exists(m.spooler.driverDirectory + "\\KRQ5.DLL"));
    EXPECT_TRUE(m.spooler.processors.count("KRPRINT"));

    m.messages.shown.clear();
    m.faults.Fail("EnumPortsA", 5, 2);
    m.usb.printers = {0};
    InstallChoices usb = Choices("MTR-Q5", "USB_MTR-Q5_1", "winxp");
    EXPECT_EQ(Run(usb), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), Log{"125"});
}

TEST_F(InstallScenario, MissingDriverFileNamesClose) {
    Machine("winxp");
    m.fs.WriteFile("E:\\DRVCONFIG\\setup_receipt.ini",
                   "[X.PORT]\r\nSystem2003Supported=1\r\n[X.XP]\r\nSTDDriverPath=a.dll\r\nSTDDataFile=a.gpd\r\n"
                   "STDConfigFile=a.dll\r\nSTDHelpFile=\r\nSTDPrintProcessor=WinPrint\r\n");
    InstallChoices c = Choices("X", "LPT1:", "winxp");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), Log{"142"});
}

// ---- Replacement of outdated components -----------------------------------

class Replacement : public InstallScenario {
protected:
    void Outdated(const std::string& key) {
        const std::uint32_t old = 1;
        m.registry.WriteValue("HKLM\\" + key, "DriverVersion", sys::kRegDword,
                              std::string(reinterpret_cast<const char*>(&old), 4));
    }
    std::uint32_t Version(const std::string& key) {
        std::string data;
        if (!m.registry.ReadValue("HKLM\\" + key, "DriverVersion", nullptr, &data) || data.size() != 4) return 0;
        std::uint32_t v = 0;
        std::memcpy(&v, data.data(), 4);
        return v;
    }
};

TEST_F(Replacement, AnOutdatedSerialMonitorIsReplacedWithTheSpoolerStopped) {
    Machine("winxp");
    Outdated(kMonitors + "KORVALE Serial Port Monitor");
    m.spooler.monitors["KORVALE SERIAL PORT MONITOR"] = "KRCOMMON.DLL";
    m.spooler.ports.push_back("KRCOM1:");
    InstallChoices c = Choices("MTR-Q5", "KRCOM1:", "winxp");
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    EXPECT_EQ(c.replaceFlags, 1u);  // SerialMonitorOutdated
    EXPECT_EQ(Version(kMonitors + "KORVALE Serial Port Monitor"), 4u);
    EXPECT_TRUE(Exists(m.fs.systemDir + "\\KRCOMMON.DLL"));
    EXPECT_EQ(m.services.Spooler().stops, 1);
    EXPECT_EQ(m.services.Spooler().state, sys::kServiceRunning);
    // The new print processor's wait, the stop, the wait after it, the start
    // waits of XP, and a spooler that is running at once.
    EXPECT_EQ(m.system.waits, (Waits{200, 100, 500, 2500, 1000}));
}

TEST_F(Replacement, AMonitorDllStillInUseIsReportedAndKeepsItsOldVersion) {
    Machine("winxp");
    Outdated(kMonitors + "KORVALE Serial Port Monitor");
    m.spooler.monitors["KORVALE SERIAL PORT MONITOR"] = "KRCOMMON.DLL";
    m.spooler.ports.push_back("KRCOM1:");
    m.fs.WriteFile(m.fs.systemDir + "\\KRCOMMON.DLL", "old monitor");
    m.fs.HoldOpen(m.fs.systemDir + "\\KRCOMMON.DLL");
    InstallChoices c = Choices("MTR-Q5", "KRCOM1:", "winxp");
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    // Not silently counted as replaced: the next installation tries again.
    EXPECT_EQ(m.messages.Log(), (Log{"T:E:\\winnt\\KRCOMMON.DLL", "122", "131"}));
    EXPECT_EQ(Version(kMonitors + "KORVALE Serial Port Monitor"), 1u);
    EXPECT_EQ(m.services.Spooler().state, sys::kServiceRunning);
}

TEST_F(Replacement, WithSeveralFlagsOnlyTheFirstIsReplacedButTheDirectoryIsAsked) {
    Machine("win2k");
    Outdated(kMonitors + "KORVALE USB Port Monitor");
    m.spooler.monitors["KORVALE USB PORT MONITOR"] = "KRUSBMON.DLL";
    Outdated(kNtProcessors + "KRPrint");
    m.spooler.processors["KRPRINT"] = "KRPRINT.DLL";
    for (int i = 1; i <= 4; ++i) m.spooler.ports.push_back("USB_MTR-Q5_" + std::to_string(i));
    m.usb.printers = {0};
    m.faults.Fail("GetPrintProcessorDirectoryA", 5);
    InstallChoices c = Choices("MTR-Q5", "USB_MTR-Q5_1", "win2k");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), Log{"109"});
    EXPECT_EQ(m.services.Spooler().stops, 0);

    m.messages.shown.clear();
    m.system.waits.clear();
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    EXPECT_EQ(c.replaceFlags, 2u | 8u);  // UsbMonitorOutdated, ProcessorOutdated
    EXPECT_EQ(Version(kMonitors + "KORVALE USB Port Monitor"), 6u);
    EXPECT_EQ(Version(kNtProcessors + "KRPrint"), 1u);
    std::string driver;
    m.registry.ReadValue("HKLM\\" + kMonitors + "KORVALE USB Port Monitor", "Driver", nullptr, &driver);
    EXPECT_EQ(std::string(driver.c_str()), "KRUSBMON.DLL");
    EXPECT_EQ(m.system.waits, (Waits{100, 500, 1000, 1000}));
}

TEST_F(Replacement, TheProcessorIsCopiedInPlaceAndAFailureRestartsTheSpooler) {
    Machine("win2003");
    Outdated(kNtProcessors + "KRPrint");
    m.spooler.processors["KRPRINT"] = "KRPRINT.DLL";
    m.faults.Fail("CopyFileA", 5);
    InstallChoices c = Choices("MTR-Q5", "LPT1:", "win2003");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), (Log{"T:E:\\win2003\\KRPRINT.DLL", "122"}));
    // Printing is not left broken.
    EXPECT_EQ(m.services.Spooler().state, sys::kServiceRunning);

    m.messages.shown.clear();
    m.faults.Fail("GetCurrentDirectoryA", 5);
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), Log{"107"});
    EXPECT_EQ(m.services.Spooler().state, sys::kServiceRunning);

    m.messages.shown.clear();
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    EXPECT_EQ(Version(kNtProcessors + "KRPrint"), 3u);
    EXPECT_TRUE(Exists(m.spooler.processorDirectory + "\\KRPRINT.DLL"));
}

TEST_F(Replacement, ASpoolerThatDoesNotComeBackClosesAfterOneMoreStart) {
    Machine("nt40");
    Outdated(kMonitors + "KORVALE Serial Port Monitor");
    m.spooler.monitors["KORVALE SERIAL PORT MONITOR"] = "KRCOMMON.DLL";
    m.spooler.ports.push_back("KRCOM1:");
    m.services.Spooler().startDelayMs = 60000;
    InstallChoices c = Choices("MTR-Q5", "KRCOM1:", "nt40");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), Log{"T:StartSpoolService error"});
    EXPECT_EQ(m.services.Spooler().starts, 3);
    Waits expected{200, 100, 500, 1000, 1000};
    expected.insert(expected.end(), 10, 300);
    EXPECT_EQ(m.system.waits, expected);
}

TEST_F(Replacement, Windows98InstallsABusyMonitorUnderItsNewName) {
    Machine("win98");
    Outdated(kMonitors + "KORVALE USB Port Monitor");
    m.spooler.monitors["KORVALE USB PORT MONITOR"] = "KRUSB9X.DLL";
    for (int i = 1; i <= 4; ++i) m.spooler.ports.push_back("USB_MTR-Q5_" + std::to_string(i));
    m.fs.WriteFile(m.fs.systemDir + "\\KRUSB9X.DLL", "loaded");
    m.fs.HoldOpen(m.fs.systemDir + "\\KRUSB9X.DLL");
    m.usb.printers = {0};
    m.messages.answers = {sys::MsgAnswer::Yes};
    InstallChoices c = Choices("MTR-Q5", "USB_MTR-Q5_1", "win98");
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    std::string driver;
    m.registry.ReadValue("HKLM\\" + kMonitors + "KORVALE USB Port Monitor", "Driver", nullptr, &driver);
    EXPECT_EQ(std::string(driver.c_str()), "nKRUSB9X.DLL");
    EXPECT_EQ(Version(kMonitors + "KORVALE USB Port Monitor"), 5u);
    EXPECT_EQ(m.services.Spooler().stops, 0);
    // The restart question was answered Yes.
    EXPECT_EQ(m.system.exitWindowsCalls, std::vector<std::uint32_t>{2});  // EWX_REBOOT
    EXPECT_EQ(m.system.waits.front(), 1000u);
}

TEST_F(Replacement, Windows98AlsoRenamesADllItMayNotOverwrite) {
    Machine("win98");
    Outdated(kMonitors + "KORVALE USB Port Monitor");
    m.spooler.monitors["KORVALE USB PORT MONITOR"] = "KRUSB9X.DLL";
    // The print processor is installed and current: the monitor's DLL is
    // the first file the installation copies.
    m.spooler.processors["KRPRINT"] = "KRPRT9X.DLL";
    const std::uint32_t current = 3;
    m.registry.WriteValue("HKLM\\" + k98Processors + "KRPrint", "DriverVersion", sys::kRegDword,
                          std::string(reinterpret_cast<const char*>(&current), 4));
    for (int i = 1; i <= 4; ++i) m.spooler.ports.push_back("USB_MTR-Q5_" + std::to_string(i));
    m.usb.printers = {0};
    m.messages.answers = {sys::MsgAnswer::Yes};
    m.faults.Fail("CopyFileA", 5);  // ERROR_ACCESS_DENIED
    InstallChoices c = Choices("MTR-Q5", "USB_MTR-Q5_1", "win98");
    ASSERT_EQ(Run(c), InstallEnding::Finished) << ::testing::PrintToString(m.messages.Log());
    std::string driver;
    m.registry.ReadValue("HKLM\\" + kMonitors + "KORVALE USB Port Monitor", "Driver", nullptr, &driver);
    EXPECT_EQ(std::string(driver.c_str()), "nKRUSB9X.DLL");
    EXPECT_TRUE(Exists(m.fs.systemDir + "\\nKRUSB9X.DLL"));
}

TEST_F(Replacement, Windows98GivesUpWhenEvenTheNewNameIsBusy) {
    Machine("win98");
    Outdated(k98Processors + "KRPrint");
    m.spooler.processors["KRPRINT"] = "KRPRT9X.DLL";
    m.fs.WriteFile(m.spooler.processorDirectory + "\\KRPRT9X.DLL", "loaded");
    m.fs.HoldOpen(m.spooler.processorDirectory + "\\KRPRT9X.DLL");
    m.fs.WriteFile(m.spooler.processorDirectory + "\\nKRPRT9X.DLL", "loaded");
    m.fs.HoldOpen(m.spooler.processorDirectory + "\\nKRPRT9X.DLL");
    InstallChoices c = Choices("MTR-Q5", "LPT1:", "win98");
    EXPECT_EQ(Run(c), InstallEnding::Closed);
    EXPECT_EQ(m.messages.Log(), Log{"141"});
}

}  // namespace

namespace {

TEST_F(InstallScenario, Windows98RestartsOnlyOnYesAndReportsARefusal) {
    Machine("win98");
    m.messages.answers = {sys::MsgAnswer::No};
    InstallChoices no = Choices("MTR-C30", "LPT1:", "win98");
    EXPECT_EQ(Run(no), InstallEnding::Finished);
    EXPECT_TRUE(m.system.exitWindowsCalls.empty());

    m.messages.shown.clear();
    m.messages.answers = {sys::MsgAnswer::Yes};
    m.faults.Fail("ExitWindowsEx", 5);
    InstallChoices yes = Choices("MTR-C30", "LPT1:", "win98");
    EXPECT_EQ(Run(yes), InstallEnding::Finished);
    EXPECT_EQ(m.system.exitWindowsCalls, std::vector<std::uint32_t>{2});  // EWX_REBOOT
    EXPECT_EQ(m.messages.Log(), (Log{"114", "127"}));
    // The two-colour model's extra file on Windows 98/Me.
    EXPECT_TRUE(Exists(m.spooler.driverDirectory + "\\DMCOLOR.DLL"));
}

TEST_F(InstallScenario, ARawDdkModelStagesTheSupportFilesAndItsDataDll) {
    Machine("winxp");
    InstallChoices c = Choices("MTR-L58", "LPT1:", "winxp");
    ASSERT_EQ(Run(c), InstallEnding::Finished);
    for (const char* f : {"UNIRES.DLL", "STDNAMES.GPD", "TTFSUB.GPD"}) {
        EXPECT_TRUE(Exists(m.spooler.driverDirectory + "\\3\\" + f)) << f;
        EXPECT_TRUE(Exists(m.spooler.driverDirectory + "\\" + f)) << f;
    }
    ASSERT_EQ(m.spooler.drivers.size(), 1u);
    EXPECT_EQ(m.spooler.drivers[0].pDependentFiles.size(), 7u);
}

}  // namespace
