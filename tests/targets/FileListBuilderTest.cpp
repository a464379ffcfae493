#include <gtest/gtest.h>

#include <objbase.h>
#include <atomic>
#include <memory>
#include <vector>
#include "platform/LongPath.h"
#include "log/Log.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"
#include "targets/Filelistbuilder.h"

namespace {

std::vector<std::wstring> Paths(const std::deque<FileInfo*>& infos)
{
    std::vector<std::wstring> paths;
    for (const FileInfo* info : infos)
        paths.push_back(info->Path);
    return paths;
}

// Names in `folder` in the order the file system lists them.
std::vector<std::wstring> Listing(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0)
            names.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
}

class Builder : public ::testing::Test {
protected:
    FileList& Complete(FileListBuilder& builder)
    {
        for (int i = 0; i < 1000 && !builder.IsComplete(); ++i)
            Sleep(10);
        EXPECT_TRUE(builder.IsComplete());
        return builder.GetFileList();
    }
    std::vector<std::wstring> LoggedKeys()
    {
        std::vector<std::wstring> keys;
        for (size_t i = 0; i < log.Count(); ++i)
            keys.push_back(log.At(i).text + L" " + log.At(i).target);
        return keys;
    }

    TempDir dir;
    TempDir noLanguage;
    UnicodeLanguage language{noLanguage.Path(), L"Varnox"};  // no files: every text is its key
    Logger log{language};
};

TEST_F(Builder, CompleteAndEmptyBeforeAnyPath)
{
    FileListBuilder builder(&log);
    EXPECT_TRUE(builder.IsComplete());
    EXPECT_EQ(builder.GetFileList().Count(), 0);
}

TEST_F(Builder, SingleFileAndEmptyFolder)
{
    std::wstring file = dir.WriteFile(L"one.txt", "12345");
    std::wstring empty = dir.MakeDir(L"empty");
    FileListBuilder builder(&log);
    builder.AddPath(file);
    builder.AddPath(empty);
    FileList& list = Complete(builder);
    EXPECT_EQ(Paths(list.Files), std::vector<std::wstring>{file});
    EXPECT_EQ(Paths(list.Directories), std::vector<std::wstring>{empty});
    EXPECT_EQ(list.TotalSize, 5u);
    EXPECT_EQ(log.Count(), 0u);
}

TEST_F(Builder, EveryFolderFollowsEverythingBelowIt)
{
    std::wstring root = dir.MakeDir(L"sel");
    dir.WriteFile(L"sel\\a", "a");
    dir.WriteFile(L"sel\\S\\b", "bb");
    dir.WriteFile(L"sel\\c", "ccc");
    dir.WriteFile(L"sel\\S\\T\\d", "d");
    FileListBuilder builder(&log);
    builder.AddPath(root);
    FileList& list = Complete(builder);

    std::vector<std::wstring> files;
    for (const std::wstring& name : Listing(root))
        files.push_back(name == L"S" ? root + L"\\S\\b" : root + L"\\" + name);
    // S holds b and T; T's file comes where T is listed within S.
    std::vector<std::wstring> inS = Listing(root + L"\\S");
    std::vector<std::wstring> expectedFiles;
    for (const std::wstring& path : files) {
        if (path != root + L"\\S\\b") {
            expectedFiles.push_back(path);
            continue;
        }
        for (const std::wstring& name : inS)
            expectedFiles.push_back(name == L"T" ? root + L"\\S\\T\\d" : root + L"\\S\\" + name);
    }
    EXPECT_EQ(Paths(list.Files), expectedFiles);
    EXPECT_EQ(Paths(list.Directories),
              (std::vector<std::wstring>{root + L"\\S\\T", root + L"\\S", root}));
    EXPECT_EQ(list.TotalSize, 7u);
}

TEST_F(Builder, UnreadablePathsAreLoggedAndLeftOut)
{
    std::wstring root = dir.MakeDir(L"sel");
    dir.WriteFile(L"sel\\keep.txt", "x");
    std::wstring locked = dir.MakeDir(L"sel\\locked");
    dir.WriteFile(L"sel\\locked\\hidden.txt", "x");
    // Held open without sharing: the folder cannot be listed.
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    std::wstring missing = dir / L"gone";
    {
        FileListBuilder builder(&log);
        builder.AddPath(missing);
        builder.AddPath(root);
        FileList& list = Complete(builder);
        EXPECT_EQ(Paths(list.Files), std::vector<std::wstring>{root + L"\\keep.txt"});
        EXPECT_EQ(Paths(list.Directories), std::vector<std::wstring>{root});
    }
    CloseHandle(holder);
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_EQ(log.At(0).text, L"Log.GetAttributesFailed");
    EXPECT_EQ(log.At(0).target, missing);
    EXPECT_EQ(log.At(0).category, LogCategory::Error);
    EXPECT_EQ(log.At(1).text, L"Log.DirectoryScanFailed");
    EXPECT_EQ(log.At(1).target, locked);
}

// The shell lookup of every target made by the scan: was COM ready on that thread?
std::atomic<int> lookups{0}, lookupsWithoutCom{0};
void CheckComLookup(const std::wstring&, int32_t&, std::wstring&)
{
    ++lookups;
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (result == S_OK)
        ++lookupsWithoutCom;
    if (SUCCEEDED(result))
        CoUninitialize();
}

TEST_F(Builder, TheShellIsAskedAboutTargetsOnlyWithCOMInitialised)
{
    std::wstring root = dir.MakeDir(L"sel");
    dir.WriteFile(L"sel\\program.exe", "MZ");
    dir.WriteFile(L"sel\\shortcut.lnk", "L");
    SetFileInfoDisplayLookup(CheckComLookup);
    {
        FileListBuilder builder(&log);
        builder.AddPath(root);
        EXPECT_EQ(Complete(builder).Count(), 3);
    }
    SetFileInfoDisplayLookup(nullptr);
    EXPECT_EQ(lookups.load(), 3);
    EXPECT_EQ(lookupsWithoutCom.load(), 0);
}

class NoThreadFileSystem : public ScanFileSystem {
public:
    HANDLE StartThread(LPTHREAD_START_ROUTINE, void*) override
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
};

TEST_F(Builder, AScanThatCannotStartReportsEveryPathAndIsComplete)
{
    std::wstring file = dir.WriteFile(L"one.txt", "1");
    std::wstring folder = dir.MakeDir(L"folder");
    NoThreadFileSystem fileSystem;
    FileListBuilder builder(&log, &fileSystem);
    builder.AddPath(file);
    builder.AddPath(folder);
    EXPECT_TRUE(builder.IsComplete());
    EXPECT_EQ(builder.GetFileList().Count(), 0);
    ASSERT_EQ(log.Count(), 2u);
    EXPECT_EQ(log.At(0).text, L"Log.GetAttributesFailed");
    EXPECT_EQ(log.At(0).target, file);
    EXPECT_EQ(log.At(1).target, folder);
}

// Wine cannot create junctions: this file system reports every entry named
// "link" as one.
class LinkingFileSystem : public ScanFileSystem {
public:
    static void Mark(const std::wstring& name, DWORD& attributes)
    {
        if (name == L"link" || (name.size() > 5 && name.substr(name.size() - 5) == L"\\link"))
            attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    }
    bool GetAttributes(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data) override
    {
        bool ok = ScanFileSystem::GetAttributes(path, data);
        Mark(path, data.dwFileAttributes);
        return ok;
    }
    HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& entry) override
    {
        HANDLE find = ScanFileSystem::FindFirst(pattern, entry);
        Mark(entry.cFileName, entry.dwFileAttributes);
        return find;
    }
    bool FindNext(HANDLE find, WIN32_FIND_DATAW& entry) override
    {
        bool ok = ScanFileSystem::FindNext(find, entry);
        Mark(entry.cFileName, entry.dwFileAttributes);
        return ok;
    }
};

TEST_F(Builder, FolderLinksAreTargetsButNeverEntered)
{
    std::wstring root = dir.MakeDir(L"sel");
    dir.WriteFile(L"sel\\a.txt", "a");
    std::wstring link = dir.MakeDir(L"sel\\link");
    dir.WriteFile(L"sel\\link\\outside.txt", "must stay");
    LinkingFileSystem fileSystem;
    FileListBuilder builder(&log, &fileSystem);
    builder.AddPath(root);
    builder.AddPath(link);  // a link selected by itself
    FileList& list = Complete(builder);
    EXPECT_EQ(Paths(list.Files), std::vector<std::wstring>{root + L"\\a.txt"});
    EXPECT_EQ(Paths(list.Directories), (std::vector<std::wstring>{link, root, link}));
    for (const FileInfo* info : list.Directories)
        EXPECT_EQ(info->IsFile, 0);
}

TEST_F(Builder, RootStylePathGetsNoDoubledBackslash)
{
    std::wstring root = dir.MakeDir(L"sel") + L"\\";
    dir.WriteFile(L"sel\\n", "n");
    dir.MakeDir(L"sel\\sub");
    FileListBuilder builder(&log);
    builder.AddPath(root);
    FileList& list = Complete(builder);
    EXPECT_EQ(Paths(list.Files), std::vector<std::wstring>{root + L"n"});
    EXPECT_EQ(Paths(list.Directories), (std::vector<std::wstring>{root + L"sub", root}));
}

TEST_F(Builder, PathsLongerThanMaxPath)
{
    std::wstring folder = dir.Path();
    std::wstring selected;
    while (folder.size() < MAX_PATH + 40) {
        folder += L"\\" + std::wstring(30, L'f');
        CreateDirectoryW(ExtendedPath(folder).c_str(), nullptr);
        if (selected.empty())
            selected = folder;
    }
    std::wstring file = folder + L"\\deep.bin";
    HANDLE handle = CreateFileW(ExtendedPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(handle, "1234", 4, &written, nullptr);
    CloseHandle(handle);
    {
        FileListBuilder builder(&log);
        builder.AddPath(selected);
        FileList& list = Complete(builder);
        ASSERT_EQ(list.Files.size(), 1u);
        EXPECT_EQ(list.Files[0]->Path, file);
        EXPECT_EQ(list.Files[0]->Size, 4u);
        EXPECT_EQ(list.Directories.back()->Path, selected);
        EXPECT_EQ(log.Count(), 0u);
    }
    DeleteFileW(ExtendedPath(file).c_str());
    while (folder.size() > dir.Path().size()) {
        RemoveDirectoryW(ExtendedPath(folder).c_str());
        folder.resize(folder.rfind(L'\\'));
    }
}

// Lists slowly, so that a scan is certainly still running when the builder dies.
class SlowFileSystem : public ScanFileSystem {
public:
    bool FindNext(HANDLE find, WIN32_FIND_DATAW& entry) override
    {
        Sleep(5);
        ++calls;
        return ScanFileSystem::FindNext(find, entry);
    }
    std::atomic<int> calls{0};
};

TEST_F(Builder, DestroyingMidScanReturnsPromptlyAndLeaksNothing)
{
    std::wstring root = dir.MakeDir(L"big");
    for (int folder = 0; folder < 10; ++folder)
        for (int file = 0; file < 40; ++file)
            dir.WriteFile(L"big\\f" + std::to_wstring(folder) + L"\\" + std::to_wstring(file), "");
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    SlowFileSystem fileSystem;
    auto builder = std::make_unique<FileListBuilder>(&log, &fileSystem);
    builder->AddPath(root);
    while (fileSystem.calls < 20)
        Sleep(5);
    EXPECT_FALSE(builder->IsComplete());
    DWORD start = GetTickCount();
    builder.reset();
    DWORD elapsed = GetTickCount() - start;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    // The whole scan would take over 2 s; stopping takes one entry.
    EXPECT_LT(elapsed, 500u);
    EXPECT_LT(fileSystem.calls.load(), 200);
    EXPECT_EQ(handlesAfter, handlesBefore);
    EXPECT_EQ(log.Count(), 0u);
}

}  // namespace
