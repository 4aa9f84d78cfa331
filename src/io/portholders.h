// Which processes hold a device open, as far as /proc shows this user:
// "minicom (pid 1234)", several joined by ", ", empty when none is seen.
// Other users' processes stay hidden unless the caller is root. Slow (reads
// every process's descriptors): only for explaining a failed opening.
#pragma once

#include <string>

std::string ProcessesUsing(const std::string& path, const std::string& procRoot = "/proc");
