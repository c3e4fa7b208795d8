#include "app/system_message_win32.h"

std::wstring systemMessage(DWORD error)
{
    wchar_t *text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    const std::wstring message = text != nullptr ? text : L"Error " + std::to_wstring(error) + L"\n";
    LocalFree(text);
    return message;
}
