#include "platform/Elevation.h"

#include <shellapi.h>

#include <vector>

bool Elevation::IsElevated()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    bool elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
                    elevation.TokenIsElevated != 0;
    CloseHandle(token);
    return elevated;
}

DWORD Elevation::RunElevated(const std::wstring& program, const std::wstring& parameters, HWND owner)
{
    std::vector<wchar_t> folder(MAX_PATH);
    DWORD length = 0;
    while ((length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data())) >= folder.size())
        folder.resize(length + 1);
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    // The program may end soon after: the start must be complete on return.
    execute.fMask = SEE_MASK_NOASYNC;
    execute.hwnd = owner;
    execute.lpVerb = L"runas";
    execute.lpFile = program.c_str();
    execute.lpParameters = parameters.c_str();
    execute.lpDirectory = length > 0 ? folder.data() : nullptr;
    execute.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&execute))
        return ERROR_SUCCESS;
    DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
}

Elevation& SystemElevation()
{
    static Elevation elevation;
    return elevation;
}
