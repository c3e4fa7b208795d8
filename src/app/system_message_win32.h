// The system's text for an error code, as the operator's boxes show it.
#pragma once
#include <windows.h>

#include <string>

// "There is not enough space on the disk.\r\n" and the like, in the system's
// language; "Error 112\n" when the system has no text for the code.
std::wstring systemMessage(DWORD error);
