// The wizard driver's script language: words and quotes, the check of every
// command's arguments before anything runs, and the conversions between the
// script's UTF-8 and the UTF-16 that window texts arrive in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Script.h"

using driver::Step;

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::string error;
    EXPECT_TRUE(driver::SplitWords(line, words, error)) << line << ": " << error;
    return words;
}

std::string SplitError(const std::string& line) {
    std::vector<std::string> words;
    std::string error;
    EXPECT_FALSE(driver::SplitWords(line, words, error)) << line;
    return error;
}

std::string ScriptError(const std::string& text) {
    std::vector<Step> steps;
    std::string error;
    EXPECT_FALSE(driver::ParseScript(text, steps, error)) << text;
    return error;
}

std::vector<Step> Script(const std::string& text) {
    std::vector<Step> steps;
    std::string error;
    EXPECT_TRUE(driver::ParseScript(text, steps, error)) << error;
    return steps;
}

std::u16string U16(const std::string& utf8) {
    std::u16string out;
    EXPECT_TRUE(driver::Utf8ToUtf16(utf8, out)) << utf8;
    return out;
}

bool Utf8Valid(const std::string& bytes) {
    std::u16string out;
    return driver::Utf8ToUtf16(bytes, out);
}

}  // namespace

TEST(WizardScript, WordsQuotesAndComments) {
    EXPECT_EQ(Words("  click   1 \t"), (std::vector<std::string>{"click", "1"}));
    EXPECT_EQ(Words("expect-text 1068 \"典型安装：安装默认的打印机驱动程序\""),
              (std::vector<std::string>{"expect-text", "1068", "典型安装：安装默认的打印机驱动程序"}));
    // A trailing blank survives only in quotes.
    EXPECT_EQ(Words("expect-text 1075 \"Windows Server 2003 \""),
              (std::vector<std::string>{"expect-text", "1075", "Windows Server 2003 "}));
    EXPECT_EQ(Words("answer \"a \\\"b\\\"\\n\\\\c\\t\" Yes"), (std::vector<std::string>{"answer", "a \"b\"\n\\c\t", "Yes"}));
    // Other backslashes are kept, so Windows paths need no doubling.
    EXPECT_EQ(Words("start \"Z:\\my dir\\instalix.exe\""), (std::vector<std::string>{"start", "Z:\\my dir\\instalix.exe"}));
    EXPECT_EQ(Words("start Z:\\m\\instalix.exe"), (std::vector<std::string>{"start", "Z:\\m\\instalix.exe"}));
    EXPECT_EQ(Words("expect-selected 1049 \"\""), (std::vector<std::string>{"expect-selected", "1049", ""}));
    EXPECT_EQ(Words("click 1 # Next"), (std::vector<std::string>{"click", "1"}));
    EXPECT_EQ(Words("text a#b \"#c\""), (std::vector<std::string>{"text", "a#b", "#c"}));
    EXPECT_TRUE(Words("   # only a comment").empty());
    EXPECT_TRUE(Words("").empty());
    EXPECT_EQ(SplitError("text \"open"), "unterminated quote");
    EXPECT_EQ(SplitError("text \"a\"b"), "a quoted word must be followed by a blank");
}

TEST(WizardScript, StepsKeepTheirLineNumbers) {
    const std::vector<Step> steps =
        Script("\xEF\xBB\xBF# a script\r\nstart Z:\\m\\instalix.exe Z:\\m\r\n\r\n  wait-window 安装打印机驱动程序 30\nclick 1057\n");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].line, 2);
    EXPECT_EQ(steps[0].command, "start");
    EXPECT_EQ(steps[0].args, (std::vector<std::string>{"Z:\\m\\instalix.exe", "Z:\\m"}));
    EXPECT_EQ(steps[1].line, 4);
    EXPECT_EQ(steps[1].args, (std::vector<std::string>{"安装打印机驱动程序", "30"}));
    EXPECT_EQ(steps[2].line, 5);
    EXPECT_EQ(steps[2].command, "click");
    EXPECT_TRUE(Script("").empty());
    EXPECT_EQ(Script("kill").size(), 1u);  // no newline at the end
}

TEST(WizardScript, BadLinesAreRefusedWithTheirNumber) {
    EXPECT_EQ(ScriptError("kill\nklick 1\n"), "line 2: unknown command \"klick\"");
    EXPECT_EQ(ScriptError("click\n"), "line 1: click takes 1 argument, not 0");
    EXPECT_EQ(ScriptError("\n\nselect 1049\n"), "line 3: select takes 2 arguments, not 1");
    EXPECT_EQ(ScriptError("answer a b c d\n"), "line 1: answer takes 2 to 3 arguments, not 4");
    EXPECT_EQ(ScriptError("kill now\n"), "line 1: kill takes 0 arguments, not 1");
    EXPECT_EQ(ScriptError("texts 1049\n"), "line 1: texts takes 0 arguments, not 1");
    EXPECT_EQ(ScriptError("click Next\n"), "line 1: click: \"Next\" is not a control id");
    EXPECT_EQ(ScriptError("expect-checked 1046 yes\n"), "line 1: expect-checked: \"yes\" is not 0 or 1");
    EXPECT_EQ(ScriptError("answer 143 Maybe\n"),
              "line 1: answer: \"Maybe\" is not a button (OK, Cancel, Yes, No, ... or its id)");
    EXPECT_EQ(ScriptError("answer 143 Yes soon\n"), "line 1: answer: \"soon\" is not seconds");
    EXPECT_EQ(ScriptError("key 1 VK_NOPE\n"), "line 1: key: \"VK_NOPE\" is not a virtual key");
    EXPECT_EQ(ScriptError("wait-exit -1\n"), "line 1: wait-exit: \"-1\" is not seconds");
    EXPECT_EQ(ScriptError("sysmenu about\n"), "line 1: sysmenu: \"about\" is not a number");
    EXPECT_EQ(ScriptError("text \"x\n"), "line 1: unterminated quote");
    EXPECT_EQ(ScriptError("note \xC3\x28\n"), "line 1: not UTF-8");
}

TEST(WizardScript, EveryCommandAcceptsItsDocumentedForm) {
    const char* lines[] = {
        "start Z:\\m\\instalix.exe",     "start /tmp/m/instalix.exe /tmp/m", "time-start a.exe \"Bare dialog\"",
        "time-start a.exe 安装 Z:\\m",    "wait-window 安装打印机驱动程序",       "wait-window x 2.5",
        "wait-exit",                      "wait-exit 30",                      "kill",
        "click -1/2",                     "select 1049 LPT1:",                 "key 1057 DOWN",
        "key 1 VK_F1",                    "sysmenu 0x10",                      "close",
        "text 1068",                      "expect-text 1 \"完成（&F）\"",        "expect-enabled 1067 0",
        "expect-visible 1069 1",          "expect-checked 1066 1",             "expect-list 1041 \"110|300\"",
        "expect-selected 1041 38400",     "expect-caption 安装打印机驱动程序",     "expect-focus 1",
        "answer 143 Yes",                 "answer 请先选择 OK 5",                "expect-no-box",
        "shot page1",                     "shot-screen all.png",               "shotdir /tmp/shots winxp-",
        "wait-idle",                      "wait-idle 0.5",                     "sleep 1",
        "note \"the serial run\"",       "texts",
    };
    for (const char* line : lines) {
        std::vector<Step> steps;
        std::string error;
        EXPECT_TRUE(driver::ParseScript(line, steps, error)) << line << ": " << error;
    }
}

TEST(WizardScript, Utf8AndUtf16RoundTrip) {
    const std::u16string caption = U16("安装打印机驱动程序");
    ASSERT_EQ(caption.size(), 9u);
    EXPECT_EQ(caption[0], 0x5B89);  // 安
    EXPECT_EQ(caption[8], 0x5E8F);  // 序
    EXPECT_EQ(driver::Utf16ToUtf8(caption), "安装打印机驱动程序");
    EXPECT_EQ(U16("A\xC3\xA9"), (std::u16string{u'A', 0x00E9}));
    EXPECT_EQ(U16("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));  // U+1F600 as a surrogate pair
    EXPECT_EQ(driver::Utf16ToUtf8(std::u16string{0xD83D, 0xDE00}), "\xF0\x9F\x98\x80");
    EXPECT_EQ(driver::Utf16ToUtf8(std::u16string{u'a', 0xD800, u'b'}), "a\xEF\xBF\xBD" "b");  // lone surrogate
    EXPECT_EQ(U16(""), u"");
    EXPECT_FALSE(Utf8Valid("\xC0\x80"));          // overlong NUL
    EXPECT_FALSE(Utf8Valid("\xE5\xAE"));          // cut short
    EXPECT_FALSE(Utf8Valid("\x80"));              // continuation alone
    EXPECT_FALSE(Utf8Valid("\xED\xA0\x80"));      // an encoded surrogate
    EXPECT_FALSE(Utf8Valid("\xF4\x90\x80\x80"));  // beyond U+10FFFF
    EXPECT_FALSE(Utf8Valid("\xB0\xB2\xD7\xB0"));  // GBK bytes, not UTF-8
}

TEST(WizardScript, OutputQuotesKeepOneLine) {
    EXPECT_EQ(driver::Quote("a\nb\r\tc\"d\\e"), "\"a\\nb\\r\\tc\\\"d\\\\e\"");
    EXPECT_EQ(driver::Quote(""), "\"\"");
    EXPECT_EQ(driver::Quote("驱动"), "\"驱动\"");
}

TEST(WizardScript, NumbersControlsButtonsAndKeys) {
    long long v = 0;
    EXPECT_TRUE(driver::ParseInteger("-1", v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(driver::ParseInteger("0x10", v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(driver::ParseInteger("65535", v));
    EXPECT_EQ(v, 65535);
    for (const char* bad : {"", "-", "0x", "12a", "1.5", "0xG"}) EXPECT_FALSE(driver::ParseInteger(bad, v)) << bad;

    driver::ControlRef ref;
    ASSERT_TRUE(driver::ParseControl("-1/2", ref));
    EXPECT_EQ(ref.id, -1);
    EXPECT_EQ(ref.index, 2);
    ASSERT_TRUE(driver::ParseControl("1049", ref));
    EXPECT_EQ(ref.id, 1049);
    EXPECT_EQ(ref.index, 0);
    for (const char* bad : {"1/0", "1/", "1/-2", "x", "/2", "70000"}) EXPECT_FALSE(driver::ParseControl(bad, ref)) << bad;
    EXPECT_EQ(driver::ControlIdBits(-1), 65535);
    EXPECT_EQ(driver::ControlIdBits(65535), 65535);
    EXPECT_EQ(driver::ControlIdBits(1049), 1049);

    int id = 0;
    ASSERT_TRUE(driver::ParseButton("yes", id));
    EXPECT_EQ(id, 6);
    ASSERT_TRUE(driver::ParseButton("No", id));
    EXPECT_EQ(id, 7);
    ASSERT_TRUE(driver::ParseButton("OK", id));
    EXPECT_EQ(id, 1);
    ASSERT_TRUE(driver::ParseButton("CANCEL", id));
    EXPECT_EQ(id, 2);
    ASSERT_TRUE(driver::ParseButton("1002", id));
    EXPECT_EQ(id, 1002);
    EXPECT_FALSE(driver::ParseButton("0", id));
    EXPECT_FALSE(driver::ParseButton("Maybe", id));
    EXPECT_EQ(driver::ButtonName(6), "Yes");
    EXPECT_EQ(driver::ButtonName(2), "Cancel");
    EXPECT_EQ(driver::ButtonName(1002), "1002");

    int vk = 0;
    struct Key {
        const char* name;
        int vk;
    };
    for (const Key& k : {Key{"VK_RETURN", 0x0D}, Key{"return", 0x0D}, Key{"ENTER", 0x0D}, Key{"VK_ESCAPE", 0x1B},
                         Key{"F1", 0x70}, Key{"vk_f12", 0x7B}, Key{"DOWN", 0x28}, Key{"up", 0x26}, Key{"TAB", 0x09},
                         Key{"SPACE", 0x20}, Key{"a", 'A'}, Key{"7", '7'}, Key{"0x0D", 0x0D}}) {
        ASSERT_TRUE(driver::ParseVirtualKey(k.name, vk)) << k.name;
        EXPECT_EQ(vk, k.vk) << k.name;
    }
    for (const char* bad : {"", "VK_NOPE", "F13", "0x100", "ab"}) EXPECT_FALSE(driver::ParseVirtualKey(bad, vk)) << bad;

    bool flag = false;
    EXPECT_TRUE(driver::ParseFlag("1", flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(driver::ParseFlag("0", flag));
    EXPECT_FALSE(flag);
    EXPECT_FALSE(driver::ParseFlag("2", flag));
    double s = 0;
    EXPECT_TRUE(driver::ParseSeconds("2.5", s));
    EXPECT_DOUBLE_EQ(s, 2.5);
    EXPECT_FALSE(driver::ParseSeconds("2s", s));
    EXPECT_FALSE(driver::ParseSeconds("-1", s));
}

TEST(WizardScript, ListsPathsAndBaseNames) {
    EXPECT_TRUE(driver::SplitList("").empty());
    EXPECT_EQ(driver::SplitList("LPT1:"), (std::vector<std::string>{"LPT1:"}));
    EXPECT_EQ(driver::SplitList("a|b||c"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(driver::WindowsPath("/tmp/m/instalix.exe"), "Z:\\tmp\\m\\instalix.exe");
    EXPECT_EQ(driver::WindowsPath("C:\\windows"), "C:\\windows");
    EXPECT_EQ(driver::WindowsPath("shots/a.png"), "shots/a.png");
    EXPECT_EQ(driver::BaseName("Z:\\m\\instalix.exe"), "instalix");
    EXPECT_EQ(driver::BaseName("/a/b.c.exe"), "b.c");
    EXPECT_EQ(driver::BaseName("C:instalix.exe"), "instalix");
    EXPECT_EQ(driver::BaseName("instalix"), "instalix");
}
