#include "sys/ProgramPathOverride.h"

#include <cstring>

namespace sys {

std::uint32_t CopyModulePath(const std::string& path, char* buffer, std::uint32_t size, std::uint32_t* error) {
    *error = 0;
    if (size == 0) {
        *error = kErrorInsufficientBuffer;
        return 0;
    }
    std::size_t n = path.size();
    if (n >= size) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        *error = kErrorInsufficientBuffer;
        return size;
    }
    std::memcpy(buffer, path.c_str(), n + 1);
    return static_cast<std::uint32_t>(n);
}

std::uint32_t ProgramPathOverride::ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) {
    return CopyModulePath(m_programPath, buffer, size, error);
}

}  // namespace sys
