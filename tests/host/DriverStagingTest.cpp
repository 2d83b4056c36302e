// Copying driver files from the medium into the spooler's directories.
#include <gtest/gtest.h>

#include "spooler/DriverStaging.h"
#include "sys/sim/SimMachine.h"

namespace {

using Log = std::vector<std::string>;

class DriverStagingTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.SetWindows("winxp");
        m.fs.currentDir = "E:\\";
        for (const char* f : {"KRQ5.DLL", "UNIRES.DLL", "STDNAMES.GPD", "TTFSUB.GPD"})
            m.fs.WriteFile(std::string("E:\\winnt\\") + f, std::string("medium ") + f);
        m.fs.WriteFile("E:\\win98\\ICONLIB.DLL", "icons");
        m.fs.WriteFile("E:\\win98\\UNIDRV.DLL", "medium unidrv");
    }
    sys::Platform P() { return m.platform(); }
    std::string Driver(const std::string& f) { return m.spooler.driverDirectory + "\\" + f; }
    std::vector<std::string> Destinations() {
        std::vector<std::string> out;
        for (const auto& c : m.files.copies) out.push_back(c.second);
        return out;
    }

    sys::sim::SimMachine m;
};

TEST_F(DriverStagingTest, CopiesIntoEachDestination) {
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::DriverDir, TargetSystem::WinXP, false), 1);
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::DriverDirV3, TargetSystem::WinXP, false), 1);
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::ProcessorDir, TargetSystem::WinXP, false), 1);
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::SystemDir, TargetSystem::WinXP, true), 1);
    EXPECT_EQ(Destinations(), (Log{Driver("KRQ5.DLL"), Driver("3\\KRQ5.DLL"),
                                   m.spooler.processorDirectory + "\\KRQ5.DLL", m.fs.systemDir + "\\nKRQ5.DLL"}));
    EXPECT_EQ(m.files.copies[0].first, "E:\\winnt\\KRQ5.DLL");
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(DriverStagingTest, ANameWhoseSecondByteIs5CIsCopiedUnderThatName) {
    const std::string name = "\x95\x5CQ5.DLL";  // "昞Q5.DLL"
    m.fs.WriteFile("E:\\winnt\\" + name, "medium");
    EXPECT_EQ(CopyDriverFile(P(), name, CopyTarget::DriverDirV3, TargetSystem::WinXP, false), 1);
    std::string bytes;
    EXPECT_TRUE(m.fs.ReadFile(Driver("3\\" + name), &bytes));
    EXPECT_EQ(bytes, "medium");
    EXPECT_FALSE(m.fs.DirExists(Driver("3\\\x95")));
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(DriverStagingTest, ANameStartingWithZeroIsSkippedSilently) {
    EXPECT_EQ(CopyDriverFile(P(), "0", CopyTarget::DriverDir, TargetSystem::WinXP, false), 0);
    EXPECT_EQ(CopyDriverFile(P(), "0KRQ5.DLL", CopyTarget::DriverDir, TargetSystem::WinXP, false), 0);
    EXPECT_TRUE(m.files.copies.empty());
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(DriverStagingTest, AReadOnlyDestinationIsReplaced) {
    m.fs.WriteFile(Driver("KRQ5.DLL"), "old");
    m.fs.SetAttributes(Driver("KRQ5.DLL"), sys::kFileAttributeReadOnly | sys::kFileAttributeSystem);
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::DriverDir, TargetSystem::WinXP, false), 1);
    std::string bytes;
    m.fs.ReadFile(Driver("KRQ5.DLL"), &bytes);
    EXPECT_EQ(bytes, "medium KRQ5.DLL");
}

TEST_F(DriverStagingTest, ABusyDestinationIsLeftToTheCallersRenameFallback) {
    m.fs.WriteFile(Driver("KRQ5.DLL"), "loaded");
    m.fs.HoldOpen(Driver("KRQ5.DLL"));
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::DriverDir, TargetSystem::WinXP, false), 32);
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::DriverDir, TargetSystem::WinXP, true), 1);
    EXPECT_TRUE(m.fs.Exists(Driver("nKRQ5.DLL")));
    m.faults.Fail("CopyFileA", sys::kErrorAccessDenied);
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::DriverDir, TargetSystem::WinXP, true), 5);
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(DriverStagingTest, ACopyWithoutFallbackReportsABusyOrRefusedDestination) {
    m.fs.WriteFile(Driver("KRQ5.DLL"), "loaded");
    m.fs.HoldOpen(Driver("KRQ5.DLL"));
    EXPECT_EQ(CopyDriverFileReported(P(), "KRQ5.DLL", CopyTarget::DriverDir, TargetSystem::WinXP), 0);
    m.faults.Fail("CopyFileA", sys::kErrorAccessDenied);
    EXPECT_EQ(CopyDriverFileReported(P(), "UNIRES.DLL", CopyTarget::DriverDir, TargetSystem::WinXP), 0);
    EXPECT_EQ(m.messages.Log(), (Log{"T:E:\\winnt\\KRQ5.DLL", "122", "T:E:\\winnt\\UNIRES.DLL", "122"}));
    EXPECT_EQ(CopyDriverFileReported(P(), "UNIRES.DLL", CopyTarget::DriverDir, TargetSystem::WinXP), 1);
}

TEST_F(DriverStagingTest, AFileMissingOnTheMediumShowsItsPathThen122) {
    EXPECT_EQ(CopyDriverFile(P(), "GONE.DLL", CopyTarget::DriverDir, TargetSystem::WinServer2003, false), 0);
    EXPECT_EQ(m.messages.Log(), (Log{"T:E:\\win2003\\GONE.DLL", "122"}));
}

TEST_F(DriverStagingTest, NamesThatLeaveTheirFolderAreRefused) {
    for (const char* bad : {"..\\..\\WINDOWS\\evil.dll", "C:evil.dll", "sub/evil.dll", "..", ""}) {
        m.messages.shown.clear();
        EXPECT_EQ(CopyDriverFile(P(), bad, CopyTarget::DriverDir, TargetSystem::WinXP, false), 0) << bad;
        EXPECT_EQ(m.messages.Log(), (Log{"T:E:\\winnt\\" + std::string(bad), "122"})) << bad;
    }
    EXPECT_TRUE(m.files.copies.empty());
}

TEST_F(DriverStagingTest, DirectoryFailuresHaveTheirMessages) {
    m.faults.Fail("GetPrinterDriverDirectoryA", 5, 2);
    m.faults.Fail("GetPrintProcessorDirectoryA", 5);
    m.faults.Fail("GetSystemDirectoryA", 5);
    for (CopyTarget t : {CopyTarget::DriverDir, CopyTarget::DriverDirV3, CopyTarget::ProcessorDir, CopyTarget::SystemDir})
        EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", t, TargetSystem::WinXP, false), 0);
    m.faults.Fail("GetCurrentDirectoryA", 5);
    EXPECT_EQ(CopyDriverFile(P(), "KRQ5.DLL", CopyTarget::DriverDir, TargetSystem::WinXP, false), 0);
    EXPECT_EQ(m.messages.Log(), (Log{"108", "108", "109", "102", "107"}));
    EXPECT_TRUE(m.files.copies.empty());
}

TEST_F(DriverStagingTest, Windows98KeepsAnExistingUnidrv) {
    m.SetWindows("win98");
    m.fs.WriteFile(m.fs.systemDir + "\\UNIDRV.DLL", "system unidrv");
    StageUniversalDriver(P(), TargetSystem::Win98Me, 0);
    EXPECT_EQ(Destinations(), Log{Driver("ICONLIB.DLL")});
}

TEST_F(DriverStagingTest, Windows98RestoresUnidrvFromTheBackup) {
    m.SetWindows("win98");
    m.fs.WriteFile("C:\\WINDOWS\\Sysbckup\\UNIDRV.DLL", "backup unidrv");
    StageUniversalDriver(P(), TargetSystem::Win98Me, 0);
    EXPECT_EQ(Destinations(), (Log{Driver("ICONLIB.DLL"), m.fs.systemDir + "\\UNIDRV.DLL"}));
}

TEST_F(DriverStagingTest, Windows98WithoutAnyUnidrvTakesTheMediumsIntoTheDriverDirectory) {
    m.SetWindows("win98");
    StageUniversalDriver(P(), TargetSystem::Win98Me, 0);
    EXPECT_EQ(Destinations(), (Log{Driver("ICONLIB.DLL"), Driver("UNIDRV.DLL")}));
    EXPECT_FALSE(m.fs.Exists(m.fs.systemDir + "\\UNIDRV.DLL"));
}

TEST_F(DriverStagingTest, Windows98DirectoryFailures) {
    m.SetWindows("win98");
    m.faults.Fail("GetSystemDirectoryA", 5);
    StageUniversalDriver(P(), TargetSystem::Win98Me, 0);
    m.faults.Fail("GetWindowsDirectoryA", 5);
    StageUniversalDriver(P(), TargetSystem::Win98Me, 0);
    EXPECT_EQ(m.messages.Log(), (Log{"102", "126"}));
}

TEST_F(DriverStagingTest, TheDdkFlagCopiesSixSupportFilesOn2000AndLater) {
    StageUniversalDriver(P(), TargetSystem::WinXP, 1);
    EXPECT_EQ(Destinations(), (Log{Driver("3\\UNIRES.DLL"), Driver("3\\STDNAMES.GPD"), Driver("3\\TTFSUB.GPD"),
                                   Driver("TTFSUB.GPD"), Driver("STDNAMES.GPD"), Driver("UNIRES.DLL")}));
    m.files.copies.clear();
    StageUniversalDriver(P(), TargetSystem::WinXP, 0);
    StageUniversalDriver(P(), TargetSystem::WinNT, 1);
    EXPECT_TRUE(m.files.copies.empty());
}

}  // namespace

// A configured name is checked by code page 936 characters: "昞Q5.DLL"
// (bytes 95 5C ...) is a bare name whose second byte only looks like "\".
TEST(BareFileName, TwoByteCharactersAreWholeAndSeparatorsAreRefused) {
    EXPECT_TRUE(IsBareFileName("\x95\x5CQ5.DLL"));
    EXPECT_TRUE(IsBareFileName("KRQ5.DLL"));
    EXPECT_TRUE(IsBareFileName("\xB4\xF2"));
    for (const char* bad : {"", "..", "a..b", "sub\\KRQ5.DLL", "sub/KRQ5.DLL", "C:KRQ5.DLL", "\xB4\xF2\\x.dll",
                            "\\KRQ5.DLL"})
        EXPECT_FALSE(IsBareFileName(bad)) << bad;
    // A lone lead byte at the end takes nothing with it; a separator right
    // after a complete character is still one.
    EXPECT_TRUE(IsBareFileName("A\x95"));
    EXPECT_FALSE(IsBareFileName("\x95\x5C\\x"));
}
