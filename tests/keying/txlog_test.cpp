// The transmission log's lines: their format, and which moments of a run
// write one (message start and end, Cancel, RX, the stop time, a signal).
#include "harness.h"
#include "keying/txlog.h"
#include "support/tempdir.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

using namespace keying;

constexpr std::int64_t kUnixEpochDays = 25569; // 1970-01-01 in days since 1899-12-30

std::int64_t At(int h, int m, int s) { return ((h * 60LL + m) * 60 + s) * 1000; }

// Sets TZ for the test's duration.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard()
    {
        if (old_.empty())
            unsetenv("TZ");
        else
            setenv("TZ", old_.c_str(), 1);
        tzset();
    }

private:
    std::string old_;
};

TEST(TxLogLineTest, UtcAndLocalTimeWhatTextModeAndDot)
{
    const std::int64_t may1st6h = 1777615200000; // 2026-05-01T06:00:00Z
    {
        ZoneGuard zone("XST-2");
        EXPECT_EQ(TxLogLine(may1st6h + 999, "start", "1", false, 3000, "VVV DE N0CALL"),
                  "2026-05-01T06:00:00Z 2026-05-01T08:00:00+02:00 start 1 QRSS 3000ms VVV DE N0CALL\n");
    }
    {
        ZoneGuard zone("XST+3:30");
        EXPECT_EQ(TxLogLine(may1st6h, "end", "QSO", true, 60000, "CQ"),
                  "2026-05-01T06:00:00Z 2026-05-01T02:30:00-03:30 end QSO DFCW 60000ms CQ\n");
    }
    // A text edited into the settings file stays on its one line; Latin-1 becomes UTF-8.
    ZoneGuard zone("UTC0");
    EXPECT_EQ(TxLogLine(0, "start", "2", false, 1000, std::string("A\nB\r\xe9")),
              "1970-01-01T00:00:00Z 1970-01-01T00:00:00+00:00 start 2 QRSS 1000ms A?B?\xc3\xa9\n");
}

class TxLogTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        // One file per process: ctest runs each case in a process of its own, side by side.
        path_ = ::testing::TempDir() + "txlog_test." + std::to_string(::getpid()) + ".log";
        std::remove(path_.c_str());
        log_ = std::make_unique<TxLog>(path_, [this] { return run_->clock.Abs() - kUnixEpochDays * 86400000; });
        Engine().Observer = log_.get();
    }
    void TearDown() override
    {
        std::remove(path_.c_str());
        EngineTest::TearDown();
    }
    // The lines written, without their two time stamps.
    std::vector<std::string> Lines() const
    {
        std::ifstream in(path_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(line.find(' ', line.find(' ') + 1) + 1));
        return lines;
    }
    // Local times (HH:MM:SS) of the lines.
    std::vector<std::string> Times() const
    {
        std::ifstream in(path_);
        std::vector<std::string> times;
        for (std::string line; std::getline(in, line);)
            times.push_back(line.substr(line.find(' ') + 12, 8));
        return times;
    }
    void TickUntil(std::uint8_t state)
    {
        for (int i = 0; i < 100000 && Engine().R.TxState != state; ++i)
            run_->Tick();
        ASSERT_EQ(Engine().R.TxState, state);
    }

    ZoneGuard zone_{"UTC0"};
    std::string path_;
    std::unique_ptr<TxLog> log_;
};

TEST_F(TxLogTest, EachRepeatStartsAndEndsWithItsTimes)
{
    RepeatCount = 2;
    RepeatInterval = 1;
    DotLength = 2000;
    StartNow("EE", At(10, 0, 0));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start 1 QRSS 2000ms EE", "end 1 QRSS 2000ms EE",
                                                 "start 1 QRSS 2000ms EE", "end 1 QRSS 2000ms EE"}));
    // The second repeat begins on the one-minute grid of the start.
    const auto times = Times();
    ASSERT_EQ(times.size(), 4u);
    EXPECT_EQ(times[0].substr(0, 7), "10:00:0");
    EXPECT_EQ(times[2].substr(0, 7), "10:01:0");
    EXPECT_GT(times[1], times[0]);
    EXPECT_GT(times[3], times[2]);
}

TEST_F(TxLogTest, StopTimeIsLoggedAfterTheLastMessage)
{
    RepeatCount = 0;
    RepeatInterval = 1;
    DfcwMode = true;
    TextNumber = 1;
    StartLater("E", "100010", At(10, 0, 0), "100100");
    ASSERT_TRUE(RunToEnd());
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "start 1 DFCW 1000ms E");
    EXPECT_EQ(lines[1], "end 1 DFCW 1000ms E");
    EXPECT_EQ(lines.back(), "stop-time 1 DFCW 1000ms E");
}

TEST_F(TxLogTest, CancelDuringTheMessageAndBeforeTheStart)
{
    StartNow("TTT", At(10, 0, 0));
    TickUntil(Sending);
    Engine().Cancel();
    // A later start that is cancelled while it waits is a stop as well.
    StartLater("E", "110000", At(10, 5, 0));
    run_->Tick();
    Engine().Cancel();
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start 1 QRSS 1000ms TTT", "stop-cancel 1 QRSS 1000ms TTT",
                                                 "stop-cancel 1 QRSS 1000ms E"}));
}

TEST_F(TxLogTest, QsoReceiveCutsTheMessageAndAnIdleCancelLogsNothing)
{
    RunKind = kRunQso;
    run_->Start(At(9, 15, 0));
    Engine().TxClick("CQ CQ");
    TickUntil(Sending);
    Engine().TxClick(""); // RX
    TickUntil(Idle);
    Engine().Cancel(); // closing the idle QSO window
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start QSO QRSS 1000ms CQ CQ", "stop-rx QSO QRSS 1000ms CQ CQ"}));
}

TEST_F(TxLogTest, InterruptionCountsOnlyWhileRunning)
{
    StartNow("E", At(10, 0, 0));
    ASSERT_TRUE(RunToEnd());
    log_->Interrupted(Engine()); // after the end: nothing to stop
    StartNow("T", At(11, 0, 0));
    TickUntil(Sending);
    log_->Interrupted(Engine());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start 1 QRSS 1000ms E", "end 1 QRSS 1000ms E",
                                                 "start 1 QRSS 1000ms T", "stop-signal 1 QRSS 1000ms T"}));
}

TEST_F(TxLogTest, TestRunsAreNotTransmissionsAndAnUnwritableFileIsReported)
{
    RunKind = kRunTest;
    StartImmediately = true;
    run_->Start(At(10, 0, 0));
    Engine().PushPtt();
    Engine().PushKey();
    run_->Tick();
    Engine().Cancel();
    EXPECT_TRUE(Lines().empty());

    TxLog bad("/nonexistent-folder/tx.log");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(bad.Check());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("transmission log /nonexistent-folder/tx.log"),
              std::string::npos);
}

} // namespace
