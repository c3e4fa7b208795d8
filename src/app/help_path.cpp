#include "app/help_path.h"

const char kHelpFileName[] = "PENDRA_VISUALIZER_HELP.HLP";
const wchar_t kHtmlManualName[] = L"PENDRA_VISUALIZER_HELP.html";

std::wstring manualPathBeside(const std::wstring &programPath)
{
    const std::wstring::size_type slash = programPath.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return std::wstring();
    return programPath.substr(0, slash + 1) + kHtmlManualName;
}
