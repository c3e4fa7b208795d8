// A Unix path from the environment as the Windows path Wine maps it to.
#pragma once
#include <string>

std::string windowsPathFromEnv(const char *variable);
