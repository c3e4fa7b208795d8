// UTF-8 test strings to and from the UTF-16 texts of windows and file names.
#pragma once
#include <string>
#include <vector>

std::string utf8FromWide(const std::wstring &wide);
std::wstring wideFromUtf8(const std::string &utf8);
// The lines of a file whose lines end with CR LF; a last line without it is
// still being written and left out.
std::vector<std::string> linesOf(const std::string &content);
