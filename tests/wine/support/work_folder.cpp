#include "work_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "text.h"

WorkFolder::WorkFolder()
{
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"pv_scenario_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++counter) + L"_" + std::to_wstring(GetTickCount());
    if (!CreateDirectoryW(path_.c_str(), nullptr))
        ADD_FAILURE() << "cannot create the work folder " << utf8FromWide(path_);
}

WorkFolder::~WorkFolder()
{
    if (::testing::Test::HasFailure()) {
        std::printf("work folder kept: %s\n", utf8FromWide(path_).c_str());
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring inside = path_ + L"\\" + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(inside.c_str());  // "." and ".." stay; an empty one goes
            else
                DeleteFileW(inside.c_str());
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

std::wstring WorkFolder::filePath(const std::string &name) const
{
    return path_ + L"\\" + wideFromUtf8(name);
}

void writeFileAt(const std::wstring &path, const std::string &content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot write " << utf8FromWide(path);
        return;
    }
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

std::optional<std::string> readFileAt(const std::wstring &path)
{
    // Shared access: the program keeps its log file open for appending.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

void WorkFolder::writeFile(const std::string &name, const std::string &content) const
{
    writeFileAt(filePath(name), content);
}

std::optional<std::string> WorkFolder::readFile(const std::string &name) const
{
    return readFileAt(filePath(name));
}

std::string todayCsvName()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[32];
    std::snprintf(name, sizeof name, "%d_%d_%d.csv", now.wYear, now.wMonth, now.wDay);
    return name;
}
