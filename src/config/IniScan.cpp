#include "config/IniScan.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Whether a line is well-formed UTF-8 with at least one multi-byte character.
bool LooksLikeUtf8(std::string_view s) {
    bool multi = false;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t j = 1; j < n; ++j)
            if ((static_cast<unsigned char>(s[i + j]) & 0xC0) != 0x80) return false;
        if (n > 1) multi = true;
        i += n;
    }
    return multi;
}

std::string Hex(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", c);
    return text;
}

void Add(IniScan& scan, int line, bool error, std::string text) {
    scan.problems.push_back(IniProblem{line, error, std::move(text)});
}

}  // namespace

std::string FoldNameCase(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c >= 0x81 && c != 0xFF)
            ++i;
        else if (c >= 'a' && c <= 'z')
            out[i] = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && FoldNameCase(a) == FoldNameCase(b);
}

std::size_t InvalidGbkAt(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x81 || c == 0xFF) continue;
        if (i + 1 >= text.size()) return i;
        unsigned char t = static_cast<unsigned char>(text[i + 1]);
        if (t < 0x40 || t == 0x7F || t == 0xFF) return i;
        ++i;
    }
    return std::string_view::npos;
}

const IniSection* IniScan::Find(std::string_view name) const {
    std::string folded = FoldNameCase(Trim(name));
    for (const IniSection& s : sections)
        if (FoldNameCase(s.name) == folded) return &s;
    return nullptr;
}

const IniKey* IniScan::Find(const IniSection& section, std::string_view key) {
    std::string folded = FoldNameCase(Trim(key));
    for (const IniKey& k : section.keys)
        if (FoldNameCase(k.name) == folded) return &k;
    return nullptr;
}

IniScan ScanIni(std::string_view all) {
    IniScan scan;
    bool checkText = true;
    std::string narrowed;
    if (all.size() >= 3 && all.substr(0, 3) == "\xEF\xBB\xBF") {
        Add(scan, 1, true, "the file is UTF-8 with a byte order mark; the package's files are code page 936 text");
        all.remove_prefix(3);
        checkText = false;
    } else if (all.size() >= 2 && all.substr(0, 2) == "\xFF\xFE") {
        Add(scan, 1, true, "the file is UTF-16 with a byte order mark; the package's files are code page 936 text");
        // Its lines, with every character beyond ASCII as '?'.
        for (std::size_t i = 2; i + 1 < all.size(); i += 2)
            narrowed += all[i + 1] == 0 && static_cast<unsigned char>(all[i]) < 0x80 ? all[i] : '?';
        all = narrowed;
        checkText = false;
    }
    int lfOnly = 0, firstLfOnly = 0;
    int current = -1;  // index of the section being read
    std::size_t pos = 0;
    int number = 0;
    bool lastHasEnd = true;
    while (pos < all.size()) {
        ++number;
        std::size_t end = all.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view raw = all.substr(pos, end - pos);
        pos = end;
        const bool cr = pos < all.size() && all[pos] == '\r';
        if (cr) ++pos;
        const bool lf = pos < all.size() && all[pos] == '\n';
        if (lf) ++pos;
        lastHasEnd = cr || lf;
        if (lf && !cr && ++lfOnly == 1) firstLfOnly = number;

        if (std::size_t nul = raw.find('\0'); nul != std::string_view::npos)
            Add(scan, number, true, "NUL byte at column " + std::to_string(nul + 1) + ": the line's value ends there");
        if (std::size_t bad = checkText ? InvalidGbkAt(raw) : std::string_view::npos; bad != std::string_view::npos)
            Add(scan, number, true,
                "byte " + Hex(static_cast<unsigned char>(raw[bad])) + " at column " + std::to_string(bad + 1) +
                    " starts no code page 936 character; the installer reads '?' there" +
                    (LooksLikeUtf8(raw) ? " (the line looks like UTF-8)" : ""));

        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                scan.sections.push_back(IniSection{std::string(Trim(line.substr(1, close - 1))), number, {}});
                current = static_cast<int>(scan.sections.size()) - 1;
                if (!Trim(line.substr(close + 1)).empty())
                    Add(scan, number, false, "the text after ']' is ignored");
                continue;
            }
            Add(scan, number, true, "section header without ']'");
            continue;
        }
        const std::size_t eq = line.find('=');
        IniKey key;
        key.name = std::string(Trim(line.substr(0, eq)));
        key.hasValue = eq != std::string_view::npos;
        if (key.hasValue) key.value = std::string(Trim(line.substr(eq + 1)));
        key.line = number;
        if (current < 0) {
            Add(scan, number, false, "a line before the first section header is never read");
            continue;
        }
        if (!key.hasValue)
            Add(scan, number, true, "not a key=value line, a section header or a comment");
        else if (key.name.empty())
            Add(scan, number, true, "a key=value line without a key name is never read");
        scan.sections[static_cast<std::size_t>(current)].keys.push_back(std::move(key));
    }
    scan.lines = number;
    if (lfOnly > 0)
        Add(scan, firstLfOnly, false,
            "the line ends in LF alone" +
                (lfOnly > 1 ? " (and " + std::to_string(lfOnly - 1) + " more line" + (lfOnly > 2 ? "s" : "") +
                                 " of this file)"
                           : std::string()) +
                "; the package's files end their lines in CR LF");
    if (number > 0 && !lastHasEnd) Add(scan, number, false, "the last line has no line end");

    // Only the first section of a name is read, and in it the first line of
    // a key.
    std::map<std::string, const IniSection*> firstSection;
    for (const IniSection& s : scan.sections) {
        auto [it, fresh] = firstSection.emplace(FoldNameCase(s.name), &s);
        if (!fresh) {
            Add(scan, s.line, !s.keys.empty(),
                "section [" + s.name + "] appears again; only the first one, at line " +
                    std::to_string(it->second->line) + ", is read" +
                    (s.keys.empty() ? std::string() : ": the keys below are never read"));
            continue;
        }
        std::map<std::string, const IniKey*> firstKey;
        for (const IniKey& k : s.keys) {
            if (k.name.empty()) continue;
            auto [kt, freshKey] = firstKey.emplace(FoldNameCase(k.name), &k);
            if (freshKey) continue;
            const IniKey& first = *kt->second;
            const bool same = first.hasValue && k.hasValue && first.value == k.value;
            Add(scan, k.line, !same,
                k.name + " appears again in [" + s.name + "]; the first one, at line " + std::to_string(first.line) +
                    ", wins" + (first.hasValue ? std::string() : " (without '=' it reads as missing)"));
        }
    }
    std::stable_sort(scan.problems.begin(), scan.problems.end(),
                     [](const IniProblem& a, const IniProblem& b) { return a.line < b.line; });
    return scan;
}
