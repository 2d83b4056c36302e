// The program's resources in the language of its texts.  Each dialog
// template, string-table block and initialisation record exists in Chinese
// (0804) and English (0409); which one Windows' own loaders would pick
// depends on the family and on the user's settings, so the program looks
// up the one of its language itself (FindResourceExA) and hands templates
// to the ...Indirect dialog calls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "sys/Language.h"

namespace sys::win32 {

// The language of the program's texts, chosen from the ANSI code page
// (GetACP) by the core on first use, or as set.
Language ProgramLanguage();
void SetProgramLanguage(Language language);

// The bytes of resource `id` of `type` in the program's language, or in the
// one language the program has it in; nullptr when there is none.  *size
// gets its length.
const void* ResourceData(LPCSTR type, int id, std::uint32_t* size);

// The dialog template `id` in the program's language.
const DLGTEMPLATE* DialogTemplate(int id);

// String `id` of the table in the program's language, converted to the
// ANSI code page as LoadStringA converts it; "" when it is missing.
std::string LoadText(int id);

}  // namespace sys::win32
