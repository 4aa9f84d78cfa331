#include "headless.h"

#include "clock/clocksync.h"
#include "commandline.h"
#include "settings/settingsfolder.h"

#include <QString>

#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kConnectTimeoutMs = 2000;

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// ":0", "unix:0.1", "host:10.0" -> host ("" for local) and display number.
bool ParseXDisplay(const std::string& display, std::string& host, int& number)
{
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos || colon + 1 >= display.size())
        return false;
    host = display.substr(0, colon);
    if (host == "unix")
        host.clear();
    char* end = nullptr;
    const long n = std::strtol(display.c_str() + colon + 1, &end, 10);
    if (end == display.c_str() + colon + 1 || (*end != '\0' && *end != '.') || n < 0 || n > 60000)
        return false;
    number = static_cast<int>(n);
    return true;
}

bool XReachable(const DisplayEnv& env, const DisplayProbe& probe)
{
    std::string host;
    int number = 0;
    if (!ParseXDisplay(env.display, host, number))
        return false;
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    // The sockets first: a connect to a host that is gone would take minutes.
    const bool listens = host.empty() ? probe.unixSocket('@' + path) || probe.unixSocket(path)
                                      : probe.tcp(host, 6000 + number);
    return listens && (!probe.xConnect || probe.xConnect(env.display));
}

bool WaylandReachable(const DisplayEnv& env, const DisplayProbe& probe)
{
    if (env.waylandDisplay.empty())
        return false;
    if (env.waylandDisplay.front() == '/')
        return probe.unixSocket(env.waylandDisplay);
    return !env.runtimeDir.empty() && probe.unixSocket(env.runtimeDir + '/' + env.waylandDisplay);
}

// Waits for a non-blocking connect to finish.
bool Connected(int fd, int result)
{
    if (result == 0)
        return true;
    if (errno != EINPROGRESS)
        return false;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, kConnectTimeoutMs) != 1)
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

bool UnixSocketAccepts(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    socklen_t size = sizeof address;
    if (path.front() == '@') { // abstract: a leading NUL and no terminator
        address.sun_path[0] = '\0';
        size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size());
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const bool ok = Connected(fd, ::connect(fd, reinterpret_cast<sockaddr*>(&address), size));
    ::close(fd);
    return ok;
}

bool TcpAccepts(const std::string& host, int port)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return false;
    bool ok = false;
    for (addrinfo* a = found; a != nullptr && !ok; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0)
            continue;
        ok = Connected(fd, ::connect(fd, a->ai_addr, a->ai_addrlen));
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return ok;
}

// The X connection handshake with the authorisation libxcb finds (XAUTHORITY),
// as Qt's xcb platform makes it. A server that resets when its last client
// leaves (Xvfb, xvfb-run) refuses connections while it resets, so the
// connection that succeeded stays open for the whole run (one descriptor),
// and a refusal is asked again twice, 50 ms apart, before it counts.
bool XServerAccepts(const std::string& display)
{
    // Closed at exit, after Qt's own connection.
    struct KeptConnection {
        xcb_connection_t* connection = nullptr;
        ~KeptConnection()
        {
            if (connection != nullptr)
                xcb_disconnect(connection);
        }
    };
    static KeptConnection kept;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0)
            ::usleep(50000);
        xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(connection) == 0) {
            if (kept.connection != nullptr)
                xcb_disconnect(kept.connection);
            kept.connection = connection; // see above
            return true;
        }
        xcb_disconnect(connection);
    }
    return false;
}

QtMessageHandler qtHandler = nullptr;
void QuietNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("propagateSizeHints"))
        && !message.contains(QLatin1String("XDG_RUNTIME_DIR not set")))
        qtHandler(type, context, message);
}

} // namespace

DisplayChoice ChooseDisplay(const DisplayEnv& env, const DisplayProbe& probe)
{
    const std::string list = env.platform.empty() ? "xcb;wayland" : env.platform;
    std::size_t at = 0;
    while (at <= list.size()) {
        std::size_t end = list.find(';', at);
        if (end == std::string::npos)
            end = list.size();
        const std::string entry = list.substr(at, end - at);
        const std::string name = entry.substr(0, entry.find(':')); // "offscreen:opts"
        at = end + 1;
        if (name.empty())
            continue;
        if (name == "offscreen" || name == "minimal")
            return DisplayChoice::Chosen;
        if (name == "xcb") {
            if (XReachable(env, probe))
                return DisplayChoice::Windows;
        } else if (name.starts_with("wayland")) {
            if (WaylandReachable(env, probe))
                return DisplayChoice::Windows;
        } else {
            return DisplayChoice::Windows;
        }
    }
    return DisplayChoice::None;
}

DisplayEnv ProcessDisplayEnv()
{
    return {Env("QT_QPA_PLATFORM"), Env("DISPLAY"), Env("WAYLAND_DISPLAY"), Env("XDG_RUNTIME_DIR")};
}

DisplayProbe SystemDisplayProbe() { return {UnixSocketAccepts, TcpAccepts, XServerAccepts}; }

void QuietQtNotes()
{
    if (qtHandler == nullptr)
        qtHandler = qInstallMessageHandler(QuietNotes);
}

void CheckSystemClock(const ClockWaitRequest& request, Clock& clock)
{
    ClockSyncState state = QueryClockSync();
    if (!state.synced && request.wait) {
        if (request.maxSeconds < 0)
            std::fputs("vantrel: waiting for the system clock to be synchronised\n", stderr);
        else
            std::fprintf(stderr, "vantrel: waiting for the system clock to be synchronised (at most %d s)\n",
                         static_cast<int>(request.maxSeconds));
        state = WaitForClockSync(clock, request.maxSeconds);
        if (state.synced)
            std::fputs("vantrel: the system clock is synchronised\n", stderr);
    }
    if (!state.synced)
        std::fprintf(stderr, "vantrel: %s\n", kClockUnsyncedWarning);
}

std::string DesktopSettingsFolder()
{
    const std::string config = Env("XDG_CONFIG_HOME");
    // XDG base directories: a relative path is to be ignored.
    return (config.starts_with('/') ? config : Env("HOME") + "/.config") + "/vantrel";
}

namespace {

// Makes `folder` and its parents where missing (for the user alone) and
// enters it; says why on standard error and stays where it is otherwise.
void EnterFolder(const std::string& folder)
{
    std::size_t at = 0;
    do {
        at = folder.find('/', at + 1);
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            break;
    } while (at != std::string::npos);
    if (::chdir(folder.c_str()) != 0)
        std::fprintf(stderr, "vantrel: settings folder %s: %s; the current folder is used\n", folder.c_str(),
                     std::strerror(errno));
}

} // namespace

int PrepareStartUp(const std::vector<std::string>& args)
{
    const CommandLine line = ReadCommandLine(args);
    switch (line.action) {
    case CommandLineAction::Help:
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    case CommandLineAction::Version:
        std::fputs(VersionLine().c_str(), stdout);
        return 0;
    case CommandLineAction::Refuse:
        std::fprintf(stderr, "vantrel: %s\n%s", line.message.c_str(), UsageText().c_str());
        return 2;
    case CommandLineAction::Run:
        break;
    }
    if (line.desktop)
        EnterFolder(DesktopSettingsFolder());
    const DisplayChoice choice = line.headless ? DisplayChoice::None
                                               : ChooseDisplay(ProcessDisplayEnv(), SystemDisplayProbe());
    SystemClock clock;
    if (choice == DisplayChoice::Windows) {
        if (!line.ignored.empty())
            std::fprintf(stderr, "vantrel: ignoring '%s': only 'autostart' starts a transmission\n",
                         line.ignored.c_str());
        CheckSystemClock(line.clockWait, clock);
        QuietQtNotes();
        return -1;
    }
    if (!line.autostart) {
        std::fputs("vantrel: no display; without one only 'vantrel autostart' can run\n", stderr);
        return 2;
    }
    if (choice == DisplayChoice::None)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::fputs(line.headless                   ? "vantrel: --headless: running headless\n"
               : choice == DisplayChoice::None ? "vantrel: no display: running headless\n"
                                               : "vantrel: the platform shows no window: running headless\n",
               stderr);
    // Nobody can look at defaults that no one chose: a beacon needs its file.
    if (SettingsFileMissing()) {
        std::fprintf(stderr, "vantrel: %s: make one with vantrel-settings or the windows\n",
                     MissingSettingsText().c_str());
        return 2;
    }
    CheckSystemClock(line.clockWait, clock);
    Headless = true;
    QuietQtNotes();
    return -1;
}
