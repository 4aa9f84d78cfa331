#include "hamlibdevice.h"

#include "settings/portsfile.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <hamlib/rig.h>
#include <sys/stat.h>
#include <string>
#include <utility>

namespace {

// Hamlib's error code as the errno the port driver reports.
int ErrnoOf(int code)
{
    switch (-std::abs(code)) {
    case -RIG_ETIMEOUT: return ETIMEDOUT;
    case -RIG_EPROTO: return EPROTO;
    case -RIG_ENAVAIL:
    case -RIG_ENIMPL: return ENOTSUP;
    default: return EIO;
    }
}

std::string TextOf(int code)
{
    std::string text = rigerror2(code);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

// Hamlib saves the pointer setlocale(LC_NUMERIC, NULL) returns, switches to
// "C" and restores from that pointer, which the switch has freed when the
// program's numeric locale is another one. With "C" already in place its
// switch frees nothing. UI thread only: setlocale is process-wide.
class NumericLocaleC {
public:
    NumericLocaleC() : saved_(std::setlocale(LC_NUMERIC, nullptr)) { std::setlocale(LC_NUMERIC, "C"); }
    ~NumericLocaleC() { std::setlocale(LC_NUMERIC, saved_.c_str()); }
    NumericLocaleC(const NumericLocaleC&) = delete;
    NumericLocaleC& operator=(const NumericLocaleC&) = delete;

private:
    std::string saved_;
};

} // namespace

HamlibRadio::HamlibRadio(Env env, std::string portsFile) : env_(std::move(env)), portsFile_(std::move(portsFile))
{
}

HamlibRadio::~HamlibRadio() { Close(); }

std::string HamlibRadio::Value(const std::string& key) const
{
    return PortSetting(ReadPortsFile(portsFile_), key, env_);
}

PortDescription HamlibRadio::Describe() const
{
    const std::string model = Value("radio.model"), device = Value("radio.device");
    std::string text = "model " + (model.empty() ? std::string("?") : model);
    if (!device.empty())
        text += " " + device;
    struct stat info {};
    const bool present = device.empty() || device[0] != '/' || ::stat(device.c_str(), &info) == 0;
    return {text, present};
}

int HamlibRadio::KeyCom() const
{
    const std::string key = Value("radio.key");
    if (key.size() == 4 && key.compare(0, 3, "COM") == 0 && key[3] >= '1' && key[3] <= '9')
        return key[3] - '0';
    return 0;
}

bool HamlibRadio::KeyOnRts() const { return Value("radio.key_line") != "dtr"; }

bool HamlibRadio::Fail(const std::string& device, const std::string& reason)
{
    failedDevice_ = device;
    failure_ = reason;
    if (rig_ != nullptr) {
        rig_cleanup(rig_);
        rig_ = nullptr;
    }
    return false;
}

bool HamlibRadio::Open()
{
    Close();
    failure_.clear();
    const std::string device = Describe().device;
    const std::string modelText = Value("radio.model");
    char* end = nullptr;
    const long model = std::strtol(modelText.c_str(), &end, 10);
    if (modelText.empty() || *end != '\0' || model <= 0)
        return Fail(device, "radio.model (Hamlib's number of the radio, 2 for a rigctld) is not set in " + portsFile_
                                + " or VANTREL_RADIO_MODEL");
    const std::string key = Value("radio.key");
    if (!key.empty() && KeyCom() == 0)
        return Fail(device, "radio.key = " + key + " is not COM1 to COM9");
    rig_set_debug(RIG_DEBUG_NONE);
    rig_ = rig_init(static_cast<rig_model_t>(model));
    if (rig_ == nullptr)
        return Fail(device, "Hamlib knows no radio model " + modelText + " (rigctl -l lists them)");
    const auto set = [&](const char* name, const std::string& value) {
        return value.empty() ? RIG_OK : rig_set_conf(rig_, rig_token_lookup(rig_, name), value.c_str());
    };
    // A radio that stops answering is lost within a second, not after Hamlib's
    // long default; PTT by CAT, which not every model's defaults choose.
    const int conf = set("rig_pathname", Value("radio.device")) | set("serial_speed", Value("radio.speed"))
        | set("timeout", "500") | set("retry", "0") | set("ptt_type", "RIG");
    if (conf != RIG_OK)
        return Fail(device, "radio.device or radio.speed not taken by Hamlib");
    const NumericLocaleC numeric;
    if (const int code = rig_open(rig_); code != RIG_OK)
        return Fail(device, TextOf(code) + "; check radio.model, radio.device and radio.speed in " + portsFile_);
    if (const int code = rig_set_ptt(rig_, RIG_VFO_CURR, RIG_PTT_OFF); code != RIG_OK) {
        rig_close(rig_);
        return Fail(device, "PTT not switched off: " + TextOf(code));
    }
    return true;
}

int HamlibRadio::SetPtt(bool on)
{
    if (rig_ == nullptr)
        return EBADF;
    const NumericLocaleC numeric;
    const int code = rig_set_ptt(rig_, RIG_VFO_CURR, on ? RIG_PTT_ON : RIG_PTT_OFF);
    return code == RIG_OK ? 0 : ErrnoOf(code);
}

int HamlibRadio::Ptt()
{
    ptt_t ptt = RIG_PTT_OFF;
    const NumericLocaleC numeric;
    if (rig_ == nullptr || rig_get_ptt(rig_, RIG_VFO_CURR, &ptt) != RIG_OK)
        return -1;
    return ptt != RIG_PTT_OFF ? 1 : 0;
}

void HamlibRadio::Close()
{
    if (rig_ == nullptr)
        return;
    const NumericLocaleC numeric;
    rig_set_ptt(rig_, RIG_VFO_CURR, RIG_PTT_OFF);
    rig_close(rig_);
    rig_cleanup(std::exchange(rig_, nullptr));
}
