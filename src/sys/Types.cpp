#include "sys/Types.h"

#include <algorithm>
#include <cstring>

namespace sys {

std::vector<std::uint8_t> DevModeBlock(const DevMode& dm) {
    std::vector<std::uint8_t> block(sizeof(DevMode) + dm.dmDriverExtra, 0);
    std::memcpy(block.data(), &dm, sizeof(DevMode));
    return block;
}

namespace {
constexpr std::size_t kDevModeSizeAt = 36;  // dmSize, then dmDriverExtra
constexpr std::size_t kDevModeHeader = 40;

std::size_t DevModeWord(const std::uint8_t* data, std::size_t at) {
    return static_cast<std::size_t>(data[at] | (data[at + 1] << 8));
}
}  // namespace

void ReadDevModeBlock(PrinterInfo2& p, const std::uint8_t* data, std::size_t size) {
    p.pDevMode.reset();
    p.devModeBytes.clear();
    if (!data || size < kDevModeHeader) return;
    const std::size_t publicSize = DevModeWord(data, kDevModeSizeAt);
    const std::size_t total = std::min(size, publicSize + DevModeWord(data, kDevModeSizeAt + 2));
    DevMode dm;
    std::memset(&dm, 0, sizeof dm);
    std::memcpy(&dm, data, std::min({publicSize, sizeof dm, total}));
    p.pDevMode = dm;
    p.devModeBytes.assign(data, data + total);
}

std::vector<std::uint8_t> DevModeToWrite(const PrinterInfo2& p) {
    if (!p.pDevMode) return {};
    const std::vector<std::uint8_t>& read = p.devModeBytes;
    if (read.size() >= kDevModeHeader) {
        // The public part as far as both hold it; past the read block's
        // dmSize, pDevMode holds the zeros ReadDevModeBlock put there.
        const std::size_t publicSize = std::min(DevModeWord(read.data(), kDevModeSizeAt), read.size());
        const std::size_t common = std::min(publicSize, sizeof(DevMode));
        const auto* mine = reinterpret_cast<const std::uint8_t*>(&*p.pDevMode);
        bool same = std::memcmp(mine, read.data(), common) == 0;
        for (std::size_t i = common; same && i < sizeof(DevMode); ++i) same = mine[i] == 0;
        if (same) return read;
    }
    return DevModeBlock(*p.pDevMode);
}

std::string MultiString(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        out += item;
        out += '\0';
    }
    out += '\0';
    return out;
}

std::string TextBeforeNul(const char* bytes, std::size_t size) {
    const void* nul = std::memchr(bytes, '\0', size);
    return std::string(bytes, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : size);
}

}  // namespace sys
