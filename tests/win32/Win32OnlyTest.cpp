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

TEST(Win32, StringTableTextsComeBackInTheAnsiCodePage) {
    char text[256] = {};
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 116, text, sizeof text), 0);
    EXPECT_STREQ(text, "添加打印机错误");
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 114, text, sizeof text), 0);
    EXPECT_STREQ(text, "重新启动系统使设置生效\n点击“确定”立即重启系统\n点击\"否\"以后重启");
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 145, text, sizeof text), 0);
    EXPECT_STREQ(text, "此种打印机不支持WINDOWS SEVER 2003系统");
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
