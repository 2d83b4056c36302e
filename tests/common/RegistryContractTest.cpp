// What the registry calls answer: the behaviour the registry wrapper and its
// callers rely on.  Run against the simulated machine and under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "common/TestMachine.h"

namespace {

using sys::RegHandle;

class RegistryContract : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine = TestMachine::Create();
        m_base = m_machine->ScratchKey();
    }
    sys::IRegistry& reg() { return m_machine->platform().registry; }

    RegHandle Create(const std::string& sub) {
        RegHandle h = 0;
        EXPECT_EQ(reg().CreateKey(sys::kHKeyCurrentUser, (m_base + sub).c_str(), nullptr, &h), 0) << sub;
        return h;
    }
    long Open(const std::string& sub, RegHandle* h) {
        return reg().OpenKey(sys::kHKeyCurrentUser, (m_base + sub).c_str(), h);
    }
    void SetSz(RegHandle h, const char* name, const char* text) {
        ASSERT_EQ(reg().SetValue(h, name, sys::kRegSz, text, static_cast<std::uint32_t>(std::strlen(text) + 1)), 0);
    }

    std::unique_ptr<TestMachine> m_machine;
    std::string m_base;
};

TEST_F(RegistryContract, OpeningAMissingKeyFailsAndCreatesNothing) {
    RegHandle h = 12345;
    EXPECT_EQ(Open("\\Missing", &h), sys::kErrorFileNotFound);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(Open("\\Missing", &h), sys::kErrorFileNotFound);
}

TEST_F(RegistryContract, TrailingBackslashesAreAcceptedALeadingOneIsNot) {
    RegHandle h = Create("\\A\\");
    ASSERT_NE(h, 0u);
    reg().CloseKey(h);
    RegHandle again = Create("\\A\\\\");
    ASSERT_NE(again, 0u);
    reg().CloseKey(again);
    RegHandle opened = 0;
    EXPECT_EQ(Open("\\A\\\\", &opened), 0);
    reg().CloseKey(opened);
    RegHandle bad = 0;
    EXPECT_EQ(reg().OpenKey(sys::kHKeyCurrentUser, ("\\" + m_base).c_str(), &bad), sys::kErrorBadPathname);
    EXPECT_EQ(reg().CreateKey(sys::kHKeyCurrentUser, ("\\" + m_base + "\\B").c_str(), nullptr, &bad),
              sys::kErrorBadPathname);
}

TEST_F(RegistryContract, CreatingAnExistingKeyOpensItWithItsValues) {
    RegHandle h = Create("\\Keep");
    SetSz(h, "v", "kept");
    reg().CloseKey(h);
    RegHandle again = Create("\\Keep");
    char buf[16] = {};
    std::uint32_t size = sizeof buf;
    EXPECT_EQ(reg().QueryValue(again, "v", nullptr, buf, &size), 0);
    EXPECT_STREQ(buf, "kept");
    reg().CloseKey(again);
}

TEST_F(RegistryContract, KeyAndValueNamesIgnoreCaseAndKeepIt) {
    RegHandle h = Create("\\MixedCase");
    SetSz(h, "MyValue", "x");
    reg().CloseKey(h);
    RegHandle opened = 0;
    ASSERT_EQ(Open("\\MIXEDCASE", &opened), 0);
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(reg().QueryValue(opened, "MYVALUE", &type, nullptr, &size), 0);
    EXPECT_EQ(type, sys::kRegSz);
    EXPECT_EQ(size, 2u);
    char name[32];
    std::uint32_t len = sizeof name;
    ASSERT_EQ(reg().EnumValue(opened, 0, name, &len, nullptr), 0);
    EXPECT_STREQ(name, "MyValue");
    reg().CloseKey(opened);
}

TEST_F(RegistryContract, QueryAnswersMissingTooSmallAndSizeOnly) {
    RegHandle h = Create("\\Query");
    SetSz(h, "text", "hello");
    std::uint32_t size = 64;
    char buf[64];
    EXPECT_EQ(reg().QueryValue(h, "absent", nullptr, buf, &size), sys::kErrorFileNotFound);

    std::memset(buf, 'Z', sizeof buf);
    size = 3;
    EXPECT_EQ(reg().QueryValue(h, "text", nullptr, buf, &size), sys::kErrorMoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(buf[0], 'Z');

    size = 0;
    EXPECT_EQ(reg().QueryValue(h, "text", nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 6u);
    reg().CloseKey(h);
}

TEST_F(RegistryContract, ValuesStoreExactlyTheBytesGiven) {
    RegHandle h = Create("\\Bytes");
    ASSERT_EQ(reg().SetValue(h, "empty", sys::kRegSz, "", 1), 0);
    const std::uint32_t dword = 0x01020304;
    ASSERT_EQ(reg().SetValue(h, "dw", sys::kRegDword, &dword, 4), 0);
    const unsigned char raw[5] = {0, 1, 0, 0xFF, 7};
    ASSERT_EQ(reg().SetValue(h, "raw", sys::kRegBinary, raw, 5), 0);

    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(reg().QueryValue(h, "empty", &type, nullptr, &size), 0);
    EXPECT_EQ(size, 1u);
    std::uint32_t back = 0;
    size = 4;
    EXPECT_EQ(reg().QueryValue(h, "dw", &type, &back, &size), 0);
    EXPECT_EQ(type, sys::kRegDword);
    EXPECT_EQ(back, dword);
    unsigned char rawBack[8] = {};
    size = sizeof rawBack;
    EXPECT_EQ(reg().QueryValue(h, "raw", &type, rawBack, &size), 0);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(std::memcmp(raw, rawBack, 5), 0);
    reg().CloseKey(h);
}

TEST_F(RegistryContract, EnumerationAnswersLongNamesAndTheEnd) {
    RegHandle h = Create("\\Enum");
    SetSz(h, "short", "1");
    const std::string longName(200, 'n');
    SetSz(h, longName.c_str(), "2");

    std::set<std::string> seen;
    std::uint32_t index = 0;
    char name[256];
    while (true) {
        std::uint32_t len = sizeof name;
        long rc = reg().EnumValue(h, index, name, &len, nullptr);
        if (rc == sys::kErrorNoMoreItems) break;
        ASSERT_EQ(rc, 0);
        EXPECT_EQ(len, std::strlen(name));
        seen.insert(name);
        ++index;
    }
    EXPECT_EQ(seen, (std::set<std::string>{"short", longName}));

    // With a 200-character buffer the 200-character name does not fit.
    bool sawMoreData = false;
    for (std::uint32_t i = 0; i < 2; ++i) {
        std::uint32_t len = 200;
        long rc = reg().EnumValue(h, i, name, &len, nullptr);
        if (rc == sys::kErrorMoreData) {
            sawMoreData = true;
            EXPECT_EQ(len, 200u);
        } else {
            EXPECT_EQ(rc, 0);
            EXPECT_STREQ(name, "short");
        }
    }
    EXPECT_TRUE(sawMoreData);
    reg().CloseKey(h);
}

TEST_F(RegistryContract, ADeletedKeyCannotBeOpened) {
    RegHandle h = Create("\\Gone");
    reg().CloseKey(h);
    EXPECT_EQ(reg().DeleteKey(sys::kHKeyCurrentUser, (m_base + "\\Gone").c_str()), 0);
    RegHandle again = 0;
    EXPECT_EQ(Open("\\Gone", &again), sys::kErrorFileNotFound);
}

TEST_F(RegistryContract, ASecondByteOf5CIsPartOfTheKeyName) {
    // "昞" is 95 5C in code page 936: one character, not "\x95" and a separator.
    RegHandle h = Create("\\KR\x95\x5C");
    ASSERT_NE(h, 0u);
    reg().CloseKey(h);
    RegHandle other = 0;
    EXPECT_EQ(Open("\\KR\x95\x5C", &other), 0);
    reg().CloseKey(other);
    EXPECT_EQ(Open("\\KR\x95", &other), 2);
}

}  // namespace
