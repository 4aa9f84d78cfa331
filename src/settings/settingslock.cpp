#include "settingslock.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The descriptor that holds the lock, and the process it holds it for (a
// child made by fork inherits the descriptor, not the lock). A POSIX record
// lock goes when any descriptor of its file closes in this process: nothing
// else opens it.
int lockFd = -1;
pid_t lockPid = 0;

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    char real[PATH_MAX];
    return ::realpath(dir.c_str(), real) != nullptr ? real : dir;
}

std::string BaseOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

flock WholeFile(short type)
{
    flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    return range;
}

void WritePid(int fd)
{
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0)
        [[maybe_unused]] const ssize_t n = ::pwrite(fd, pid.data(), pid.size(), 0);
}

SettingsLock Unavailable(SettingsLock lock, const std::string& problem)
{
    lock.state = SettingsLock::Unavailable;
    lock.problem = problem;
    return lock;
}

} // namespace

SettingsLock LockSettingsFile(const std::string& path)
{
    SettingsLock lock;
    const std::string target = FollowLinks(path);
    if (target.empty())
        return Unavailable(lock, std::strerror(ELOOP));
    lock.lockPath = FolderOf(target) + "/" + BaseOf(target) + ".lock";
    if (lockFd >= 0 && lockPid == ::getpid()) {
        lock.state = SettingsLock::Held;
        return lock;
    }
    // Not through a link, never blocking, no controlling terminal: whatever
    // stands under that name, nothing here waits for it.
    const int fd = ::open(lock.lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY,
                          0666);
    if (fd < 0)
        return Unavailable(lock, std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Unavailable(lock, "not a file");
    }
    // The holder may end between a refused lock and the question who holds it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        flock range = WholeFile(F_WRLCK);
        if (::fcntl(fd, F_SETLK, &range) == 0) {
            lockFd = fd;
            lockPid = ::getpid();
            WritePid(fd);
            lock.state = SettingsLock::Held;
            return lock;
        }
        if (errno != EACCES && errno != EAGAIN) {
            const int error = errno;
            ::close(fd);
            return Unavailable(lock, std::strerror(error));
        }
        range = WholeFile(F_WRLCK);
        if (::fcntl(fd, F_GETLK, &range) == 0 && range.l_type != F_UNLCK) {
            ::close(fd);
            lock.state = SettingsLock::Busy;
            lock.holder = range.l_pid > 0 ? range.l_pid : 0;
            return lock;
        }
    }
    ::close(fd);
    return Unavailable(lock, "the lock changes hands too fast");
}

void UnlockSettingsFile()
{
    if (lockFd >= 0 && lockPid == ::getpid())
        ::close(lockFd);
    lockFd = -1;
}

std::string SettingsLockText(const SettingsLock& lock, const std::string& path)
{
    const std::string target = FollowLinks(path);
    const std::string file = target.empty() ? path : FolderOf(target) + "/" + BaseOf(target);
    switch (lock.state) {
    case SettingsLock::Held: return {};
    case SettingsLock::Busy: {
        const std::string who = lock.holder > 0 ? std::to_string(lock.holder) : "id not visible here";
        return "another Vantrel (process " + who + ") runs with " + file
            + " : only one Vantrel at a time may use a folder's settings";
    }
    case SettingsLock::Unavailable: break;
    }
    return "cannot lock " + (lock.lockPath.empty() ? file : lock.lockPath) + " (" + lock.problem
        + ") : a second Vantrel in this folder would not be noticed";
}
