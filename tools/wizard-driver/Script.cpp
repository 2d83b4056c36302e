#include "Script.h"

#include <cctype>
#include <cstdlib>

namespace driver {

namespace {

// Argument kinds: c control, t text, s seconds, f flag 0|1, b button,
// k virtual key, i integer, p path.  Kinds after '|' are optional.
struct CommandForm {
    const char* name;
    const char* args;
};

const CommandForm kCommands[] = {
    {"start", "p|p"},          {"time-start", "pt|p"},  {"wait-window", "t|s"},
    {"wait-exit", "|s"},       {"kill", ""},            {"click", "c"},
    {"select", "ct"},          {"key", "ck"},           {"sysmenu", "i"},
    {"close", ""},             {"text", "c"},           {"expect-text", "ct"},
    {"expect-enabled", "cf"},  {"expect-visible", "cf"}, {"expect-checked", "cf"},
    {"expect-list", "ct"},     {"expect-selected", "ct"}, {"expect-caption", "t"},
    {"expect-focus", "c"},     {"answer", "tb|s"},      {"expect-no-box", ""},
    {"shot", "p"},             {"shot-screen", "p"},    {"shotdir", "p|t"},
    {"wait-idle", "|s"},       {"sleep", "s"},          {"note", "t"},
    {"other-window", "tt|s"},  {"texts", ""},
};

const CommandForm* FindCommand(const std::string& name) {
    for (const CommandForm& form : kCommands)
        if (name == form.name) return &form;
    return nullptr;
}

bool CheckArgument(char kind, const std::string& word, std::string& error) {
    bool ok = true;
    const char* what = "";
    switch (kind) {
        case 'c': {
            ControlRef ref;
            ok = ParseControl(word, ref);
            what = "a control id";
            break;
        }
        case 's': {
            double s = 0;
            ok = ParseSeconds(word, s);
            what = "seconds";
            break;
        }
        case 'f': {
            bool f = false;
            ok = ParseFlag(word, f);
            what = "0 or 1";
            break;
        }
        case 'b': {
            int b = 0;
            ok = ParseButton(word, b);
            what = "a button (OK, Cancel, Yes, No, ... or its id)";
            break;
        }
        case 'k': {
            int vk = 0;
            ok = ParseVirtualKey(word, vk);
            what = "a virtual key";
            break;
        }
        case 'i': {
            long long v = 0;
            ok = ParseInteger(word, v);
            what = "a number";
            break;
        }
        case 'p':
            ok = !word.empty();
            what = "a path";
            break;
        default:
            break;
    }
    if (!ok) error = Quote(word) + " is not " + what;
    return ok;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& error) {
    words.clear();
    std::size_t i = 0;
    const std::size_t n = line.size();
    for (;;) {
        while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r' || line[i] == '\n')) ++i;
        if (i >= n || line[i] == '#') return true;
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < n) {
                    const char e = line[i];
                    const char* from = "\"\\nrt";
                    const char* to = "\"\\\n\r\t";
                    bool escaped = false;
                    for (int k = 0; from[k]; ++k)
                        if (e == from[k]) {
                            word += to[k];
                            escaped = true;
                        }
                    if (escaped) {
                        ++i;
                        continue;
                    }
                }
                word += c;
            }
            if (!closed) {
                error = "unterminated quote";
                return false;
            }
            if (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                error = "a quoted word must be followed by a blank";
                return false;
            }
        } else {
            while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '\n') word += line[i++];
        }
        words.push_back(word);
    }
}

bool CheckStep(const Step& step, std::string& error) {
    const CommandForm* form = FindCommand(step.command);
    if (!form) {
        error = "unknown command \"" + step.command + "\"";
        return false;
    }
    const std::string kinds = form->args;
    const std::size_t bar = kinds.find('|');
    const std::string required = kinds.substr(0, bar);
    const std::string all = bar == std::string::npos ? kinds : required + kinds.substr(bar + 1);
    if (step.args.size() < required.size() || step.args.size() > all.size()) {
        error = step.command + " takes ";
        error += required.size() == all.size() ? std::to_string(all.size())
                                               : std::to_string(required.size()) + " to " + std::to_string(all.size());
        error += all.size() == 1 ? " argument" : " arguments";
        error += ", not " + std::to_string(step.args.size());
        return false;
    }
    for (std::size_t k = 0; k < step.args.size(); ++k) {
        std::string why;
        if (!CheckArgument(all[k], step.args[k], why)) {
            error = step.command + ": " + why;
            return false;
        }
    }
    return true;
}

bool ParseScript(const std::string& text, std::vector<Step>& steps, std::string& error) {
    steps.clear();
    std::size_t pos = 0;
    // A UTF-8 byte order mark, as some editors write it.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    int line = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string current = text.substr(pos, end - pos);
        ++line;
        pos = end + 1;
        std::u16string check;
        std::string why;
        std::vector<std::string> words;
        if (!Utf8ToUtf16(current, check)) why = "not UTF-8";
        else if (!SplitWords(current, words, why)) {
        } else if (!words.empty()) {
            Step step;
            step.line = line;
            step.command = words[0];
            step.args.assign(words.begin() + 1, words.end());
            if (CheckStep(step, why)) steps.push_back(step);
        }
        if (!why.empty()) {
            error = "line " + std::to_string(line) + ": " + why;
            return false;
        }
        if (end == text.size()) break;
    }
    return true;
}

bool Utf8ToUtf16(const std::string& in, std::u16string& out) {
    out.clear();
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        std::uint32_t cp = 0;
        int extra = 0;
        if (c < 0x80) cp = c;
        else if ((c & 0xE0) == 0xC0) cp = c & 0x1F, extra = 1;
        else if ((c & 0xF0) == 0xE0) cp = c & 0x0F, extra = 2;
        else if ((c & 0xF8) == 0xF0) cp = c & 0x07, extra = 3;
        else return false;
        if (extra > 0 && i + static_cast<std::size_t>(extra) >= n) return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(in[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are refused.
        static const std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += 1 + extra;
    }
    return true;
}

std::string Utf16ToUtf8(const std::u16string& in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::uint32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;  // a lone surrogate
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string Quote(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

bool ParseInteger(const std::string& word, long long& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
    int base = 10;
    if (word.compare(i, 2, "0x") == 0 || word.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    if (i >= word.size()) return false;
    long long v = 0;
    for (; i < word.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(word[i])));
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else return false;
        if (v > (0x7FFFFFFFFFFFLL)) return false;  // far beyond any id or code
        v = v * base + digit;
    }
    value = negative ? -v : v;
    return true;
}

bool ParseSeconds(const std::string& word, double& seconds) {
    if (word.empty() || !(std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '.')) return false;
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (!end || *end != '\0' || v < 0 || v > 24 * 3600) return false;
    seconds = v;
    return true;
}

bool ParseFlag(const std::string& word, bool& value) {
    if (word != "0" && word != "1") return false;
    value = word == "1";
    return true;
}

bool ParseControl(const std::string& word, ControlRef& ref) {
    const std::size_t slash = word.find('/');
    long long id = 0, index = 0;
    if (!ParseInteger(word.substr(0, slash), id) || id < -0xFFFF || id > 0xFFFF) return false;
    if (slash != std::string::npos) {
        const std::string rest = word.substr(slash + 1);
        if (rest.empty() || rest[0] == '-' || rest[0] == '+' || !ParseInteger(rest, index) || index < 1 || index > 1000)
            return false;
    }
    ref.id = static_cast<int>(id);
    ref.index = static_cast<int>(index);
    return true;
}

namespace {
struct Named {
    const char* name;
    int value;
};
const Named kButtons[] = {{"OK", 1},    {"CANCEL", 2}, {"ABORT", 3}, {"RETRY", 4},
                          {"IGNORE", 5}, {"YES", 6},    {"NO", 7}};
const Named kKeys[] = {{"BACK", 0x08},   {"TAB", 0x09},    {"RETURN", 0x0D}, {"ENTER", 0x0D}, {"ESCAPE", 0x1B},
                       {"ESC", 0x1B},    {"SPACE", 0x20},  {"PRIOR", 0x21},  {"NEXT", 0x22},  {"END", 0x23},
                       {"HOME", 0x24},   {"LEFT", 0x25},   {"UP", 0x26},     {"RIGHT", 0x27}, {"DOWN", 0x28},
                       {"DELETE", 0x2E}, {"F1", 0x70},     {"F2", 0x71},     {"F3", 0x72},    {"F4", 0x73},
                       {"F5", 0x74},     {"F6", 0x75},     {"F7", 0x76},     {"F8", 0x77},    {"F9", 0x78},
                       {"F10", 0x79},    {"F11", 0x7A},    {"F12", 0x7B}};
}  // namespace

bool ParseButton(const std::string& word, int& id) {
    const std::string up = Upper(word);
    for (const Named& b : kButtons)
        if (up == b.name) {
            id = b.value;
            return true;
        }
    long long v = 0;
    if (!ParseInteger(word, v) || v < 1 || v > 0xFFFF) return false;
    id = static_cast<int>(v);
    return true;
}

std::string ButtonName(int id) {
    static const char* names[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    return id >= 1 && id <= 7 ? names[id] : std::to_string(id);
}

bool ParseVirtualKey(const std::string& word, int& vk) {
    std::string up = Upper(word);
    if (up.compare(0, 3, "VK_") == 0) up = up.substr(3);
    for (const Named& k : kKeys)
        if (up == k.name) {
            vk = k.value;
            return true;
        }
    if (up.size() == 1 && std::isalnum(static_cast<unsigned char>(up[0]))) {
        vk = up[0];
        return true;
    }
    long long v = 0;
    if (up.size() == word.size() && ParseInteger(word, v) && v > 0 && v < 256 && word.size() > 1) {
        vk = static_cast<int>(v);
        return true;
    }
    return false;
}

std::vector<std::string> SplitList(const std::string& word) {
    std::vector<std::string> out;
    if (word.empty()) return out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = word.find('|', start);
        out.push_back(word.substr(start, bar - start));
        if (bar == std::string::npos) return out;
        start = bar + 1;
    }
}

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string out = "Z:";
    for (char c : path) out += c == '/' ? '\\' : c;
    return out;
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
    return name;
}

}  // namespace driver
