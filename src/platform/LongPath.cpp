#include "platform/LongPath.h"

namespace {
// CreateDirectoryW already fails above MAX_PATH - 12 (room for an 8.3 name).
constexpr size_t kLongPathThreshold = 248;
}

std::wstring ExtendedPath(const std::wstring& path)
{
    if (path.size() < kLongPathThreshold)
        return path;
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0)
        return path;
    if (path.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    return path;
}
