// What the simulated machine adds to Windows: failure injection and mounted
// host folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

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

namespace {

namespace fs = std::filesystem;

// A host folder mounted as D:\ whose listings and files the reader keeps.
class MountedFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("instalix-mounted-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "Sub");
        Put("a.ini", "[S]\r\nv=one\r\n");
        Put("Sub/c.ini", "[S]\r\nv=sub\r\n");
        m.fs.Mount("D:\\", dir.string());
    }
    void TearDown() override { fs::remove_all(dir); }

    void Put(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary | std::ios::trunc) << text;
    }
    std::string Read(const char* file) {
        char buf[32];
        m.profile.GetPrivateString("S", "v", "none", buf, sizeof buf, file);
        return buf;
    }
    // Past the file system's time step, so that a kept listing or file is
    // trusted by its stat alone and every later change shows in the times.
    static void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(250)); }

    fs::path dir;
    sys::sim::SimMachine m;
};

}  // namespace

TEST_F(MountedFolder, AFileChangedAddedRemovedOrRenamedBetweenReadsIsSeen) {
    Settle();
    EXPECT_EQ(Read("D:\\A.INI"), "one");
    EXPECT_EQ(Read("D:\\b.ini"), "none");
    EXPECT_EQ(Read("D:\\sub\\C.ini"), "sub");

    Put("B.ini", "[S]\r\nv=added\r\n");
    EXPECT_EQ(Read("D:\\b.ini"), "added");

    Put("a.ini", "[S]\r\nv=three\r\n");
    EXPECT_EQ(Read("D:\\a.ini"), "three");

    fs::rename(dir / "Sub" / "c.ini", dir / "Sub" / "d.ini");
    EXPECT_EQ(Read("D:\\sub\\C.ini"), "none");
    EXPECT_EQ(Read("D:\\SUB\\d.ini"), "sub");

    fs::rename(dir / "Sub", dir / "Other");
    EXPECT_EQ(Read("D:\\sub\\d.ini"), "none");
    EXPECT_EQ(Read("D:\\other\\d.ini"), "sub");

    fs::remove(dir / "B.ini");
    EXPECT_EQ(Read("D:\\b.ini"), "none");
    EXPECT_FALSE(m.fs.Exists("D:\\b.ini"));
}

TEST_F(MountedFolder, AChangeOfTheSameSizeWithinTheSameSecondIsSeen) {
    // Both times within one second, a millisecond apart.
    const auto second = std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now()) -
                        std::chrono::seconds(30);
    const auto first = second + std::chrono::milliseconds(200);
    fs::last_write_time(dir / "a.ini", first);
    Settle();
    EXPECT_EQ(Read("D:\\a.ini"), "one");
    Put("a.ini", "[S]\r\nv=two\r\n");
    fs::last_write_time(dir / "a.ini", first + std::chrono::milliseconds(1));
    // Settled again, so that the times alone tell the change.
    Settle();
    EXPECT_EQ(Read("D:\\a.ini"), "two");
    // Put back with its old time, size and all: the file still changed.
    Put("a.ini", "[S]\r\nv=six\r\n");
    fs::last_write_time(dir / "a.ini", first + std::chrono::milliseconds(1));
    Settle();
    EXPECT_EQ(Read("D:\\a.ini"), "six");
}

TEST_F(MountedFolder, ReadingAnUnchangedFileAgainListsNoFolder) {
    Settle();
    EXPECT_EQ(Read("D:\\sub\\c.ini"), "sub");
    const std::uint64_t listed = m.fs.HostListings();
    EXPECT_GT(listed, 0u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Read("D:\\SUB\\c.INI"), "sub");
    EXPECT_TRUE(m.fs.Exists("d:\\sub\\c.ini"));
    EXPECT_EQ(m.fs.HostListings(), listed);
    // A name not there is looked up in the kept listings too.
    EXPECT_EQ(Read("D:\\sub\\none.ini"), "none");
    EXPECT_EQ(Read("D:\\sub\\none.ini"), "none");
    const std::uint64_t afterMissing = m.fs.HostListings();
    EXPECT_EQ(Read("D:\\sub\\none.ini"), "none");
    EXPECT_EQ(m.fs.HostListings(), afterMissing);
    // A file added to the folder makes it listed again.
    Put("Sub/none.ini", "[S]\r\nv=now\r\n");
    EXPECT_EQ(Read("D:\\sub\\none.ini"), "now");
    EXPECT_GT(m.fs.HostListings(), afterMissing);
}

TEST_F(MountedFolder, TheMachinesOwnWritesHideAndUncoverTheHostFile) {
    Settle();
    EXPECT_EQ(Read("D:\\a.ini"), "one");
    m.fs.WriteFile("D:\\A.ini", "[S]\r\nv=mem\r\n");
    EXPECT_EQ(Read("D:\\a.ini"), "mem");
    m.fs.RemoveFile("d:\\a.ini");
    EXPECT_EQ(Read("D:\\a.ini"), "one");
    // A copy into the mounted folder is read from memory; the host has none.
    std::uint32_t error = 0;
    ASSERT_TRUE(m.files.Copy("D:\\sub\\c.ini", "D:\\copy.ini", true, &error));
    EXPECT_EQ(Read("D:\\copy.ini"), "sub");
    EXPECT_FALSE(fs::exists(dir / "copy.ini"));
    m.fs.RemoveFile("D:\\copy.ini");
    EXPECT_EQ(Read("D:\\copy.ini"), "none");
}
