// The print-system operations against the simulated spooler: results,
// messages by id, and what the spooler holds afterwards.
#include <gtest/gtest.h>

#include "resource.h"
#include "spooler/PrintSystem.h"
#include "sys/sim/SimMachine.h"

namespace {

using Log = std::vector<std::string>;

class PrintSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.SetWindows("winxp");
        sys::DriverInfo3 d;
        d.cVersion = 3;
        d.pName = "KR Driver";
        m.spooler.drivers.push_back(d);
        printer.pPrinterName = "MTR-C30(S)";
        printer.pDriverName = "KR Driver";
        printer.pPortName = "COM1:";
        printer.pPrintProcessor = "WinPrint";
        printer.pDatatype = "RAW";
    }
    sys::Platform P() { return m.platform(); }

    sys::sim::SimMachine m;
    sys::PrinterInfo2 printer;
};

TEST_F(PrintSystemTest, ATakenNameIsNumberedTwiceThenRefused) {
    const char* expected[] = {"MTR-C30(S)", "MTR-C30(S)(1)", "MTR-C30(S)(2)"};
    for (const char* name : expected) {
        sys::PrinterInfo2 p = printer;
        ASSERT_TRUE(InstallPrinter(P(), p, 2, false));
        EXPECT_EQ(p.pPrinterName, name);
        EXPECT_TRUE(m.spooler.HasPrinter(name));
    }
    sys::PrinterInfo2 p = printer;
    EXPECT_FALSE(InstallPrinter(P(), p, 2, false));
    EXPECT_EQ(p.pPrinterName, "");
    EXPECT_EQ(m.messages.Log(), Log{"103"});
    EXPECT_EQ(m.spooler.printers.size(), 3u);
    EXPECT_EQ(m.spooler.OpenHandleCount(), 0u);
}

TEST_F(PrintSystemTest, AUsbPrinterWithATakenNameIsNotNumbered) {
    sys::PrinterInfo2 first = printer;
    ASSERT_TRUE(InstallPrinter(P(), first, 2, true));
    sys::PrinterInfo2 second = printer;
    EXPECT_FALSE(InstallPrinter(P(), second, 2, true));
    EXPECT_EQ(second.pPrinterName, "");
    EXPECT_EQ(m.messages.Log(), Log{"103"});
    EXPECT_FALSE(m.spooler.HasPrinter("MTR-C30(S)(1)"));
}

TEST_F(PrintSystemTest, OtherRefusalsShowTheErrorCode) {
    m.faults.Fail("AddPrinterA", 5);
    sys::PrinterInfo2 p = printer;
    EXPECT_FALSE(InstallPrinter(P(), p, 2, false));
    EXPECT_EQ(p.pPrinterName, "");
    EXPECT_EQ(m.messages.Log(), Log{"116:er = 5"});

    // A renaming attempt that fails otherwise stops the renaming.
    m.messages.shown.clear();
    sys::PrinterInfo2 taken = printer;
    ASSERT_TRUE(InstallPrinter(P(), taken, 2, false));
    sys::PrinterInfo2 unknownDriver = printer;
    unknownDriver.pDriverName = "Nobody's driver";
    EXPECT_FALSE(InstallPrinter(P(), unknownDriver, 2, false));
    EXPECT_EQ(m.messages.Log(), Log{"116:er = 1797"});
    EXPECT_FALSE(m.spooler.HasPrinter("MTR-C30(S)(1)"));
}

TEST_F(PrintSystemTest, OnlyTheLowEightBitsOfTheLevelCount) {
    sys::PrinterInfo2 p = printer;
    EXPECT_TRUE(InstallPrinter(P(), p, 0x302, false));
}

TEST_F(PrintSystemTest, DriverNeedsItsFilesInTheDriverDirectory) {
    sys::DriverInfo3 d;
    d.cVersion = 3;
    d.pName = "KR New";
    d.pDriverPath = "KRQ5.DLL";
    d.pDataFile = "KRQ5.GPD";
    d.pConfigFile = "KRUI.DLL";
    d.pDependentFiles = {"UNIRES.DLL"};
    EXPECT_FALSE(InstallPrinterDriver(P(), d));
    EXPECT_EQ(m.messages.Log(), Log{"118"});
    for (const char* f : {"KRQ5.DLL", "KRQ5.GPD", "KRUI.DLL", "UNIRES.DLL"})
        m.fs.WriteFile(m.spooler.driverDirectory + "\\" + f, f);
    EXPECT_TRUE(InstallPrinterDriver(P(), d));
    EXPECT_TRUE(m.spooler.HasDriver("KR New"));
    EXPECT_TRUE(m.fs.Exists(m.spooler.driverDirectory + "\\3\\UNIRES.DLL"));
}

TEST_F(PrintSystemTest, MonitorsAlreadyThereCountAsAdded) {
    sys::MonitorInfo2 mon{"KR Serial", std::nullopt, "KRCOMMON.DLL"};
    EXPECT_FALSE(InstallMonitor(P(), mon));
    EXPECT_EQ(m.messages.Log(), (Log{"T:126", "119"}));
    m.messages.shown.clear();
    m.fs.WriteFile(m.fs.systemDir + "\\KRCOMMON.DLL", "dll");
    EXPECT_TRUE(InstallMonitor(P(), mon));
    EXPECT_TRUE(InstallMonitor(P(), mon));  // 3006
    m.SetWindows("win98");
    m.fs.WriteFile(m.fs.systemDir + "\\KRCOMMON.DLL", "dll");
    EXPECT_TRUE(InstallMonitor(P(), mon));  // 183 on Windows 98/Me
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(PrintSystemTest, PrintProcessorResults) {
    EXPECT_EQ(InstallPrintProcessor(P(), "KRPrint", "KRPRINT.DLL", TargetSystem::WinXP), 1);
    EXPECT_EQ(InstallPrintProcessor(P(), "KRPrint", "KRPRINT.DLL", TargetSystem::WinXP), 3005);
    EXPECT_EQ(InstallPrintProcessor(P(), "WinPrint", "x.dll", TargetSystem::WinXP), 3005);
    m.faults.Fail("AddPrintProcessorA", 183);
    EXPECT_EQ(InstallPrintProcessor(P(), "Other", "o.dll", TargetSystem::WinXP), 183);
    m.faults.Fail("AddPrintProcessorA", 87);
    EXPECT_EQ(InstallPrintProcessor(P(), "Other", "o.dll", TargetSystem::WinXP), 87);
    EXPECT_TRUE(m.messages.shown.empty());
    m.faults.Fail("AddPrintProcessorA", 5);
    EXPECT_EQ(InstallPrintProcessor(P(), "Other", "o.dll", TargetSystem::WinXP), 0);
    EXPECT_EQ(m.messages.Log(), Log{"123"});
}

class DefaultPrinterTest : public PrintSystemTest {
protected:
    void Install(const std::string& windows) {
        m.SetWindows(windows);
        sys::PrinterInfo2 p = printer;
        ASSERT_TRUE(InstallPrinter(P(), p, 2, false));
    }
};

TEST_F(DefaultPrinterTest, Windows2000AndLaterUseSetDefaultPrinter) {
    Install("winxp");
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 1);
    EXPECT_EQ(m.spooler.DefaultPrinter(), "MTR-C30(S)");
    EXPECT_EQ(m.system.broadcasts, Log{"<null>"});
    EXPECT_EQ(MakeDefaultPrinter(P(), "Unknown"), 0);
}

TEST_F(DefaultPrinterTest, Windows2000WithoutTheExportChangesNothing) {
    Install("win2k");
    m.spooler.hasSetDefaultPrinter = false;
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 0);
    EXPECT_EQ(m.spooler.DefaultPrinter(), "");
    EXPECT_TRUE(m.system.broadcasts.empty());
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(DefaultPrinterTest, Nt4WritesTheDeviceEntry) {
    Install("nt40");
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 1);
    char buf[200];
    m.system.GetProfileStringA("windows", "device", "", buf, sizeof buf);
    EXPECT_STREQ(buf, "MTR-C30(S),KR Driver,COM1:");
    EXPECT_EQ(m.system.broadcasts, Log{"<null>"});
    EXPECT_EQ(m.spooler.OpenHandleCount(), 0u);
}

TEST_F(DefaultPrinterTest, Windows98SetsTheDefaultAttribute) {
    Install("win98");
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 1);
    EXPECT_EQ(m.spooler.printers["MTR-C30(S)"].Attributes & 4u, 4u);
    EXPECT_EQ(m.spooler.DefaultPrinter(), "MTR-C30(S)");
    EXPECT_EQ(m.system.broadcasts, Log{"windows"});
    EXPECT_EQ(m.spooler.OpenHandleCount(), 0u);
}

// The driver keeps private bytes after a public part of its own size; the
// default attribute must not cost them.
TEST_F(DefaultPrinterTest, Windows98KeepsTheDriversOwnDeviceModeBytes) {
    Install("win98");
    std::vector<std::uint8_t> block(156 + 20);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7 + 1);
    block[36] = 156;  // dmSize
    block[37] = 0;
    block[38] = 20;  // dmDriverExtra
    block[39] = 0;
    sys::PrinterInfo2& held = m.spooler.printers["MTR-C30(S)"];
    sys::ReadDevModeBlock(held, block.data(), block.size());
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 1);
    const sys::PrinterInfo2& after = m.spooler.printers["MTR-C30(S)"];
    EXPECT_EQ(after.Attributes & 4u, 4u);
    EXPECT_EQ(after.devModeBytes, block);
}

TEST_F(DefaultPrinterTest, FailuresGiveZeroSilently) {
    Install("win98");
    m.faults.Fail("SetPrinterA", 5);
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 0);
    m.faults.Fail("GetPrinterA", 5);
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 0);
    m.faults.Fail("GetVersionExA", 1);
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 0);
    EXPECT_EQ(MakeDefaultPrinter(P(), nullptr), 0);
    EXPECT_TRUE(m.messages.shown.empty());
    EXPECT_TRUE(m.system.broadcasts.empty());
    EXPECT_EQ(m.spooler.OpenHandleCount(), 0u);
    m.system.version.platformId = 3;
    EXPECT_EQ(MakeDefaultPrinter(P(), "MTR-C30(S)"), 1);
}

TEST_F(PrintSystemTest, ProbePortsReportsWhatFails) {
    EXPECT_TRUE(ProbePorts(P()));
    m.faults.Fail("EnumPortsA", 8);
    EXPECT_FALSE(ProbePorts(P()));
    m.faults.Fail("EnumPortsA", 5, 2);
    EXPECT_FALSE(ProbePorts(P()));
    EXPECT_EQ(m.messages.Log(), (Log{"104", "125"}));
}

}  // namespace
