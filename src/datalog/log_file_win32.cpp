// The log file over Win32 handles.  Opened for reading (its last byte) and
// writing with read sharing only, so that a second copy of the program (or
// any other writer) fails to open it instead of writing into it.  Writes go to the end: nobody else can
// write, and the file pointer starts there.
#include "datalog/log_file.h"

#include <windows.h>

#include <string>

namespace {

HANDLE handleOf(LogFileHandle file)
{
    return reinterpret_cast<HANDLE>(file);
}

int lastError()
{
    return static_cast<int>(GetLastError());
}

}  // namespace

int logFileOpen(const char *name, LogFileHandle &file, uint64_t &length, bool &endsMidLine)
{
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));  // ASCII
    HANDLE handle = CreateFileW(wideName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastError();
    // The last byte, if any, is read; the file pointer then stands at the end.
    LARGE_INTEGER end = {}, back = {};
    back.QuadPart = -1;
    char last = '\n';
    DWORD read = 0;
    if (!SetFilePointerEx(handle, LARGE_INTEGER{}, &end, FILE_END) ||
        (end.QuadPart > 0 && (!SetFilePointerEx(handle, back, nullptr, FILE_END) ||
                              !ReadFile(handle, &last, 1, &read, nullptr) || read != 1))) {
        const int error = lastError();
        CloseHandle(handle);
        return error;
    }
    file = reinterpret_cast<LogFileHandle>(handle);
    length = static_cast<uint64_t>(end.QuadPart);
    endsMidLine = last != '\n';
    return 0;
}

int logFileWrite(LogFileHandle file, const char *bytes, size_t count)
{
    while (count > 0) {
        const DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD written = 0;
        if (!WriteFile(handleOf(file), bytes, chunk, &written, nullptr))
            return lastError();
        if (written == 0)
            return ERROR_DISK_FULL;
        bytes += written;
        count -= written;
    }
    return 0;
}

int logFileFlush(LogFileHandle file)
{
    return FlushFileBuffers(handleOf(file)) ? 0 : lastError();
}

int logFileTruncate(LogFileHandle file, uint64_t length)
{
    LARGE_INTEGER position = {};
    position.QuadPart = static_cast<LONGLONG>(length);
    if (!SetFilePointerEx(handleOf(file), position, nullptr, FILE_BEGIN) || !SetEndOfFile(handleOf(file)))
        return lastError();
    return 0;
}

int logFileClose(LogFileHandle file)
{
    return CloseHandle(handleOf(file)) ? 0 : lastError();
}
