#include "sys/sim/SimFiles.h"

#include "sys/ProgramPathOverride.h"

namespace sys::sim {

std::uint32_t SimFiles::ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) {
    if ((*error = m_faults.Take("GetModuleFileNameA"))) return 0;
    return CopyModulePath(programPath, buffer, size, error);
}

}  // namespace sys::sim
