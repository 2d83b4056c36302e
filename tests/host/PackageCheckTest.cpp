// The package checker's decisions that its broken-package cases do not pin
// down one by one: how a number reads, which file names the installer
// refuses, how names are compared, what counts as code page 936, and that
// its line scan finds the line the profile API reads.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "check/PackageCheck.h"
#include "config/ConfigInt.h"
#include "config/IniScan.h"
#include "install/StepController.h"
#include "sys/sim/SimMachine.h"

namespace {

using Form = ConfigIntText::Form;

TEST(ExamineConfigInt, ReadsWhatTheConversionReadsAndSaysWhatTheTextLooksLike) {
    struct Case {
        const char* text;
        Form form;
        std::int64_t number;
    };
    const Case cases[] = {
        {"9600", Form::Decimal, 9600},        {"  -17", Form::Decimal, -17},     {"+5", Form::Decimal, 5},
        {"007", Form::Decimal, 7},            {"", Form::Empty, 0},              {" \t", Form::Empty, 0},
        {"abc", Form::NoDigits, 0},           {"- 5", Form::NoDigits, 0},        {"+-5", Form::NoDigits, 0},
        {"0x1F", Form::Hexadecimal, 31},      {"-0X10", Form::Hexadecimal, -16}, {"0x", Form::TrailingText, 0},
        {"1.5", Form::TrailingText, 1},       {"9600 baud", Form::TrailingText, 9600},
        {"10x1", Form::TrailingText, 10},     {"4294967296", Form::Decimal, 4294967296LL},
    };
    for (const Case& c : cases) {
        const ConfigIntText t = ExamineConfigInt(c.text);
        EXPECT_EQ(t.value, ParseConfigInt(c.text)) << c.text;
        EXPECT_EQ(t.form, c.form) << c.text;
        EXPECT_EQ(t.number, c.number) << c.text;
        EXPECT_FALSE(t.huge) << c.text;
    }
    EXPECT_EQ(ExamineConfigInt("1.5").rest, ".5");
    const ConfigIntText huge = ExamineConfigInt("99999999999999999999");
    EXPECT_TRUE(huge.huge);
    EXPECT_EQ(huge.value, ParseConfigInt("99999999999999999999"));
}

std::string Judge(const char* value, IntField field) {
    std::optional<Finding> f = JudgeInteger("K", value, field);
    if (!f) return "-";
    return std::string(f->severity == Severity::Error ? "error: " : "warning: ") + f->text;
}

TEST(JudgeInteger, NumbersThatReadAsWrittenPassAndTheOthersSayWhatTheInstallerGets) {
    EXPECT_EQ(Judge("9600", IntField::Signed32), "-");
    EXPECT_EQ(Judge("+7", IntField::Signed32), "-");
    EXPECT_EQ(Judge("0x1F", IntField::Unsigned32),
              "error: K=0x1F is hexadecimal, which the installer does not read: it reads 0 (write 31)");
    EXPECT_EQ(Judge("on", IntField::Signed32), "error: K=on is not a decimal number: the installer reads 0");
    EXPECT_EQ(Judge("115,200", IntField::Signed32), "error: K=115,200: the installer reads 115 and ignores ',200'");
    EXPECT_EQ(Judge("", IntField::Bits16), "warning: K is empty: the installer reads 0");
}

TEST(JudgeInteger, TheRangeIsTheFieldsOwn) {
    // 32-bit ints: what does not fit wraps.
    EXPECT_EQ(Judge("2147483647", IntField::Signed32), "-");
    EXPECT_EQ(Judge("-2147483648", IntField::Signed32), "-");
    EXPECT_EQ(Judge("2147483648", IntField::Signed32),
              "error: K=2147483648 does not fit 32 bits: the installer reads -2147483648");
    // DWORD members take the whole unsigned range; a negative number is
    // stored as its two's complement.
    EXPECT_EQ(Judge("4294967295", IntField::Unsigned32), "-");
    EXPECT_EQ(Judge("4294967296", IntField::Unsigned32),
              "error: K=4294967296 does not fit 32 bits: the installer reads 0");
    EXPECT_EQ(Judge("-1", IntField::Unsigned32), "warning: K=-1 is negative: the field holds 4294967295");
    EXPECT_EQ(Judge("-2147483649", IntField::Unsigned32).substr(0, 6), "error:");
    // 16-bit device-mode members: signed or unsigned, the bits are kept.
    EXPECT_EQ(Judge("-32768", IntField::Bits16), "-");
    EXPECT_EQ(Judge("65535", IntField::Bits16), "-");
    EXPECT_EQ(Judge("65536", IntField::Bits16),
              "error: K=65536 does not fit 16 bits: the device mode keeps only the low 16 bits, 0");
    EXPECT_EQ(Judge("-32769", IntField::Bits16).substr(0, 6), "error:");
    EXPECT_EQ(Judge("99999999999999999999", IntField::Bits16).substr(0, 6), "error:");
}

TEST(FileNameProblem, OnlyBareNamesThatWindowsAcceptsPass) {
    for (const char* ok : {"DRV.DLL", "a b.hlp", "\xB4\xF2\xD3\xA1.DLL", "NO-EXT"})
        EXPECT_FALSE(FileNameProblem(ok)) << ok;
    // Names that would leave the family's folder, which the copy refuses,
    // also ".." inside a name.
    for (const char* out : {"..\\DRV.DLL", "..", "sub\\DRV.DLL", "sub/DRV.DLL", "\\DRV.DLL", "C:DRV.DLL",
                            "C:\\WINDOWS\\DRV.DLL", "A..B.DLL"}) {
        ASSERT_TRUE(FileNameProblem(out)) << out;
        EXPECT_NE(FileNameProblem(out)->find("not a bare file name"), std::string::npos) << out;
    }
    for (const char* bad : {"A*.DLL", "WHAT?.DLL", "A<B", "A|B", "\"Q\"", ".", "TAB\tNAME"}) {
        ASSERT_TRUE(FileNameProblem(bad)) << bad;
        EXPECT_EQ(*FileNameProblem(bad), "is not a valid file name") << bad;
    }
}

TEST(FindNoCase, LettersMatchWithoutCaseButTheSecondByteOfAChineseCharacterDoesNot) {
    const std::vector<PackageEntry> entries = {{"KRQ5.DLL", false}, {"ui.Dll", false}, {"\x81" "a.DLL", false}};
    EXPECT_EQ(FindNoCase(entries, "krq5.dll"), &entries[0]);
    EXPECT_EQ(FindNoCase(entries, "UI.DLL"), &entries[1]);
    EXPECT_EQ(FindNoCase(entries, "\x81" "a.dll"), &entries[2]);
    // 0x81 0x41 is another character than 0x81 0x61.
    EXPECT_EQ(FindNoCase(entries, "\x81" "A.DLL"), nullptr);
    EXPECT_EQ(FindNoCase(entries, "KRQ5.DL"), nullptr);
}

TEST(InvalidGbkAt, FindsTheFirstLeadByteWithoutItsTrailByte) {
    const auto npos = std::string_view::npos;
    EXPECT_EQ(InvalidGbkAt("plain ASCII =;[]"), npos);
    EXPECT_EQ(InvalidGbkAt("\xB4\xF2\xD3\xA1\xBB\xFA"), npos);  // 打印机
    EXPECT_EQ(InvalidGbkAt("x\x81\x40\xFE\xFE\x81\x7E\x81\x80"), npos);  // the edges of the trail range
    // 0x80 and 0xFF stand for themselves.
    EXPECT_EQ(InvalidGbkAt("ab\x80 \xFF"), npos);
    EXPECT_EQ(InvalidGbkAt("ab\x81 "), 2u);
    EXPECT_EQ(InvalidGbkAt("\xB4\xF2\xD3"), 2u);       // a lead byte at the end
    EXPECT_EQ(InvalidGbkAt("\xB4\x7F"), 0u);
    EXPECT_EQ(InvalidGbkAt("\xB4\x39"), 0u);
    EXPECT_EQ(InvalidGbkAt("\xB4\xFF"), 0u);
    // UTF-8 for 打 is E6 89 93: E6 89 is a pair, 93 then lacks its trail byte.
    EXPECT_EQ(InvalidGbkAt("\xE6\x89\x93"), 2u);
}

TEST(ScanIni, TheLineItFindsIsTheOneTheProfileApiReads) {
    // Repeated sections and keys, a line without '=', blanks, quotes, case,
    // comments, a key before any section, and all three kinds of line end.
    const std::string text =
        "early=0\r\n"
        "[Main]\r\n"
        "  Key = first \r\n"
        "key=second\r\n"
        "Hidden\r\n"
        "hidden=shown?\r\n"
        ";comment=x\r\n"
        "Quoted=\"a b\"\n"
        "Empty=\r"
        "[Other] ; trailing\r\n"
        "k=1\r\n"
        "[MAIN]\r\n"
        "Key=third\r\n"
        "Late=4\r\n"
        "[ Spaced ]\n"
        "x = y";
    const IniScan scan = ScanIni(text);
    sys::sim::SimMachine machine;
    machine.fs.WriteFile("C:\\t.ini", text);
    sys::IProfile& profile = machine.platform().profile;

    auto viaProfile = [&](const std::string& section, const std::string& key) {
        char buffer[64] = {};
        profile.GetPrivateString(section.c_str(), key.c_str(), "<none>", buffer, sizeof buffer, "C:\\t.ini");
        return std::string(buffer);
    };
    auto viaScan = [&](const std::string& section, const std::string& key) -> std::string {
        const IniSection* s = scan.Find(section);
        const IniKey* k = s ? IniScan::Find(*s, key) : nullptr;
        if (!k || !k->hasValue) return "<none>";
        const std::string& v = k->value;
        if (v.size() > 1 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            return v.substr(1, v.size() - 2);
        return v;
    };
    int asked = 0;
    for (const IniSection& s : scan.sections)
        for (const IniKey& k : s.keys)
            for (const std::string& section : {s.name, std::string("main"), std::string("other")}) {
                EXPECT_EQ(viaScan(section, k.name), viaProfile(section, k.name)) << "[" << section << "] " << k.name;
                ++asked;
            }
    EXPECT_GT(asked, 20);

    // And the lines it reports them on.
    const IniSection* main = scan.Find("main");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->line, 2);
    EXPECT_EQ(IniScan::Find(*main, "KEY")->line, 3);
    EXPECT_EQ(IniScan::Find(*scan.Find("spaced"), "x")->line, 16);
    EXPECT_EQ(scan.lines, 16);
}

std::vector<std::string> ProblemTexts(const std::string& text) {
    std::vector<std::string> out;
    for (const IniProblem& p : ScanIni(text).problems)
        out.push_back(std::to_string(p.line) + (p.error ? " E " : " W ") + p.text);
    return out;
}

TEST(ScanIni, SaysWhichRepeatedLineWins) {
    const std::vector<std::string> problems =
        ProblemTexts("[S]\r\na=1\r\nA=1\r\nb=1\r\nb=2\r\n[s]\r\n[T]\r\n[S]\r\nc=3\r\n");
    const std::vector<std::string> expected = {
        "3 W A appears again in [S]; the first one, at line 2, wins",
        "5 E b appears again in [S]; the first one, at line 4, wins",
        "6 W section [s] appears again; only the first one, at line 1, is read",
        "8 E section [S] appears again; only the first one, at line 1, is read: the keys below are never read",
    };
    EXPECT_EQ(problems, expected);
}

TEST(ScanIni, AFileWithAByteOrderMarkIsReportedOnceAndItsLinesStillFound) {
    // UTF-8: the converted text is fine for the profile API, so its lines
    // are not reported one by one.
    const IniScan utf8 = ScanIni("\xEF\xBB\xBF[S]\r\nk=\xE6\x89\x93\r\n");
    ASSERT_EQ(utf8.problems.size(), 1u);
    EXPECT_TRUE(utf8.problems[0].error);
    ASSERT_NE(utf8.Find("S"), nullptr);
    EXPECT_EQ(utf8.Find("S")->line, 1);
    // UTF-16: "[S]\r\nk=\u6253\r\n".
    const std::string utf16("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\x53\x62\r\0\n\0", 22);
    const IniScan wide = ScanIni(utf16);
    ASSERT_EQ(wide.problems.size(), 1u);
    ASSERT_NE(wide.Find("S"), nullptr);
    ASSERT_NE(IniScan::Find(*wide.Find("S"), "k"), nullptr);
    EXPECT_EQ(IniScan::Find(*wide.Find("S"), "k")->line, 2);
}

// The baud rates the checker accepts are the port page's list entries.
TEST(BaudListRates, AreTheEntriesOfThePortPagesBaudList) {
    std::ifstream in(std::string(INSTALIX_SOURCE_DIR) + "/res/make-dlginit.py");
    std::stringstream source;
    source << in.rdbuf();
    const std::string text = source.str();
    const std::size_t at = text.find("\"IDC_BAUD_LIST\"");
    ASSERT_NE(at, std::string::npos);
    const std::size_t open = text.find('[', at), close = text.find(']', at);
    ASSERT_LT(open, close);
    std::vector<int> listed;
    const std::string list = text.substr(open, close - open);
    const std::regex number("\"([0-9]+)\"");
    for (auto it = std::sregex_iterator(list.begin(), list.end(), number); it != std::sregex_iterator(); ++it)
        listed.push_back(std::stoi((*it)[1]));
    EXPECT_EQ(listed, (std::vector<int>{110, 300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200}));
    EXPECT_EQ(listed, BaudListRates());
}

}  // namespace
