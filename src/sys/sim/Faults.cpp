#include "sys/sim/Faults.h"

namespace sys::sim {

void Faults::Fail(const std::string& op, std::uint32_t error, int count, int after) {
    m_plans[op] = Plan{error, count, after};
}

void Faults::FailCall(std::size_t index, std::uint32_t error) { m_failCall = std::make_pair(index, error); }

std::uint32_t Faults::Take(const std::string& op) {
    const std::size_t index = m_calls++;
    if (onCall) onCall(index, op);
    if (m_failCall && m_failCall->first == index) return m_failCall->second;
    auto it = m_plans.find(op);
    if (it == m_plans.end()) return 0;
    if (it->second.after > 0) {
        --it->second.after;
        return 0;
    }
    std::uint32_t error = it->second.error;
    if (it->second.remaining > 0 && --it->second.remaining == 0) m_plans.erase(it);
    return error;
}

}  // namespace sys::sim
