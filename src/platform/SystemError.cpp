#include "platform/SystemError.h"

#include <cwctype>

std::wstring SystemErrorMessage(DWORD code)
{
    wchar_t buffer[256] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    while (!text.empty()) {
        wchar_t last = text.back();
        if (last != L' ' && last != L'.' && !std::iswcntrl(last))
            break;
        text.pop_back();
    }
    return text;
}

void AddSystemError(TextVariables& variables, DWORD code)
{
    variables[L"SystemErrorCode"] = std::to_wstring(code);
    variables[L"SystemErrorMessage"] = SystemErrorMessage(code);
}
