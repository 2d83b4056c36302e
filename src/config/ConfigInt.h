// The integer conversion of configuration values.
#pragma once

#include <cstdint>
#include <string_view>

// Decimal text to a 32-bit signed integer: optional leading blanks and sign,
// then digits up to the first other character; no digits gives 0.  There is
// no hexadecimal notation ("0x10" reads 0).  A number beyond 32 bits keeps
// its low 32 bits instead of overflowing.
std::int32_t ParseConfigInt(std::string_view text);
