#include "sys/Types.h"

#include <cstring>

namespace sys {

std::vector<std::uint8_t> DevModeBlock(const DevMode& dm) {
    std::vector<std::uint8_t> block(sizeof(DevMode) + dm.dmDriverExtra, 0);
    std::memcpy(block.data(), &dm, sizeof(DevMode));
    return block;
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

}  // namespace sys
