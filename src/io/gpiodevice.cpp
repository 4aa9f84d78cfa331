#include "gpiodevice.h"

#include "settings/portsfile.h"
#include "syscalls.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <linux/gpio.h>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr const char* kLineKeys[3] = {"gpio.key", "gpio.ptt", "gpio.dfcw"};
constexpr const char* kLineNames[3] = {"key", "PTT", "DFCW"};

// The group that may open the chip: the device's own, else the usual one.
std::string ChipGroup(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && info.st_gid != 0)
        if (const group* g = ::getgrgid(info.st_gid); g != nullptr)
            return g->gr_name;
    return "gpio";
}

bool ParseYes(const std::string& text, bool& out)
{
    if (text.empty() || text == "no" || text == "0" || text == "false")
        return out = false, true;
    if (text == "yes" || text == "1" || text == "true")
        return out = true, true;
    return false;
}

} // namespace

GpioLines::GpioLines(SysCalls& sys, Env env, std::string portsFile)
    : sys_(sys), env_(std::move(env)), portsFile_(std::move(portsFile))
{
}

GpioLines::~GpioLines() { Close(); }

GpioLines::Config GpioLines::Read() const
{
    const PortsFile file = ReadPortsFile(portsFile_);
    const auto value = [&](const std::string& key) { return PortSetting(file, key, env_); };
    Config c;
    c.chip = value("gpio.chip");
    if (c.chip.empty())
        c.chip = "/dev/gpiochip0";
    else if (c.chip.find_first_not_of("0123456789") == std::string::npos)
        c.chip = "/dev/gpiochip" + c.chip;
    if (!file.problems.empty())
        c.error = file.problems.front();
    for (int i = 0; i < 3 && c.error.empty(); ++i) {
        const std::string key = kLineKeys[i];
        const std::string text = value(key);
        if (!text.empty()) {
            char* end = nullptr;
            const long n = std::strtol(text.c_str(), &end, 10);
            if (*end != '\0' || n < 0 || n > 1023)
                c.error = key + " = " + text + " is not a line number";
            c.offset[static_cast<std::size_t>(i)] = static_cast<int>(n);
        } else if (i < 2) {
            c.error = key + " (the " + kLineNames[i] + " line's number on the chip) is not set in " + portsFile_
                + " or " + PortsEnvName(key);
        }
        if (!ParseYes(value(key + "_active_low"), c.activeLow[static_cast<std::size_t>(i)]))
            c.error = key + "_active_low must be yes or no";
        for (int j = 0; j < i && c.error.empty(); ++j)
            if (c.offset[static_cast<std::size_t>(i)] == c.offset[static_cast<std::size_t>(j)])
                c.error = std::string(kLineKeys[j]) + " and " + key + " name the same line";
    }
    return c;
}

PortDescription GpioLines::Describe() const
{
    const Config c = Read();
    std::string device = c.chip;
    for (int i = 0; i < 3; ++i)
        if (c.offset[static_cast<std::size_t>(i)] >= 0)
            device += std::string(" ") + kLineNames[i] + " " + std::to_string(c.offset[static_cast<std::size_t>(i)]);
    struct stat info {};
    return {device, ::stat(c.chip.c_str(), &info) == 0};
}

int GpioLines::Fail(const std::string& chip, int fd, const std::string& reason)
{
    if (fd >= 0)
        sys_.Close(fd);
    failure_ = reason;
    failedChip_ = chip;
    return kInvalidHandle;
}

// Who holds the lines a request was refused for.
std::string GpioLines::BusyReason(int chipFd, const Config& config)
{
    std::string users;
    for (int i = 0; i < 3; ++i) {
        const int offset = config.offset[static_cast<std::size_t>(i)];
        gpio_v2_line_info info {};
        info.offset = static_cast<unsigned>(offset);
        if (offset < 0 || sys_.Ioctl(chipFd, GPIO_V2_GET_LINEINFO_IOCTL, &info) != 0
            || (info.flags & GPIO_V2_LINE_FLAG_USED) == 0)
            continue;
        users += (users.empty() ? "" : ", ") + std::string("line ") + std::to_string(offset) + " by "
            + (info.consumer[0] != '\0' ? std::string(info.consumer, strnlen(info.consumer, sizeof info.consumer))
                                        : std::string("the kernel"));
    }
    return "in use by another program" + (users.empty() ? "" : ": " + users);
}

int GpioLines::Open()
{
    Close();
    failure_.clear();
    const Config c = Read();
    if (!c.error.empty())
        return Fail(c.chip, -1, c.error);
    const int chip = sys_.Open(c.chip.c_str(), O_RDWR | O_CLOEXEC);
    if (chip < 0) {
        const int error = errno;
        if (error == ENOENT)
            return Fail(c.chip, chip, "no such GPIO chip; set gpio.chip in " + portsFile_ + " (see ls /dev/gpiochip*)");
        if (error == EACCES || error == EPERM)
            return Fail(c.chip, chip, "permission denied; the user needs to be in the group " + ChipGroup(c.chip));
        return Fail(c.chip, chip, std::strerror(error));
    }
    gpiochip_info chipInfo {};
    if (sys_.Ioctl(chip, GPIO_GET_CHIPINFO_IOCTL, &chipInfo) != 0)
        return Fail(c.chip, chip, errno == ENOTTY ? "not a GPIO chip" : std::strerror(errno));
    gpio_v2_line_request request {};
    std::uint64_t activeLow = 0;
    allLines_ = 0;
    for (int i = 0; i < 3; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (c.offset[at] < 0)
            continue;
        if (static_cast<unsigned>(c.offset[at]) >= chipInfo.lines)
            return Fail(c.chip, chip, std::string(kLineKeys[i]) + " = " + std::to_string(c.offset[at])
                + ": no such line on this chip (it has " + std::to_string(chipInfo.lines) + " lines, 0 to "
                + std::to_string(chipInfo.lines - 1) + ")");
        mask_[at] = std::uint64_t{1} << request.num_lines;
        if (c.activeLow[at])
            activeLow |= mask_[at];
        request.offsets[request.num_lines++] = static_cast<unsigned>(c.offset[at]);
        allLines_ |= mask_[at];
    }
    if (c.offset[2] < 0)
        mask_[2] = mask_[1]; // DFCW on the PTT line
    std::snprintf(request.consumer, sizeof request.consumer, "vantrel");
    // Outputs, inactive: the logical value 0 is the inactive level, active-low or not.
    request.config.flags = GPIO_V2_LINE_FLAG_OUTPUT;
    unsigned attr = 0;
    request.config.attrs[attr].attr.id = GPIO_V2_LINE_ATTR_ID_OUTPUT_VALUES;
    request.config.attrs[attr].attr.values = 0;
    request.config.attrs[attr++].mask = allLines_;
    if (activeLow != 0) {
        request.config.attrs[attr].attr.id = GPIO_V2_LINE_ATTR_ID_FLAGS;
        request.config.attrs[attr].attr.flags = GPIO_V2_LINE_FLAG_OUTPUT | GPIO_V2_LINE_FLAG_ACTIVE_LOW;
        request.config.attrs[attr++].mask = activeLow;
    }
    request.config.num_attrs = attr;
    if (sys_.Ioctl(chip, GPIO_V2_GET_LINE_IOCTL, &request) != 0) {
        const int error = errno;
        if (error == EBUSY)
            return Fail(c.chip, chip, BusyReason(chip, c));
        return Fail(c.chip, chip, std::string("lines not granted: ") + std::strerror(error));
    }
    sys_.Close(chip); // the request's descriptor holds the lines
    fd_ = request.fd;
    return fd_;
}

int GpioLines::Set(PortLine line, bool on)
{
    gpio_v2_line_values values {};
    values.mask = mask_[static_cast<std::size_t>(line)];
    values.bits = on ? values.mask : 0;
    return sys_.Ioctl(fd_, GPIO_V2_LINE_SET_VALUES_IOCTL, &values);
}

void GpioLines::Close()
{
    if (fd_ < 0)
        return;
    // Inactive before the lines go back to the kernel, which may leave them as they are.
    gpio_v2_line_values values {};
    values.mask = allLines_;
    sys_.Ioctl(fd_, GPIO_V2_LINE_SET_VALUES_IOCTL, &values);
    sys_.Close(std::exchange(fd_, -1));
}

EmergencyStep GpioLines::CrashStep() const
{
    if (fd_ < 0)
        return {};
    return {EmergencyStep::LineValues, fd_, GPIO_V2_LINE_SET_VALUES_IOCTL, static_cast<int>(allLines_), 0};
}
