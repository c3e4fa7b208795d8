#include "paths.h"

#include <cstdlib>

std::string unixToWindowsPath(const std::string &unixPath)
{
    if (unixPath.empty() || unixPath[0] != '/')
        return unixPath;
    std::string result = "Z:";
    for (char c : unixPath)
        result += (c == '/') ? '\\' : c;
    return result;
}

std::string windowsPathFromEnv(const char *variable)
{
    const char *value = std::getenv(variable);
    return value ? unixToWindowsPath(value) : std::string();
}
