// A service manager's notification socket for the whole-program checks:
// binds the datagram socket PATH and prints every message it receives, one
// line per "NAME=value" (messages separated by "--"), until SECONDS pass
// without one. Usage: notify_listen PATH SECONDS
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc != 3)
        return 2;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, argv[1], sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
    ::unlink(argv[1]);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("notify_listen");
        return 1;
    }
    std::printf("listening\n");
    std::fflush(stdout);
    pollfd p{fd, POLLIN, 0};
    while (::poll(&p, 1, std::atoi(argv[2]) * 1000) == 1) {
        char message[4096];
        const ssize_t n = ::recv(fd, message, sizeof message, 0);
        if (n <= 0)
            break;
        std::printf("%.*s\n--\n", static_cast<int>(n), message);
        std::fflush(stdout);
    }
    ::unlink(argv[1]);
    return 0;
}
