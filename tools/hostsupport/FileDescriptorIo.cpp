#include "FileDescriptorIo.h"

#include <unistd.h>

#include <cerrno>

namespace hostsupport {

bool WriteAll(int fd, const void* data, size_t size)
{
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, at, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool ReadAll(int fd, void* data, size_t size)
{
    char* at = static_cast<char*>(data);
    while (size > 0) {
        const size_t got = ReadSome(fd, at, size);
        if (got == 0)
            return false;
        at += got;
        size -= got;
    }
    return true;
}

size_t ReadSome(int fd, void* data, size_t size)
{
    for (;;) {
        const ssize_t got = ::read(fd, data, size);
        if (got < 0 && errno == EINTR)
            continue;
        return got > 0 ? static_cast<size_t>(got) : 0;
    }
}

}  // namespace hostsupport
