#include <gtest/gtest.h>

#include "install/InstallChoices.h"

TEST(InstallChoices, PortKindFromThePortName) {
    EXPECT_EQ(PortKindOf("COM1:"), PortKind::Serial);
    EXPECT_EQ(PortKindOf("KRCOM3:"), PortKind::Serial);
    EXPECT_EQ(PortKindOf("LPT1:"), PortKind::Parallel);
    EXPECT_EQ(PortKindOf("USB_MTR-Q5_1"), PortKind::Usb);
    // "USB_" is tested first.
    EXPECT_EQ(PortKindOf("USB_COMBO_1"), PortKind::Usb);
    // The tests are case-sensitive; a name with none of the three has no kind.
    EXPECT_EQ(PortKindOf("usb_x_1"), std::nullopt);
    EXPECT_EQ(PortKindOf("FILE:"), std::nullopt);
}

TEST(InstallChoices, EnumerationsHaveTheirFixedValues) {
    EXPECT_EQ(static_cast<int>(TargetSystem::WinServer2003), 4);
    EXPECT_EQ(static_cast<int>(PrinterClass::Embedded), 3);
    EXPECT_EQ(static_cast<int>(InstallMode::Typical), 1);
    EXPECT_EQ(static_cast<int>(PortKind::Usb), 2);
    EXPECT_EQ(SerialMonitorOutdated | UsbMonitorOutdated | ProcessorOutdated, 11u);
}
