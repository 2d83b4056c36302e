// The language of the programs' texts, chosen once at start from the
// system's ANSI code page: the Chinese texts are code page 936 bytes and
// read as nonsense under any other code page, so every other system gets
// the English ones.
#pragma once

#include <cstdint>

namespace sys {

enum class Language { Chinese, English };

// Chinese where the ANSI code page is 936 (simplified Chinese), English on
// every other (1252, 932, 949, 950, 1251, ...).
Language LanguageForCodePage(std::uint32_t codePage);

// The resource language that holds the texts of a language (a Windows
// LANGID): 0x0804 Chinese (PRC), 0x0409 English (United States).
std::uint16_t ResourceLanguage(Language language);

// The texts the wizard's code hands its windows, in one language: the
// frame's caption, the page titles in page order (agreement, printer,
// install mode, target system, port), the frame's buttons, and the manual
// F1 opens with the caption of its viewer window.
struct WizardTexts {
    const char* frameTitle;
    const char* pageTitles[5];
    const char* back;
    const char* next;
    const char* finish;
    const char* cancel;
    const char* helpFile;
    const char* helpCaption;
};
const WizardTexts& TextsFor(Language language);

}  // namespace sys
