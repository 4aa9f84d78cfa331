// The system clock's state through its seam: the wait for a synchronised
// clock, its limit, and the field the transmission log carries.
#include "clock/clocksync.h"
#include "clock/simclock.h"

#include <gtest/gtest.h>

namespace {

// Answers unsynchronised until `syncAfter` questions have been asked.
struct FakeKernel {
    int asked = 0;
    int syncAfter = 0;
    ClockSyncState Answer()
    {
        ++asked;
        return asked > syncAfter ? ClockSyncState{true, 2500} : ClockSyncState{};
    }
};

class ClockSyncTest : public testing::Test {
protected:
    void SetUp() override { SetClockSyncSource([this] { return kernel_.Answer(); }); }
    void TearDown() override { SetClockSyncSource({}); }
    std::int64_t WaitedMs(std::int32_t maxSeconds, ClockSyncState& state)
    {
        const std::int64_t before = clock_.Abs();
        state = WaitForClockSync(clock_, maxSeconds);
        return clock_.Abs() - before;
    }
    FakeKernel kernel_;
    SimClock clock_;
};

TEST_F(ClockSyncTest, WaitsUntilSynchronisedOrTheLimit)
{
    ClockSyncState state;
    EXPECT_EQ(WaitedMs(-1, state), 0); // synchronised already: no wait
    EXPECT_TRUE(state.synced);

    kernel_ = {0, 3};
    EXPECT_EQ(WaitedMs(-1, state), 3000); // asked once a second, no limit
    EXPECT_TRUE(state.synced);
    EXPECT_EQ(state.estErrorUs, 2500);

    kernel_ = {0, 1000};
    EXPECT_EQ(WaitedMs(5, state), 5000); // then it goes on unsynchronised
    EXPECT_FALSE(state.synced);
    EXPECT_EQ(kernel_.asked, 6);
    EXPECT_EQ(WaitedMs(0, state), 0);
}

TEST_F(ClockSyncTest, LogFieldAndTheKernelBehindTheSeam)
{
    EXPECT_EQ(ClockSyncField({true, 16000}), "clock=synced,esterror=16000us");
    EXPECT_EQ(ClockSyncField({}), "clock=unsynced");
    EXPECT_EQ(QueryClockSync().estErrorUs, 2500);
    SetClockSyncSource({});
    // Whatever this machine's clock says, the seam now passes on the kernel's answer.
    EXPECT_EQ(QueryClockSync().synced, KernelClockSync().synced);
}

} // namespace
