#include "syscalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

class Real : public SysCalls {
public:
    int Open(const char* path, int flags) override { return ::open(path, flags); }
    int Flock(int fd, int operation) override { return ::flock(fd, operation); }
    int Ioctl(int fd, unsigned long request, void* arg) override { return ::ioctl(fd, request, arg); }
    int Close(int fd) override { return ::close(fd); }
    ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) override
    {
        return ::pread(fd, buffer, size, offset);
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) override
    {
        return ::pwrite(fd, buffer, size, offset);
    }
    ssize_t Write(int fd, const void* buffer, size_t size) override { return ::write(fd, buffer, size); }
};

} // namespace

SysCalls& RealSysCalls()
{
    static Real real;
    return real;
}
