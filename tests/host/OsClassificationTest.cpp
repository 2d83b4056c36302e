// The target-system page's family, marked button and message, by version.
#include <gtest/gtest.h>

#include "install/OsClassification.h"

namespace {

struct VersionCase {
    std::uint32_t platformId, major, minor;
    TargetSystem system;
    int marked;
    bool unsupported;
};

sys::OsVersion Version(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
    sys::OsVersion v;
    v.platformId = platformId;
    v.major = major;
    v.minor = minor;
    v.build = 2600;
    return v;
}

}  // namespace

// The buttons: 1026 Windows 98/Me, 1027 NT, 1028 2000, 1029 XP, 1075 Server 2003.
TEST(OsClassification, EachVersionGivesItsFamilyAndButton) {
    const VersionCase cases[] = {
        {1, 4, 10, TargetSystem::Win98Me, 1026, false},  // 98
        {1, 4, 90, TargetSystem::Win98Me, 1026, false},  // Me
        {2, 4, 0, TargetSystem::WinNT, 1027, false},
        {2, 5, 0, TargetSystem::Win2000, 1028, false},
        {2, 5, 1, TargetSystem::WinXP, 1029, false},
        {2, 5, 2, TargetSystem::WinServer2003, 1075, false},
        // Known platforms, unknown versions: the 98/Me family, nothing marked.
        {1, 4, 0, TargetSystem::Win98Me, 0, false},  // 95
        {2, 3, 51, TargetSystem::Win98Me, 0, false},
        {2, 4, 1, TargetSystem::Win98Me, 0, false},
        {2, 5, 3, TargetSystem::Win98Me, 0, false},
        {2, 6, 1, TargetSystem::Win98Me, 0, false},
        {2, 10, 0, TargetSystem::Win98Me, 0, false},
        // Neither 9x nor NT: message 115.
        {0, 5, 1, TargetSystem::Win98Me, 0, true},
        {3, 4, 10, TargetSystem::Win98Me, 0, true},
    };
    for (const VersionCase& c : cases) {
        const OsClassification os = ClassifyOs(Version(c.platformId, c.major, c.minor));
        const std::string name =
            std::to_string(c.platformId) + ":" + std::to_string(c.major) + "." + std::to_string(c.minor);
        EXPECT_EQ(os.system, c.system) << name;
        EXPECT_EQ(os.markedButton, c.marked) << name;
        EXPECT_EQ(os.unsupported, c.unsupported) << name;
    }
}

TEST(OsClassification, TheEnabledButtonBelongsToTheFamilyEvenWhenNoneIsMarked) {
    EXPECT_EQ(OsButtonOf(TargetSystem::Win98Me), 1026);
    EXPECT_EQ(OsButtonOf(TargetSystem::WinNT), 1027);
    EXPECT_EQ(OsButtonOf(TargetSystem::Win2000), 1028);
    EXPECT_EQ(OsButtonOf(TargetSystem::WinXP), 1029);
    EXPECT_EQ(OsButtonOf(TargetSystem::WinServer2003), 1075);
    // Windows 95: only "Windows 98/Me" is enabled, though it is not marked.
    EXPECT_EQ(OsButtonOf(ClassifyOs(Version(1, 4, 0)).system), 1026);
    // A value outside the five families has no button.
    EXPECT_EQ(OsButtonOf(static_cast<TargetSystem>(5)), 0);
    EXPECT_EQ(OsButtonOf(static_cast<TargetSystem>(-1)), 0);
}
