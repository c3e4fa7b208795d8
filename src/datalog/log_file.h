// The five file operations of the CSV log: log_file_win32.cpp on Windows,
// log_file_posix.cpp for the native builds.  Each returns 0 on success,
// otherwise the system's error code (GetLastError, errno).
#pragma once
#include <cstddef>
#include <cstdint>

using LogFileHandle = intptr_t;
constexpr LogFileHandle kNoLogFile = -1;

// Opens `name` (relative to the current directory) for appending, creating
// it when missing.  While it is open, others may read it but not write it.
// `length` is the file's length, where the next write goes; `endsMidLine`
// tells that it holds bytes after its last line feed (a line cut off by a
// crash or a power cut).
int logFileOpen(const char *name, LogFileHandle &file, uint64_t &length, bool &endsMidLine);

// Writes all `count` bytes at the end of the file, or fails.
int logFileWrite(LogFileHandle file, const char *bytes, size_t count);

// Waits until what was written is on the disk.
int logFileFlush(LogFileHandle file);

// Cuts the file back to `length` bytes; the next write goes there.
int logFileTruncate(LogFileHandle file, uint64_t length);

int logFileClose(LogFileHandle file);
