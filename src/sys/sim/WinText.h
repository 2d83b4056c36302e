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

}  // namespace sys::sim
