#include "sys/sim/SimFiles.h"

#include <cstring>

namespace sys::sim {

std::uint32_t SimFiles::ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) {
    *error = m_faults.Take("GetModuleFileNameA");
    if (*error) return 0;
    if (size == 0) {
        *error = kErrorInsufficientBuffer;
        return 0;
    }
    std::size_t n = programPath.size();
    if (n >= size) {
        // Cut to size - 1 characters and report the whole buffer used.
        std::memcpy(buffer, programPath.data(), size - 1);
        buffer[size - 1] = '\0';
        *error = kErrorInsufficientBuffer;
        return size;
    }
    std::memcpy(buffer, programPath.c_str(), n + 1);
    return static_cast<std::uint32_t>(n);
}

}  // namespace sys::sim
