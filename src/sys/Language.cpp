#include "sys/Language.h"

namespace sys {

namespace {

constexpr std::uint32_t kSimplifiedChinese = 936;

const WizardTexts kChinese = {
    "安装打印机驱动程序",
    {"阅读版权声明", "STEP 2\tSelect Install Module", "选择安装模式", "STEP 1\tSelect Install OS",
     "STEP 3\tSet Printer Port and Confirm Setup"},
    "<<上一步（&B）",
    "下一步（&N）>>",
    "完成（&F）",
    "取消（&C）",
    ".\\Guide.CHM",
    "打印机驱动安装手册",
};

const WizardTexts kEnglish = {
    "Install Printer Driver",
    {"Read the License Agreement", "STEP 2\tSelect Install Module", "Choose the Install Mode",
     "STEP 1\tSelect Install OS", "STEP 3\tSet Printer Port and Confirm Setup"},
    "< &Back",
    "&Next >",
    "&Finish",
    "&Cancel",
    ".\\GuideEN.CHM",
    "Printer Driver Setup Guide",
};

}  // namespace

Language LanguageForCodePage(std::uint32_t codePage) {
    return codePage == kSimplifiedChinese ? Language::Chinese : Language::English;
}

std::uint16_t ResourceLanguage(Language language) {
    return language == Language::Chinese ? 0x0804 : 0x0409;
}

const WizardTexts& TextsFor(Language language) { return language == Language::Chinese ? kChinese : kEnglish; }

}  // namespace sys
