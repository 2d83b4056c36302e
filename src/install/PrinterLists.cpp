#include "install/PrinterLists.h"

#include <algorithm>

#include <cstdint>

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// Whether `item` begins with `text`, ASCII letters without regard to case.
// A double-byte character is compared whole: its trail byte may lie in the
// range of ASCII letters without being one.
// A text that ends in half a character matches nothing.
bool StartsWithNoCase(const std::string& item, const std::string& text) {
    if (item.size() < text.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char t = static_cast<unsigned char>(text[i]);
        const unsigned char c = static_cast<unsigned char>(item[i]);
        if (IsLeadByte(t)) {
            if (i + 1 == text.size() || c != t || item[i + 1] != text[i + 1]) return false;
            ++i;
            continue;
        }
        if (FoldAscii(c) != FoldAscii(t)) return false;
    }
    return true;
}

}  // namespace

int ComboFindString(const std::vector<std::string>& items, int start, const std::string& text) {
    // An empty text finds nothing, as in the control.
    if (text.empty()) return -1;
    const int count = static_cast<int>(items.size());
    if (start < -1 || start >= count) start = -1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        if (StartsWithNoCase(items[static_cast<std::size_t>(i)], text)) return i;
    }
    return -1;
}

PrinterLists ReadPrinterLists(ConfigReader& config) {
    PrinterLists lists;
    const int count = std::min<std::int32_t>(config.ReadDeviceCount(), kMaxConfigEntries);
    for (int i = 1; i <= count; ++i) {
        std::string name;
        const int c = config.ReadDeviceName(i, name);
        if (c >= 0 && c <= 3) lists.models[c].push_back(name);
    }
    for (const std::vector<std::string>& models : lists.models)
        if (!models.empty()) lists.hasModels = 1;

    std::string name;
    const int c = config.ReadDefaultDevice(name);
    if (c < 0 || c > 3) return lists;
    lists.defaultClass = c;
    // As the page's combo box searches: from the entry after the first,
    // wrapping round, by prefix.
    lists.defaultIndex = ComboFindString(lists.models[c], 0, name);
    if (lists.defaultIndex >= 0) lists.defaultModel = lists.models[c][static_cast<std::size_t>(lists.defaultIndex)];
    return lists;
}
