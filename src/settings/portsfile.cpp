#include "portsfile.h"

#include "settingsfile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

PortsFile ReadPortsFile(const std::string& path)
{
    PortsFile result;
    std::ifstream in(path);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::string text = Trim(line.substr(0, line.find('#')));
        if (text.empty())
            continue;
        const auto equals = text.find('=');
        const std::string key = equals == std::string::npos ? std::string{} : Trim(text.substr(0, equals));
        if (key.empty()) {
            result.problems.push_back(path + " line " + std::to_string(number) + ": not \"key = value\": " + text);
            continue;
        }
        result.values[key] = Trim(text.substr(equals + 1));
    }
    return result;
}

std::string PortsEnvName(const std::string& key)
{
    std::string name = "VANTREL_";
    for (const char c : key)
        name += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : '_';
    return name;
}

std::string PortSetting(const PortsFile& file, const std::string& key,
                        const std::function<std::string(const std::string&)>& env)
{
    if (std::string value = env ? env(PortsEnvName(key)) : std::string{}; !value.empty())
        return value;
    const auto it = file.values.find(key);
    return it != file.values.end() ? it->second : std::string{};
}

namespace {

bool WholeNumber(const std::string& text, long min, long max)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long n = std::stol(text);
    return n >= min && n <= max;
}

bool IsYesNo(const std::string& text)
{
    for (const char* word : {"yes", "no", "true", "false", "1", "0"})
        if (text == word)
            return true;
    return false;
}

// "host:port": a host without spaces or colons, and a port 1..65535.
bool IsHostPort(const std::string& text)
{
    const auto colon = text.rfind(':');
    return colon != std::string::npos && colon > 0 && text.find_first_of(" \t:") == colon
        && WholeNumber(text.substr(colon + 1), 1, 65535);
}

// The key of a ports file line, empty for a blank, comment or broken line.
std::string KeyOf(const std::string& line)
{
    const std::string text = Trim(line.substr(0, line.find('#')));
    const auto equals = text.find('=');
    return equals == std::string::npos ? std::string{} : Trim(text.substr(0, equals));
}

} // namespace

const std::vector<std::string>& PortKeys()
{
    static const std::vector<std::string> keys {
        "gpio.chip",          "gpio.key",           "gpio.ptt",    "gpio.dfcw",    "gpio.key_active_low",
        "gpio.ptt_active_low", "gpio.dfcw_active_low", "radio.model", "radio.device", "radio.speed",
        "radio.key",          "radio.key_line"};
    return keys;
}

std::string CheckPortSetting(const std::string& key, const std::string& value)
{
    if (std::find(PortKeys().begin(), PortKeys().end(), key) == PortKeys().end())
        return "not a key of " + std::string(kPortsFileName);
    if (value.empty())
        return {};
    if (value.find_first_of("#\r\n") != std::string::npos)
        return "no '#' or line break in a value";
    if (key == "gpio.chip")
        return value[0] == '/' || WholeNumber(value, 0, 9999) ? "" : "a device path (/dev/gpiochipN) or its number N";
    if (key == "gpio.key" || key == "gpio.ptt" || key == "gpio.dfcw")
        return WholeNumber(value, 0, 1023) ? "" : "a line number, 0..1023";
    if (key.ends_with("_active_low"))
        return IsYesNo(value) ? "" : "yes or no (also true, false, 1, 0)";
    if (key == "radio.model")
        return WholeNumber(value, 1, 999999999) ? "" : "Hamlib's model number (rigctl -l), 2 for a rigctld";
    if (key == "radio.device")
        return value[0] == '/' || IsHostPort(value) ? "" : "a device path, or host:port for a rigctld";
    if (key == "radio.speed")
        return WholeNumber(value, 1, 999999999) ? "" : "a speed in baud, a whole number";
    if (key == "radio.key")
        return value.size() == 4 && value.starts_with("COM") && value[3] >= '1' && value[3] <= '9' ? ""
                                                                                                  : "COM1 to COM9";
    return value == "rts" || value == "dtr" ? "" : "rts or dtr"; // radio.key_line
}

std::string EditPortsText(const std::string& text, const std::vector<std::pair<std::string, std::string>>& changes)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const auto end = text.find('\n', at);
        lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    for (const auto& [key, value] : changes) {
        bool found = false;
        for (auto line = lines.begin(); line != lines.end();) {
            if (KeyOf(*line) != key) {
                ++line;
                continue;
            }
            found = true;
            if (value.empty()) {
                line = lines.erase(line);
                continue;
            }
            const auto hash = line->find('#');
            *line = key + " = " + value + (hash == std::string::npos ? "" : "  " + line->substr(hash));
            ++line;
        }
        if (!found && !value.empty())
            lines.push_back(key + " = " + value);
    }
    std::string result;
    for (const std::string& line : lines)
        result += line + '\n';
    return result;
}

std::string WritePortsFile(const std::string& path, const std::string& text)
{
    const std::string target = FollowLinks(path);
    if (target.empty())
        return path + " : " + std::strerror(ELOOP);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return path + " is not a file";
    const mode_t mask = ::umask(0);
    ::umask(mask);
    std::string temp = target + ".new-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return "cannot write beside " + path + " : " + std::strerror(errno);
    bool ok = ::fchmod(fd, exists ? old.st_mode & 07777 : 0666 & ~mask) == 0;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        ok = n > 0 || (n < 0 && errno == EINTR);
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return "cannot write " + path + " : " + std::strerror(error);
    }
    const auto slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    if (const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}
