#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "targets/Filelist.h"

namespace {

TEST(FileInfo, ReadsSizeTimeAndKindOfAFile)
{
    TempDir dir;
    std::wstring path = dir.WriteFile(L"a.bin", std::string(1000, 'x'));
    FileInfo info(path);
    EXPECT_EQ(info.Path, path);
    EXPECT_EQ(info.IsFile, 1);
    EXPECT_EQ(info.Size, 1000u);
    EXPECT_NE(info.LastWriteTime.dwLowDateTime | info.LastWriteTime.dwHighDateTime, 0u);
    EXPECT_EQ(info.Success, 1);
    EXPECT_EQ(info.IconIndex, -1);
    EXPECT_TRUE(info.TypeName.empty());
}

TEST(FileInfo, UnreadablePathBecomesAnEmptyDirectoryEntry)
{
    TempDir dir;
    FileInfo info(dir / L"does-not-exist.txt");
    EXPECT_EQ(info.IsFile, 0);
    EXPECT_EQ(info.Size, 0u);
    EXPECT_EQ(info.LastWriteTime.dwLowDateTime | info.LastWriteTime.dwHighDateTime, 0u);
    EXPECT_EQ(info.Success, 1);
}

TEST(FileInfo, FolderIsADirectoryOfSizeZero)
{
    TempDir dir;
    FileInfo info(dir.MakeDir(L"sub"));
    EXPECT_EQ(info.IsFile, 0);
    EXPECT_EQ(info.Size, 0u);
}

TEST(FileInfo, EnumerationEntryJoinsPathWithExactlyOneBackslash)
{
    WIN32_FIND_DATAW entry{};
    wcscpy(entry.cFileName, L"n");
    entry.nFileSizeHigh = 1;
    entry.nFileSizeLow = 5;
    EXPECT_EQ(FileInfo(L"C:\\", entry).Path, L"C:\\n");
    FileInfo inDir(L"C:\\dir", entry);
    EXPECT_EQ(inDir.Path, L"C:\\dir\\n");
    EXPECT_EQ(inDir.IsFile, 1);
    EXPECT_EQ(inDir.Size, 0x100000005ull);

    entry.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    FileInfo sub(L"C:\\dir", entry);
    EXPECT_EQ(sub.IsFile, 0);
    EXPECT_EQ(sub.Size, 0u);
}

TEST(FileInfo, LongPathsAreReadThroughTheExtendedForm)
{
    TempDir dir;
    std::wstring deep = dir.Path();
    while (deep.size() < 300) {
        deep += L"\\" + std::wstring(60, L'd');
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    std::wstring file = deep + L"\\long.bin";
    HANDLE handle = CreateFileW((L"\\\\?\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(handle, "12345", 5, &written, nullptr);
    CloseHandle(handle);

    FileInfo info(file);
    EXPECT_EQ(info.Path, file);
    EXPECT_EQ(info.IsFile, 1);
    EXPECT_EQ(info.Size, 5u);
}

void FakeLookup(const std::wstring& path, int32_t& iconIndex, std::wstring& typeName)
{
    iconIndex = static_cast<int32_t>(path.size());
    typeName = L"type of " + path;
}

TEST(FileInfo, DisplayLookupFillsIconAndTypeName)
{
    SetFileInfoDisplayLookup(FakeLookup);
    FileInfo info(L"C:\\x");
    SetFileInfoDisplayLookup(nullptr);
    EXPECT_EQ(info.IconIndex, 4);
    EXPECT_EQ(info.TypeName, L"type of C:\\x");
}

FileInfo* MakeEntry(const wchar_t* name, bool isFile, uint64_t size)
{
    WIN32_FIND_DATAW entry{};
    wcscpy(entry.cFileName, name);
    entry.dwFileAttributes = isFile ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY;
    entry.nFileSizeLow = static_cast<DWORD>(size);
    return new FileInfo(L"C:\\t", entry);
}

TEST(FileList, FilesComeFirstThenDirectoriesAndOnlyFilesCountTowardsTheSize)
{
    FileList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.At(0), nullptr);
    list.Add(MakeEntry(L"d1", false, 0));
    list.Add(MakeEntry(L"f1", true, 10));
    list.Add(MakeEntry(L"d2", false, 0));
    list.Add(MakeEntry(L"f2", true, 32));
    EXPECT_EQ(list.TotalSize, 42u);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.At(0)->Path, L"C:\\t\\f1");
    EXPECT_EQ(list.At(1)->Path, L"C:\\t\\f2");
    EXPECT_EQ(list.At(2)->Path, L"C:\\t\\d1");
    EXPECT_EQ(list.At(3)->Path, L"C:\\t\\d2");
    EXPECT_EQ(list.At(4), nullptr);
    EXPECT_EQ(list.At(-1), nullptr);
}

TEST(FileList, OnlyDirectoriesAreAddressedFromIndexZero)
{
    FileList list;
    list.Add(MakeEntry(L"d1", false, 0));
    list.Add(MakeEntry(L"d2", false, 0));
    EXPECT_EQ(list.TotalSize, 0u);
    EXPECT_EQ(list.At(0)->Path, L"C:\\t\\d1");
    EXPECT_EQ(list.At(1)->Path, L"C:\\t\\d2");
}

TEST(FileList, AddCopyCopiesEveryField)
{
    FileInfo* original = MakeEntry(L"f", true, 7);
    original->Success = 0;
    original->IconIndex = 3;
    original->TypeName = L"Text";
    FileList list;
    list.AddCopy(*original);
    delete original;
    const FileInfo* copy = list.At(0);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Path, L"C:\\t\\f");
    EXPECT_EQ(copy->Size, 7u);
    EXPECT_EQ(copy->Success, 0);
    EXPECT_EQ(copy->IconIndex, 3);
    EXPECT_EQ(copy->TypeName, L"Text");
    EXPECT_EQ(list.TotalSize, 7u);
}

}  // namespace
