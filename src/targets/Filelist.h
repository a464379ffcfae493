#pragma once
// The ordered targets of one job: all files first, then all directories.
// Target index i < Files.size() is Files[i], otherwise Directories[i - Files.size()].
#include <cstdint>
#include <deque>
#include "targets/Fileinfo.h"

class FileList {
public:
    FileList() = default;
    ~FileList();
    FileList(const FileList&) = delete;
    FileList& operator=(const FileList&) = delete;

    // Takes ownership; files go to Files (their size counted), the rest to Directories.
    void Add(FileInfo* info);
    void AddCopy(const FileInfo& info);
    int32_t Count() const;
    FileInfo* At(int32_t index) const;

    uint64_t TotalSize = 0;
    std::deque<FileInfo*> Files;
    std::deque<FileInfo*> Directories;
};
