// The driver's script language, without anything of Windows in it: lines of
// words, the commands and their arguments, and the conversions between the
// script's UTF-8 and the UTF-16 that the windows' texts arrive in.
//
// One command per line; words are separated by blanks; a word in double
// quotes may hold blanks and the escapes \" \\ \n \r \t (any other backslash
// stays as it is, so Windows paths need no doubling); a word that starts
// with # outside quotes starts a comment that runs to the end of the line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

struct Step {
    int line = 0;                   // line number in the script, from 1
    std::string command;            // e.g. "click"
    std::vector<std::string> args;  // the words after it, quotes removed
};

// Splits one line into words.  False with a message on an unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& error);

// Reads a whole script: every line is split and its command and arguments
// checked.  False with "line N: ..." in `error` at the first bad line.
bool ParseScript(const std::string& text, std::vector<Step>& steps, std::string& error);

// Checks one step's command name and arguments.
bool CheckStep(const Step& step, std::string& error);

// Conversions.  Utf8ToUtf16 fails on a malformed sequence.
bool Utf8ToUtf16(const std::string& in, std::u16string& out);
std::string Utf16ToUtf8(const std::u16string& in);

// A text as the driver prints it: in double quotes, with \n, \r, \t, \" and
// \\ escaped, so that every step's output stays on one line.
std::string Quote(const std::string& utf8);

// Numbers: decimal, or hexadecimal after 0x; an optional minus sign.
bool ParseInteger(const std::string& word, long long& value);
// Seconds, with an optional fraction ("2", "0.5").
bool ParseSeconds(const std::string& word, double& seconds);
// 0 or 1.
bool ParseFlag(const std::string& word, bool& value);

// A control: its id (-1 and 65535 name the same control) and, after a
// slash, which one of several visible controls with that id ("-1/2" is the
// second), counted from 1; 0 when not given.
struct ControlRef {
    int id = 0;
    int index = 0;
};
bool ParseControl(const std::string& word, ControlRef& ref);
// The low 16 bits of a control id, which is what dialog templates keep.
inline int ControlIdBits(long long id) { return static_cast<int>(id & 0xFFFF); }

// Message-box buttons by name (OK, Cancel, Abort, Retry, Ignore, Yes, No,
// case ignored) or by id.
bool ParseButton(const std::string& word, int& id);
// The name of a button id ("Yes"), or the number.
std::string ButtonName(int id);

// Virtual keys by name (VK_RETURN or RETURN, ENTER, ESCAPE, TAB, SPACE,
// UP, DOWN, LEFT, RIGHT, HOME, END, PRIOR, NEXT, BACK, DELETE, F1 to F12),
// a single letter or digit, or a number.
bool ParseVirtualKey(const std::string& word, int& vk);

// The entries of an expect-list argument: "a|b|c"; an empty word is no entry.
std::vector<std::string> SplitList(const std::string& word);

// A path as Windows takes it: a Unix path (/tmp/x) becomes the Z: drive's
// (Z:\tmp\x), where Wine shows the Unix file system; others are unchanged.
std::string WindowsPath(const std::string& path);

// The program's base name as message boxes show it: the file name without
// folders and without its extension ("Z:\m\instalix.exe" -> "instalix").
std::string BaseName(const std::string& path);

}  // namespace driver
