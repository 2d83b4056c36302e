#include "sys/ProgramPathOverride.h"

#include <cstring>

namespace sys {

std::uint32_t ProgramPathOverride::ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) {
    (void)m_inner;
    *error = 0;
    if (size == 0) {
        *error = kErrorInsufficientBuffer;
        return 0;
    }
    std::size_t n = m_programPath.size();
    if (n >= size) {
        std::memcpy(buffer, m_programPath.data(), size - 1);
        buffer[size - 1] = '\0';
        *error = kErrorInsufficientBuffer;
        return size;
    }
    std::memcpy(buffer, m_programPath.c_str(), n + 1);
    return static_cast<std::uint32_t>(n);
}

}  // namespace sys
