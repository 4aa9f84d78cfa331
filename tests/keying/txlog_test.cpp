// The transmission log's lines: their format, and which moments of a run
// write one (message start and end, Cancel, RX, the stop time, a signal).
#include "harness.h"
#include "clock/clocksync.h"
#include "keying/txlog.h"
#include "support/tempdir.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
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
    // A start carries the clock's state before the text.
    ZoneGuard zone("UTC0");
    EXPECT_EQ(TxLogLine(0, "start", "1", false, 1000, "E E", "clock=synced,esterror=500us"),
              "1970-01-01T00:00:00Z 1970-01-01T00:00:00+00:00 start 1 QRSS 1000ms clock=synced,esterror=500us E E\n");
    // A text edited into the settings file stays on its one line; Latin-1 becomes UTF-8.
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
        SetClockSyncSource([] { return ClockSyncState{}; });
        Engine().Observer = log_.get();
    }
    void TearDown() override
    {
        SetClockSyncSource({});
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
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start 1 QRSS 2000ms clock=unsynced EE", "end 1 QRSS 2000ms EE",
                                                 "start 1 QRSS 2000ms clock=unsynced EE", "end 1 QRSS 2000ms EE"}));
    // The second repeat begins on the one-minute grid of the start.
    const auto times = Times();
    ASSERT_EQ(times.size(), 4u);
    EXPECT_EQ(times[0].substr(0, 7), "10:00:0");
    EXPECT_EQ(times[2].substr(0, 7), "10:01:0");
    EXPECT_GT(times[1], times[0]);
    EXPECT_GT(times[3], times[2]);
}

// A dot length edited into the settings file out of range is keyed held to
// the dialog's range: the log says what is keyed, not what is stored.
TEST_F(TxLogTest, TheDotLengthKeyedIsLogged)
{
    for (const auto& [stored, keyed] : {std::pair{400, "1000ms"}, {3600000, "3599000ms"}, {2000, "2000ms"}}) {
        std::remove(path_.c_str());
        DotLength = stored;
        StartNow("E", At(10, 0, 0));
        TickUntil(Sending);
        Engine().Cancel();
        EXPECT_EQ(Lines(), (std::vector<std::string>{"start 1 QRSS " + std::string(keyed) + " clock=unsynced E",
                                                     "stop-cancel 1 QRSS " + std::string(keyed) + " E"}))
            << stored;
    }
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
    EXPECT_EQ(lines.front(), "start 1 DFCW 1000ms clock=unsynced E");
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
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start 1 QRSS 1000ms clock=unsynced TTT", "stop-cancel 1 QRSS 1000ms TTT",
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
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start QSO QRSS 1000ms clock=unsynced CQ CQ",
                                                 "stop-rx QSO QRSS 1000ms CQ CQ"}));
}

TEST_F(TxLogTest, InterruptionCountsOnlyWhileRunning)
{
    StartNow("E", At(10, 0, 0));
    ASSERT_TRUE(RunToEnd());
    log_->Interrupted(Engine()); // after the end: nothing to stop
    // Each start asks the clock anew: it may have been synchronised meanwhile.
    SetClockSyncSource([] { return ClockSyncState{true, 16000}; });
    StartNow("T", At(11, 0, 0));
    TickUntil(Sending);
    log_->Interrupted(Engine());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start 1 QRSS 1000ms clock=unsynced E", "end 1 QRSS 1000ms E",
                                                 "start 1 QRSS 1000ms clock=synced,esterror=16000us T",
                                                 "stop-signal 1 QRSS 1000ms T"}));
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

// A pipe never holds the keying up: without a reader, with one that stops
// reading and after its reader left, each run goes to its end; a failure is
// said once, and lines reach a reader while it reads.
TEST_F(TxLogTest, APipeNeverHoldsTheKeyingUp)
{
    std::signal(SIGPIPE, SIG_IGN); // as the program has it
    ::alarm(20);                   // a blocking open or write ends the test here
    const std::string fifo = path_ + ".fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TxLog log(fifo, [this] { return run_->clock.Abs() - kUnixEpochDays * 86400000; });
    Engine().Observer = &log;
    const auto run = [this](int hour) { StartNow("E", At(hour, 0, 0)); EXPECT_TRUE(RunToEnd()); };
    testing::internal::CaptureStderr();
    EXPECT_FALSE(log.Check()); // nobody reads it yet
    run(10);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    run(11);
    char got[512] = {};
    EXPECT_GT(::read(reader, got, sizeof got - 1), 0);
    EXPECT_NE(std::string(got).find("end 1 QRSS 1000ms E\n"), std::string::npos) << got;
    const int filler = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    while (::write(filler, got, sizeof got) > 0) { // the reader stops reading
    }
    run(12);
    ::close(reader); // and leaves
    ::close(filler);
    run(13);
    ::alarm(0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    EXPECT_NE(err.find("transmission log " + fifo + ": no program reads this pipe"), std::string::npos) << err;
    EXPECT_NE(err.find("the reader does not keep up"), std::string::npos) << err;
    std::remove(fifo.c_str());
}

TEST_F(TxLogTest, ARotatedFileIsPickedUpAtTheNextLine)
{
    ASSERT_TRUE(log_->Check()); // makes the file
    ASSERT_EQ(std::rename(path_.c_str(), (path_ + ".1").c_str()), 0);
    StartNow("T", At(11, 0, 0));
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"start 1 QRSS 1000ms clock=unsynced T", "end 1 QRSS 1000ms T"}));
    std::remove((path_ + ".1").c_str());
}

} // namespace
