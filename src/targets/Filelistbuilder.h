#pragma once
// Expands a selection of files and folders into a FileList on a thread of its
// own: every file below every selected folder, and every folder after
// everything below it, so that a job can remove folders in list order.
// Links to folders (junctions, directory symbolic links) are never entered:
// the link itself becomes a folder target, so nothing outside the selection
// can become a target.
#include <windows.h>
#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>
#include "platform/Mutex.h"
#include "targets/Filelist.h"

class Logger;

// The system calls of the scan: starting its thread, and the file system.
// Tests substitute one that reports links, which Wine cannot create, or a
// thread that cannot start. Each fails with the thread's last error set.
class ScanFileSystem {
public:
    virtual ~ScanFileSystem() = default;
    // CreateThread; null on failure.
    virtual HANDLE StartThread(LPTHREAD_START_ROUTINE routine, void* parameter);
    virtual bool GetAttributes(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data);
    // `pattern` is a folder followed by "\*.*"; returns INVALID_HANDLE_VALUE on failure.
    virtual HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& entry);
    virtual bool FindNext(HANDLE find, WIN32_FIND_DATAW& entry);
};

class FileListBuilder {
public:
    // Starts the scanning thread at once. Failures are logged to `log` (the
    // application log when none is given); `fileSystem`, if given, must
    // outlive the builder. If the thread cannot start, every path added is
    // logged as one that could not be examined and left out, and the scan is
    // complete at once: nothing of the selection becomes a target unseen.
    explicit FileListBuilder(Logger* log = nullptr, ScanFileSystem* fileSystem = nullptr);
    // Stops the scan after the current entry and waits for the thread.
    ~FileListBuilder();
    FileListBuilder(const FileListBuilder&) = delete;
    FileListBuilder& operator=(const FileListBuilder&) = delete;

    // Paths are scanned in the order they are added.
    void AddPath(const std::wstring& path);
    // True when every added path has been scanned completely (also before the first AddPath).
    bool IsComplete();
    // What has been found so far; owned by the builder, valid until it is destroyed.
    FileList& GetFileList();

    struct QueueEntry {
        std::wstring path;
    };

private:
    struct OpenFolder;

    static DWORD WINAPI ThreadMain(void* builder);
    void Run();
    void Scan(const std::wstring& path);
    void Enter(const std::wstring& path, std::vector<OpenFolder>& folders);
    void Found(std::unique_ptr<FileInfo> info);
    void LogFailure(const std::wstring& key, const std::wstring& path, DWORD error);
    void Collect();  // caller holds the lock

    Mutex lock;
    std::deque<QueueEntry> queue;
    std::deque<std::unique_ptr<FileInfo>> found;
    std::unique_ptr<FileList> fileList;
    HANDLE thread = nullptr;
    DWORD startError = ERROR_SUCCESS;
    std::atomic<bool> stopRequested{false};
    Logger* log;
    ScanFileSystem defaultFileSystem;
    ScanFileSystem* fileSystem;
};
