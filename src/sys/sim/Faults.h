// Failure injection for the simulated machine: any operation, named after
// its Win32 function, can be made to fail with a chosen error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace sys::sim {

class Faults {
public:
    // After `after` more calls go through, the next `count` calls of `op`
    // fail with `error`; a negative count makes every later call fail.
    void Fail(const std::string& op, std::uint32_t error, int count = 1, int after = 0);
    // The call numbered `index` (counting every operation's calls from 0)
    // fails with `error`, whatever operation it is.
    void FailCall(std::size_t index, std::uint32_t error);
    void Clear() {
        m_plans.clear();
        m_failCall.reset();
    }

    // Called by the simulated machine at each operation: the error the call
    // must fail with, or 0 when it goes through.
    std::uint32_t Take(const std::string& op);

    // Calls answered so far.
    std::size_t CallCount() const { return m_calls; }
    // Told of every call before it is answered, with the call's number.
    std::function<void(std::size_t index, const std::string& op)> onCall;

private:
    struct Plan {
        std::uint32_t error;
        int remaining;
        int after;
    };
    std::map<std::string, Plan> m_plans;
    std::optional<std::pair<std::size_t, std::uint32_t>> m_failCall;
    std::size_t m_calls = 0;
};

}  // namespace sys::sim
