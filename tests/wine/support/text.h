// UTF-8 test strings to and from the UTF-16 texts of windows and file names.
#pragma once
#include <string>

std::string utf8FromWide(const std::wstring &wide);
std::wstring wideFromUtf8(const std::string &utf8);
