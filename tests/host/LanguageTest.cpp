// The language choice: code page 936 alone gives the Chinese texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sys/Language.h"

using sys::Language;

TEST(Language, CodePage936AloneIsChinese) {
    EXPECT_EQ(sys::LanguageForCodePage(936), Language::Chinese);
    // Western, Japanese, Korean, traditional Chinese, Cyrillic, UTF-8 and
    // the OEM code pages all read GBK bytes as nonsense.
    for (std::uint32_t cp : {1252u, 932u, 949u, 950u, 1251u, 1250u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u,
                             874u, 65001u, 437u, 850u, 0u, 54936u, 20936u}) {
        EXPECT_EQ(sys::LanguageForCodePage(cp), Language::English) << cp;
    }
}

TEST(Language, ResourceLanguagesAreChinesePrcAndEnglishUs) {
    EXPECT_EQ(sys::ResourceLanguage(Language::Chinese), 0x0804);
    EXPECT_EQ(sys::ResourceLanguage(Language::English), 0x0409);
}

TEST(Language, TheChineseTextsStayAsTheyWere) {
    const sys::WizardTexts& zh = sys::TextsFor(Language::Chinese);
    EXPECT_STREQ(zh.frameTitle, "安装打印机驱动程序");
    EXPECT_STREQ(zh.pageTitles[0], "阅读版权声明");
    EXPECT_STREQ(zh.pageTitles[1], "STEP 2\tSelect Install Module");
    EXPECT_STREQ(zh.pageTitles[2], "选择安装模式");
    EXPECT_STREQ(zh.pageTitles[3], "STEP 1\tSelect Install OS");
    EXPECT_STREQ(zh.pageTitles[4], "STEP 3\tSet Printer Port and Confirm Setup");
    EXPECT_STREQ(zh.back, "<<上一步（&B）");
    EXPECT_STREQ(zh.next, "下一步（&N）>>");
    EXPECT_STREQ(zh.finish, "完成（&F）");
    EXPECT_STREQ(zh.cancel, "取消（&C）");
    EXPECT_STREQ(zh.helpFile, ".\\Guide.CHM");
    EXPECT_STREQ(zh.helpCaption, "打印机驱动安装手册");
}

TEST(Language, TheEnglishTextsArePlainAsciiWithTheEnglishManual) {
    const sys::WizardTexts& en = sys::TextsFor(Language::English);
    const char* all[] = {en.frameTitle, en.pageTitles[0], en.pageTitles[1], en.pageTitles[2], en.pageTitles[3],
                         en.pageTitles[4], en.back, en.next, en.finish, en.cancel, en.helpFile, en.helpCaption};
    for (const char* text : all) {
        ASSERT_NE(text, nullptr);
        EXPECT_GT(std::strlen(text), 0u);
        for (const char* p = text; *p; ++p) EXPECT_LT(static_cast<unsigned char>(*p), 0x80) << text;
    }
    // The English titles the pages already had stay as they are.
    EXPECT_STREQ(en.pageTitles[1], "STEP 2\tSelect Install Module");
    EXPECT_STREQ(en.pageTitles[3], "STEP 1\tSelect Install OS");
    EXPECT_STREQ(en.pageTitles[4], "STEP 3\tSet Printer Port and Confirm Setup");
    EXPECT_STREQ(en.helpFile, ".\\GuideEN.CHM");
    EXPECT_STREQ(en.helpCaption, "Printer Driver Setup Guide");
    // Every button keeps its access key.
    for (const char* button : {en.back, en.next, en.finish, en.cancel}) EXPECT_NE(std::strchr(button, '&'), nullptr);
}
