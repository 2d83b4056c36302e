// What the file calls answer when driver files are copied into place: the
// behaviour the copy step and its rename fallback rely on.  Run against the
// simulated machine and under Wine.
#include <gtest/gtest.h>

#include <string>

#include "common/TestMachine.h"

namespace {

class FilesContract : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine = TestMachine::Create();
        m_dir = m_machine->TempDir();
        m_machine->WriteFile(m_dir + "\\src.dll", "new driver");
    }
    sys::IFiles& files() { return m_machine->platform().files; }
    bool Copy(const std::string& from, const std::string& to, bool failIfExists = false) {
        m_error = 12345;
        return files().Copy(from.c_str(), to.c_str(), failIfExists, &m_error);
    }

    std::unique_ptr<TestMachine> m_machine;
    std::string m_dir;
    std::uint32_t m_error = 0;
};

TEST_F(FilesContract, DirectoryQueriesAnswerLengthOrSizeNeeded) {
    char buf[512];
    std::uint32_t error = 0;
    std::uint32_t n = files().WindowsDirectory(buf, sizeof buf, &error);
    ASSERT_GT(n, 2u);
    EXPECT_EQ(std::string(buf).size(), n);
    const std::string windows = buf;
    n = files().SystemDirectory(buf, sizeof buf, &error);
    ASSERT_GT(n, windows.size());
    EXPECT_EQ(std::string(buf).compare(0, windows.size(), windows), 0) << buf;
    char tiny[3];
    EXPECT_EQ(files().WindowsDirectory(tiny, sizeof tiny, &error), windows.size() + 1);
    n = files().CurrentDirectory(buf, sizeof buf, &error);
    ASSERT_GT(n, 1u);
    EXPECT_EQ(files().CurrentDirectory(tiny, sizeof tiny, &error), n + 1);
}

TEST_F(FilesContract, CopyReplacesAnExistingFileWithTheSameBytes) {
    m_machine->WriteFile(m_dir + "\\dst.dll", "old driver, longer than the new one");
    ASSERT_TRUE(Copy(m_dir + "\\src.dll", m_dir + "\\dst.dll"));
    EXPECT_EQ(m_machine->ReadFile(m_dir + "\\dst.dll"), "new driver");
}

TEST_F(FilesContract, FailIfExistsGivesFileExists) {
    m_machine->WriteFile(m_dir + "\\dst.dll", "old");
    EXPECT_FALSE(Copy(m_dir + "\\src.dll", m_dir + "\\dst.dll", true));
    EXPECT_EQ(m_error, sys::kErrorFileExists);
    EXPECT_EQ(m_machine->ReadFile(m_dir + "\\dst.dll"), "old");
}

TEST_F(FilesContract, AReadOnlyDestinationIsRefusedUntilItsAttributesAreReset) {
    m_machine->WriteFile(m_dir + "\\ro.dll", "old");
    std::uint32_t error = 0;
    ASSERT_TRUE(files().SetAttributes((m_dir + "\\ro.dll").c_str(),
                                      sys::kFileAttributeReadOnly | sys::kFileAttributeHidden, &error));
    const bool copied = Copy(m_dir + "\\src.dll", m_dir + "\\ro.dll");
    if (m_machine->IsSimulated()) {
        EXPECT_FALSE(copied);
        EXPECT_EQ(m_error, sys::kErrorAccessDenied);
    } else {
        // Windows refuses with ERROR_ACCESS_DENIED.  Wine keeps the read-only
        // attribute as the Unix file mode, which root (the test machines'
        // user) may write through, so under Wine the copy may go through.
        if (!copied) {
            EXPECT_EQ(m_error, sys::kErrorAccessDenied);
        }
    }
    ASSERT_TRUE(files().SetAttributes((m_dir + "\\ro.dll").c_str(), sys::kFileAttributeArchive, &error));
    EXPECT_EQ(files().GetAttributes((m_dir + "\\ro.dll").c_str(), &error), sys::kFileAttributeArchive);
    EXPECT_TRUE(Copy(m_dir + "\\src.dll", m_dir + "\\ro.dll"));
    EXPECT_EQ(m_machine->ReadFile(m_dir + "\\ro.dll"), "new driver");
}

TEST_F(FilesContract, AFileHeldOpenWithoutSharingGivesASharingViolation) {
    m_machine->WriteFile(m_dir + "\\busy.dll", "loaded");
    m_machine->HoldOpen(m_dir + "\\busy.dll");
    EXPECT_FALSE(Copy(m_dir + "\\src.dll", m_dir + "\\busy.dll"));
    EXPECT_EQ(m_error, sys::kErrorSharingViolation);
    // The rename fallback: the same file under another name next to it.
    EXPECT_TRUE(Copy(m_dir + "\\src.dll", m_dir + "\\nbusy.dll"));
    // Opening with no access rights, the installer's existence test, is not
    // stopped by the other handle's sharing mode.
    std::uint32_t error = 0;
    EXPECT_TRUE(files().OpenExisting((m_dir + "\\busy.dll").c_str(), &error));
}

TEST_F(FilesContract, MissingSourceOrFolderIsReportedAsSuch) {
    EXPECT_FALSE(Copy(m_dir + "\\absent.dll", m_dir + "\\dst.dll"));
    EXPECT_EQ(m_error, sys::kErrorFileNotFound);
    EXPECT_FALSE(Copy(m_dir + "\\src.dll", m_dir + "\\no folder\\dst.dll"));
    EXPECT_EQ(m_error, sys::kErrorPathNotFound);
    EXPECT_EQ(m_machine->ReadFile(m_dir + "\\dst.dll"), "<missing>");
}

TEST_F(FilesContract, AttributesAndOpeningOfMissingFiles) {
    std::uint32_t error = 0;
    EXPECT_FALSE(files().SetAttributes((m_dir + "\\absent.dll").c_str(), sys::kFileAttributeArchive, &error));
    EXPECT_EQ(error, sys::kErrorFileNotFound);
    EXPECT_FALSE(files().SetAttributes((m_dir + "\\nowhere\\absent.dll").c_str(), sys::kFileAttributeArchive, &error));
    EXPECT_EQ(error, sys::kErrorPathNotFound);
    EXPECT_EQ(files().GetAttributes((m_dir + "\\absent.dll").c_str(), &error), sys::kInvalidFileAttributes);
    EXPECT_EQ(error, sys::kErrorFileNotFound);
    EXPECT_FALSE(files().OpenExisting((m_dir + "\\absent.dll").c_str(), &error));
    EXPECT_EQ(error, sys::kErrorFileNotFound);
    EXPECT_TRUE(files().OpenExisting((m_dir + "\\src.dll").c_str(), &error));
    EXPECT_NE(files().GetAttributes(m_dir.c_str(), &error) & sys::kFileAttributeDirectory, 0u);
}

TEST_F(FilesContract, ASecondByteOf5CIsPartOfTheFileName) {
    // "昞Q5.DLL" begins with the bytes 95 5C: one character, no folder "\x95".
    const std::string name = m_dir + "\\\x95\x5CQ5.DLL";
    ASSERT_TRUE(Copy(m_dir + "\\src.dll", name)) << m_error;
    EXPECT_EQ(m_machine->ReadFile(name), "new driver");
    std::uint32_t error = 0;
    const std::uint32_t attributes = files().GetAttributes(name.c_str(), &error);
    ASSERT_NE(attributes, sys::kInvalidFileAttributes) << error;
    EXPECT_EQ(attributes & sys::kFileAttributeDirectory, 0u);
    // Copied again over itself under the same name: one file, not a folder.
    ASSERT_TRUE(Copy(m_dir + "\\src.dll", name)) << m_error;
    EXPECT_TRUE(files().OpenExisting(name.c_str(), &error)) << error;
}

// What the installation log is written with: appends, and the refusals it
// must survive.
TEST_F(FilesContract, AppendCreatesThenAppendsAndReportsWhatStopsIt) {
    const std::string log = m_dir + "\\Instalix.log";
    std::uint32_t error = 12345;
    ASSERT_TRUE(files().AppendFile(log.c_str(), "one\r\n", &error)) << error;
    ASSERT_TRUE(files().AppendFile(log.c_str(), std::string("two\0\r\n", 6), &error)) << error;
    EXPECT_EQ(m_machine->ReadFile(log), std::string("one\r\ntwo\0\r\n", 11));
    EXPECT_FALSE(files().AppendFile((m_dir + "\\no folder\\x.log").c_str(), "x", &error));
    EXPECT_EQ(error, sys::kErrorPathNotFound);
    EXPECT_FALSE(files().AppendFile(m_dir.c_str(), "x", &error));
    EXPECT_EQ(error, sys::kErrorAccessDenied);
    m_machine->HoldOpen(m_dir + "\\src.dll");
    EXPECT_FALSE(files().AppendFile((m_dir + "\\src.dll").c_str(), "x", &error));
    EXPECT_EQ(error, sys::kErrorSharingViolation);

    char temp[300] = {};
    const std::uint32_t n = files().TempPath(temp, sizeof temp, &error);
    ASSERT_GT(n, 3u);
    ASSERT_LT(n, sizeof temp);
    EXPECT_EQ(temp[n - 1], '\\') << temp;
    EXPECT_NE(files().GetAttributes(temp, &error) & sys::kFileAttributeDirectory, 0u) << temp;
    const sys::SystemTime t = m_machine->platform().system.GetLocalTime();
    EXPECT_GE(t.year, 2000);
    EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour < 24) << t.month << t.day;
}

}  // namespace
