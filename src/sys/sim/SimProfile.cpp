#include "sys/sim/SimProfile.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "sys/sim/WinText.h"

namespace sys::sim {

namespace {

// Strips one pair of matching quotes around a value longer than one character.
std::string_view StripQuotes(std::string_view v) {
    if (v.size() > 1 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

std::string ToCodePage936(std::string_view text, const char* from) {
    std::string out;
    iconv_t cd = iconv_open("GBK", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    const std::size_t unit = std::strcmp(from, "UTF-16LE") == 0 ? 2 : 1;
    std::string in(text);
    char* src = in.data();
    std::size_t left = in.size();
    char buffer[256];
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // Not convertible, malformed or cut off: one "?" for one unit
            // (a UTF-8 sequence is skipped to its next lead byte).
            out += '?';
            std::size_t skip = std::min(unit, left);
            if (unit == 1)
                while (skip < left && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
            src += skip;
            left -= skip;
        }
    }
    iconv_close(cd);
    return out;
}

namespace {

// The file's text as the reader sees it in code page 936.  A file with a
// UTF-16LE or UTF-8 byte-order mark is converted.  In an ANSI file, a lead
// byte whose next byte cannot end a character becomes one "?" that takes
// that byte with it; every other byte stays as stored.
std::string ReaderText(const std::string& bytes) {
    std::string_view all(bytes);
    if (all.size() >= 2 && all.substr(0, 2) == "\xFF\xFE") return ToCodePage936(all.substr(2), "UTF-16LE");
    if (all.size() >= 3 && all.substr(0, 3) == "\xEF\xBB\xBF") return ToCodePage936(all.substr(3), "UTF-8");
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(all[i]);
        if (c < 0x81 || c == 0xFF) {
            out += all[i];
            continue;
        }
        const unsigned char t = i + 1 < all.size() ? static_cast<unsigned char>(all[i + 1]) : 0;
        if (i + 1 < all.size() && ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFE))) {
            out += all[i];
            out += all[i + 1];
        } else {
            out += '?';
        }
        ++i;
    }
    return out;
}

}  // namespace

// One pass over the file's text: the first section of each name, and in it
// the first line of each key name (a key line without "=" counts, and makes
// the key not found).
SimProfile::Parsed SimProfile::Parse(const std::string& text) {
    Parsed parsed;
    std::string_view all(text);
    std::unordered_map<std::string, std::optional<std::string>>* current = nullptr;
    std::vector<std::string>* currentKeys = nullptr;
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t end = all.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = all.size();
        std::string_view line = TrimBlanks(all.substr(pos, end - pos));
        pos = end;
        if (pos < all.size() && all[pos] == '\r') ++pos;
        if (pos < all.size() && all[pos] == '\n') ++pos;
        if (line.empty()) continue;
        if (line.front() == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                // A later section of the same name is never searched.
                const std::string_view written = TrimBlanks(line.substr(1, close - 1));
                const std::string name = FoldCase(written);
                parsed.sections.emplace_back(written);
                current = parsed.values.count(name) ? nullptr : &parsed.values[name];
                currentKeys = current ? &parsed.keys[name] : nullptr;
                continue;
            }
        }
        if (!current) continue;
        std::size_t eq = line.find('=');
        const std::string name = FoldCase(TrimBlanks(line.substr(0, eq)));
        // Listed are the lines with "=", a repeated name as often as it stands.
        if (eq != std::string_view::npos && line.front() != ';') currentKeys->emplace_back(TrimBlanks(line.substr(0, eq)));
        if (current->count(name)) continue;
        if (eq == std::string_view::npos) {
            (*current)[name] = std::nullopt;
            continue;
        }
        // A NUL inside the line ends the value.
        std::string_view value = line.substr(eq + 1);
        value = TrimBlanks(value.substr(0, value.find('\0')));
        (*current)[name] = std::string(value);
    }
    return parsed;
}

namespace {

// A value that does not fit is cut after its last whole character, and the
// terminator goes into the buffer's last byte with the count size - 1, as
// Wine's reader does it: the bytes between are left as they were.
std::uint32_t CopyOut(std::string_view value, char* buffer, std::uint32_t size) {
    if (size == 0 || !buffer) return 0;
    if (value.size() < size) {
        std::memcpy(buffer, value.data(), value.size());
        buffer[value.size()] = '\0';
        return static_cast<std::uint32_t>(value.size());
    }
    std::size_t n = 0;
    while (n < size - 1) {
        const unsigned char c = static_cast<unsigned char>(value[n]);
        const std::size_t width = c >= 0x81 && c <= 0xFE && n + 1 < value.size() ? 2 : 1;
        if (n + width > size - 1) break;
        n += width;
    }
    std::memcpy(buffer, value.data(), n);
    buffer[size - 1] = '\0';
    return size - 1;
}

// Names as enumeration gives them: each ended by a NUL, the list by one
// more.  A list that does not fit is cut to size - 2 bytes (even inside a
// name) and ended there, as Wine's reader does it.
std::uint32_t ListOut(const std::vector<std::string>& names, char* buffer, std::uint32_t size) {
    if (size == 0 || !buffer) return 0;
    std::string list;
    for (const std::string& n : names) list += n + '\0';
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<std::uint32_t>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    return size - 2;
}

}  // namespace

std::uint32_t SimProfile::GetPrivateString(const char* section, const char* key, const char* def, char* buffer,
                                           std::uint32_t size, const char* file) {
    std::string defText = def ? def : "";
    while (!defText.empty() && IsBlank(defText.back())) defText.pop_back();
    std::string_view defValue = StripQuotes(defText);

    if (m_faults.Take("GetPrivateProfileStringA")) return CopyOut(defValue, buffer, size);
    if (!file) return CopyOut("", buffer, size);
    // A null section lists the sections, a null key the section's keys.
    std::string_view sec = section ? TrimBlanks(section) : std::string_view();
    std::string_view k = key ? TrimBlanks(key) : std::string_view();
    if ((section && sec.empty()) || (key && k.empty())) return CopyOut(defValue, buffer, size);

    std::string path = file;
    if (FindSeparator(path, 0, "\\/:") == std::string::npos) path = m_files.windowsDir + "\\" + path;
    // Like the system, the reader keeps a file it has read until it changes.
    std::string fileKey;
    const std::string version = m_files.Version(path, &fileKey);
    if (version.empty()) return CopyOut(defValue, buffer, size);
    Cached& cached = m_cache[fileKey];
    if (cached.version != version) {
        std::string text;
        if (!m_files.ReadFile(path, &text)) return CopyOut(defValue, buffer, size);
        cached.parsed = Parse(ReaderText(text));
        cached.version = version;
    }
    if (!section) return ListOut(cached.parsed.sections, buffer, size);
    const std::string foldedSection = FoldCase(sec);
    auto found = cached.parsed.values.find(foldedSection);
    if (found == cached.parsed.values.end()) return CopyOut(defValue, buffer, size);
    if (!key) return ListOut(cached.parsed.keys[foldedSection], buffer, size);
    auto value = found->second.find(FoldCase(k));
    if (value == found->second.end() || !value->second) return CopyOut(defValue, buffer, size);
    return CopyOut(StripQuotes(*value->second), buffer, size);
}

}  // namespace sys::sim
