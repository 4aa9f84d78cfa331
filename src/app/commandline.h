#pragma once

#include <string>
#include <vector>

// True when the arguments (without the program name) are exactly one word that
// reads "autostart" in any letter case.
bool IsAutoStartCommandLine(const std::vector<std::string>& args);
