// vantrel-settings: VANTREL.SET as text, so that a beacon can be set up from a
// shell on a board without a display. Shows every setting, sets some with
// the setup dialogs' checks, imports what it showed, or writes the defaults;
// every save goes through the program's own safe save.
#include "morse/morse.h"
#include "morse/settingstext.h"
#include "settings/portsfile.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "settings/settingsfolder.h"
#include "settings/settingslock.h"
#include "settings/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDone = 0, kInvalid = 1, kUsage = 2, kFileFault = 3, kInUse = 4;

const char* const kUsageText =
        "Usage: vantrel-settings [--file PATH] show\n"
        "       vantrel-settings [--file PATH] set NAME=VALUE ...\n"
        "       vantrel-settings [--file PATH] import FILE|-\n"
        "       vantrel-settings [--file PATH] reset\n"
        "       vantrel-settings [--file PATH] ports show\n"
        "       vantrel-settings [--file PATH] ports set KEY=VALUE ...\n"
        "\n"
        "Reads and writes Vantrel's settings file (VANTREL.SET in the current folder\n"
        "unless --file names another) as text.\n"
        "  show    every setting, one 'Name = value' line each\n"
        "  set     change the named settings and save\n"
        "  import  read lines as show prints them ('-': standard input), check all of\n"
        "          them, then save once\n"
        "  reset   write a file of the defaults\n"
        "  ports   show or set the GPIO and radio details in VANTREL.PORTS beside\n"
        "          that file (KEY= removes a key)\n"
        "Values are checked as the setup dialogs check them; any invalid value leaves\n"
        "the file untouched. set and import make a missing file from the defaults.\n"
        "\n"
        "set, import and reset refuse while a Vantrel runs with the file: it would\n"
        "save over the change when it ends.\n"
        "\n"
        "Exit status: 0 done, 1 an invalid value, 2 a wrong command line, 3 the file\n"
        "cannot be read or written, 4 a running Vantrel uses the file.\n"
        "\n"
        "  --file PATH, --file=PATH  the settings file\n"
        "  -h, --help      this text\n"
        "  -V, --version   the version of the program and of this build\n";

int Fail(int status, const std::string& message)
{
    std::fprintf(stderr, "vantrel-settings: %s\n", message.c_str());
    if (status == kUsage)
        std::fputs("Try 'vantrel-settings --help'.\n", stderr);
    return status;
}

// Loads `path` into the settings as the program does. False, with the status
// in `status`, when it cannot be read; `missing` tells a file not there yet.
// What the file's state means for a save is told only when `changing` it.
bool Load(const std::string& path, bool changing, bool& missing, int& status)
{
    SetDefaultSettings();
    missing = SettingsFileMissing(path);
    if (missing)
        return true;
    struct stat st {};
    // Never opened unless it is a file: a pipe or a device would block or act.
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        status = Fail(kFileFault, path + " is not a file");
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        status = Fail(kFileFault, "cannot read " + path + " : " + std::strerror(errno));
        return false;
    }
    ::close(fd);
    LoadSettings(path);
    const bool readOnly = ::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0;
    if (const std::string notice = SettingsFileNotice(path); !notice.empty() && (changing || !readOnly))
        std::fprintf(stderr, "vantrel-settings: %s\n", notice.c_str());
    return true;
}

int Save(const std::string& path, bool missing)
{
    const SettingsSaveResult result = SaveSettingsFile(path);
    if (!result.Saved)
        return Fail(kFileFault, "not saved: " + result.Problem);
    if (!result.KeptAs.empty())
        std::fprintf(stderr, "vantrel-settings: %s had the wrong length; kept as %s\n", path.c_str(),
                     result.KeptAs.c_str());
    if (missing)
        std::fprintf(stderr, "vantrel-settings: created %s from the defaults\n", path.c_str());
    return kDone;
}

// The lock the program holds while it runs (one Vantrel per folder): it
// saves its settings when it ends, over anything changed meanwhile. Held
// until the tool ends. False, with the status in `status`, when a Vantrel
// holds it; a lock that cannot be taken at all (a read-only folder) is said
// and the change goes on, as the program's start does.
bool LockForChange(const std::string& path, int& status)
{
    const SettingsLock lock = LockSettingsFile(path);
    if (lock.state == SettingsLock::Busy) {
        const std::string who = lock.holder > 0 ? std::to_string(lock.holder) : "id not visible here";
        status = Fail(kInUse, "a Vantrel (process " + who + ") runs with " + path
                                  + " and would save over the change when it ends: stop it first");
        return false;
    }
    if (lock.state == SettingsLock::Unavailable)
        std::fprintf(stderr, "vantrel-settings: cannot lock %s (%s): a running Vantrel would not be noticed\n",
                     lock.lockPath.c_str(), lock.problem.c_str());
    return true;
}

// Checks and applies `assignments`, then saves; nothing is written on a fault.
int Change(const std::string& path, const std::vector<SettingAssignment>& assignments,
           const std::vector<std::string>& readFaults)
{
    bool missing = false;
    int status = kDone;
    if (!LockForChange(path, status) || !Load(path, true, missing, status))
        return status;
    std::vector<std::string> faults = readFaults;
    for (std::string& fault : ApplySettings(assignments))
        faults.push_back(std::move(fault));
    for (const std::string& fault : faults)
        std::fprintf(stderr, "vantrel-settings: %s\n", fault.c_str());
    if (!faults.empty())
        return Fail(kInvalid, path + " is left as it was");
    return Save(path, missing);
}

bool ReadAll(const std::string& source, std::string& text)
{
    const int fd = source == "-" ? STDIN_FILENO : ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            text.append(buffer, static_cast<std::size_t>(n));
    const int error = errno;
    if (fd != STDIN_FILENO)
        ::close(fd);
    errno = error;
    return n == 0;
}

// VANTREL.PORTS beside the settings file named on the command line (links
// not followed: the program reads it from the folder it runs in).
std::string PortsPathBeside(const std::string& settingsPath)
{
    const auto slash = settingsPath.rfind('/');
    return slash == std::string::npos ? kPortsFileName : settingsPath.substr(0, slash + 1) + kPortsFileName;
}

int ShowPorts(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return Fail(kFileFault, "no " + path + " : " + std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return Fail(kFileFault, path + " is not a file");
    const PortsFile file = ReadPortsFile(path);
    for (const std::string& problem : file.problems)
        std::fprintf(stderr, "vantrel-settings: %s\n", problem.c_str());
    for (const std::string& key : PortKeys()) {
        const auto it = file.values.find(key);
        const char* env = std::getenv(PortsEnvName(key).c_str());
        const bool overridden = env != nullptr && *env != '\0';
        if (it == file.values.end() && !overridden)
            continue;
        std::string line = key + " =";
        if (it != file.values.end())
            line += " " + it->second;
        if (overridden)
            line += "  # " + PortsEnvName(key) + "=" + env + " overrides it";
        std::printf("%s\n", line.c_str());
    }
    for (const auto& [key, value] : file.values)
        if (std::find(PortKeys().begin(), PortKeys().end(), key) == PortKeys().end())
            std::fprintf(stderr, "vantrel-settings: %s : %s is not a key Vantrel reads\n", path.c_str(), key.c_str());
    return std::fflush(stdout) == 0 ? kDone : Fail(kFileFault, "cannot write the settings out");
}

// Checks every KEY=VALUE, then writes the file once; nothing is written on a fault.
int SetPorts(const std::string& path, const std::vector<std::string>& args)
{
    std::vector<std::pair<std::string, std::string>> changes;
    std::set<std::string> seen;
    bool faulty = false;
    for (const std::string& arg : args) {
        SettingAssignment a;
        if (!SplitAssignment(arg, a))
            return Fail(kUsage, "ports set takes KEY=VALUE, not '" + arg + "'");
        const std::string value = TrimSpaces(a.value);
        const std::string fault =
            seen.insert(a.name).second ? CheckPortSetting(a.name, value) : std::string("given more than once");
        if (!fault.empty()) {
            std::fprintf(stderr, "vantrel-settings: %s = %s: %s\n", a.name.c_str(), value.c_str(), fault.c_str());
            faulty = true;
        }
        changes.emplace_back(a.name, value);
    }
    if (faulty)
        return Fail(kInvalid, path + " is left as it was");
    struct stat st {};
    const bool missing = ::stat(path.c_str(), &st) != 0;
    std::string text;
    if (!missing && !S_ISREG(st.st_mode))
        return Fail(kFileFault, path + " is not a file");
    if (!missing && !ReadAll(path, text))
        return Fail(kFileFault, "cannot read " + path + " : " + std::strerror(errno));
    if (const std::string problem = WritePortsFile(path, EditPortsText(text, changes)); !problem.empty())
        return Fail(kFileFault, "not saved: " + problem);
    if (missing)
        std::fprintf(stderr, "vantrel-settings: created %s\n", path.c_str());
    return kDone;
}

} // namespace

int main(int argc, char* argv[])
{
    const ParsedOptions parsed = ParseOptions({argv + 1, argv + argc},
        {{"help", 'h', OptionSpec::None}, {"version", 'V', OptionSpec::None}, {"file", 'f', OptionSpec::Required}});
    if (AnswerInfoOption(parsed, "vantrel-settings", kUsageText))
        return kDone;
    if (!parsed.fault.empty())
        return Fail(kUsage, parsed.fault == "--file needs a value" ? "--file needs a path" : parsed.fault);
    const std::string path = parsed.Value("file").value_or(kSettingsFileName);
    // The command and what follows it.
    const std::vector<std::string>& args = parsed.words;
    const std::size_t i = 0;
    if (path.empty())
        return Fail(kUsage, "--file needs a path");
    if (i >= args.size())
        return Fail(kUsage, "show, set, import, reset or ports?");
    const std::string command = args[i];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());

    if (command == "show" || command == "reset") {
        if (!rest.empty())
            return Fail(kUsage, command + " takes nothing after it");
        bool missing = false;
        int status = kDone;
        if (command == "reset") {
            if (!LockForChange(path, status))
                return status;
            missing = SettingsFileMissing(path);
            SetDefaultSettings();
            SettingsRecord.fill(0); // a file of the defaults, not of what an old one held between fields
            return Save(path, missing);
        }
        if (!Load(path, false, missing, status))
            return status;
        if (missing)
            return Fail(kFileFault, MissingSettingsText(path));
        std::fputs(SettingsText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? kDone : Fail(kFileFault, "cannot write the settings out");
    }
    if (command == "set") {
        if (rest.empty())
            return Fail(kUsage, "set needs NAME=VALUE");
        std::vector<SettingAssignment> assignments;
        for (const std::string& arg : rest) {
            SettingAssignment a;
            if (!SplitAssignment(arg, a))
                return Fail(kUsage, "set takes NAME=VALUE, not '" + arg + "'");
            assignments.push_back(a);
        }
        return Change(path, assignments, {});
    }
    if (command == "import") {
        if (rest.size() != 1)
            return Fail(kUsage, "import takes one FILE (or - for standard input)");
        std::string text;
        if (!ReadAll(rest.front(), text))
            return Fail(kFileFault, "cannot read " + rest.front() + " : " + std::strerror(errno));
        std::vector<std::string> faults;
        const std::vector<SettingAssignment> assignments = ReadSettingLines(text, faults);
        return Change(path, assignments, faults);
    }
    if (command == "ports") {
        // The running program only reads this file, when it opens the port: no lock.
        const std::string ports = PortsPathBeside(path);
        if (rest.size() == 1 && rest.front() == "show")
            return ShowPorts(ports);
        if (rest.size() > 1 && rest.front() == "set")
            return SetPorts(ports, {rest.begin() + 1, rest.end()});
        return Fail(kUsage, "ports show, or ports set KEY=VALUE ...");
    }
    return Fail(kUsage, "unknown command '" + command + "'");
}
