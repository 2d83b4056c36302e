// Failure injection for the simulated machine: any operation, named after
// its Win32 function, can be made to fail with a chosen error code.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace sys::sim {

class Faults {
public:
    // After `after` more calls go through, the next `count` calls of `op`
    // fail with `error`; a negative count makes every later call fail.
    void Fail(const std::string& op, std::uint32_t error, int count = 1, int after = 0);
    void Clear() { m_plans.clear(); }

    // Called by the simulated machine at each operation: the error the call
    // must fail with, or 0 when it goes through.
    std::uint32_t Take(const std::string& op);

private:
    struct Plan {
        std::uint32_t error;
        int remaining;
        int after;
    };
    std::map<std::string, Plan> m_plans;
};

}  // namespace sys::sim
