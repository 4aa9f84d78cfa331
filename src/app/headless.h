// Start-up before any window exists: the options that print and exit, and
// whether a display can be reached. Without one Vantrel runs headless on the
// offscreen platform: no window is seen, every message goes to standard error
// and is answered at once (see ShowMessageForm), and the run ends by itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

// True for the whole run once start-up found no display. UI thread only.
extern bool Headless;

enum class DisplayChoice {
    Windows,  // a display is reachable, or a platform that is trusted to show
    Chosen,   // QT_QPA_PLATFORM names a platform that shows nothing
    None      // nothing reachable: the offscreen platform is put in place
};

struct DisplayEnv {
    std::string platform;       // QT_QPA_PLATFORM
    std::string display;        // DISPLAY
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string runtimeDir;     // XDG_RUNTIME_DIR
};

// How a display server is probed: a Unix socket path ("@" first for Linux's
// abstract namespace), or a TCP host and port. True when it accepts. An X
// server that listens is then asked for a connection as the window platform
// will ask (`xConnect`, with DISPLAY's value): one that refuses it (no
// authorisation, too many clients) would make Qt abort at start-up.
struct DisplayProbe {
    std::function<bool(const std::string& path)> unixSocket;
    std::function<bool(const std::string& host, int port)> tcp;
    std::function<bool(const std::string& display)> xConnect;
};

// The platforms of QT_QPA_PLATFORM (or Qt's default order when it is empty)
// are tried in turn: offscreen and minimal show nothing, xcb and wayland need
// their server, any other platform is trusted to show.
DisplayChoice ChooseDisplay(const DisplayEnv& env, const DisplayProbe& probe);
DisplayEnv ProcessDisplayEnv();
DisplayProbe SystemDisplayProbe();

// Asks whether the system clock is synchronised and warns on standard error
// when it is not; with --wait-for-clock first waits for it on `clock`. Runs
// before anything is opened or loaded, so a signal's default action during
// the wait ends the program without leaving anything behind.
struct ClockWaitRequest;
class Clock;
void CheckSystemClock(const ClockWaitRequest& request, Clock& clock);

// Qt's notes that are noise in every run's log (the offscreen platform's
// window sizes, a missing XDG_RUNTIME_DIR) are dropped; everything else goes
// on as Qt writes it. Install before the QApplication exists.
void QuietQtNotes();

// The folder a launch from the desktop menu keeps its settings in:
// $XDG_CONFIG_HOME/vantrel, or ~/.config/vantrel without it.
std::string DesktopSettingsFolder();

// Handles --help, --version, --desktop (the settings folder made when needed
// and entered), an unknown option, the display decision, a
// headless auto start without a settings file (refused: exit 2) and the
// system clock. Returns the exit status when the program is to end now,
// else -1 (with Headless set and the offscreen platform in place where needed).
int PrepareStartUp(const std::vector<std::string>& args);
