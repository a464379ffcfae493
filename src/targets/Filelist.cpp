#include "targets/Filelist.h"

FileList::~FileList()
{
    for (FileInfo* info : Files)
        delete info;
    for (FileInfo* info : Directories)
        delete info;
}

void FileList::Add(FileInfo* info)
{
    if (info->IsFile) {
        Files.push_back(info);
        TotalSize += info->Size;
    } else {
        Directories.push_back(info);
    }
}

void FileList::AddCopy(const FileInfo& info)
{
    Add(new FileInfo(info));
}

int32_t FileList::Count() const
{
    return static_cast<int32_t>(Files.size() + Directories.size());
}

FileInfo* FileList::At(int32_t index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    size_t i = static_cast<size_t>(index);
    return i < Files.size() ? Files[i] : Directories[i - Files.size()];
}
