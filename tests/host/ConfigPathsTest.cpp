#include <gtest/gtest.h>

#include "config/ConfigPaths.h"
#include "config/ConfigReader.h"
#include "sys/sim/SimMachine.h"

TEST(ConfigPaths, ConfigurationLiesBesideTheProgram) {
    sys::sim::SimMachine m;
    m.files.programPath = "E:\\Drivers\\Setup\\instalix.exe";
    EXPECT_EQ(ProgramDirectory(m.files), "E:\\Drivers\\Setup\\");
    EXPECT_EQ(ConfigPath(m.files, kMainConfigName), "E:\\Drivers\\Setup\\DRVCONFIG\\setup.ini");
}

TEST(ConfigPaths, AProgramPathWithoutBackslashOrUnreadableGivesNoDirectory) {
    sys::sim::SimMachine m;
    m.files.programPath = "instalix.exe";
    EXPECT_EQ(ProgramDirectory(m.files), "");
    m.files.programPath = "D:\\instalix.exe";
    m.faults.Fail("GetModuleFileNameA", 5);
    EXPECT_EQ(ProgramDirectory(m.files), "");
}

TEST(ConfigPaths, ALongProgramPathIsReadWholeNotCut) {
    sys::sim::SimMachine m;
    std::string dir = "C:\\";
    while (dir.size() < 600) dir += "a very long folder name\\";
    m.files.programPath = dir + "instalix.exe";
    EXPECT_EQ(ProgramDirectory(m.files), dir);
    m.fs.WriteFile(dir + "DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nDEVICENUMBER=3\r\n");
    ConfigReader r(m.platform());
    EXPECT_EQ(r.MainFile(), dir + "DRVCONFIG\\setup.ini");
    EXPECT_EQ(r.ReadDeviceCount(), 3);
}

TEST(ConfigPaths, PathsExactlyAtTheBufferBoundaryAreWhole) {
    sys::sim::SimMachine m;
    for (std::size_t len : {258u, 259u, 260u, 261u, 519u, 520u}) {
        std::string path = "C:\\" + std::string(len - 3 - 6, 'x') + "\\a.exe";
        ASSERT_EQ(path.size(), len);
        m.files.programPath = path;
        EXPECT_EQ(ProgramDirectory(m.files), path.substr(0, len - 5)) << len;
    }
}

TEST(ConfigPaths, ClassFileNames) {
    EXPECT_STREQ(ClassConfigName(PrinterClass::Label), "DRVCONFIG\\setup_lable.ini");
    EXPECT_STREQ(ClassConfigNameMixedCase(PrinterClass::Ticket), "DRVCONFIG\\setup_Ticket.ini");
    EXPECT_EQ(ClassConfigName(static_cast<PrinterClass>(4)), nullptr);
    EXPECT_EQ(ClassConfigName(static_cast<PrinterClass>(-1)), nullptr);
}
