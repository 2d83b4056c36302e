# Writes ${CMAKE_CURRENT_BINARY_DIR}/sys/sim/StringTable.cpp: the string
# table of res/strings.rc as C++, for the simulated machine's message boxes.
# Each line "    IDS_NAME "text"" becomes {IDS_NAME, u8"text"}; the script's
# doubled quotes become escaped ones, its \n stays an escape.  Read line by
# line with string(FIND), so that no text is ever split as a CMake list.
set(INSTALIX_STRINGS_RC ${CMAKE_SOURCE_DIR}/res/strings.rc)
set(INSTALIX_STRING_TABLE ${CMAKE_CURRENT_BINARY_DIR}/sys/sim/StringTable.cpp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${INSTALIX_STRINGS_RC})

file(READ ${INSTALIX_STRINGS_RC} rest)
set(entries "")
while(NOT rest STREQUAL "")
    string(FIND "${rest}" "\n" at)
    if(at EQUAL -1)
        set(line "${rest}")
        set(rest "")
    else()
        string(SUBSTRING "${rest}" 0 ${at} line)
        math(EXPR next "${at} + 1")
        string(SUBSTRING "${rest}" ${next} -1 rest)
    endif()
    if(line MATCHES "^[ \t]*(IDS_[A-Za-z0-9_]+)[ \t]+\"(.*)\"[ \t\r]*$")
        set(id "${CMAKE_MATCH_1}")
        string(REPLACE "\"\"" "\\\"" text "${CMAKE_MATCH_2}")
        string(APPEND entries "        {${id}, u8\"${text}\"},\n")
    endif()
endwhile()
if(entries STREQUAL "")
    message(FATAL_ERROR "no string table entries found in ${INSTALIX_STRINGS_RC}")
endif()
file(CONFIGURE OUTPUT ${INSTALIX_STRING_TABLE} @ONLY CONTENT
"// Written by sys/sim/StringTable.cmake from res/strings.rc.
#include \"sys/sim/StringTable.h\"

#include \"resource.h\"

namespace sys::sim {

const std::vector<StringTableEntry>& StringTable() {
    static const std::vector<StringTableEntry> table = {
@entries@    };
    return table;
}

}  // namespace sys::sim
")
