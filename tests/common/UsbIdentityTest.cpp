// The USB identity through the maker's library: the simulated library on
// the host, the simulated KrUsbInt.dll loaded for real under Wine.
#include <gtest/gtest.h>

#include "common/TestMachine.h"
#include "ports/UsbIdentity.h"
#include "resource.h"

namespace {

class UsbIdentityTest : public ::testing::Test {
protected:
    void SetUp() override { m_machine = TestMachine::Create(); }
    sys::Platform P() { return m_machine->platform(); }
    std::unique_ptr<TestMachine> m_machine;
};

TEST_F(UsbIdentityTest, TheIdentityIsReadAndRewrittenAsAfterAReset) {
    m_machine->SetUsbPrinters({2});
    EXPECT_EQ(ReadUsbIdentity(P()), 2);
    WriteUsbIdentity(P(), 6);
    EXPECT_EQ(m_machine->UsbPrinters(), std::vector<unsigned>{5});
    EXPECT_EQ(ReadUsbIdentity(P()), 5);
    WriteUsbIdentity(P(), 1);
    EXPECT_EQ(ReadUsbIdentity(P()), 0);
}

TEST_F(UsbIdentityTest, LargeIdentitiesKeepAllSixteenBits) {
    m_machine->SetUsbPrinters({0x1234});
    EXPECT_EQ(ReadUsbIdentity(P()), 0x1234);
}

TEST_F(UsbIdentityTest, PortsOutsideOneToEightWriteNothing) {
    m_machine->SetUsbPrinters({3});
    WriteUsbIdentity(P(), 0);
    WriteUsbIdentity(P(), 9);
    EXPECT_EQ(m_machine->UsbPrinters(), std::vector<unsigned>{3});
}

}  // namespace
