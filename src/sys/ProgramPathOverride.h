// Presents another path as the running program's own, so that the
// configuration is read from a package folder of the caller's choosing
// (the package authors' tool, the tests).  Everything else passes through.
#pragma once

#include <string>

#include "sys/Platform.h"

namespace sys {

class ProgramPathOverride final : public IFiles {
public:
    ProgramPathOverride(IFiles& inner, std::string programPath)
        : m_inner(inner), m_programPath(std::move(programPath)) {}

    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) override;
    void SetPath(std::string programPath) { m_programPath = std::move(programPath); }

private:
    IFiles& m_inner;
    std::string m_programPath;
};

}  // namespace sys
