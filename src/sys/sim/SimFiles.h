// The running program as the simulated machine sees it.
#pragma once

#include <string>

#include "sys/Platform.h"
#include "sys/sim/Faults.h"

namespace sys::sim {

class SimFiles final : public IFiles {
public:
    explicit SimFiles(Faults& faults) : m_faults(faults) {}

    std::uint32_t ModuleFileName(char* buffer, std::uint32_t size, std::uint32_t* error) override;

    // Full path of the running program.
    std::string programPath = "D:\\instalix.exe";

private:
    Faults& m_faults;
};

}  // namespace sys::sim
