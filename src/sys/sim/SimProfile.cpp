#include "sys/sim/SimProfile.h"

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

// Looks `key` up in `section` of the file text.  An empty optional means not
// found (or a key line without '='); otherwise the raw trimmed value.
std::optional<std::string> Lookup(const std::string& text, std::string_view section, std::string_view key) {
    std::string_view all(text);
    if (all.size() >= 3 && all.substr(0, 3) == "\xEF\xBB\xBF") all.remove_prefix(3);
    bool inSection = false;
    bool seenSection = false;
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
                // Only the first section of a name is searched.
                if (inSection) return std::nullopt;
                std::string_view name = TrimBlanks(line.substr(1, close - 1));
                inSection = !seenSection && EqualNoCase(name, section);
                if (inSection) seenSection = true;
                continue;
            }
        }
        if (!inSection) continue;
        std::size_t eq = line.find('=');
        std::string_view name = TrimBlanks(line.substr(0, eq));
        if (!EqualNoCase(name, key)) continue;
        if (eq == std::string_view::npos) return std::nullopt;
        return std::string(TrimBlanks(line.substr(eq + 1)));
    }
    return std::nullopt;
}

std::uint32_t CopyOut(std::string_view value, char* buffer, std::uint32_t size) {
    if (size == 0 || !buffer) return 0;
    std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
}

}  // namespace

std::uint32_t SimProfile::GetPrivateString(const char* section, const char* key, const char* def, char* buffer,
                                           std::uint32_t size, const char* file) {
    std::string defText = def ? def : "";
    while (!defText.empty() && IsBlank(defText.back())) defText.pop_back();
    std::string_view defValue = StripQuotes(defText);

    if (m_faults.Take("GetPrivateProfileStringA")) return CopyOut(defValue, buffer, size);
    // Enumerating sections or keys (a null section or key) is not something
    // the installer does.
    if (!section || !key || !file) return CopyOut("", buffer, size);
    std::string_view sec = TrimBlanks(section);
    std::string_view k = TrimBlanks(key);
    if (sec.empty() || k.empty()) return CopyOut(defValue, buffer, size);

    std::string path = file;
    if (path.find_first_of("\\/:") == std::string::npos) path = m_files.windowsDir + "\\" + path;
    std::string text;
    if (!m_files.ReadFile(path, &text)) return CopyOut(defValue, buffer, size);
    std::optional<std::string> value = Lookup(text, sec, k);
    if (!value) return CopyOut(defValue, buffer, size);
    return CopyOut(StripQuotes(*value), buffer, size);
}

}  // namespace sys::sim
