#include "platform/LongPath.h"

#include <vector>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

}  // namespace

std::wstring ExtendedPath(const std::wstring& path)
{
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0)
        return path;
    const bool unc = path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    const bool drive = path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
    if (!unc && !drive)
        return path;
    // The extended form is taken literally, so the normalisation the system
    // would do is done here, except for stripping trailing dots and spaces.
    const size_t fixed = unc ? 2 : 0;  // server and share
    std::vector<std::wstring> names;
    size_t pos = unc ? 2 : 3;
    while (pos <= path.size()) {
        size_t end = pos;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        std::wstring name = path.substr(pos, end - pos);
        if (name == L"..") {
            if (names.size() > fixed)
                names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(std::move(name));
        }
        pos = end + 1;
    }
    if (names.size() < fixed)
        return path;  // not a share: leave it to the system
    std::wstring result = unc ? L"\\\\?\\UNC" : L"\\\\?\\" + path.substr(0, 2);
    for (const std::wstring& name : names)
        result += L"\\" + name;
    if (names.empty() || IsSeparator(path.back()))
        result += L"\\";
    return result;
}
