// The integer conversion of configuration values.
#pragma once

#include <cstdint>
#include <string_view>

// Decimal text to a 32-bit signed integer: optional leading blanks and sign,
// then digits up to the first other character; no digits gives 0.  There is
// no hexadecimal notation ("0x10" reads 0).  A number beyond 32 bits keeps
// its low 32 bits instead of overflowing.
std::int32_t ParseConfigInt(std::string_view text);

// What the conversion makes of a text, for the package checker: the value it
// reads and whether the text says something else to a reader.
struct ConfigIntText {
    enum class Form {
        Decimal,       // optional sign, then digits and nothing else
        Empty,         // nothing at all: reads 0
        NoDigits,      // no digit after the blanks and sign: reads 0
        Hexadecimal,   // "0x..." : reads 0
        TrailingText,  // digits followed by other text, which is ignored
    };
    Form form = Form::Empty;
    std::int32_t value = 0;     // what ParseConfigInt reads
    bool negative = false;      // a '-' sign stands before the digits
    // The number the digits spell with their sign (Decimal, TrailingText),
    // or the hexadecimal number (Hexadecimal); `huge` beyond 18 digits.
    std::int64_t number = 0;
    bool huge = false;
    std::string_view rest;      // TrailingText: the ignored text
};

ConfigIntText ExamineConfigInt(std::string_view text);
