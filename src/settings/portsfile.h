// VANTREL.PORTS, beside VANTREL.SET: the details of the ports whose lines are
// named rather than fixed (GPIO), one "key = value" a line, '#' starts a
// comment. Each key can be overridden by an environment variable: "gpio.key"
// by VANTREL_GPIO_KEY.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

inline constexpr const char* kPortsFileName = "VANTREL.PORTS";

struct PortsFile {
    std::map<std::string, std::string> values;
    std::vector<std::string> problems; // "VANTREL.PORTS line 3: no '=' in ..."
};

// Reads `path`; a missing file has no values and no problems.
PortsFile ReadPortsFile(const std::string& path = kPortsFileName);

// "gpio.ptt_active_low" -> "VANTREL_GPIO_PTT_ACTIVE_LOW".
std::string PortsEnvName(const std::string& key);

// The value of `key`: its environment variable when set and not empty, else the file's.
std::string PortSetting(const PortsFile& file, const std::string& key,
                        const std::function<std::string(const std::string&)>& env);
