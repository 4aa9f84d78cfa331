#include "settingsfolder.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

bool SettingsFileMissing(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

std::string MissingSettingsText(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (folder.front() != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) != nullptr)
            folder = folder == "." ? std::string(cwd) : std::string(cwd) + '/' + folder;
    }
    return "no " + name + " in " + folder;
}
