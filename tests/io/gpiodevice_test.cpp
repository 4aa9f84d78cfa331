// The GPIO port through the system-call seam: the line request it makes, the
// values it sets, the crash step, and the message of every way it can fail.
#include "io/emergency.h"
#include "io/linuxdevices.h"
#include "io/portdriver.h"
#include "io/syscalls.h"
#include "settings/portsfile.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <linux/gpio.h>
#include <cstdarg>
#include <map>
#include <sys/syscall.h>

namespace {
// Far above any descriptor the process has.
constexpr int kFakeLineFd = 9999;
// The crash handler's requests on the fake line request, as the kernel would get them.
std::vector<std::pair<unsigned long, gpio_v2_line_values>> crashRequests;
} // namespace

// This program's ioctl: records the requests on kFakeLineFd, passes every other to the kernel.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    if (fd == kFakeLineFd) {
        crashRequests.emplace_back(request, *static_cast<gpio_v2_line_values*>(arg));
        return 0;
    }
    return static_cast<int>(::syscall(SYS_ioctl, fd, request, arg));
}

namespace {

// A chip of `lines` lines at /dev/gpiochip0; records requests and values.
class FakeGpio : public SysCalls {
public:
    int Open(const char* path, int) override
    {
        if (openError != 0 || std::string(path) != "/dev/gpiochip0")
            return errno = openError != 0 ? openError : ENOENT, -1;
        return chipFd;
    }
    int Flock(int, int) override { return 0; }
    int Ioctl(int fd, unsigned long request, void* arg) override
    {
        if (request == GPIO_GET_CHIPINFO_IOCTL && fd == chipFd) {
            if (notChip)
                return errno = ENOTTY, -1;
            static_cast<gpiochip_info*>(arg)->lines = lines;
            return 0;
        }
        if (request == GPIO_V2_GET_LINEINFO_IOCTL && fd == chipFd) {
            auto* info = static_cast<gpio_v2_line_info*>(arg);
            if (holder.count(info->offset) != 0) {
                info->flags = GPIO_V2_LINE_FLAG_USED;
                std::strncpy(info->consumer, holder[info->offset].c_str(), sizeof info->consumer - 1);
            }
            return 0;
        }
        if (request == GPIO_V2_GET_LINE_IOCTL && fd == chipFd) {
            auto* r = static_cast<gpio_v2_line_request*>(arg);
            for (unsigned i = 0; i < r->num_lines; ++i)
                if (holder.count(r->offsets[i]) != 0)
                    return errno = EBUSY, -1;
            granted = *r;
            r->fd = lineFd;
            return 0;
        }
        if (request == GPIO_V2_LINE_SET_VALUES_IOCTL && fd == lineFd) {
            const auto* v = static_cast<gpio_v2_line_values*>(arg);
            values = (values & ~v->mask) | (v->bits & v->mask);
            return 0;
        }
        return errno = EINVAL, -1;
    }
    int Close(int fd) override { return closed.push_back(fd), 0; }
    ssize_t Pread(int, void*, size_t, off_t) override { return -1; }
    ssize_t Pwrite(int, const void*, size_t, off_t) override { return -1; }
    ssize_t Write(int, const void*, size_t) override { return -1; }

    int chipFd = 40, lineFd = kFakeLineFd;
    unsigned lines = 28;
    int openError = 0;
    bool notChip = false;
    std::map<unsigned, std::string> holder; // line -> its consumer
    gpio_v2_line_request granted {};
    std::uint64_t values = 0xFF; // logical values of the request's lines
    std::vector<int> closed;
};

class GpioTest : public testing::Test {
public: // the failure table's arrangements reach in
    void SetUp() override
    {
        SetDefaultSettings();
        env_ = {{"VANTREL_GPIO_KEY", "17"}, {"VANTREL_GPIO_PTT", "27"}};
    }
    void TearDown() override
    {
        ReleasePort();
        InstallPortDevices(nullptr);
        PortOpen = false;
        SetDefaultSettings();
    }
    LinuxPortDevices::Env Env()
    {
        return [this](const std::string& name) { return env_.count(name) != 0 ? env_[name] : std::string{}; };
    }

    FakeGpio sys_;
    std::map<std::string, std::string> env_;
};

// Key 17 and PTT 27 active-low, DFCW on the PTT line: requested as outputs at
// their inactive level, set one at a time, all inactive in a crash and on the
// way out through the driver; the crash handler's request reaches the kernel
// as a SET_VALUES of both lines to 0.
TEST_F(GpioTest, LinesAreRequestedInactiveAndSwitchedThroughTheDriver)
{
    env_["VANTREL_GPIO_PTT_ACTIVE_LOW"] = "yes";
    LinuxPortDevices devices(sys_, false, Env());
    InstallPortDevices(&devices);
    PortNumber = kPortGpio;
    OpenSelectedPort();
    ASSERT_TRUE(PortOpen);
    const gpio_v2_line_request& r = sys_.granted;
    EXPECT_EQ((std::vector<unsigned>{r.num_lines, r.offsets[0], r.offsets[1]}), (std::vector<unsigned>{2, 17, 27}));
    EXPECT_EQ(r.config.flags, GPIO_V2_LINE_FLAG_OUTPUT);
    ASSERT_EQ(r.config.num_attrs, 2u);
    // Both start at 0 (inactive); PTT alone is active-low.
    EXPECT_EQ((std::vector<std::uint64_t>{r.config.attrs[0].attr.id, r.config.attrs[0].attr.values,
                                          r.config.attrs[0].mask, r.config.attrs[1].attr.flags, r.config.attrs[1].mask}),
              (std::vector<std::uint64_t>{GPIO_V2_LINE_ATTR_ID_OUTPUT_VALUES, 0, 3,
                                          GPIO_V2_LINE_FLAG_OUTPUT | GPIO_V2_LINE_FLAG_ACTIVE_LOW, 2}));
    EXPECT_EQ(sys_.closed, std::vector<int>{sys_.chipFd}); // the request holds the lines

    sys_.values = 0;
    SetPtt(true);
    SetKey(true);
    EXPECT_EQ(sys_.values, 3u);
    SetDfcw(false);
    EXPECT_EQ(sys_.values, 1u);
    EXPECT_EQ(Devices().Describe(kPortGpio).device, "/dev/gpiochip0 key 17 PTT 27");

    EmergencyStep steps[kMaxEmergencySteps];
    ASSERT_EQ(CurrentEmergencySteps(steps), 1);
    crashRequests.clear();
    EmergencyLinesOff(); // as the crash handler does
    ASSERT_EQ(crashRequests.size(), 1u);
    EXPECT_EQ(crashRequests[0].first, GPIO_V2_LINE_SET_VALUES_IOCTL);
    EXPECT_EQ(crashRequests[0].second.mask, 3u);
    EXPECT_EQ(crashRequests[0].second.bits, 0u);

    sys_.values = 3;
    ReleasePort();
    EXPECT_EQ(sys_.values, 0u);
    EXPECT_EQ(sys_.closed.back(), sys_.lineFd);
    EXPECT_EQ(CurrentEmergencySteps(steps), -1);
}

TEST_F(GpioTest, AThirdLineTakesDfcwApart)
{
    env_["VANTREL_GPIO_DFCW"] = "22";
    GpioLines gpio(sys_, Env(), "no-such-file");
    ASSERT_EQ(gpio.Open(), sys_.lineFd);
    EXPECT_EQ(sys_.granted.offsets[2], 22u);
    sys_.values = 0;
    gpio.Set(PortLine::Dfcw, true);
    EXPECT_EQ(sys_.values, 4u);
    EXPECT_EQ(gpio.CrashStep().value, 7);
}

TEST_F(GpioTest, EveryFailureSaysWhatToDo)
{
    struct Case {
        const char* name;
        std::function<void(GpioTest&)> arrange;
        const char* says;
    };
    const std::vector<Case> cases{
        {"missing chip", [](GpioTest& t) { t.env_["VANTREL_GPIO_CHIP"] = "9"; },
         "GPIO (/dev/gpiochip9): no such GPIO chip; set gpio.chip in"},
        {"no permission", [](GpioTest& t) { t.sys_.openError = EACCES; }, "the user needs to be in the group "},
        {"not a chip", [](GpioTest& t) { t.sys_.notChip = true; }, "not a GPIO chip"},
        {"line beyond the chip", [](GpioTest& t) { t.sys_.lines = 20; },
         "gpio.ptt = 27: no such line on this chip (it has 20 lines, 0 to 19)"},
        {"line busy", [](GpioTest& t) { t.sys_.holder[27] = "pttd"; }, "in use by another program: line 27 by pttd"},
        {"no key line", [](GpioTest& t) { t.env_.erase("VANTREL_GPIO_KEY"); },
         "gpio.key (the key line's number on the chip) is not set in no-such-file or VANTREL_GPIO_KEY"},
        {"same line twice", [](GpioTest& t) { t.env_["VANTREL_GPIO_PTT"] = "17"; },
         "gpio.key and gpio.ptt name the same line"},
        {"not a number", [](GpioTest& t) { t.env_["VANTREL_GPIO_KEY"] = "GPIO17"; }, "gpio.key = GPIO17 is not a line"},
        {"active-low neither yes nor no", [](GpioTest& t) { t.env_["VANTREL_GPIO_KEY_ACTIVE_LOW"] = "maybe"; },
         "gpio.key_active_low must be yes or no"},
    };
    for (const Case& c : cases) {
        SetUp();
        sys_ = FakeGpio{};
        c.arrange(*this);
        GpioLines gpio(sys_, Env(), "no-such-file");
        EXPECT_EQ(gpio.Open(), kInvalidHandle) << c.name;
        EXPECT_NE(gpio.Failure().find(c.says), std::string::npos) << c.name << ": " << gpio.Failure();
        EXPECT_EQ(gpio.Fd(), -1) << c.name;
    }
}

TEST_F(GpioTest, TheRealOpeningOfAMissingChipSaysSo)
{
    env_["VANTREL_GPIO_CHIP"] = "/dev/gpiochip9";
    LinuxPortDevices devices(RealSysCalls(), false, Env());
    testing::internal::CaptureStderr();
    EXPECT_EQ(devices.OpenLines(kPortGpio), kInvalidHandle);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "vantrel: GPIO (/dev/gpiochip9) not opened: no such GPIO chip; set gpio.chip in VANTREL.PORTS"
              " (see ls /dev/gpiochip*)\n");
    EXPECT_FALSE(devices.Describe(kPortGpio).present);
}

TEST(PortsFileTest, KeysValuesCommentsAndOverrides)
{
    const std::string path = (std::filesystem::temp_directory_path()
                              / ("vantrel-ports-" + std::to_string(::getpid()))).string();
    std::ofstream(path) << "# Raspberry Pi\n gpio.key = 17   # pin 11\n\ngpio.ptt=27\ngpio.chip = \nnonsense\n";
    const PortsFile file = ReadPortsFile(path);
    EXPECT_EQ(file.values.at("gpio.key"), "17");
    EXPECT_EQ(file.values.at("gpio.ptt"), "27");
    EXPECT_EQ(file.values.at("gpio.chip"), "");
    ASSERT_EQ(file.problems.size(), 1u);
    EXPECT_EQ(file.problems[0], path + " line 6: not \"key = value\": nonsense");
    const auto env = [](const std::string& name) { return name == "VANTREL_GPIO_PTT" ? std::string("5") : std::string{}; };
    EXPECT_EQ(PortSetting(file, "gpio.ptt", env), "5");
    EXPECT_EQ(PortSetting(file, "gpio.key", env), "17");
    EXPECT_EQ(PortsEnvName("gpio.key_active_low"), "VANTREL_GPIO_KEY_ACTIVE_LOW");
    std::filesystem::remove(path);
}

} // namespace
