#include "notify.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

bool NotifyServiceManager(const std::string& state)
{
    const char* path = std::getenv("NOTIFY_SOCKET");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path == nullptr || path[0] == '\0' || std::strlen(path) >= sizeof address.sun_path)
        return false;
    const std::size_t length = std::strlen(path);
    std::memcpy(address.sun_path, path, length);
    if (path[0] == '@')
        address.sun_path[0] = '\0';
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + length + (path[0] == '@' ? 0 : 1));
    const bool sent = ::sendto(fd, state.data(), state.size(), MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&address),
                               size) == static_cast<ssize_t>(state.size());
    ::close(fd);
    return sent;
}

void PingWatchdog(std::int64_t nowMs)
{
    static const std::int64_t intervalMs = [] {
        const char* usec = std::getenv("WATCHDOG_USEC");
        const char* pid = std::getenv("WATCHDOG_PID");
        if (usec == nullptr || (pid != nullptr && std::atol(pid) != static_cast<long>(::getpid())))
            return std::int64_t{0};
        return static_cast<std::int64_t>(std::atoll(usec) / 1000);
    }();
    static std::int64_t lastMs = -1;
    if (intervalMs <= 0 || (lastMs >= 0 && nowMs - lastMs < intervalMs / 2))
        return;
    lastMs = nowMs;
    NotifyServiceManager("WATCHDOG=1");
}

void NotifyStatus(const std::string& status)
{
    static std::string last;
    if (status == last)
        return;
    last = status;
    NotifyServiceManager("STATUS=" + status);
}
