// The program's string table for the simulated message boxes: the entries
// of res/strings.rc, taken from the resource script when the host build is
// configured (sys/sim/StringTable.cmake writes StringTable.cpp).
#pragma once

#include <vector>

namespace sys::sim {

struct StringTableEntry {
    int id;
    const char* text;  // UTF-8, as the resource script holds it
};

const std::vector<StringTableEntry>& StringTable();

}  // namespace sys::sim
