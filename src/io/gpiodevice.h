// The GPIO port: the key, PTT and (when wired apart) DFCW lines of one GPIO
// chip, through the kernel's GPIO character device and its v2 line-request
// ioctls (never sysfs). One request holds all of them as outputs, asked for at
// their inactive level; a value is set with one ioctl on the request's
// descriptor, which a crash handler may issue as well. The chip, the line
// numbers and which lines are active-low come from VANTREL.PORTS:
//   gpio.chip = /dev/gpiochip0     (or just 0)
//   gpio.key = 17                  gpio.key_active_low = no
//   gpio.ptt = 27                  gpio.ptt_active_low = no
//   gpio.dfcw = 22                 (optional; else DFCW is the PTT line)
// each overridable by its environment variable (VANTREL_GPIO_KEY, ...).
#pragma once

#include "emergency.h"
#include "portdevices.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class SysCalls;

class GpioLines {
public:
    using Env = std::function<std::string(const std::string& name)>;

    GpioLines(SysCalls& sys, Env env, std::string portsFile);
    ~GpioLines();

    // The request's descriptor, or kInvalidHandle with Failure() saying why
    // ("GPIO (/dev/gpiochip0): line 40 is not on this chip (it has 28 lines)").
    int Open();
    // The ioctl's result; errno as it leaves it.
    int Set(PortLine line, bool on);
    void Close();
    int Fd() const { return fd_; }
    std::string Failure() const { return "GPIO (" + failedChip_ + "): " + failure_; }
    const std::string& FailedChip() const { return failedChip_; }
    const std::string& FailureReason() const { return failure_; }
    EmergencyStep CrashStep() const;
    // "/dev/gpiochip0 key 17 PTT 27" as configured now, and whether the chip is there.
    PortDescription Describe() const;

private:
    struct Config {
        std::string chip;
        std::array<int, 3> offset{-1, -1, -1}; // key, PTT, DFCW; -1 not set
        std::array<bool, 3> activeLow{};
        std::string error;                      // empty when usable
    };
    Config Read() const;
    int Fail(const std::string& chip, int fd, const std::string& reason);
    std::string BusyReason(int chipFd, const Config& config);

    SysCalls& sys_;
    Env env_;
    std::string portsFile_;
    int fd_ = -1;
    std::uint64_t allLines_ = 0;
    std::array<std::uint64_t, 3> mask_{};       // the request's bit of each PortLine
    std::string failure_, failedChip_;
};
