// What only the real system can show: the code page, the version each Wine
// prefix reports.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

TEST(Win32, TheAnsiCodePageIs936AndLiteralsAreGbk) {
    EXPECT_EQ(GetACP(), 936u);
    // "打印" compiled with -fexec-charset=GBK.
    EXPECT_STREQ("打印", "\xB4\xF2\xD3\xA1");
}

TEST(WineVersion, ThePrefixReportsItsWindowsVersion) {
    const char* expected = std::getenv("INSTALIX_EXPECT_WINVER");
    if (!expected) GTEST_SKIP() << "run through ctest with a chosen version";
    OSVERSIONINFOA v;
    std::memset(&v, 0, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(&v));
    std::string got = std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) + "/" +
                      std::to_string(v.dwPlatformId);
    std::string name = expected;
    const char* want = name == "win98"   ? "4.10/1"
                       : name == "nt40"  ? "4.0/2"
                       : name == "win2k" ? "5.0/2"
                       : name == "winxp" ? "5.1/2"
                                         : "5.2/2";
    EXPECT_EQ(got, want);
}
