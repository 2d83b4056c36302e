// The rules of the package check: each key the installer reads from a
// package's configuration files, with what it holds, how many characters
// the installer reads of it and what its absence means; and the judges of
// one value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class Severity { Warning, Error };

// What a package author should hear about one value.
struct Finding {
    Severity severity;
    std::string text;
};

// What an integer key feeds.
enum class IntField {
    Signed32,    // an int of the installer (counts, indexes, flags, the baud rate)
    Unsigned32,  // a DWORD of a spooler record or a version number
    Bits16,      // a 16-bit device-mode member
};

// What a key holds: a text, an integer, a file of the package's folder for
// the family, or a flag that only a first character '1' sets.
enum class KeyType { Text, Int, File, Flag };

// A missing key is an error, a warning, or left to the caller's own check.
enum class Need { Required, Expected, Own };

struct KeyRule {
    const char* name;
    KeyType type;
    std::uint32_t limit;  // the characters the installer reads of it
    Need need;
    IntField field;       // Int: what it feeds
    bool mustName;        // File: the installer needs a file here
    bool cosmetic;        // Text: a cut value is only a warning
    bool emptyOwn;        // File: an empty value has a check of its caller's
};

// A table of rules, in the order the checker walks them.
class KeyRules {
public:
    template <std::size_t N>
    constexpr KeyRules(const KeyRule (&rules)[N]) : m_rules(rules), m_count(N) {}
    const KeyRule* begin() const { return m_rules; }
    const KeyRule* end() const { return m_rules + m_count; }
    std::size_t size() const { return m_count; }
    const KeyRule& operator[](std::size_t i) const { return m_rules[i]; }

private:
    const KeyRule* m_rules;
    std::size_t m_count;
};

// setup.ini: the device list, the listed USB ports and the driver version.
extern const KeyRule kDeviceCountKey;   // DEVICENUMBER
extern const KeyRule kDefaultNameKey;   // DEFAULTNAME
extern const KeyRule kUsbCountKey;      // PRNCOUNT
extern const KeyRule kDriverVersionKey; // DriverVersion

// A port monitor's keys, one of kMonitorPrefixes before each: PName,
// PDLLName, PUIDLLName, Version.
extern const KeyRules kMonitorStems;
extern const char* const kMonitorPrefixes[2];  // "COMMONitor", "USBMONitor"
// PDLLName of a monitor the printers need: its empty value has a check of
// its own (the monitor is then never installed).
extern const KeyRule kNeededMonitorDllKey;

// A model's file-list section: each key with "STD" and "GDI" before it,
// and the two universal-driver flags.
extern const KeyRules kFileListStems;
extern const KeyRules kDdkKeys;
// A model's printer and device-mode sections.
extern const KeyRules kPrinterKeys;
extern const KeyRules kDevModeKeys;
// A model's port section; BaudRate has a check of its own when it is missing.
extern const KeyRules kPortFlags;  // AdvancedSetup, System2003Supported, USBSUPPORTED, LPTDEFAULT
extern const KeyRule kBaudRateKey;

// Whether `suffix` is one of a class file's section suffixes (after the
// model name and a '.': PORT, 98, PRINTERINFONT, DEVMODE2K, ...), without
// regard to case.
bool IsClassSectionSuffix(std::string_view suffix);

// What a package author should hear about the text `value` of the integer
// key `key` (as the reader got it), or nothing when it reads as written.
std::optional<Finding> JudgeInteger(std::string_view key, std::string_view value, IntField field);

// Why a configured file name cannot be copied from its folder, or nothing.
std::optional<std::string> FileNameProblem(std::string_view name);
