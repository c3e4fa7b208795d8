// The log file over POSIX calls, for the native tests and benchmarks.  POSIX
// has no share modes: nothing keeps another process from writing the file.
#include "datalog/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int logFileOpen(const char *name, LogFileHandle &file, uint64_t &length, bool &endsMidLine)
{
    const int fd = open(name, O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    struct stat status;
    char last = '\n';
    if (fd < 0 || fstat(fd, &status) != 0 || (status.st_size > 0 && pread(fd, &last, 1, status.st_size - 1) != 1)) {
        const int error = errno;
        if (fd >= 0)
            close(fd);
        return error;
    }
    file = fd;
    length = static_cast<uint64_t>(status.st_size);
    endsMidLine = last != '\n';
    return 0;
}

int logFileWrite(LogFileHandle file, const char *bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = write(static_cast<int>(file), bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return 0;
}

int logFileFlush(LogFileHandle file)
{
    return fsync(static_cast<int>(file)) == 0 ? 0 : errno;
}

int logFileTruncate(LogFileHandle file, uint64_t length)
{
    return ftruncate(static_cast<int>(file), static_cast<off_t>(length)) == 0 ? 0 : errno;
}

int logFileClose(LogFileHandle file)
{
    return close(static_cast<int>(file)) == 0 ? 0 : errno;
}
