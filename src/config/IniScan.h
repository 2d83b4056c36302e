// The lines of a profile file as GetPrivateProfileStringA takes them apart,
// with their line numbers, and what the profile API silently passes over:
// repeated sections and keys, lines that are no key=value, bytes that are
// not code page 936 text, line ends.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct IniKey {
    std::string name;   // trimmed, as written
    std::string value;  // trimmed, quotes kept
    bool hasValue = true;  // false for a line without '=' (it reads as missing)
    int line = 0;
};

struct IniSection {
    std::string name;  // trimmed, as written
    int line = 0;      // of its header
    std::vector<IniKey> keys;
};

struct IniProblem {
    int line = 0;
    bool error = false;
    std::string text;
};

struct IniScan {
    std::vector<IniSection> sections;  // in file order, repeated names included
    std::vector<IniProblem> problems;  // in line order
    int lines = 0;

    // The section the profile API reads for `name`: the first of that name
    // (compared without regard to case), or nullptr.
    const IniSection* Find(std::string_view name) const;
    // The line the profile API reads `key` from in `section`, or nullptr.
    static const IniKey* Find(const IniSection& section, std::string_view key);
};

// Splits lines at CR LF, LF or CR, as the profile API does; a line whose
// first character other than a blank is ';' is a comment.  A file with a
// UTF-8 or UTF-16 byte order mark, which the profile API converts, is
// reported once and its lines are not checked for code page 936.
IniScan ScanIni(std::string_view bytes);

// Section and key names compared as the profile API compares them: ASCII
// letters without regard to case, the trail byte of a two-byte character
// as it is.
std::string FoldNameCase(std::string_view text);
bool SameName(std::string_view a, std::string_view b);

// The offset of the first byte that starts no code page 936 character (a
// lead byte 0x81 to 0xFE without a trail byte 0x40 to 0x7E or 0x80 to 0xFE
// after it, which the profile API reads as '?'), or npos.  0x80 and 0xFF
// are characters of their own there.
std::size_t InvalidGbkAt(std::string_view text);
