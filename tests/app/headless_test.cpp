// Start-up without a display: the command line, which display is reachable,
// and messages answered on standard error.
#include "app/commandline.h"
#include "app/headless.h"
#include "app/headlessrun.h"
#include "app/journal.h"
#include "widgets/msgform.h"
#include "clock/clocksync.h"
#include "clock/simclock.h"
#include "support/tempdir.h"
#include "settings/settings.h"

#include <QApplication>

#include <algorithm>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

TEST(CommandLineTest, OptionsBeforeAnyWindow)
{
    std::string message;
    EXPECT_EQ(ParseCommandLine({}, message), CommandLineAction::Run);
    EXPECT_EQ(ParseCommandLine({"AutoStart"}, message), CommandLineAction::Run);
    EXPECT_EQ(ParseCommandLine({"autostart", "now"}, message), CommandLineAction::Run);
    EXPECT_EQ(ParseCommandLine({"--help"}, message), CommandLineAction::Help);
    EXPECT_EQ(ParseCommandLine({"autostart", "--version"}, message), CommandLineAction::Version);
    EXPECT_EQ(ParseCommandLine({"--help", "--bogus"}, message), CommandLineAction::Help);
    EXPECT_EQ(ParseCommandLine({"--bogus", "--help"}, message), CommandLineAction::Refuse);
    EXPECT_EQ(message, "unknown option '--bogus'");
    EXPECT_EQ(VersionLine().find("vantrel 4.14 ("), 0u);
    EXPECT_NE(VersionLine().find("\nbuild 4.14"), std::string::npos);
}

TEST(CommandLineTest, WordsOptionsAndRefusals)
{
    const struct {
        std::vector<std::string> args;
        CommandLineAction action;
        bool autostart, headless;
        std::string ignored; // or the refusal's message
    } cases[] = {
        {{"-V", "--bogus"}, CommandLineAction::Version, false, false, ""},
        {{"autostart", "now"}, CommandLineAction::Run, false, false, "autostart now"},
        {{"--headless", "AutoStart"}, CommandLineAction::Run, true, true, ""},
        {{"-"}, CommandLineAction::Refuse, false, false, "unknown option '-'"},
        {{"--", "-autostart"}, CommandLineAction::Refuse, false, false, "unknown option '-autostart'"},
        {{"--head", "autostart"}, CommandLineAction::Refuse, false, false, "unknown option '--head'"},
    };
    for (const auto& c : cases) {
        const CommandLine line = ReadCommandLine(c.args);
        EXPECT_EQ(line.action, c.action) << c.args.front();
        EXPECT_EQ(line.autostart, c.autostart) << c.args.front();
        EXPECT_EQ(line.headless, c.headless) << c.args.front();
        EXPECT_EQ(line.action == CommandLineAction::Refuse ? line.message : line.ignored, c.ignored) << c.args.front();
    }
}

TEST(CommandLineTest, WaitForTheClockGoesWithAutostart)
{
    const struct {
        std::vector<std::string> args;
        CommandLineAction action;
        bool autostart, wait;
        std::int32_t maxSeconds;
    } cases[] = {
        {{"autostart", "--wait-for-clock"}, CommandLineAction::Run, true, true, -1},
        {{"--wait-for-clock=600", "AUTOSTART"}, CommandLineAction::Run, true, true, 600},
        {{"autostart", "--wait-for-clock=0"}, CommandLineAction::Run, true, true, 0},
        {{"autostart", "--wait-for-clock", "90"}, CommandLineAction::Run, true, true, 90},
        {{"autostart"}, CommandLineAction::Run, true, false, -1},
        {{"--wait-for-clock"}, CommandLineAction::Refuse, false, true, -1},
        {{"autostart", "--wait-for-clock=ten"}, CommandLineAction::Refuse, true, true, 0},
        {{"autostart", "--wait-for-clock=-5"}, CommandLineAction::Refuse, true, true, 0},
        {{"autostart", "--wait-for-clockx"}, CommandLineAction::Refuse, false, false, -1},
    };
    for (const auto& c : cases) {
        std::string message;
        EXPECT_EQ(ParseCommandLine(c.args, message), c.action) << c.args.back();
        EXPECT_EQ(IsAutoStartCommandLine(c.args), c.autostart) << c.args.back();
        EXPECT_EQ(ClockWaitOption(c.args).wait, c.wait) << c.args.back();
        EXPECT_EQ(ClockWaitOption(c.args).maxSeconds, c.maxSeconds) << c.args.back();
    }
    std::string message;
    ParseCommandLine({"now", "--wait-for-clock=5"}, message);
    EXPECT_EQ(message, "--wait-for-clock goes with autostart");
}

TEST(JournalTest, PrioritiesAndTheBeaconSummary)
{
    const struct {
        const char* line;
        int priority;
    } lines[] = {
        {"vantrel: COM1 (/dev/ttyS0) not opened: busy\n", 3},
        {"vantrel: port lost: COM1: Input/output error\n", 3},
        {"vantrel: no sound: ALSA: Couldn't open audio device\n", 4},
        {"vantrel: 2026-05-01T06:00:01Z start 1 QRSS 3000ms VVV\n", 6},
    };
    for (const auto& l : lines)
        EXPECT_EQ(JournalPriority(l.line), l.priority) << l.line;

    SetDefaultSettings();
    PortNumber = kPortNone;
    Texts[3] = "VVV DE N0CALL";
    TextNumber = 3;
    DotLength = 3000;
    RepeatCount = 0;
    RepeatInterval = 10;
    SyncPeriod = 4; // 10 minutes
    // 2026-05-01T06:03:20Z: the next 10-minute boundary in UTC.
    EXPECT_EQ(BeaconSummary(1777615400),
              "no port, text 3 \"VVV DE N0CALL\", QRSS 3000 ms dots, endless repeats every 10 min, "
              "sync 10 min, next start 06:10:00Z");
}

// What the start says of the system clock, with the kernel's answer given
// through the seam: it is synchronised after `syncAfter` questions.
std::string ClockCheckOutput(int syncAfter, ClockWaitRequest request, std::int64_t& waitedMs)
{
    int asked = 0;
    SetClockSyncSource([&] { return ClockSyncState{++asked > syncAfter, 1000}; });
    SimClock clock;
    const std::int64_t before = clock.Abs();
    testing::internal::CaptureStderr();
    CheckSystemClock(request, clock);
    SetClockSyncSource({});
    waitedMs = clock.Abs() - before;
    return testing::internal::GetCapturedStderr();
}

TEST(ClockCheckTest, WarnsOnceOrWaitsForTheClock)
{
    const std::string warning = "vantrel: the system clock is not synchronised: starts on the minute grid may be off\n";
    std::int64_t waited = 0;
    EXPECT_EQ(ClockCheckOutput(0, {}, waited), "");
    EXPECT_EQ(ClockCheckOutput(1, {}, waited), warning);
    EXPECT_EQ(waited, 0); // no wait unless asked
    EXPECT_EQ(ClockCheckOutput(0, {true, 30}, waited), "");
    EXPECT_EQ(ClockCheckOutput(4, {true, 30}, waited),
              "vantrel: waiting for the system clock to be synchronised (at most 30 s)\n"
              "vantrel: the system clock is synchronised\n");
    EXPECT_EQ(waited, 3000);
    EXPECT_EQ(ClockCheckOutput(100, {true, 10}, waited),
              "vantrel: waiting for the system clock to be synchronised (at most 10 s)\n" + warning);
    EXPECT_EQ(waited, 10000);
}

// Records which sockets were probed; `up` lists those that accept.
struct FakeProbe {
    std::vector<std::string> up, asked;
    DisplayProbe Probe()
    {
        return {[this](const std::string& path) { return Ask(path); },
                [this](const std::string& host, int port) { return Ask(host + ':' + std::to_string(port)); },
                [this](const std::string& display) { return Ask("connect " + display); }};
    }
    bool Ask(const std::string& what)
    {
        asked.push_back(what);
        return std::find(up.begin(), up.end(), what) != up.end();
    }
};

TEST(ChooseDisplayTest, DisplaysAreProbedWhereTheirServersListen)
{
    FakeProbe probe;
    EXPECT_EQ(ChooseDisplay({}, probe.Probe()), DisplayChoice::None);
    EXPECT_TRUE(probe.asked.empty());

    probe.up = {"/tmp/.X11-unix/X7", "connect :7.0", "connect unix:7"};
    EXPECT_EQ(ChooseDisplay({"", ":7.0", "", ""}, probe.Probe()), DisplayChoice::Windows);
    EXPECT_EQ(ChooseDisplay({"", "unix:7", "", ""}, probe.Probe()), DisplayChoice::Windows);
    // A server that listens but refuses the connection (no authorisation).
    EXPECT_EQ(ChooseDisplay({"", ":7", "", ""}, probe.Probe()), DisplayChoice::None);
    EXPECT_EQ(ChooseDisplay({"", ":8", "", ""}, probe.Probe()), DisplayChoice::None);
    probe.asked.clear();
    EXPECT_EQ(ChooseDisplay({"", "shack:10", "", ""}, probe.Probe()), DisplayChoice::None);
    EXPECT_EQ(probe.asked, std::vector<std::string>{"shack:6010"});
    EXPECT_EQ(ChooseDisplay({"", "garbage", "", ""}, probe.Probe()), DisplayChoice::None);

    probe.up = {"/run/user/1000/wayland-0", "/tmp/w"};
    EXPECT_EQ(ChooseDisplay({"", "", "wayland-0", "/run/user/1000"}, probe.Probe()), DisplayChoice::Windows);
    EXPECT_EQ(ChooseDisplay({"", "", "/tmp/w", ""}, probe.Probe()), DisplayChoice::Windows);
    EXPECT_EQ(ChooseDisplay({"", "", "wayland-0", ""}, probe.Probe()), DisplayChoice::None);
}

TEST(ChooseDisplayTest, ChosenPlatforms)
{
    FakeProbe probe;
    probe.up = {"@/tmp/.X11-unix/X0", "connect :0", "/tmp/.X11-unix/X1"};
    EXPECT_EQ(ChooseDisplay({"offscreen", ":0", "", ""}, probe.Probe()), DisplayChoice::Chosen);
    EXPECT_EQ(ChooseDisplay({"minimal:enable_fonts", ":0", "", ""}, probe.Probe()), DisplayChoice::Chosen);
    EXPECT_EQ(ChooseDisplay({"xcb", ":0", "", ""}, probe.Probe()), DisplayChoice::Windows);
    EXPECT_EQ(ChooseDisplay({"xcb", ":1", "", ""}, probe.Probe()), DisplayChoice::None);
    // A list is tried in order, as the windowing library does.
    EXPECT_EQ(ChooseDisplay({"wayland;xcb", ":0", "", ""}, probe.Probe()), DisplayChoice::Windows);
    EXPECT_EQ(ChooseDisplay({"xcb;offscreen", ":1", "", ""}, probe.Probe()), DisplayChoice::Chosen);
    // Platforms that draw on their own are trusted.
    EXPECT_EQ(ChooseDisplay({"linuxfb", "", "", ""}, probe.Probe()), DisplayChoice::Windows);
}

TEST(ChooseDisplayTest, RealSocketsAreProbed)
{
    const std::string path = ::testing::TempDir() + "vantrel-wayland-test";
    ::unlink(path.c_str());
    const DisplayEnv env{"wayland", "", path, ""};
    EXPECT_EQ(ChooseDisplay(env, SystemDisplayProbe()), DisplayChoice::None);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    EXPECT_EQ(ChooseDisplay(env, SystemDisplayProbe()), DisplayChoice::Windows);
    ::close(fd);
    ::unlink(path.c_str());
}

TEST(HeadlessMessageTest, AnsweredAtOnceOnStandardError)
{
    Headless = true;
    MsgForm = nullptr; // no window may be touched
    testing::internal::CaptureStderr();
    DialogCancelled = true;
    ShowMessageForm(QStringLiteral("Error"), QStringLiteral("Repeat function : too long"), Qt::gray, false);
    const bool oneButton = DialogCancelled;
    ShowMessageForm(QStringLiteral("---  WARNING  ---"), QStringLiteral("Port outputs"), Qt::red, true);
    const bool twoButtons = DialogCancelled;
    const std::string err = testing::internal::GetCapturedStderr();
    Headless = false;
    EXPECT_FALSE(oneButton);
    EXPECT_TRUE(twoButtons); // the safe answer: Cancel
    EXPECT_EQ(err, "vantrel: Error: Repeat function : too long\nvantrel: ---  WARNING  ---: Port outputs\n");
}

} // namespace
