#include "paths.h"

#include <cstdlib>

std::string windowsPathFromEnv(const char *variable)
{
    const char *value = std::getenv(variable);
    if (value == nullptr || value[0] != '/')
        return value ? value : "";
    std::string result = "Z:";  // the Unix root
    for (const char *c = value; *c != '\0'; ++c)
        result += (*c == '/') ? '\\' : *c;
    return result;
}
