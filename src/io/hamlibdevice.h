// The radio port: PTT switched by CAT through Hamlib, for a radio whose key is
// the sound card's tone (or a tty line, which LinuxPortDevices adds). The
// radio is named in VANTREL.PORTS:
//   radio.model = 2                (Hamlib's rig model; 2 is a rigctld)
//   radio.device = 127.0.0.1:4532  (a serial device, or host:port for model 2)
//   radio.speed = 9600             (serial radios; 0 or unset: Hamlib's default)
//   radio.key = COM3               (optional: the key on that tty's RTS ...)
//   radio.key_line = rts           (... or dtr)
// each overridable by its environment variable (VANTREL_RADIO_MODEL, ...).
// Every call blocks until the radio answers or its short timeout; UI thread.
#pragma once

#include "portdevices.h"

#include <functional>
#include <string>

struct s_rig;

class HamlibRadio {
public:
    using Env = std::function<std::string(const std::string& name)>;

    HamlibRadio(Env env, std::string portsFile);
    ~HamlibRadio();
    HamlibRadio(const HamlibRadio&) = delete;
    HamlibRadio& operator=(const HamlibRadio&) = delete;

    // Connects and switches PTT off; false with Failure*() saying why.
    bool Open();
    // 0, or the errno standing for the CAT error (ETIMEDOUT, EIO, EPROTO ...).
    int SetPtt(bool on);
    // PTT as the radio reports it: 1 on, 0 off, -1 unknown.
    int Ptt();
    // PTT off, then disconnected.
    void Close();
    bool IsOpen() const { return rig_ != nullptr; }
    const std::string& FailedDevice() const { return failedDevice_; }
    const std::string& FailureReason() const { return failure_; }
    // "model 2 127.0.0.1:4532" as configured now; present unless a device path is missing.
    PortDescription Describe() const;
    // radio.key and radio.key_line: the tty number n of COMn (0: none) and whether RTS keys.
    int KeyCom() const;
    bool KeyOnRts() const;

private:
    std::string Value(const std::string& key) const;
    bool Fail(const std::string& device, const std::string& reason);

    Env env_;
    std::string portsFile_;
    s_rig* rig_ = nullptr;
    std::string failure_, failedDevice_;
};
