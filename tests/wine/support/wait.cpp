#include "wait.h"

#include <windows.h>

bool waitUntil(const std::function<bool()> &condition, unsigned timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(15);
    }
}
