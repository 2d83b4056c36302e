// Bringing port monitors and the print processor up to date on the
// simulated machine.
#include <gtest/gtest.h>

#include "install/ComponentUpdates.h"
#include "sys/sim/SimMachine.h"

namespace {

using Log = std::vector<std::string>;

// Where the spooler keeps its monitors and print processors.
const std::string kMonitors = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
const std::string kNtProcessors =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\";
const std::string k98Processors =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows 4.0\\Print Processors\\";

class ComponentUpdatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.SetWindows("winxp");
        m.files.programPath = "D:\\setup.exe";
        m.fs.currentDir = "E:\\";
        Config(7, 5, 3);
        for (const char* f : {"KRCOMMON.DLL", "KRCOMUI.DLL", "KRUSBMON.DLL", "KRUSBUI.DLL", "KRPRINT.DLL"})
            m.fs.WriteFile(std::string("E:\\winnt\\") + f, f);
    }
    void Config(int comVersion, int usbVersion, int processorVersion) {
        const std::string monitors = "COMMONitorPName=KR Serial\r\nCOMMONitorPDLLName=KRCOMMON.DLL\r\n"
                                     "COMMONitorPUIDLLName=KRCOMUI.DLL\r\nCOMMONitorVersion=" +
                                     std::to_string(comVersion) +
                                     "\r\nUSBMONitorPName=KR USB\r\nUSBMONitorPDLLName=KRUSBMON.DLL\r\n"
                                     "USBMONitorPUIDLLName=KRUSBUI.DLL\r\nUSBMONitorVersion=" +
                                     std::to_string(usbVersion) + "\r\n";
        m.fs.WriteFile("D:\\DRVCONFIG\\setup.ini", "[Version]\r\nDriverVersion=" + std::to_string(processorVersion) +
                                                       "\r\n[COMMON-MONITOR.XP]\r\n" + monitors +
                                                       "[COMMON-MONITOR.NT]\r\n" + monitors +
                                                       "[COMMON-MONITOR.98]\r\n" + monitors);
    }
    int Monitors(const std::string& port, TargetSystem t = TargetSystem::WinXP) {
        return UpdatePortMonitors(m.platform(), PrinterClass::Receipt, t, port);
    }
    std::string Hklm(const std::string& key) { return "HKLM\\" + key; }
    long long Version(const std::string& key) {
        std::string data;
        if (!m.registry.ReadValue(Hklm(key), "DriverVersion", nullptr, &data) || data.size() != 4) return -1;
        return static_cast<unsigned char>(data[0]) | static_cast<unsigned char>(data[1]) << 8;
    }
    void Record(const std::string& key, std::uint32_t version) {
        m.registry.WriteValue(Hklm(key), "DriverVersion", sys::kRegDword,
                              std::string(reinterpret_cast<const char*>(&version), 4));
    }

    sys::sim::SimMachine m;
};

TEST_F(ComponentUpdatesTest, AMissingSerialMonitorIsInstalledAndItsVersionRecorded) {
    EXPECT_EQ(Monitors("KRCOM1:"), 0);
    EXPECT_TRUE(m.fs.Exists(m.fs.systemDir + "\\KRCOMMON.DLL"));
    EXPECT_TRUE(m.fs.Exists(m.fs.systemDir + "\\KRCOMUI.DLL"));
    EXPECT_EQ(m.spooler.monitors["KR SERIAL"], "KRCOMMON.DLL");
    EXPECT_EQ(Version(kMonitors + "KR Serial"), 7);
    EXPECT_TRUE(m.spooler.monitors.count("KR USB") == 0);
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(ComponentUpdatesTest, InstalledMonitorsAreComparedByVersion) {
    Record(kMonitors + "KR Serial", 7);
    EXPECT_EQ(Monitors("COM1:"), 0);
    Record(kMonitors + "KR Serial", 6);
    EXPECT_EQ(Monitors("COM1:"), 1);  // SerialMonitorOutdated
    Record(kMonitors + "KR USB", 4);
    EXPECT_EQ(Monitors("USB_MTR-Q5_1"), 2);  // UsbMonitorOutdated
    EXPECT_TRUE(m.files.copies.empty());
}

TEST_F(ComponentUpdatesTest, AKeyWithoutVersionCountsAsOutdatedEvenAgainstZero) {
    Config(0, 0, 0);
    m.registry.WriteValue(Hklm(kMonitors + "KR Serial"), "Driver", sys::kRegSz, std::string("x\0", 2));
    EXPECT_EQ(Monitors("COM2:"), 1);
}

TEST_F(ComponentUpdatesTest, PortsAndFamiliesThatNeedNoMonitor) {
    EXPECT_EQ(Monitors("LPT1:"), 0);
    EXPECT_EQ(Monitors("COM1:", TargetSystem::Win98Me), 0);
    EXPECT_EQ(Monitors("USB_MTR-Q5_1", TargetSystem::WinNT), 0);
    EXPECT_TRUE(m.spooler.monitors.empty());
    EXPECT_TRUE(m.files.copies.empty());
}

TEST_F(ComponentUpdatesTest, ABusyMonitorDllIsInstalledUnderItsRenamedName) {
    m.fs.WriteFile(m.fs.systemDir + "\\KRUSBMON.DLL", "old, loaded");
    m.fs.HoldOpen(m.fs.systemDir + "\\KRUSBMON.DLL");
    EXPECT_EQ(Monitors("USB_MTR-Q5_2"), 0);
    EXPECT_TRUE(m.fs.Exists(m.fs.systemDir + "\\nKRUSBMON.DLL"));
    EXPECT_EQ(m.spooler.monitors["KR USB"], "nKRUSBMON.DLL");
}

TEST_F(ComponentUpdatesTest, AFailedMonitorAddAbortsWithMinus15) {
    m.faults.Fail("AddMonitorA", 5);
    EXPECT_EQ(Monitors("COM1:"), -15);
    EXPECT_EQ(m.messages.Log(), (Log{"T:5", "119"}));
    EXPECT_EQ(Version(kMonitors + "KR Serial"), -1);
}

TEST_F(ComponentUpdatesTest, EmptyOrPathLikeComponentNamesAreRefusedBeforeAnyKeyIsTouched) {
    const std::string monitors = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
    const std::string processors =
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors";
    const auto installedProcessors = m.spooler.processors;
    for (const std::string name : {"", "..\\..\\..\\Services\\X", "KR\\Serial"}) {
        SCOPED_TRACE("name \"" + name + "\"");
        m.messages.shown.clear();
        m.fs.WriteFile("D:\\DRVCONFIG\\setup.ini", "[Version]\r\nDriverVersion=3\r\n[COMMON-MONITOR.XP]\r\n"
                                                   "COMMONitorPName=" + name +
                                                       "\r\nCOMMONitorPDLLName=KRCOMMON.DLL\r\nCOMMONitorVersion=7\r\n");
        // As the spooler refuses an empty monitor name: the error and message 119.
        EXPECT_EQ(Monitors("COM1:"), -15);
        EXPECT_EQ(m.messages.Log(), (Log{"T:87", "119"}));
        EXPECT_TRUE(m.spooler.monitors.empty());
        EXPECT_FALSE(m.fs.Exists(m.fs.systemDir + "\\KRCOMMON.DLL"));

        m.messages.shown.clear();
        EXPECT_EQ(UpdatePrintProcessor(m.platform(), TargetSystem::WinXP, name, "KRPRINT.DLL"), -14);
        EXPECT_EQ(m.messages.Log(), Log{"123"});
        EXPECT_EQ(m.spooler.processors, installedProcessors);
    }
    EXPECT_EQ(Version(monitors), -1);
    EXPECT_EQ(Version(processors), -1);
    EXPECT_FALSE(m.registry.KeyExists(Hklm("SYSTEM\\CurrentControlSet\\Services\\X")));
    EXPECT_FALSE(m.registry.KeyExists(Hklm(monitors + "\\KR")));
    // A second byte of 0x5C inside a two-byte character is no separator.
    EXPECT_TRUE(IsComponentName("\x95\x5CPrint"));
    EXPECT_FALSE(IsComponentName("\x95\x5C\\Print"));
    EXPECT_TRUE(IsComponentName("KR Serial"));
}

TEST_F(ComponentUpdatesTest, WinPrintIsNeverTouchedButOtherSpellingsAre) {
    EXPECT_EQ(UpdatePrintProcessor(m.platform(), TargetSystem::WinXP, "WinPrint", "0"), 0);
    EXPECT_TRUE(m.system.waits.empty());
    // "winprint" is a processor of its own; the spooler already has one of
    // that name, and its key is missing: the installation stops.
    EXPECT_EQ(UpdatePrintProcessor(m.platform(), TargetSystem::WinXP, "winprint", "0"), -14);
    EXPECT_EQ(m.messages.Log(), Log{"123"});
}

TEST_F(ComponentUpdatesTest, AMissingProcessorIsInstalledWithItsVersion) {
    EXPECT_EQ(UpdatePrintProcessor(m.platform(), TargetSystem::WinXP, "KRPrint", "KRPRINT.DLL"), 0);
    EXPECT_TRUE(m.fs.Exists(m.spooler.processorDirectory + "\\KRPRINT.DLL"));
    EXPECT_EQ(Version(kNtProcessors + "KRPrint"), 3);
    EXPECT_EQ(m.system.waits, std::vector<std::uint32_t>{200});
    // Now installed and current; a newer package makes it outdated.
    EXPECT_EQ(UpdatePrintProcessor(m.platform(), TargetSystem::WinXP, "KRPrint", "KRPRINT.DLL"), 0);
    Config(7, 5, 4);
    EXPECT_EQ(UpdatePrintProcessor(m.platform(), TargetSystem::WinXP, "KRPrint", "KRPRINT.DLL"),
              8);  // ProcessorOutdated
}

TEST_F(ComponentUpdatesTest, Windows98ProcessorsLiveUnderTheWindows40Key) {
    m.SetWindows("win98");
    m.fs.WriteFile("E:\\win98\\KRPRT9X.DLL", "x");
    EXPECT_EQ(UpdatePrintProcessor(m.platform(), TargetSystem::Win98Me, "KRPrint", "KRPRT9X.DLL"), 0);
    EXPECT_EQ(Version(k98Processors + "KRPrint"), 3);
    EXPECT_EQ(Version(kNtProcessors + "KRPrint"), -1);
}

TEST_F(ComponentUpdatesTest, AFailedProcessorAddShowsTheMessageTwice) {
    m.faults.Fail("AddPrintProcessorA", 5);
    EXPECT_EQ(UpdatePrintProcessor(m.platform(), TargetSystem::WinXP, "KRPrint", "KRPRINT.DLL"), -14);
    EXPECT_EQ(m.messages.Log(), (Log{"123", "123"}));
}

}  // namespace
