// How GetPrivateProfileStringA reads a file: the rules the configuration
// readers rely on.  Run against the simulated machine and under Wine.
#include <gtest/gtest.h>

#include <string>

#include "common/TestMachine.h"

namespace {

class ProfileContract : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine = TestMachine::Create();
        m_file = m_machine->TempDir() + "\\test.ini";
    }

    void Write(const std::string& text) { m_machine->WriteFile(m_file, text); }

    // The value and the count returned, as "value|count".
    std::string Get(const char* section, const char* key, const char* def = "DEF", unsigned size = 256,
                    const std::string* file = nullptr) {
        std::string buffer(size + 1, '\x7f');
        unsigned n = m_machine->platform().profile.GetPrivateString(section, key, def, &buffer[0], size,
                                                                    (file ? *file : m_file).c_str());
        return std::string(buffer.c_str()) + "|" + std::to_string(n);
    }

    std::unique_ptr<TestMachine> m_machine;
    std::string m_file;
};

TEST_F(ProfileContract, SectionAndKeyNamesIgnoreCase) {
    Write("[Model.PORT]\r\nBaudRate=9600\r\n");
    EXPECT_EQ(Get("model.port", "BAUDRATE"), "9600|4");
    EXPECT_EQ(Get("MODEL.PORT", "baudrate"), "9600|4");
}

TEST_F(ProfileContract, BlanksAroundNamesAndValuesAreTrimmed) {
    Write("[  Sec  ]\r\n  Key \t=   two  words  \t\r\nTab=\tx\r\n");
    EXPECT_EQ(Get("Sec", "Key"), "two  words|10");
    EXPECT_EQ(Get(" Sec ", " Key "), "two  words|10");
    EXPECT_EQ(Get("Sec", "Tab"), "x|1");
}

TEST_F(ProfileContract, MatchingQuotesAroundAValueAreRemoved) {
    Write("[S]\r\ndq=\"quoted value\"\r\nsq='single'\r\none=\"open\r\nlone=\"\r\nempty=\"\"\r\nmixed=\"x'\r\n");
    EXPECT_EQ(Get("S", "dq"), "quoted value|12");
    EXPECT_EQ(Get("S", "sq"), "single|6");
    EXPECT_EQ(Get("S", "one"), "\"open|5");
    EXPECT_EQ(Get("S", "lone"), "\"|1");
    EXPECT_EQ(Get("S", "empty"), "|0");
    EXPECT_EQ(Get("S", "mixed"), "\"x'|3");
}

TEST_F(ProfileContract, SemicolonsAreNotInlineComments) {
    Write("[S]\r\na=1 ; note\r\n;hidden=yes\r\n");
    EXPECT_EQ(Get("S", "a"), "1 ; note|8");
    EXPECT_EQ(Get("S", ";hidden"), "yes|3");
}

TEST_F(ProfileContract, OnlyTheFirstSectionAndTheFirstKeyOfANameCount) {
    Write("[S]\r\na=1\r\na=2\r\n[Other]\r\nb=9\r\n[s]\r\na=3\r\nc=4\r\n");
    EXPECT_EQ(Get("S", "a"), "1|1");
    EXPECT_EQ(Get("S", "c"), "DEF|3");
    EXPECT_EQ(Get("Other", "b"), "9|1");
}

TEST_F(ProfileContract, MissingThingsGiveTheDefaultButAnEmptyValueDoesNot) {
    Write("[S]\r\nflag\r\nempty=\r\n");
    const std::string missing = m_machine->TempDir() + "\\missing.ini";
    EXPECT_EQ(Get("S", "x", "0", 256, &missing), "0|1");
    EXPECT_EQ(Get("Nope", "x", "0"), "0|1");
    EXPECT_EQ(Get("S", "x", "0"), "0|1");
    EXPECT_EQ(Get("S", "flag", "0"), "0|1");
    EXPECT_EQ(Get("S", "empty", "0"), "|0");
    EXPECT_EQ(Get("", "flag", "0"), "0|1");
    EXPECT_EQ(Get("S", "", "0"), "0|1");
}

TEST_F(ProfileContract, TheDefaultIsTrimmedAtTheEndAndMayBeNull) {
    Write("[S]\r\n");
    EXPECT_EQ(Get("S", "x", "a b  "), "a b|3");
    EXPECT_EQ(Get("S", "x", nullptr), "|0");
}

TEST_F(ProfileContract, AValueLongerThanTheBufferIsCut) {
    Write("[S]\r\nv=abcdef\r\n");
    EXPECT_EQ(Get("S", "v", "0", 7), "abcdef|6");
    EXPECT_EQ(Get("S", "v", "0", 4), "abc|3");
    EXPECT_EQ(Get("S", "v", "0", 1), "|0");
    EXPECT_EQ(Get("S", "missing", "default", 4), "def|3");
}

TEST_F(ProfileContract, LineEndingsAndLongLines) {
    const std::string longValue(3000, 'x');
    Write("[S]\ra=cr\rb=" + longValue + "\nc=lf\n");
    EXPECT_EQ(Get("S", "a"), "cr|2");
    EXPECT_EQ(Get("S", "c"), "lf|2");
    EXPECT_EQ(Get("S", "b", "0", 4000), longValue + "|3000");
}

TEST_F(ProfileContract, TwoByteCharactersAreReturnedAsStored) {
    // "打印机" in code page 936.
    const std::string gbk = "\xB4\xF2\xD3\xA1\xBB\xFA";
    Write("[S]\r\nname=" + gbk + "\r\n");
    EXPECT_EQ(Get("S", "name"), gbk + "|6");
}

TEST_F(ProfileContract, ACutNeverSplitsATwoByteCharacter) {
    // "AAAA打印": a buffer of 6 has room for five bytes, which would end on
    // the lead byte of "印".  The reader copies whole characters only and
    // puts the terminator last, so the count says 5 while the text is
    // "AAAA" followed by whatever the buffer held: the caller must take the
    // text to its first NUL.
    Write("[S]\r\nv=AAAA\xB4\xF2\xD3\xA1\r\n");
    const auto read = [&](unsigned size) {
        std::string buffer(size, '\0');
        const unsigned n = m_machine->platform().profile.GetPrivateString("S", "v", "0", &buffer[0], size,
                                                                          m_file.c_str());
        return std::string(buffer.c_str()) + "|" + std::to_string(n);
    };
    EXPECT_EQ(read(6), "AAAA|5");
    EXPECT_EQ(read(8), "AAAA\xB4\xF2|7");
    EXPECT_EQ(read(7), "AAAA\xB4\xF2|6");
    EXPECT_EQ(read(5), "AAAA|4");
    EXPECT_EQ(read(9), "AAAA\xB4\xF2\xD3\xA1|8");
}

TEST_F(ProfileContract, ANullKeyListsTheKeysAndANullSectionTheSections) {
    Write("[S]\r\nb=1\r\nA=2\r\nb=3\r\nnoequals\r\n;comment=4\r\n spaced key = 5\r\n[T]\r\nx=1\r\n"
          "[s]\r\nlater=6\r\n");
    // Each name ended by a NUL and the list by one more; the count covers
    // the names and their NULs.  A repeated key is listed each time, a line
    // without "=" and a line starting with ";" are not, and a later section
    // of the same name adds nothing.
    const auto list = [&](const char* section, unsigned size) {
        std::string buffer(size, '\x7f');
        const unsigned n = m_machine->platform().profile.GetPrivateString(section, nullptr, "D", &buffer[0], size,
                                                                          m_file.c_str());
        return std::string(buffer.data(), std::min<std::size_t>(size, n + 1)) + "|" + std::to_string(n);
    };
    EXPECT_EQ(list("S", 256), std::string("b\0A\0b\0spaced key\0\0|17", 21));
    EXPECT_EQ(list(nullptr, 256), std::string("S\0T\0s\0\0|6", 9));
    // Cut to the buffer's size less two bytes, and ended there.
    EXPECT_EQ(list("S", 8), std::string("b\0A\0b\0\0|6", 9));
    EXPECT_EQ(list("S", 3), std::string("b\0|1", 4));
    // A missing section gives the default.
    EXPECT_EQ(Get("none", nullptr, "D", 64), "D|1");
}

TEST_F(ProfileContract, ABareFileNameMeansTheWindowsDirectory) {
    const std::string name = "instalix-contract-" + std::to_string(reinterpret_cast<std::uintptr_t>(this) % 100000) +
                             ".ini";
    m_machine->WriteFile(m_machine->WindowsDir() + "\\" + name, "[S]\r\nk=windir\r\n");
    EXPECT_EQ(Get("S", "k", "0", 256, &name), "windir|6");
}

TEST_F(ProfileContract, FileNamesIgnoreCase) {
    const std::string dir = m_machine->TempDir();
    m_machine->WriteFile(dir + "\\SETUP_LABLE.INI", "[S]\r\nk=found\r\n");
    const std::string lower = dir + "\\setup_lable.ini";
    EXPECT_EQ(Get("S", "k", "0", 256, &lower), "found|5");
}

}  // namespace

namespace {

// Bytes that real packages hold and a text editor leaves: the reader must
// take them as the system's own reader does.
TEST_F(ProfileContract, ANulInsideALineEndsTheValue) {
    Write(std::string("[S]\r\nv=ab\0cd\r\nw=next\r\n", 22));
    EXPECT_EQ(Get("S", "v"), "ab|2");
    EXPECT_EQ(Get("S", "w"), "next|4");
}

TEST_F(ProfileContract, BytesThatAreNotCodePage936) {
    // A lead byte whose next byte cannot end the character becomes one "?"
    // that takes that byte with it; 0x80 and 0xFF are characters of their
    // own and come back as stored.
    Write("[S]\r\na=x\x81 y\r\nb=\x80z\r\nc=\xFF\r\nd=x\x81\r\ne=1\r\nf=\x81\x7f\r\ng=\xA1");
    EXPECT_EQ(Get("S", "a"), "x?y|3");
    EXPECT_EQ(Get("S", "b"), "\x80z|2");
    EXPECT_EQ(Get("S", "c"), "\xFF|1");
    EXPECT_EQ(Get("S", "d"), "x?|2");
    EXPECT_EQ(Get("S", "e"), "1|1");
    EXPECT_EQ(Get("S", "f"), "?|1");
    EXPECT_EQ(Get("S", "g"), "?|1");
}

TEST_F(ProfileContract, AUtf8FileWithAByteOrderMarkIsReadInCodePage936) {
    Write("\xEF\xBB\xBF[S]\r\nu=\xE6\x89\x93\r\n");
    EXPECT_EQ(Get("S", "u"), "\xB4\xF2|2");
}

TEST_F(ProfileContract, AUtf16FileWithAByteOrderMarkIsRead) {
    // "[S]\r\nname=打印\r\nk=v\r\n" as UTF-16LE with its mark.
    const std::u16string text = u"\uFEFF[S]\r\nname=\u6253\u5370\r\nk=v\r\n";
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    Write(bytes);
    EXPECT_EQ(Get("S", "k"), "v|1");
    EXPECT_EQ(Get("S", "name"), "\xB4\xF2\xD3\xA1|4");
}

}  // namespace

namespace {

// The reader may keep a file it has read, but never past a change to it.
TEST_F(ProfileContract, AFileWrittenAgainIsReadAnew) {
    Write("[S]\r\nv=first\r\n");
    EXPECT_EQ(Get("S", "v"), "first|5");
    Write("[S]\r\nv=2nd\r\nw=new\r\n");
    EXPECT_EQ(Get("S", "v"), "2nd|3");
    EXPECT_EQ(Get("S", "w"), "new|3");
}

}  // namespace
