// VANTREL.PORTS, beside VANTREL.SET: the details of the ports whose lines are
// named rather than fixed (GPIO), one "key = value" a line, '#' starts a
// comment. Each key can be overridden by an environment variable: "gpio.key"
// by VANTREL_GPIO_KEY.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
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

// The keys Vantrel reads from the file, in the order `vantrel-settings ports
// show` prints them.
const std::vector<std::string>& PortKeys();

// Empty when `value` suits `key` as the port that reads it takes it; else the
// rule it breaks ("a line number, 0..1023"). An empty value (the key unset)
// suits every key; an unknown key suits none.
std::string CheckPortSetting(const std::string& key, const std::string& value);

// `text` (a ports file) with `changes` applied in order: each line of a key
// takes its new value, keeping its comment, or goes when the value is empty;
// a key not in the text yet is appended. Other lines stay as they are.
std::string EditPortsText(const std::string& text, const std::vector<std::pair<std::string, std::string>>& changes);

// Writes `text` to `path`, through symbolic links to their target: to a
// temporary file beside it with the old file's mode, flushed and renamed over
// it, so that a failure, or a port reading it meanwhile, sees the old file
// whole. Empty when written, else what went wrong.
std::string WritePortsFile(const std::string& path, const std::string& text);
