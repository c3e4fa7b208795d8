// Where the tests under Wine find the staged program and the simulator.
#pragma once
#include <string>

// A Unix path from the environment, turned into the Windows path Wine maps
// it to (Z: is the Unix root).
std::string windowsPathFromEnv(const char *variable);
std::string unixToWindowsPath(const std::string &unixPath);
