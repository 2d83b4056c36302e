// What the simulated machine adds to Windows: failure injection and mounted
// host folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "sys/RegistryKey.h"
#include "sys/sim/SimMachine.h"

TEST(SimMachine, FaultsFailTheChosenNumberOfCalls) {
    sys::sim::SimMachine m;
    m.faults.Fail("RegOpenKeyExA", 5, 2);
    RegistryKey key(m.registry);
    EXPECT_FALSE(key.Open(sys::kHKeyLocalMachine, ""));
    EXPECT_FALSE(key.Open(sys::kHKeyLocalMachine, ""));
    EXPECT_TRUE(key.Open(sys::kHKeyLocalMachine, ""));
    m.faults.Fail("RegSetValueExA", 5, -1);
    EXPECT_FALSE(key.SetDWORD("a", 1));
    EXPECT_FALSE(key.SetDWORD("a", 1));
    m.faults.Clear();
    EXPECT_TRUE(key.SetDWORD("a", 1));
}

TEST(SimMachine, AFailedProfileReadGivesTheDefault) {
    sys::sim::SimMachine m;
    m.fs.WriteFile("C:\\a.ini", "[S]\r\nk=v\r\n");
    m.faults.Fail("GetPrivateProfileStringA", 5);
    char buf[8];
    EXPECT_EQ(m.profile.GetPrivateString("S", "k", "0", buf, 8, "C:\\a.ini"), 1u);
    EXPECT_STREQ(buf, "0");
    EXPECT_EQ(m.profile.GetPrivateString("S", "k", "0", buf, 8, "C:\\a.ini"), 1u);
    EXPECT_STREQ(buf, "v");
}

TEST(SimMachine, RegistryHandlesAreReleasedAndDirectAccessSeesWrites) {
    sys::sim::SimMachine m;
    {
        ASSERT_TRUE(RegistryKey::CreateKey(m.registry, sys::kHKeyLocalMachine, "SOFTWARE\\KORVALE\\PORTNAME\\"));
        RegistryKey key(m.registry, sys::kHKeyLocalMachine, "SOFTWARE\\KORVALE\\PORTNAME\\");
        ASSERT_TRUE(key.SetDWORD("USB_MTR-Q5_3", 6));
        EXPECT_EQ(m.registry.OpenHandleCount(), 1u);
    }
    EXPECT_EQ(m.registry.OpenHandleCount(), 0u);
    std::uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(m.registry.ReadValue("HKLM\\software\\korvale\\portname", "usb_mtr-q5_3", &type, &data));
    EXPECT_EQ(type, sys::kRegDword);
    EXPECT_EQ(data, std::string("\x06\0\0\0", 4));
}

TEST(SimMachine, AHandleToADeletedKeyReportsIt) {
    sys::sim::SimMachine m;
    sys::RegHandle h = 0;
    ASSERT_EQ(m.registry.CreateKey(sys::kHKeyLocalMachine, "A\\B", nullptr, &h), 0);
    EXPECT_EQ(m.registry.DeleteKey(sys::kHKeyLocalMachine, "A"), 5);
    ASSERT_EQ(m.registry.DeleteKey(sys::kHKeyLocalMachine, "A\\B"), 0);
    EXPECT_EQ(m.registry.SetValue(h, "x", sys::kRegDword, "\0\0\0\0", 4), sys::kErrorKeyDeleted);
    EXPECT_EQ(m.registry.CloseKey(h), 0);
    EXPECT_EQ(m.registry.CloseKey(h), sys::kErrorInvalidHandle);
}

TEST(SimMachine, MountedHostFolderIsReadWithoutRegardToCase) {
    sys::sim::SimMachine m;
    m.fs.Mount("D:\\", INSTALIX_PACKAGE_DIR);
    std::string text;
    ASSERT_TRUE(m.fs.ReadFile("d:\\drvconfig\\SETUP.INI", &text));
    EXPECT_NE(text.find("[DEVICENAME]"), std::string::npos);
    EXPECT_TRUE(m.fs.Exists("D:\\DRVCONFIG\\setup_Lable.ini"));
    EXPECT_FALSE(m.fs.Exists("D:\\DRVCONFIG\\nothing.ini"));
    // A write lands in memory and hides the host file.
    m.fs.WriteFile("D:\\DRVCONFIG\\setup.ini", "replaced");
    ASSERT_TRUE(m.fs.ReadFile("D:\\DRVCONFIG\\setup.ini", &text));
    EXPECT_EQ(text, "replaced");
}

// The profile reader keeps a parsed file: a host file changed on disk, or
// a file replaced in memory, must still be read anew.
TEST(SimMachine, TheProfileReaderSeesAChangedHostFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("instalix-profile-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto put = [&](const std::string& text) { std::ofstream(dir / "a.ini", std::ios::binary) << text; };
    put("[S]\r\nv=one\r\n");
    sys::sim::SimMachine m;
    m.fs.Mount("D:\\", dir.string());
    char buf[32];
    EXPECT_EQ(m.profile.GetPrivateString("S", "v", "", buf, sizeof buf, "D:\\a.ini"), 3u);
    EXPECT_STREQ(buf, "one");
    put("[S]\r\nv=three\r\n");
    EXPECT_EQ(m.profile.GetPrivateString("S", "v", "", buf, sizeof buf, "D:\\a.ini"), 5u);
    EXPECT_STREQ(buf, "three");
    m.fs.WriteFile("D:\\a.ini", "[S]\r\nv=mem\r\n");
    EXPECT_EQ(m.profile.GetPrivateString("S", "v", "", buf, sizeof buf, "D:\\a.ini"), 3u);
    EXPECT_STREQ(buf, "mem");
    m.fs.RemoveFile("D:\\a.ini");
    std::filesystem::remove_all(dir);
    EXPECT_EQ(m.profile.GetPrivateString("S", "v", "gone", buf, sizeof buf, "D:\\a.ini"), 4u);
}

TEST(SimMachine, PathsResolveDotsAndRelativeNames) {
    sys::sim::SimMachine m;
    m.fs.currentDir = "E:\\Setup";
    EXPECT_EQ(m.fs.FullPath("win98\\A.DLL"), "E:\\Setup\\win98\\A.DLL");
    EXPECT_EQ(m.fs.FullPath("\\x\\..\\y\\.\\z"), "E:\\y\\z");
    EXPECT_EQ(m.fs.FullPath("c:/a//b"), "C:\\a\\b");
}
