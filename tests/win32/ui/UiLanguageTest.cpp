// The resources of the program's language, looked up explicitly: the string
// table and the dialog templates of each language, whatever the system's
// own choice would be.
#include <gtest/gtest.h>

#include <cstring>

#include "UiHarness.h"
#include "resource.h"
#include "sys/win32/Resources.h"

namespace {

// Sets the program's language for one test and puts back the one chosen
// from the code page.
class LanguageScope {
public:
    explicit LanguageScope(sys::Language language) : m_before(sys::win32::ProgramLanguage()) {
        sys::win32::SetProgramLanguage(language);
    }
    ~LanguageScope() { sys::win32::SetProgramLanguage(m_before); }

private:
    sys::Language m_before;
};

// The font face of a DIALOGEX template.
std::wstring FontOf(const DLGTEMPLATE* t) {
    const auto* words = reinterpret_cast<const WORD*>(t);
    EXPECT_EQ(words[1], 0xFFFF) << "not a DIALOGEX template";
    const WORD* at = words + 13;  // after the fixed header: menu, class, title
    for (int i = 0; i < 3; ++i) {
        if (*at == 0xFFFF) at += 2;
        else while (*at++) {}
    }
    at += 3;  // point size, weight, italic and charset
    return std::wstring(reinterpret_cast<const wchar_t*>(at));
}

}  // namespace

TEST(Language, TheCodePageChoosesTheLanguageAtStart) {
    EXPECT_EQ(sys::win32::ProgramLanguage(), sys::LanguageForCodePage(GetACP()));
}

TEST(Language, MessagesComeFromTheTableOfTheProgramsLanguage) {
    {
        LanguageScope english(sys::Language::English);
        EXPECT_EQ(sys::win32::LoadText(IDS_INSTALL_DONE), "The printer driver was installed");
        EXPECT_EQ(sys::win32::LoadText(IDS_NO_SERVER_2003), "This printer does not support Windows Server 2003");
        EXPECT_EQ(sys::win32::Win32MessageBox().MessageText(IDS_CHOOSE_PRINTER), "Please choose a printer first");
    }
    {
        LanguageScope chinese(sys::Language::Chinese);
        const std::string text = sys::win32::LoadText(IDS_INSTALL_DONE);
        if (GetACP() == 936) {
            EXPECT_EQ(text, "打印机驱动安装成功");
        }
        EXPECT_FALSE(text.empty());
        EXPECT_NE(text, "The printer driver was installed");
    }
    // An id the table does not hold gives nothing.
    EXPECT_EQ(sys::win32::LoadText(IDS_NO_SERVER_2003 + 1), "");
}

TEST(Language, EachLanguageHasItsOwnTemplates) {
    for (int id : {IDD_ABOUT, IDD_WIZARD, IDD_OS_PAGE, IDD_PRINTER_PAGE, IDD_PORT_PAGE, IDD_AGREEMENT_PAGE,
                   IDD_MODE_PAGE}) {
        LanguageScope english(sys::Language::English);
        const DLGTEMPLATE* en = sys::win32::DialogTemplate(id);
        ASSERT_TRUE(en) << id;
        EXPECT_EQ(FontOf(en), L"MS Sans Serif") << id;
        sys::win32::SetProgramLanguage(sys::Language::Chinese);
        const DLGTEMPLATE* zh = sys::win32::DialogTemplate(id);
        ASSERT_TRUE(zh) << id;
        EXPECT_NE(zh, en) << id;
        EXPECT_EQ(FontOf(zh), L"\u5b8b\u4f53") << id;
    }
}
