#include "clock/clock.h"
#include "io/emergency.h"
#include "io/linelog.h"
#include "io/portdriver.h"
#include "io/simdevices.h"
#include "settings/settings.h"
#include "support/fakeclock.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <tuple>

namespace {

using F = CommFunction;

class PortDriverTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetDefaultSettings();
        InstallPortDevices(&sim_);
    }
    void TearDown() override
    {
        ReleasePort();
        InstallPortDevices(nullptr);
        PortOpen = false;
        SetDefaultSettings();
    }
    std::vector<F> Functions() const
    {
        std::vector<F> result;
        for (const auto& r : sim_.Requests())
            result.push_back(r.function);
        return result;
    }
    std::vector<SimIoSpace::Access> Writes() const
    {
        std::vector<SimIoSpace::Access> result;
        for (const auto& a : sim_.Space().Accesses())
            if (a.write)
                result.push_back(a);
        return result;
    }
    // Opens LPTn with the control register reading `control` before the open.
    void OpenLpt(int n, std::uint8_t control = 0xC4)
    {
        PortNumber = static_cast<std::uint8_t>(19 + n);
        sim_.Space().SetControl(n == 1 ? 0x378 : 0x278, control);
        OpenSelectedPort();
        ASSERT_TRUE(PortOpen);
    }

    FakeClock clock_;
    SimPortDevices sim_{&clock_};
};

TEST_F(PortDriverTest, SerialOpenLowersBothLinesDtrFirst)
{
    PortNumber = 3;
    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    EXPECT_EQ(Functions(), (std::vector<F>{F::ClrDtr, F::ClrRts}));
    EXPECT_FALSE(sim_.Lines(3).rts);
    EXPECT_FALSE(sim_.Lines(3).dtr);
}

TEST_F(PortDriverTest, SerialLinesFollowComSwap)
{
    PortNumber = 1;
    OpenSelectedPort();
    SetKey(true); SetKey(false); SetPtt(true); SetPtt(false); SetDfcw(true); SetDfcw(false);
    EXPECT_EQ(Functions(), (std::vector<F>{F::ClrDtr, F::ClrRts, F::SetRts, F::ClrRts, F::SetDtr,
                                           F::ClrDtr, F::SetDtr, F::ClrDtr}));
    CloseSelectedPort();

    ComSwap = true;
    OpenSelectedPort();
    const auto before = sim_.Requests().size();
    SetKey(true); SetPtt(true); SetDfcw(false);
    std::vector<F> after;
    for (auto i = before; i < sim_.Requests().size(); ++i)
        after.push_back(sim_.Requests()[i].function);
    EXPECT_EQ(after, (std::vector<F>{F::SetDtr, F::SetRts, F::ClrRts}));
}

TEST_F(PortDriverTest, PttAndDfcwShareOneSerialLine)
{
    PortNumber = 2;
    OpenSelectedPort();
    SetPtt(true);
    EXPECT_TRUE(sim_.Lines(2).dtr);
    SetDfcw(false);
    EXPECT_FALSE(sim_.Lines(2).dtr); // the last call wins
}

TEST_F(PortDriverTest, ParallelOpenDrivesKeyAndPttLowTheOtherDataPinsHighAndControlPinsLow)
{
    OpenLpt(1, 0xA4);
    EXPECT_EQ(LptBase, 0x378);
    EXPECT_EQ(LptLatch, 0xFC);
    EXPECT_EQ(sim_.Space().Data(0x378), 0xFC);
    // (read AND 0xF0) OR 0x0B: bits 4..7 kept.
    EXPECT_EQ(sim_.Space().Control(0x378), 0xAB);
    const auto writes = Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].address, 0x378);
    EXPECT_EQ(writes[1].address, 0x37A);
    EXPECT_TRUE(sim_.Space().UnexpectedWrites().empty());
}

TEST_F(PortDriverTest, StandardWiringUsesTheLatch)
{
    OpenLpt(2);
    EXPECT_EQ(LptBase, 0x278);
    SetKey(false);
    SetPtt(false);
    EXPECT_EQ(sim_.Space().Data(0x278), 0xFC);
    SetKey(true);
    EXPECT_EQ(sim_.Space().Data(0x278), 0xFD);
    SetPtt(true);
    EXPECT_EQ(sim_.Space().Data(0x278), 0xFF);
    SetDfcw(false);
    EXPECT_EQ(sim_.Space().Data(0x278), 0xFD);
    // Data writes never read the port.
    for (const auto& a : sim_.Space().Accesses())
        if (!a.write) {
            EXPECT_EQ(a.address, 0x27A);
        }
}

TEST_F(PortDriverTest, Dx4winWiringUsesControlPinsForKeyAndPtt)
{
    LptWiring = kWiringDx4win;
    OpenLpt(1, 0x50);
    ASSERT_EQ(sim_.Space().Control(0x378), 0x5B);
    SetKey(true); // clears bit 0 only: pin 1 high
    EXPECT_EQ(sim_.Space().Control(0x378), 0x5A);
    SetPtt(true); // sets bit 2: pin 16 high
    EXPECT_EQ(sim_.Space().Control(0x378), 0x5E);
    SetPtt(false);
    EXPECT_EQ(sim_.Space().Control(0x378), 0x5A);
    SetKey(false);
    EXPECT_EQ(sim_.Space().Control(0x378), 0x5B);
    SetDfcw(true); // pin 3 through the latch
    EXPECT_EQ(sim_.Space().Data(0x378), 0xFE);
    EXPECT_EQ(sim_.Space().Control(0x378), 0x5B);
}

// Only 0x44 selects the DX4WIN-compatible pins; every other byte, a zero from a
// short file included, keys the standard pins: nothing may stay high for the run.
TEST_F(PortDriverTest, EveryWiringByteDrivesTheLines)
{
    for (const std::uint8_t wiring : {0x00, 0x44, 0x56, 0xFF}) {
        SCOPED_TRACE(int(wiring));
        LptWiring = wiring;
        OpenLpt(1, 0xC4);
        const bool dx4win = wiring == kWiringDx4win;
        SetKey(false);
        SetPtt(false);
        EXPECT_EQ(sim_.Space().Data(0x378), 0xFC);
        EXPECT_EQ(sim_.Space().Control(0x378), 0xCB); // pins 1 and 16 low
        SetKey(true);
        SetPtt(true);
        EXPECT_EQ(sim_.Space().Data(0x378), dx4win ? 0xFC : 0xFF);
        EXPECT_EQ(sim_.Space().Control(0x378), dx4win ? 0xCE : 0xCB);
        SetDfcw(false); // pin 3 in both wirings
        EXPECT_EQ(sim_.Space().Data(0x378) & 0x02, 0);
        SetDfcw(true);
        ReleasePort();
        EXPECT_EQ(sim_.Space().Data(0x378) & 0x03, 0);
        EXPECT_EQ(sim_.Space().Control(0x378), 0xCB);
        EXPECT_EQ(LptWiring, wiring); // the stored byte is kept
    }
}

// A number from a settings file that names no port: nothing opens, and the
// reason names the number (0 is "none" and says nothing).
TEST_F(PortDriverTest, PortsThatDoNotExistStayClosed)
{
    for (const std::uint8_t port : {0, 10, 15, 19, 22, 255}) {
        PortNumber = port;
        testing::internal::CaptureStderr();
        OpenSelectedPort();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(PortOpen) << int(port);
        const std::string why = port == 0 ? "" : "port number " + std::to_string(port) + " in the settings is no port";
        EXPECT_EQ(PortOpenFailure().substr(0, why.size()), why);
        EXPECT_EQ(err.empty(), port == 0) << err;
        EXPECT_NE(err.find(why), std::string::npos) << err;
    }
    EXPECT_EQ(PortNameOf(22), "port 22");
    LptBase = 0x1234;
    OpenLptPort(3);
    EXPECT_FALSE(PortOpen);
    EXPECT_EQ(LptBase, 0x1234);
    EXPECT_TRUE(sim_.Requests().empty());
    EXPECT_TRUE(sim_.Space().Accesses().empty());
}

TEST_F(PortDriverTest, NothingHappensWhileClosed)
{
    for (const std::uint8_t port : {std::uint8_t{1}, kPortLpt1}) {
        PortNumber = port;
        SetKey(true); SetPtt(true); SetDfcw(true);
        CloseSelectedPort();
    }
    EXPECT_TRUE(sim_.Requests().empty());
    EXPECT_TRUE(sim_.Space().Accesses().empty());
}

TEST_F(PortDriverTest, MissingOrBusyDeviceLeavesThePortClosed)
{
    sim_.SetMissing(4);
    PortNumber = 4;
    OpenSelectedPort();
    EXPECT_FALSE(PortOpen);

    SimPortDevices other;
    EXPECT_NE(other.OpenCom(5), kInvalidHandle);
    PortNumber = 5;
    EXPECT_NE(sim_.OpenCom(5), kInvalidHandle); // another program holds it
    OpenSelectedPort();
    EXPECT_FALSE(PortOpen);
}

TEST_F(PortDriverTest, CloseDropsThePortAndReleaseSwitchesLinesOffFirst)
{
    OpenLpt(1);
    SetKey(true);
    SetPtt(true);
    const int handle = LptHandle;
    ReleasePort();
    EXPECT_FALSE(PortOpen);
    EXPECT_FALSE(sim_.IsOpen(handle));
    EXPECT_EQ(sim_.Space().Data(0x378), 0xFC);
    ReleasePort(); // nothing open: nothing happens
    EXPECT_FALSE(PortOpen);
}

// Each kind of port with lines of its own: released with key and PTT off,
// nothing keyed while lost or after the release, PTT back as asked after a
// loss and the key waiting for its next request.
TEST_F(PortDriverTest, EveryKindReleasesAndKeysNothingWhileLostOrAfterAStop)
{
    struct Kind {
        std::uint8_t port;
        std::function<std::pair<bool, bool>(const SimPortDevices&)> keyAndPtt;
    };
    const std::vector<Kind> kinds{
        {2, [](const SimPortDevices& s) { return std::pair{s.Lines(2).rts, s.Lines(2).dtr}; }},
        {kPortGpio, [](const SimPortDevices& s) { return std::pair{s.Gpio().key, s.Gpio().ptt}; }},
        {kPortHamlib, [](const SimPortDevices& s) { return std::pair{s.Gpio().key, s.Gpio().ptt}; }},
    };
    using Lines = std::pair<bool, bool>;
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(int(kind.port));
        PortNumber = kind.port;
        OpenSelectedPort();
        ASSERT_TRUE(PortOpen);
        EXPECT_EQ(kind.keyAndPtt(sim_), Lines(false, false));
        SetPtt(true);
        SetKey(true);
        EXPECT_EQ(kind.keyAndPtt(sim_), Lines(true, true));
        sim_.Unplug(kind.port, EIO);
        testing::internal::CaptureStderr();
        SetKey(false);
        EXPECT_TRUE(PortLost());
        SetKey(true);
        sim_.PlugIn(kind.port);
        RetryLostPort();
        testing::internal::GetCapturedStderr();
        EXPECT_FALSE(PortLost());
        EXPECT_EQ(kind.keyAndPtt(sim_), Lines(false, true));
        SetKey(true);
        EXPECT_EQ(kind.keyAndPtt(sim_), Lines(true, true));
        ReleasePort();
        EXPECT_FALSE(PortOpen);
        EXPECT_EQ(kind.keyAndPtt(sim_), Lines(false, false));
        SetKey(true);
        SetPtt(true);
        EXPECT_EQ(kind.keyAndPtt(sim_), Lines(false, false));
    }
}

// PTT and DFCW share the serial PTT/DFCW line: after a loss only the request
// that came last is made again, so the line ends as it left it.
TEST_F(PortDriverTest, ReturningPortRestoresPttAndDfcwInTheirOrder)
{
    for (const bool dfcwLast : {false, true}) {
        SCOPED_TRACE(dfcwLast);
        PortNumber = 2;
        OpenSelectedPort();
        SetPtt(true);
        if (dfcwLast)
            SetDfcw(false);
        sim_.Unplug(2, EIO);
        testing::internal::CaptureStderr();
        SetKey(true);
        ASSERT_TRUE(PortLost());
        sim_.PlugIn(2);
        const auto before = sim_.Requests().size();
        RetryLostPort();
        testing::internal::GetCapturedStderr();
        std::vector<F> after;
        for (auto i = before; i < sim_.Requests().size(); ++i)
            after.push_back(sim_.Requests()[i].function);
        const std::vector<F> restored{dfcwLast ? F::ClrDtr : F::SetDtr};
        std::vector<F> expected{F::ClrDtr, F::ClrRts};
        expected.insert(expected.end(), restored.begin(), restored.end());
        EXPECT_EQ(after, expected);
        EXPECT_EQ(sim_.Lines(2).dtr, !dfcwLast);
        EXPECT_FALSE(sim_.Lines(2).rts); // the key waits for its next request
        ReleasePort();
    }
}

// Every register write and serial request of an opening, a return after a
// loss and a release, in each wiring: no output goes from low to high unless
// the callers last asked for it high. Where PTT and DFCW share one output it
// follows whichever of the two was asked last. Nothing stays high afterwards.
TEST_F(PortDriverTest, OpeningReturnAndReleaseRaiseNoLineUnasked)
{
    bool key = false, ptt = false, dfcw = false, pttLast = true; // as last asked for
    std::size_t access = 0, request = 0;
    std::uint8_t data = 0x00, control = 0xC4; // LPT1's registers as the trace left them
    const auto check = [&] {
        const bool dx4win = LptWiring == kWiringDx4win, shared = pttLast ? ptt : dfcw;
        for (const auto& all = sim_.Space().Accesses(); access < all.size(); ++access) {
            const auto& a = all[access];
            if (!a.write)
                continue;
            std::uint8_t& before = a.address == 0x378 ? data : control;
            const int up = a.value & ~before, down = before & ~a.value;
            before = a.value;
            const bool raised = a.address == 0x378
                ? ((up & 0x01) && !dx4win && !key) || ((up & 0x02) && !(dx4win ? dfcw : shared))
                : dx4win && (((down & 0x01) && !key) || ((up & 0x04) && !ptt));
            EXPECT_FALSE(raised) << "write " << std::hex << a.address << ": " << int(a.value);
        }
        for (; request < sim_.Requests().size(); ++request) {
            const F f = sim_.Requests()[request].function;
            EXPECT_FALSE((f == F::SetRts && !key) || (f == F::SetDtr && !shared)) << "request " << int(f);
        }
    };
    const auto Key = [&](bool on) { key = on; SetKey(on); check(); };
    const auto Ptt = [&](bool on) { ptt = on; pttLast = true; SetPtt(on); check(); };
    const auto Dfcw = [&](bool on) { dfcw = on; pttLast = false; SetDfcw(on); check(); };
    for (const auto& [port, wiring] : {std::pair{1, kWiringStandard}, {20, kWiringStandard}, {20, kWiringDx4win}}) {
        SCOPED_TRACE(testing::Message() << "port " << port << " wiring " << int(wiring));
        PortNumber = static_cast<std::uint8_t>(port);
        LptWiring = wiring;
        for (const bool pttLastBeforeLoss : {true, false}) {
            key = ptt = dfcw = false;
            OpenSelectedPort();
            check();
            Ptt(true);
            Dfcw(true);
            pttLastBeforeLoss ? Ptt(false) : Dfcw(false); // PTT off after a dash, or a dot
            sim_.Unplug(port, EIO);
            testing::internal::CaptureStderr();
            Key(true); // fails: the port is lost
            sim_.PlugIn(port);
            Key(false);
            RetryLostPort();
            check();
            testing::internal::GetCapturedStderr();
            ASSERT_FALSE(PortLost());
            Dfcw(true);
            Ptt(true);
            Key(true);
            key = ptt = dfcw = false;
            ReleasePort();
            check();
            EXPECT_EQ(sim_.Space().Data(0x378) & 0x03, 0); // the DX4WIN DFCW pin too
        }
    }
}

class LineLogTest : public PortDriverTest {};

// The lines of a log, whole or without their time (date lines stay whole).
std::vector<std::string> ReadLines(const std::string& path, bool withTime = true)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(withTime || line.size() <= 13 || line[0] == '-' ? line : line.substr(13));
    return lines;
}

TEST_F(LineLogTest, EveryOpenCloseAndLineChangeIsLogged)
{
    const std::string path = testing::TempDir() + "/vantrel-lines.log";
    std::remove(path.c_str());
    clock_.SetLocal(46000, (9 * 3600 + 5 * 60 + 7) * 1000 + 45);
    ASSERT_TRUE(StartLineLog(path, &clock_));
    PortNumber = 3;
    SetKey(true); // closed: not logged
    OpenSelectedPort();
    clock_.Advance(1000);
    SetKey(true);
    SetPtt(false);
    SetDfcw(true);
    CloseSelectedPort();
    StartLineLog({}, nullptr);

    std::vector<std::string> lines = ReadLines(path);
    // Simulated hardware shows the outputs after each operation.
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "--- 2025-12-09 ---", "09:05:07.045 open COM3 [RTS 0 DTR 0]", "09:05:08.045 key on [RTS 1 DTR 0]",
                         "09:05:08.045 ptt off [RTS 1 DTR 0]", "09:05:08.045 dfcw on [RTS 1 DTR 1]",
                         "09:05:08.045 close COM3 [RTS 0 DTR 0]"}));
    std::remove(path.c_str());
    ASSERT_TRUE(StartLineLog(path, &clock_));
    OpenLpt(2, 0xC4);
    SetKey(false);
    SetPtt(true);
    LptWiring = kWiringDx4win;
    SetKey(true);
    CloseSelectedPort();
    StartLineLog({}, nullptr);
    lines = ReadLines(path, false);
    EXPECT_EQ(lines, (std::vector<std::string>{"--- 2025-12-09 ---", "open LPT2 [data FC control CB]", "key off [data FC control CB]",
                                               "ptt on [data FE control CB]", "key on [data FE control CA]",
                                               "dfcw off [data FC control CA]", "close LPT2 [data FC control CA]"}));
    EXPECT_FALSE(StartLineLog("/nonexistent-dir/x.log", &clock_));
    StartLineLog({}, nullptr);
}

// The real system calls, except that writes fail with `error` from the
// `failFrom`th write on (1 = the first); a short write comes before a failure
// when `shortFirst`.
class FailingWrites : public SysCalls {
public:
    int Open(const char* path, int flags) override { return RealSysCalls().Open(path, flags); }
    int Flock(int fd, int op) override { return RealSysCalls().Flock(fd, op); }
    int Ioctl(int fd, unsigned long r, void* arg) override { return RealSysCalls().Ioctl(fd, r, arg); }
    int Close(int fd) override { return RealSysCalls().Close(fd); }
    ssize_t Pread(int fd, void* b, size_t n, off_t o) override { return RealSysCalls().Pread(fd, b, n, o); }
    ssize_t Pwrite(int fd, const void* b, size_t n, off_t o) override { return RealSysCalls().Pwrite(fd, b, n, o); }
    ssize_t Write(int fd, const void* buffer, size_t size) override
    {
        ++writes;
        if (writes < failFrom)
            return RealSysCalls().Write(fd, buffer, size);
        if (shortFirst && writes == failFrom)
            return RealSysCalls().Write(fd, buffer, size / 2);
        errno = error;
        return -1;
    }
    int error = EPIPE;
    int failFrom = 1;
    bool shortFirst = false;
    int writes = 0;
};


// A pipe whose reader left (EPIPE) and the file-size limit (EFBIG, after a
// short write): said once, the log closed, and every line still reaches the port.
TEST_F(LineLogTest, AFailedWriteClosesTheLogAndTheKeyingGoesOn)
{
    for (const int error : {EPIPE, EFBIG}) {
        SCOPED_TRACE(error);
        const std::string path = testing::TempDir() + "/vantrel-failing.log";
        std::remove(path.c_str());
        FailingWrites sys;
        sys.error = error;
        sys.failFrom = 4;
        sys.shortFirst = error == EFBIG;
        ASSERT_TRUE(StartLineLog(path, &clock_, sys));
        PortNumber = 1;
        OpenSelectedPort(); // writes 1 (the date) and 2
        SetPtt(true);       // write 3
        testing::internal::CaptureStderr();
        SetKey(true);       // fails
        SetKey(false);
        SetPtt(false);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(LineLogOpen());
        EXPECT_EQ(sys.writes, error == EFBIG ? 5 : 4);
        EXPECT_NE(err.find("line log " + path + ": write failed: " + std::strerror(error)), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err; // once
        EXPECT_FALSE(sim_.Lines(1).rts);
        EXPECT_FALSE(sim_.Lines(1).dtr);
        EXPECT_EQ(sim_.Requests().back().function, F::ClrDtr); // the PTT off reached the port
        const auto lines = ReadLines(path, false);
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[1], "open COM1 [RTS 0 DTR 0]");
        EXPECT_EQ(lines[2], "ptt on [RTS 0 DTR 1]");
        EXPECT_LE(lines.size(), 4u); // at most a part of the failed line
        ReleasePort();
        StartLineLog({}, nullptr);
    }
}

// What a crash handler writes: key and PTT off, on the log clock's time line,
// only while a port is open.
TEST_F(LineLogTest, CrashLinesGoToTheLogWhileAPortIsOpen)
{
    const std::string path = testing::TempDir() + "/vantrel-crash.log";
    std::remove(path.c_str());
    clock_.SetLocal(46000, (23 * 3600 + 59 * 60 + 59) * 1000LL + 990);
    ASSERT_TRUE(StartLineLog(path, &clock_));
    EmergencyLinesOff(); // nothing open: nothing written
    PortNumber = 2;
    OpenSelectedPort();
    SetPtt(true);
    EmergencyLinesOff();
    ReleasePort();
    EmergencyLinesOff();
    StartLineLog({}, nullptr);

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3].substr(12), " key off");
    EXPECT_EQ(lines[4].substr(12), " ptt off");
    // The real-time clock moved by the log clock's offset: within a second of
    // 23:59:59.990, across midnight.
    const std::string t = lines[4].substr(0, 12);
    EXPECT_TRUE(t.rfind("23:59:59.9", 0) == 0 || t.rfind("00:00:00.", 0) == 0) << t;
    EXPECT_EQ(lines[7].substr(12), " close COM2 [RTS 0 DTR 0]");
}

// The date before a run's first line and at each local midnight, a year's end
// included; a new run repeats it.
TEST_F(LineLogTest, TheDateComesFirstAndAtEachMidnight)
{
    const std::string path = testing::TempDir() + "/vantrel-dates.log";
    std::remove(path.c_str());
    clock_.SetLocal(DaysFromCivil(2026, 12, 31), 86400000 - 500);
    ASSERT_TRUE(StartLineLog(path, &clock_));
    PortNumber = 1;
    OpenSelectedPort();
    clock_.Advance(1000);
    SetPtt(true);
    SetPtt(false);
    ASSERT_TRUE(StartLineLog(path, &clock_));
    CloseSelectedPort();
    StartLineLog({}, nullptr);
    EXPECT_EQ(ReadLines(path), (std::vector<std::string>{
                                   "--- 2026-12-31 ---", "23:59:59.500 open COM1 [RTS 0 DTR 0]",
                                   "--- 2027-01-01 ---", "00:00:00.500 ptt on [RTS 0 DTR 1]",
                                   "00:00:00.500 ptt off [RTS 0 DTR 0]", "--- 2027-01-01 ---",
                                   "00:00:00.500 close COM1 [RTS 0 DTR 0]"}));
    for (const auto& [y, m, d, text] : {std::tuple{1899, 12, 30, "--- 1899-12-30 ---"},
                                        {2024, 2, 29, "--- 2024-02-29 ---"}, {2100, 3, 1, "--- 2100-03-01 ---"}})
        EXPECT_EQ(LineLogDateText(DaysFromCivil(y, m, d)), text);
    std::remove(path.c_str());
}

TEST_F(LineLogTest, APipeWithoutReaderIsRefusedAtOnce)
{
    const std::string path = testing::TempDir() + "/vantrel-fifo";
    std::remove(path.c_str());
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(StartLineLog(path, &clock_));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("no program reads this pipe"), std::string::npos) << err;
    std::remove(path.c_str());
}

} // namespace
