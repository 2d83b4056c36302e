#include "sys/win32/Resources.h"

#include <vector>

namespace sys::win32 {

namespace {

bool g_chosen = false;
Language g_language = Language::Chinese;

}  // namespace

Language ProgramLanguage() {
    if (!g_chosen) SetProgramLanguage(LanguageForCodePage(GetACP()));
    return g_language;
}

void SetProgramLanguage(Language language) {
    g_language = language;
    g_chosen = true;
}

const void* ResourceData(LPCSTR type, int id, std::uint32_t* size) {
    *size = 0;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), ResourceLanguage(ProgramLanguage()));
    // A resource that a program carries in one language only serves both.
    if (!found) found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return nullptr;
    *size = SizeofResource(module, found);
    return LockResource(loaded);
}

const DLGTEMPLATE* DialogTemplate(int id) {
    std::uint32_t size = 0;
    return static_cast<const DLGTEMPLATE*>(ResourceData(RT_DIALOG, id, &size));
}

std::string LoadText(int id) {
    // A block holds strings id & ~15 to id | 15, each a length and that
    // many UTF-16 units.
    std::uint32_t size = 0;
    const auto* block = static_cast<const WCHAR*>(ResourceData(RT_STRING, id / 16 + 1, &size));
    if (!block) return "";
    const WCHAR* end = block + size / sizeof(WCHAR);
    const WCHAR* at = block;
    for (int i = 0; i < (id & 15); ++i) {
        if (at >= end) return "";
        at += 1 + *at;
    }
    if (at >= end || *at == 0 || at + 1 + *at > end) return "";
    const int length = *at;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, at + 1, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return "";
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, at + 1, length, &text[0], bytes, nullptr, nullptr);
    return text;
}

}  // namespace sys::win32
