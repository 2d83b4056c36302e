#include "install/OsClassification.h"

#include "resource.h"

namespace {
constexpr std::uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr std::uint32_t kPlatformNt = 2;       // VER_PLATFORM_WIN32_NT

OsClassification Marked(TargetSystem system) {
    OsClassification os;
    os.system = system;
    os.markedButton = OsButtonOf(system);
    return os;
}
}  // namespace

OsClassification ClassifyOs(const sys::OsVersion& v) {
    if (v.platformId == kPlatformWindows) {
        // 98 and Me; Windows 95 (minor 0) gets the family but no mark.
        if (v.minor > 0) return Marked(TargetSystem::Win98Me);
        return OsClassification{};
    }
    if (v.platformId == kPlatformNt) {
        if (v.major == 4 && v.minor == 0) return Marked(TargetSystem::WinNT);
        if (v.major == 5 && v.minor == 0) return Marked(TargetSystem::Win2000);
        if (v.major == 5 && v.minor == 1) return Marked(TargetSystem::WinXP);
        if (v.major == 5 && v.minor == 2) return Marked(TargetSystem::WinServer2003);
        return OsClassification{};
    }
    OsClassification os;
    os.unsupported = true;
    return os;
}

int OsButtonOf(TargetSystem system) {
    switch (system) {
        case TargetSystem::Win98Me: return IDC_OS_WIN98;
        case TargetSystem::WinNT: return IDC_OS_WINNT;
        case TargetSystem::Win2000: return IDC_OS_WIN2000;
        case TargetSystem::WinXP: return IDC_OS_WINXP;
        case TargetSystem::WinServer2003: return IDC_OS_WIN2003;
    }
    return 0;
}
