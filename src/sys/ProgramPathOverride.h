// Presents another path as the running program's own, so that the
// configuration is read from a package folder of the caller's choosing
// (the package authors' tool, the tests).  Everything else passes through.
#pragma once

#include <string>

#include "sys/ForwardingFiles.h"
#include "sys/Platform.h"

namespace sys {

class ProgramPathOverride final : public ForwardingFiles {
public:
    ProgramPathOverride(IFiles& inner, std::string programPath)
        : ForwardingFiles(inner), m_programPath(std::move(programPath)) {}

    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    void SetPath(std::string programPath) { m_programPath = std::move(programPath); }

private:
    std::string m_programPath;
};

// Copies a program path into a caller's buffer the way GetModuleFileNameA
// does: a path that does not fit is cut to size - 1 characters and size is
// returned with ERROR_INSUFFICIENT_BUFFER.
std::uint32_t CopyModulePath(const std::string& path, char* buffer, std::uint32_t size, std::uint32_t* error);

}  // namespace sys
