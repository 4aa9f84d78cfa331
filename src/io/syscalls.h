// The system calls the Linux port adapters make, behind one seam so that
// tests can record them. Each returns what the system call returns and leaves
// errno as it does.
#pragma once

#include <sys/types.h>

class SysCalls {
public:
    virtual ~SysCalls() = default;
    virtual int Open(const char* path, int flags) = 0;
    virtual int Flock(int fd, int operation) = 0;
    virtual int Ioctl(int fd, unsigned long request, void* arg) = 0;
    virtual int Close(int fd) = 0;
    virtual ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) = 0;
    virtual ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) = 0;
    virtual ssize_t Write(int fd, const void* buffer, size_t size) = 0;
};

// The real system calls.
SysCalls& RealSysCalls();
