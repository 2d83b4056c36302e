// The failure paths of the USB identity, which only the simulated library
// can produce: a missing library or export, two printers, failed calls.
#include <gtest/gtest.h>

#include "ports/UsbIdentity.h"
#include "sys/sim/SimMachine.h"

namespace {

using Log = std::vector<std::string>;

class UsbIdentityHostTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(m.usb.loadedCount(), 0);
        EXPECT_EQ(m.usb.openDevices(), 0);
    }
    sys::sim::SimMachine m;
};

TEST_F(UsbIdentityHostTest, AMissingLibrary) {
    m.usb.installed = false;
    EXPECT_EQ(ReadUsbIdentity(m.platform()), -1);
    WriteUsbIdentity(m.platform(), 2);
    EXPECT_EQ(m.messages.Log(), Log{"T:Can not load KrUsbInt.dll"});
}

TEST_F(UsbIdentityHostTest, MissingExports) {
    m.usb.printers = {1};
    m.usb.missingExports = {"GetDescriptor"};
    EXPECT_EQ(ReadUsbIdentity(m.platform()), -1);
    m.usb.missingExports = {"uWrite"};
    WriteUsbIdentity(m.platform(), 2);
    EXPECT_EQ(m.messages.Log(), (Log{"T:open function error", "T:open function error"}));
    m.messages.shown.clear();
    m.usb.missingExports = {"CloseDevice"};
    EXPECT_EQ(ReadUsbIdentity(m.platform()), -1);
    WriteUsbIdentity(m.platform(), 2);
    EXPECT_TRUE(m.messages.shown.empty());
    EXPECT_TRUE(m.usb.written.empty());
}

TEST_F(UsbIdentityHostTest, TwoPrintersAreRefusedAndNoneIsSilent) {
    m.usb.printers = {1, 4};
    EXPECT_EQ(ReadUsbIdentity(m.platform()), -2);
    EXPECT_EQ(m.messages.Log(), Log{"144"});
    m.messages.shown.clear();
    m.usb.printers.clear();
    EXPECT_EQ(ReadUsbIdentity(m.platform()), -1);
    EXPECT_TRUE(m.messages.shown.empty());
    WriteUsbIdentity(m.platform(), 3);
    EXPECT_EQ(m.messages.Log(), Log{"T:Can not find USB device."});
}

TEST_F(UsbIdentityHostTest, FailedCalls) {
    m.usb.printers = {7};
    m.faults.Fail("GetDescriptor", 1);
    EXPECT_EQ(ReadUsbIdentity(m.platform()), -1);
    m.faults.Fail("uWrite", 1);
    WriteUsbIdentity(m.platform(), 2);
    EXPECT_EQ(m.messages.Log(), Log{"T:write ID error"});
    EXPECT_EQ(m.usb.printers[0], 7);
}

// The printer's command, byte for byte: ESC and the eight bytes this
// printer family takes for "set identity", then the port less one.
TEST_F(UsbIdentityHostTest, TheCommandIsThePrefixAndThePortLessOne) {
    m.usb.printers = {0};
    WriteUsbIdentity(m.platform(), 256 + 4);  // only the low byte counts
    ASSERT_EQ(m.usb.written.size(), 1u);
    const std::vector<std::uint8_t> expected = {0x1B, 0x1D, 0x49, 0x44, 0x4B, 0x52, 0x03, 0x00, 0x01, 3};
    EXPECT_EQ(m.usb.written[0], expected);
    EXPECT_EQ(m.usb.printers[0], 3);
    WriteUsbIdentity(m.platform(), 8);
    ASSERT_EQ(m.usb.written.size(), 2u);
    EXPECT_EQ(m.usb.written[1].back(), 7);
    EXPECT_EQ(m.usb.printers[0], 7);
}

}  // namespace
