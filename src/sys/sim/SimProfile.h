// Profile files of the simulated machine, read with the rules of
// GetPrivateProfileStringA.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "sys/Platform.h"
#include "sys/sim/Faults.h"
#include "sys/sim/SimFileSystem.h"

namespace sys::sim {

class SimProfile final : public IProfile {
public:
    SimProfile(SimFileSystem& files, Faults& faults) : m_files(files), m_faults(faults) {}

    std::uint32_t GetPrivateString(const char* section, const char* key, const char* def, char* buffer,
                                   std::uint32_t size, const char* file) override;

private:
    struct Parsed {
        // Folded section name -> folded key name -> value (none: a key line
        // without "=").
        std::unordered_map<std::string, std::unordered_map<std::string, std::optional<std::string>>> values;
        // Every section header's name, and the key names of each section's
        // first occurrence, as written and in their order, as enumeration
        // (a null section or key) lists them.
        std::vector<std::string> sections;
        std::unordered_map<std::string, std::vector<std::string>> keys;
    };
    struct Cached {
        std::string version;
        Parsed parsed;
    };
    static Parsed Parse(const std::string& text);

    std::unordered_map<std::string, Cached> m_cache;  // by folded full path
    SimFileSystem& m_files;
    Faults& m_faults;
};

}  // namespace sys::sim
