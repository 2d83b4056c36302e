// Text rules of the simulated machine: names compared without regard to
// case the way Windows does it for code page 936 text, where a byte from
// 0x81 on starts a two-byte character whose second byte is never folded.
#pragma once

#include <string>
#include <string_view>

namespace sys::sim {

// Upper-cases the ASCII letters of a code page 936 text, leaving two-byte
// characters alone.
std::string FoldCase(std::string_view text);

bool EqualNoCase(std::string_view a, std::string_view b);

// The blanks that profile files and names are trimmed of.
bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);

// Converts `from` (an iconv encoding name: "UTF-8", "UTF-16LE") to code page
// 936, each character that has no code there as "?", as Windows does.
std::string ToCodePage936(std::string_view text, const char* from);

// Path separators in a code page 936 text, found by characters: the second
// byte of a two-byte character may be 0x5C and is no separator.  `from`
// must start a character.  npos when there is none.
std::size_t FindSeparator(std::string_view text, std::size_t from = 0, std::string_view separators = "\\/");
std::size_t FindLastSeparator(std::string_view text, std::string_view separators = "\\/");

}  // namespace sys::sim
