#include "targets/Filelistbuilder.h"

#include <objbase.h>

#include "platform/LongPath.h"
#include "platform/SystemError.h"
#include "log/Log.h"

namespace {

bool IsFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction or directory symbolic link: its contents lie outside the selection.
bool IsFolderLink(DWORD attributes)
{
    return IsFolder(attributes) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

HANDLE ScanFileSystem::StartThread(LPTHREAD_START_ROUTINE routine, void* parameter)
{
    return CreateThread(nullptr, 0, routine, parameter, 0, nullptr);
}

bool ScanFileSystem::GetAttributes(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data) != FALSE;
}

HANDLE ScanFileSystem::FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& entry)
{
    return FindFirstFileW(ExtendedPath(pattern).c_str(), &entry);
}

bool ScanFileSystem::FindNext(HANDLE find, WIN32_FIND_DATAW& entry)
{
    return FindNextFileW(find, &entry) != FALSE;
}

// A folder being listed: the scan goes depth first without recursion, so a
// deep tree cannot exhaust the thread's stack.
struct FileListBuilder::OpenFolder {
    std::wstring path;
    HANDLE find;
    WIN32_FIND_DATAW entry;
    bool entryPending;  // FindFirst already delivered `entry`
};

FileListBuilder::FileListBuilder(Logger* log, ScanFileSystem* fileSystem)
    : log(log), fileSystem(fileSystem ? fileSystem : &defaultFileSystem)
{
    thread = this->fileSystem->StartThread(ThreadMain, this);
    if (!thread)
        startError = GetLastError();
}

FileListBuilder::~FileListBuilder()
{
    stopRequested = true;
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

void FileListBuilder::AddPath(const std::wstring& path)
{
    if (!thread) {
        LogFailure(L"Log.GetAttributesFailed", path, startError);
        return;
    }
    MutexHolder hold(lock);
    queue.push_back({path});
}

bool FileListBuilder::IsComplete()
{
    MutexHolder hold(lock);
    Collect();
    return queue.empty();
}

FileList& FileListBuilder::GetFileList()
{
    MutexHolder hold(lock);
    Collect();
    return *fileList;
}

void FileListBuilder::Collect()
{
    if (!fileList)
        fileList = std::make_unique<FileList>();
    while (!found.empty()) {
        fileList->Add(found.front().release());
        found.pop_front();
    }
}

DWORD WINAPI FileListBuilder::ThreadMain(void* builder)
{
    // The shell's type names and icons of a target (shortcuts, programs) are
    // right only on a thread that has initialised COM.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    static_cast<FileListBuilder*>(builder)->Run();
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

void FileListBuilder::Run()
{
    bool idle = true;
    while (!stopRequested) {
        if (idle) {
            for (int i = 0; i < 5 && !stopRequested; ++i)
                Sleep(20);
            if (stopRequested)
                break;
        }
        std::wstring path;
        {
            MutexHolder hold(lock);
            idle = queue.empty();
            if (!idle)
                path = queue.front().path;
        }
        if (idle)
            continue;
        Scan(path);
        // Only now does the entry leave the queue: IsComplete means "scanned completely".
        MutexHolder hold(lock);
        queue.pop_front();
    }
}

void FileListBuilder::Scan(const std::wstring& path)
{
    std::vector<OpenFolder> folders;
    Enter(path, folders);
    while (!folders.empty()) {
        OpenFolder& folder = folders.back();
        bool haveEntry = false;
        if (!stopRequested) {
            haveEntry = folder.entryPending || fileSystem->FindNext(folder.find, folder.entry);
            folder.entryPending = false;
        }
        if (!haveEntry) {
            FindClose(folder.find);
            std::wstring done = std::move(folder.path);
            folders.pop_back();
            // The folder follows everything below it, also when the scan was stopped.
            Found(std::make_unique<FileInfo>(done));
            continue;
        }
        std::wstring name = folder.entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        DWORD attributes = folder.entry.dwFileAttributes;
        if (IsFolder(attributes) && !IsFolderLink(attributes))
            Enter(JoinPath(folder.path, name), folders);  // may reallocate `folders`
        else
            Found(std::make_unique<FileInfo>(folder.path, folder.entry));
    }
}

// Examines one path: a file or a folder link is added at once, a folder is opened for listing.
void FileListBuilder::Enter(const std::wstring& path, std::vector<OpenFolder>& folders)
{
    if (stopRequested)
        return;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!fileSystem->GetAttributes(path, data)) {
        LogFailure(L"Log.GetAttributesFailed", path, GetLastError());
        return;
    }
    if (!IsFolder(data.dwFileAttributes) || IsFolderLink(data.dwFileAttributes)) {
        Found(std::make_unique<FileInfo>(path));
        return;
    }
    OpenFolder folder{path, INVALID_HANDLE_VALUE, {}, true};
    folder.find = fileSystem->FindFirst(JoinPath(path, L"*.*"), folder.entry);
    if (folder.find == INVALID_HANDLE_VALUE) {
        LogFailure(L"Log.DirectoryScanFailed", path, GetLastError());
        return;
    }
    folders.push_back(std::move(folder));
}

void FileListBuilder::Found(std::unique_ptr<FileInfo> info)
{
    MutexHolder hold(lock);
    found.push_back(std::move(info));
}

void FileListBuilder::LogFailure(const std::wstring& key, const std::wstring& path, DWORD error)
{
    TextVariables variables;
    AddSystemError(variables, error);
    (log ? *log : AppLog()).Add(LogCategory::Error, path, key, variables);
}
