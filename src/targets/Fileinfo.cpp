#include "targets/Fileinfo.h"

#include <atomic>
#include "platform/LongPath.h"

namespace {
std::atomic<FileInfoDisplayLookup> displayLookup{nullptr};
}

void SetFileInfoDisplayLookup(FileInfoDisplayLookup lookup)
{
    displayLookup.store(lookup);
}

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name)
{
    if (!directory.empty() && directory.back() == L'\\')
        return directory + name;
    return directory + L"\\" + name;
}

FileInfo::FileInfo(const std::wstring& path) : Path(path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data))
        SetFromAttributes(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
    else
        SetFromAttributes(FILE_ATTRIBUTE_DIRECTORY, 0, 0, FILETIME{});
    LookUpDisplayInfo();
}

FileInfo::FileInfo(const std::wstring& directory, const WIN32_FIND_DATAW& findData)
    : Path(JoinPath(directory, findData.cFileName))
{
    SetFromAttributes(findData.dwFileAttributes, findData.nFileSizeHigh, findData.nFileSizeLow,
                      findData.ftLastWriteTime);
    LookUpDisplayInfo();
}

void FileInfo::SetFromAttributes(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& lastWrite)
{
    LastWriteTime = lastWrite;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        IsFile = 0;
        Size = 0;
    } else {
        IsFile = 1;
        Size = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
    }
}

void FileInfo::LookUpDisplayInfo()
{
    if (FileInfoDisplayLookup lookup = displayLookup.load())
        lookup(Path, IconIndex, TypeName);
}
