// Saving the settings file without losing it: through links, keeping its owner
// and mode, in place where no file can be made beside it. UI thread only.
#include "settingsfile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Temporary files are the file's name, this marker and mkstemp's six characters.
constexpr const char* kTempMarker = ".tmp";

std::string Directory(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ErrorText(int error) { return std::strerror(error); }

} // namespace

std::string FollowLinks(const std::string& path)
{
    std::string p = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return p;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(p.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target)
            return p;
        const std::string next(target, static_cast<std::size_t>(n));
        p = next.front() == '/' ? next : Directory(p) + "/" + next;
    }
    return {};
}

namespace {

// No write bit at all counts too, so that root respects a read-only file.
bool IsReadOnly(const std::string& path, const struct stat& st)
{
    return ::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0;
}

bool HasWrongLength(const struct stat& st)
{
    return st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) != kRecordSize;
}

// path.bad, or path.bad.2, path.bad.3 … when that is taken.
std::string FreeBadName(const std::string& path)
{
    std::string name = path + ".bad";
    struct stat st {};
    for (int i = 2; ::lstat(name.c_str(), &st) == 0 && i < 1000; ++i)
        name = path + ".bad." + std::to_string(i);
    return name;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CopyFile(const std::string& from, const std::string& to, mode_t mode)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    ssize_t n;
    while ((n = ::read(in, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
    ::close(in);
    if (n < 0)
        return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (out < 0)
        return false;
    const bool written = WriteAll(out, bytes.data(), bytes.size()) && ::fsync(out) == 0;
    if (::close(out) != 0 || !written) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

// Keeps the old file under a free name beside it: a hard link to it, or a
// copy where the file system has none.
bool KeepOldFile(const std::string& target, mode_t mode, std::string& keptAs)
{
    keptAs = FreeBadName(target);
    return ::link(target.c_str(), keptAs.c_str()) == 0 || CopyFile(target, keptAs, mode);
}

// Temporary files that a killed save left behind: name + marker + six
// letters or digits, regular files no longer than a record.
void RemoveStaleTemps(const std::string& target)
{
    const std::string dir = Directory(target), prefix = BaseName(target) + kTempMarker;
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr)
        return;
    while (const dirent* entry = ::readdir(d)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0
            || !std::all_of(name.end() - 6, name.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            continue;
        const std::string path = dir + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) <= kRecordSize)
            ::unlink(path.c_str());
    }
    ::closedir(d);
}

// "VANTREL.SET is a pipe, not a file": what stands there instead, where known.
std::string NotAFile(const std::string& path, const struct stat& st)
{
    const char* what = S_ISDIR(st.st_mode)                 ? "a folder"
        : S_ISFIFO(st.st_mode)                             ? "a pipe"
        : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)       ? "a device"
        : S_ISSOCK(st.st_mode)                             ? "a socket"
                                                           : nullptr;
    return path + (what != nullptr ? std::string(" is ") + what + ", not a file" : " is not a file");
}

SettingsSaveResult Failed(std::string problem)
{
    SettingsSaveResult result;
    result.Problem = std::move(problem);
    return result;
}

// The last resort, where no file can be made beside the old one: rewrite it
// in place and flush it. Owner, mode and links stay as they are.
SettingsSaveResult WriteInPlace(const std::string& shown, const std::string& target)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return Failed("cannot write " + shown + " : " + ErrorText(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) { // replaced since it was looked at
        ::close(fd);
        return Failed(NotAFile(shown, st));
    }
    bool written = WriteAll(fd, SettingsRecord.data(), SettingsRecord.size())
        && ::ftruncate(fd, static_cast<off_t>(kRecordSize)) == 0 && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written)
        return Failed("cannot write " + shown + " : " + ErrorText(error));
    SettingsSaveResult result;
    result.Saved = true;
    return result;
}

// Writes the record to a new temporary file beside `target` with `mode` and,
// for an existing file, its owner. Returns the descriptor's name, or empty
// with `error` set (EPERM: the owner cannot be given).
std::string WriteTemp(const std::string& target, mode_t mode, const struct stat* old, int& error)
{
    std::string temp = target + kTempMarker + "XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = errno;
        return {};
    }
    struct stat made {};
    bool ok = ::fstat(fd, &made) == 0;
    if (ok && old != nullptr && (made.st_uid != old->st_uid || made.st_gid != old->st_gid))
        ok = ::fchown(fd, old->st_uid, old->st_gid) == 0;
    ok = ok && ::fchmod(fd, mode) == 0 && WriteAll(fd, SettingsRecord.data(), SettingsRecord.size())
        && ::fsync(fd) == 0;
    error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok)
        return temp;
    ::unlink(temp.c_str());
    return {};
}

} // namespace

SettingsSaveResult SaveSettingsFile(const std::string& path)
{
    EncodeSettingsRecord();
    const std::string target = FollowLinks(path);
    if (target.empty())
        return Failed(path + " : " + ErrorText(ELOOP));
    RemoveStaleTemps(target);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode_t mode = 0666 & ~mask;
    if (exists) {
        if (!S_ISREG(old.st_mode))
            return Failed(NotAFile(path, old));
        if (IsReadOnly(target, old)) {
            SettingsSaveResult result = Failed(path + " is read-only");
            result.ReadOnly = true;
            return result;
        }
        mode = old.st_mode & 07777;
    }

    int error = 0;
    const std::string temp = WriteTemp(target, mode, exists ? &old : nullptr, error);
    if (temp.empty()) {
        // A folder that is not writable, or an owner this user cannot give.
        const bool noTempBeside = error == EACCES || error == EPERM || error == EROFS;
        if (!exists || !noTempBeside)
            return Failed("cannot write " + path + " : " + ErrorText(error));
        if (HasWrongLength(old))
            return Failed("cannot keep " + path + " of the wrong length beside the new one : " + ErrorText(error));
        return WriteInPlace(path, target);
    }

    SettingsSaveResult result;
    if (exists && HasWrongLength(old) && !KeepOldFile(target, mode, result.KeptAs)) {
        error = errno;
        ::unlink(temp.c_str());
        return Failed("cannot keep " + path + " of the wrong length as " + result.KeptAs + " : " + ErrorText(error));
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        return Failed("cannot replace " + path + " : " + ErrorText(error));
    }
    // Make the rename itself durable; a failure here loses nothing already on disk.
    const int dirFd = ::open(Directory(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    result.Saved = true;
    return result;
}

void PrintSaveResult(const SettingsSaveResult& result, const std::string& path)
{
    if (!result.Saved)
        std::fprintf(stderr, "vantrel: settings not saved: %s\n", result.Problem.c_str());
    else if (!result.KeptAs.empty())
        std::fprintf(stderr, "vantrel: %s had the wrong length; kept as %s\n", path.c_str(), result.KeptAs.c_str());
}

bool SaveSettings(const std::string& path)
{
    const SettingsSaveResult result = SaveSettingsFile(path);
    PrintSaveResult(result, path);
    return result.Saved;
}

std::string SettingsFileNotice(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    if (!S_ISREG(st.st_mode))
        return NotAFile(path, st) + " : the settings can be neither loaded nor saved, the defaults are used";
    if (IsReadOnly(path, st))
        return path + " is read-only : changes to the settings will not be saved";
    if (!HasWrongLength(st))
        return {};
    const std::string size = std::to_string(st.st_size) + " bytes instead of " + std::to_string(kRecordSize);
    const std::string used = static_cast<std::uint64_t>(st.st_size) < kRecordSize ? "the defaults are used"
                                                                                 : "only its first record is used";
    const std::string target = FollowLinks(path);
    return path + " has " + size + " : " + used + ", and it will be kept as "
        + FreeBadName(target.empty() ? path : target) + " when the settings are saved";
}
