// A service manager's notification socket for the whole-program checks: binds
// the datagram socket PATH, says "listening", then prints every message and
// "--" after it until SECONDS pass without one. Usage: notify_listen PATH SECONDS
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, argc == 3 ? argv[1] : "", sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    if (argc != 3 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return 1;
    std::printf("listening\n");
    std::fflush(stdout);
    char message[4096];
    for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, std::atoi(argv[2]) * 1000) == 1;) {
        const ssize_t n = ::recv(fd, message, sizeof message, 0);
        std::printf("%.*s\n--\n", static_cast<int>(n > 0 ? n : 0), message);
        std::fflush(stdout);
    }
    return 0;
}
