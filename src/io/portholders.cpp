#include "portholders.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool Holds(const fs::path& fdDir, const fs::path& device)
{
    std::error_code error;
    for (fs::directory_iterator it(fdDir, error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (!linkError && target == device)
            return true;
    }
    return false;
}

std::string CommandOf(const fs::path& processDir)
{
    std::ifstream in(processDir / "comm");
    std::string name;
    std::getline(in, name);
    return name.empty() ? "a process" : name;
}

} // namespace

std::string ProcessesUsing(const std::string& path, const std::string& procRoot)
{
    std::error_code error;
    // Descriptors name the device by its real path, not by a /dev/serial/by-id link.
    const fs::path device = fs::canonical(path, error);
    if (error)
        return {};
    const std::string self = std::to_string(::getpid());
    std::string result;
    for (fs::directory_iterator it(procRoot, error), end; !error && it != end; it.increment(error)) {
        const std::string pid = it->path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self)
            continue;
        if (Holds(it->path() / "fd", device))
            result += (result.empty() ? "" : ", ") + CommandOf(it->path()) + " (pid " + pid + ")";
    }
    return result;
}
