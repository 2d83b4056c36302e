// Stopping, starting and waiting for the Spooler service on the virtual
// clock, and the Windows 98/Me restart.
#include <gtest/gtest.h>

#include "install/SpoolerControl.h"
#include "sys/sim/SimMachine.h"

namespace {

using Log = std::vector<std::string>;
using Waits = std::vector<std::uint32_t>;

class SpoolerControlTest : public ::testing::Test {
protected:
    void SetUp() override { m.SetWindows("winxp"); }
    void TearDown() override { EXPECT_EQ(m.services.OpenHandleCount(), 0u); }
    sys::Platform P() { return m.platform(); }
    sys::sim::SimMachine m;
};

TEST_F(SpoolerControlTest, StopWaitsBrieflyAndIsSilentWhenAlreadyStopped) {
    StopSpooler(P());
    EXPECT_EQ(m.services.Spooler().state, sys::kServiceStopped);
    EXPECT_EQ(m.system.waits, Waits{100});
    StopSpooler(P());
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(SpoolerControlTest, RefusalsShowTheirErrorCode) {
    m.faults.Fail("ControlService", 5);
    StopSpooler(P());
    m.faults.Fail("StartServiceA", 1058);
    StartSpooler(P());
    EXPECT_EQ(m.messages.Log(),
              (Log{"T:Stop spool service error, error code = 5", "T:Start spool service error, error code = 1058"}));
}

TEST_F(SpoolerControlTest, StartingARunningSpoolerIsSilent) {
    StartSpooler(P());
    EXPECT_TRUE(m.messages.shown.empty());
    EXPECT_EQ(m.services.Spooler().starts, 1);
}

TEST_F(SpoolerControlTest, WithoutTheManagerNothingHappens) {
    m.faults.Fail("OpenSCManagerA", 5, -1);
    StopSpooler(P());
    StartSpooler(P());
    EXPECT_FALSE(WaitForSpooler(P()));
    EXPECT_EQ(m.services.Spooler().stops, 0);
    EXPECT_TRUE(m.system.waits.empty());
    EXPECT_EQ(m.messages.Log(), Log{"T:StartSpoolService error"});
}

TEST_F(SpoolerControlTest, AServiceThatCannotBeOpenedStillCostsTheStopWait) {
    m.faults.Fail("OpenServiceA", 5);
    StopSpooler(P());
    EXPECT_EQ(m.system.waits, Waits{100});
    EXPECT_EQ(m.services.Spooler().state, sys::kServiceRunning);
}

TEST_F(SpoolerControlTest, WaitPollsEvery300MsUntilRunning) {
    StopSpooler(P());
    m.system.waits.clear();
    m.services.Spooler().startDelayMs = 1000;
    StartSpooler(P());
    EXPECT_EQ(m.services.Spooler().state, sys::kServiceStartPending);
    EXPECT_TRUE(WaitForSpooler(P()));
    EXPECT_EQ(m.system.waits, (Waits{300, 300, 300, 300}));
    EXPECT_TRUE(m.messages.shown.empty());
}

TEST_F(SpoolerControlTest, ASpoolerSlowerThanThreeSecondsIsReported) {
    StopSpooler(P());
    m.system.waits.clear();
    m.services.Spooler().startDelayMs = 3500;
    StartSpooler(P());
    EXPECT_FALSE(WaitForSpooler(P()));
    EXPECT_EQ(m.system.waits, Waits(10, 300));
    EXPECT_EQ(m.messages.Log(), Log{"T:StartSpoolService error"});
}

TEST_F(SpoolerControlTest, RestartAsksForARebootAndReportsARefusal) {
    m.SetWindows("win98");
    RestartWindows(P());
    EXPECT_EQ(m.system.exitWindowsCalls, std::vector<std::uint32_t>{2});
    EXPECT_TRUE(m.messages.shown.empty());
    m.faults.Fail("ExitWindowsEx", 5);
    RestartWindows(P());
    EXPECT_EQ(m.messages.Log(), Log{"127"});
}

}  // namespace
