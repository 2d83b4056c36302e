// The registry wrapper over the real registry (Wine) and the simulated one.
#include <gtest/gtest.h>

#include <cstring>

#include "common/TestMachine.h"
#include "sys/RegistryKey.h"

namespace {

using sys::kHKeyCurrentUser;

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_machine = TestMachine::Create();
        m_base = m_machine->ScratchKey();
        ASSERT_TRUE(RegistryKey::CreateKey(reg(), kHKeyCurrentUser, m_base.c_str()));
    }
    sys::IRegistry& reg() { return m_machine->platform().registry; }
    std::string Path(const char* sub) { return m_base + sub; }

    std::unique_ptr<TestMachine> m_machine;
    std::string m_base;
};

TEST_F(RegistryKeyTest, OpenOnAMissingPathDropsTheHeldKey) {
    RegistryKey key(reg());
    ASSERT_TRUE(key.Open(kHKeyCurrentUser, m_base.c_str()));
    EXPECT_FALSE(key.Open(kHKeyCurrentUser, Path("\\Missing").c_str()));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.SetDWORD("x", 1));
}

TEST_F(RegistryKeyTest, WritesWithoutAKeyFailAndWriteNothing) {
    RegistryKey key(reg());
    EXPECT_FALSE(key.SetDWORD("x", 1));
    EXPECT_FALSE(key.SetString("s", "t"));
    std::uint32_t v = 0;
    EXPECT_FALSE(key.QueryDWORD("x", &v));
    char name[16];
    std::uint32_t len = sizeof name;
    EXPECT_NE(key.EnumValue(0, name, &len, nullptr), 0);
    ASSERT_TRUE(key.Open(kHKeyCurrentUser, m_base.c_str()));
    EXPECT_FALSE(key.QueryDWORD("x", &v));
}

TEST_F(RegistryKeyTest, CloseTwiceAndTheConstructorThatOpens) {
    RegistryKey key(reg(), kHKeyCurrentUser, m_base.c_str());
    EXPECT_TRUE(key.IsOpen());
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.Close());
    RegistryKey missing(reg(), kHKeyCurrentUser, Path("\\Missing").c_str());
    EXPECT_FALSE(missing.IsOpen());
}

TEST_F(RegistryKeyTest, CreateKeyKeepsAnExistingKeysValues) {
    {
        RegistryKey key(reg(), kHKeyCurrentUser, m_base.c_str());
        ASSERT_TRUE(key.SetDWORD("D1", 7));
    }
    EXPECT_TRUE(RegistryKey::CreateKey(reg(), kHKeyCurrentUser, m_base.c_str()));
    RegistryKey key(reg(), kHKeyCurrentUser, m_base.c_str());
    std::uint32_t v = 0;
    ASSERT_TRUE(key.QueryDWORD("D1", &v));
    EXPECT_EQ(v, 7u);
}

TEST_F(RegistryKeyTest, StringsKeepTheirTerminator) {
    RegistryKey key(reg(), kHKeyCurrentUser, m_base.c_str());
    ASSERT_TRUE(key.SetString("empty", ""));
    ASSERT_TRUE(key.SetString("word", "abc"));
    std::uint32_t size = 0;
    sys::RegHandle raw = 0;
    ASSERT_EQ(reg().OpenKey(kHKeyCurrentUser, m_base.c_str(), &raw), 0);
    EXPECT_EQ(reg().QueryValue(raw, "empty", nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(reg().QueryValue(raw, "word", nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 4u);
    reg().CloseKey(raw);

    char buf[8];
    ASSERT_TRUE(key.QueryString("word", buf, sizeof buf));
    EXPECT_STREQ(buf, "abc");
    char tiny[3] = {'x', 'x', 'x'};
    EXPECT_FALSE(key.QueryString("word", tiny, sizeof tiny));
    EXPECT_EQ(tiny[0], '\0');
}

TEST_F(RegistryKeyTest, AStringStoredWithoutTerminatorComesBackTerminated) {
    RegistryKey key(reg(), kHKeyCurrentUser, m_base.c_str());
    ASSERT_TRUE(key.SetValue("raw", "abcd", sys::kRegSz, 4));
    char buf[4] = {'x', 'x', 'x', 'x'};
    // Windows may refuse the read or cut it; it never comes back unterminated.
    if (key.QueryString("raw", buf, sizeof buf)) {
        EXPECT_EQ(std::strlen(buf), 3u);
    }
    EXPECT_NE(std::memchr(buf, '\0', sizeof buf), nullptr);
}

TEST_F(RegistryKeyTest, QueryListSplitsAtSemicolons) {
    RegistryKey key(reg(), kHKeyCurrentUser, m_base.c_str());
    key.SetString("a", "a;b;");
    key.SetString("b", "a;;b");
    key.SetString("c", ";");
    key.SetString("d", "");
    key.SetString("e", "one");
    EXPECT_EQ(key.QueryList("a"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(key.QueryList("b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(key.QueryList("c"), (std::vector<std::string>{""}));
    EXPECT_EQ(key.QueryList("d"), std::nullopt);
    EXPECT_EQ(key.QueryList("missing"), std::nullopt);
    EXPECT_EQ(key.QueryList("e"), (std::vector<std::string>{"one"}));
}

// A list value is read into 2,500 bytes: 2,499 characters and the
// terminator fit, one more character does not.
TEST_F(RegistryKeyTest, QueryListReadsAtMost2499Characters) {
    RegistryKey key(reg(), kHKeyCurrentUser, m_base.c_str());
    std::string text;
    for (int i = 0; i < 499; ++i) text += "abcd;";
    text += "wxyz";
    ASSERT_EQ(text.size(), 2499u);
    ASSERT_TRUE(key.SetString("fits", text.c_str()));
    ASSERT_TRUE(key.SetString("long", (text + "!").c_str()));
    const std::optional<std::vector<std::string>> items = key.QueryList("fits");
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 500u);
    EXPECT_EQ(items->front(), "abcd");
    EXPECT_EQ(items->back(), "wxyz");
    EXPECT_EQ(key.QueryList("long"), std::nullopt);
}

TEST_F(RegistryKeyTest, EnumValueReportsNamesThatDoNotFit) {
    RegistryKey key(reg(), kHKeyCurrentUser, m_base.c_str());
    const std::string name200(200, 'p');
    ASSERT_TRUE(key.SetDWORD(name200.c_str(), 1));
    char name[200];
    std::uint32_t len = sizeof name;
    EXPECT_EQ(key.EnumValue(0, name, &len, nullptr), 234);  // ERROR_MORE_DATA

    ASSERT_TRUE(RegistryKey::CreateKey(reg(), kHKeyCurrentUser, Path("\\Fits").c_str()));
    RegistryKey fits(reg(), kHKeyCurrentUser, Path("\\Fits").c_str());
    const std::string name199(199, 'q');
    ASSERT_TRUE(fits.SetDWORD(name199.c_str(), 1));
    std::uint32_t type = 0;
    len = sizeof name;
    ASSERT_EQ(fits.EnumValue(0, name, &len, &type), 0);
    EXPECT_EQ(len, 199u);
    EXPECT_EQ(type, 4u);  // REG_DWORD
    len = sizeof name;
    EXPECT_EQ(fits.EnumValue(1, name, &len, &type), 259);  // ERROR_NO_MORE_ITEMS
}

TEST_F(RegistryKeyTest, DeleteKeyRemovesAnEmptyKey) {
    ASSERT_TRUE(RegistryKey::CreateKey(reg(), kHKeyCurrentUser, Path("\\Del").c_str()));
    EXPECT_TRUE(RegistryKey::DeleteKey(reg(), kHKeyCurrentUser, Path("\\Del").c_str()));
    RegistryKey key(reg());
    EXPECT_FALSE(key.Open(kHKeyCurrentUser, Path("\\Del").c_str()));
    EXPECT_FALSE(RegistryKey::DeleteKey(reg(), kHKeyCurrentUser, Path("\\Del").c_str()));
}

}  // namespace
