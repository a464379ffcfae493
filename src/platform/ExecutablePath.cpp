#include "platform/ExecutablePath.h"

#include <windows.h>
#include <vector>

std::wstring ExecutablePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) >= buffer.size())
        buffer.resize(buffer.size() * 2);
    return std::wstring(buffer.data(), length);
}

std::wstring ExecutableFolder()
{
    std::wstring path = ExecutablePath();
    if (path.rfind(L"unix\\", 0) == 0)
        path = L"\\\\?\\" + path;
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ExecutableBaseName()
{
    std::wstring path = ExecutablePath();
    std::wstring name = path.substr(path.rfind(L'\\') + 1);
    // Only a dot in the file name starts the extension.
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}
