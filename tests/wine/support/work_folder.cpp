#include "work_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "text.h"

WorkFolder::WorkFolder()
{
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"pv_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
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
    std::error_code ignored;  // a file another process keeps open stays
    std::filesystem::remove_all(path_, ignored);
}

std::wstring WorkFolder::filePath(const std::string &name) const
{
    return path_ + L"\\" + wideFromUtf8(name);
}

void writeFileAt(const std::wstring &path, const std::string &content)
{
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    if (!(file << content))
        ADD_FAILURE() << "cannot write " << utf8FromWide(path);
}

std::optional<std::string> readFileAt(const std::wstring &path)
{
    // Opened with shared access: the program keeps its log file open for appending.
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
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
