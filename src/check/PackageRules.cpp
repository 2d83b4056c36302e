#include "check/PackageRules.h"

#include <algorithm>
#include <iterator>

#include "config/ConfigInt.h"
#include "config/IniScan.h"
#include "spooler/DriverStaging.h"

namespace {

constexpr KeyRule Text(const char* name, std::uint32_t limit, Need need, bool cosmetic = false) {
    return KeyRule{name, KeyType::Text, limit, need, IntField::Signed32, false, cosmetic, false};
}
constexpr KeyRule Int(const char* name, std::uint32_t limit, Need need, IntField field) {
    return KeyRule{name, KeyType::Int, limit, need, field, false, false, false};
}
constexpr KeyRule File(const char* name, std::uint32_t limit, Need need, bool mustName = false) {
    return KeyRule{name, KeyType::File, limit, need, IntField::Signed32, mustName, false, false};
}
constexpr KeyRule Flag(const char* name, std::uint32_t limit, Need need) {
    return KeyRule{name, KeyType::Flag, limit, need, IntField::Signed32, false, false, false};
}

constexpr Need R = Need::Required;
constexpr Need E = Need::Expected;
constexpr Need O = Need::Own;

constexpr KeyRule kFileListStemTable[] = {
    File("DriverPath", 199, R, true),     File("DataFile", 199, R, true),      File("ConfigFile", 199, R, true),
    File("HelpFile", 199, R, true),       Text("MonitorName", 49, R),          File("MonitorDLLName", 199, E),
    File("ProcessorDLLName", 199, E),     Text("PrintProcessor", 49, R),       File("DataFileDLLName", 199, E),
    File("DataOemuiDLL", 199, E),         File("DataOemuniDLL", 199, E),       File("DataOemuniini", 199, E),
};
constexpr KeyRule kDdkKeyTable[] = {Flag("STD2KDDKDEV", 4, E), Flag("GDI2KDDKDEV", 4, E)};

constexpr KeyRule kPrinterKeyTable[] = {
    Text("SERVERNAME", 49, E, true),   Text("STDDRIVERNAME", 49, R),  Text("GDIDRIVERNAME", 49, R),
    Text("COMMENT", 49, E, true),      Text("LOCATION", 49, E, true), Text("SEPFILE", 49, R),
    Text("DATATYPE", 49, R),           Text("PARAMETERS", 49, E, true),
    Text("SECURITYDESCRIPTOR", 49, E, true),
    Int("ATTRIBUTES", 49, E, IntField::Unsigned32),      Int("PRIORITY", 49, E, IntField::Unsigned32),
    Int("DEFAULTPRIORITY", 49, E, IntField::Unsigned32), Int("STARTTIME", 49, E, IntField::Unsigned32),
    Int("UNTILTIME", 49, E, IntField::Unsigned32),       Int("STATUS", 49, E, IntField::Unsigned32),
    Int("CJOBS", 49, E, IntField::Unsigned32),           Int("AVERAGEPPM", 49, E, IntField::Unsigned32),
};

constexpr KeyRule kDevModeKeyTable[] = {
    Int("DRIVERVERSION", 19, E, IntField::Bits16), Int("DMDRIVEREXTRA", 19, E, IntField::Bits16),
    Int("ORIENTATION", 19, E, IntField::Bits16),   Int("PAPERSIZE", 19, E, IntField::Bits16),
    Int("PAPERLENGTH", 19, E, IntField::Bits16),   Int("PAPERWIDTH", 19, E, IntField::Bits16),
    Int("SCALE", 19, E, IntField::Bits16),         Int("COPIES", 19, E, IntField::Bits16),
    Int("DEFAULTSOURCE", 19, E, IntField::Bits16), Int("PRINTQUALITY", 19, E, IntField::Bits16),
    Int("COLOR", 19, E, IntField::Bits16),         Int("DUPLEX", 19, E, IntField::Bits16),
    Int("YRESOLUTION", 19, E, IntField::Bits16),   Int("TTOPTION", 19, E, IntField::Bits16),
    Int("COLLATE", 19, E, IntField::Bits16),       Text("FORMNAME", 19, E),
    Int("ICMMETHOD", 19, E, IntField::Unsigned32), Int("ICMINTENT", 19, E, IntField::Unsigned32),
    Int("MEDIATYPE", 19, E, IntField::Unsigned32), Int("DITHERTYPE", 19, E, IntField::Unsigned32),
    Int("FIELDS", 19, E, IntField::Unsigned32),
};

constexpr KeyRule kPortFlagTable[] = {Int("AdvancedSetup", 199, E, IntField::Signed32),
                                      Int("System2003Supported", 199, E, IntField::Signed32),
                                      Int("USBSUPPORTED", 199, E, IntField::Signed32),
                                      Int("LPTDEFAULT", 199, E, IntField::Signed32)};

constexpr KeyRule kMonitorStemTable[] = {Text("PName", 49, R), File("PDLLName", 199, R, true),
                                         File("PUIDLLName", 49, E), Int("Version", 9, R, IntField::Unsigned32)};

const char* const kClassSectionSuffixes[] = {"PORT",          "98",              "NT",            "2K",
                                             "XP",            "2003",            "PRINTERINFO98", "PRINTERINFONT",
                                             "PRINTERINFO2K", "PRINTERINFO2003", "DEVMODE98",     "DEVMODENT",
                                             "DEVMODE2K",     "DEVMODE2003"};

std::string Quote(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

const KeyRule kDeviceCountKey = Int("DEVICENUMBER", 31, O, IntField::Signed32);
const KeyRule kDefaultNameKey = Int("DEFAULTNAME", 199, O, IntField::Signed32);
const KeyRule kUsbCountKey = Int("PRNCOUNT", 199, E, IntField::Signed32);
const KeyRule kDriverVersionKey = Int("DriverVersion", 11, R, IntField::Unsigned32);

const KeyRules kMonitorStems = kMonitorStemTable;
const char* const kMonitorPrefixes[2] = {"COMMONitor", "USBMONitor"};
const KeyRule kNeededMonitorDllKey{"PDLLName", KeyType::File, 199, R, IntField::Signed32, false, false, true};

const KeyRules kFileListStems = kFileListStemTable;
const KeyRules kDdkKeys = kDdkKeyTable;
const KeyRules kPrinterKeys = kPrinterKeyTable;
const KeyRules kDevModeKeys = kDevModeKeyTable;
const KeyRules kPortFlags = kPortFlagTable;
const KeyRule kBaudRateKey = Int("BaudRate", 199, O, IntField::Signed32);

bool IsClassSectionSuffix(std::string_view suffix) {
    return std::any_of(std::begin(kClassSectionSuffixes), std::end(kClassSectionSuffixes),
                       [&](const char* known) { return SameName(suffix, known); });
}

std::optional<Finding> JudgeInteger(std::string_view key, std::string_view value, IntField field) {
    const std::string written = std::string(key) + "=" + std::string(value);
    const ConfigIntText t = ExamineConfigInt(value);
    switch (t.form) {
        case ConfigIntText::Form::Empty:
            return Finding{Severity::Warning, std::string(key) + " is empty: the installer reads 0"};
        case ConfigIntText::Form::NoDigits:
            return Finding{Severity::Error, written + " is not a decimal number: the installer reads 0"};
        case ConfigIntText::Form::Hexadecimal:
            return Finding{Severity::Error,
                           written + " is hexadecimal, which the installer does not read: it reads 0" +
                               (t.huge ? std::string() : " (write " + std::to_string(t.number) + ")")};
        case ConfigIntText::Form::TrailingText:
            return Finding{Severity::Error, written + ": the installer reads " + std::to_string(t.value) +
                                                " and ignores " + Quote(t.rest)};
        case ConfigIntText::Form::Decimal: break;
    }
    switch (field) {
        case IntField::Signed32:
            if (t.huge || t.number < INT32_MIN || t.number > INT32_MAX)
                return Finding{Severity::Error,
                               written + " does not fit 32 bits: the installer reads " + std::to_string(t.value)};
            break;
        case IntField::Unsigned32:
            if (t.huge || t.number < INT32_MIN || t.number > static_cast<std::int64_t>(UINT32_MAX))
                return Finding{Severity::Error, written + " does not fit 32 bits: the installer reads " +
                                                    std::to_string(static_cast<std::uint32_t>(t.value))};
            if (t.number < 0)
                return Finding{Severity::Warning, written + " is negative: the field holds " +
                                                      std::to_string(static_cast<std::uint32_t>(t.value))};
            break;
        case IntField::Bits16:
            if (t.huge || t.number < -32768 || t.number > 65535)
                return Finding{Severity::Error,
                               written + " does not fit 16 bits: the device mode keeps only the low 16 bits, " +
                                   std::to_string(static_cast<std::uint16_t>(t.value & 0xFFFF))};
            break;
    }
    return std::nullopt;
}

std::optional<std::string> FileNameProblem(std::string_view name) {
    const std::string text(name);
    if (!IsBareFileName(text))
        return std::string("is not a bare file name: the installer refuses names that hold \\, /, : or ..");
    if (text == "." || text.find_first_of("*?\"<>|") != std::string::npos ||
        std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        return std::string("is not a valid file name");
    return std::nullopt;
}
