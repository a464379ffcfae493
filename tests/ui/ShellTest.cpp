#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "support/TempDir.h"
#include "targets/Fileinfo.h"
#include "platform/Shellfolder.h"
#include "ui/Systemiconcache.h"
#include "ui/Utils.h"

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(ShellTest, DesktopHasFolderParentAndNames)
{
    ShellFolder desktop(CSIDL_DESKTOP);
    EXPECT_TRUE(desktop.folder);
    EXPECT_TRUE(desktop.parentFolder);
    EXPECT_NE(desktop.absoluteId, nullptr);
    EXPECT_EQ(desktop.csidl, 0);
    EXPECT_FALSE(desktop.displayName.empty());
    EXPECT_FALSE(desktop.parsingName.empty());
}

TEST_F(ShellTest, SpecialFoldersHaveFileSystemPaths)
{
    ShellFolder appData(CSIDL_APPDATA);
    EXPECT_TRUE(appData.folder);
    EXPECT_TRUE(DirectoryExists(appData.fileSystemPath)) << std::string(appData.fileSystemPath.begin(), appData.fileSystemPath.end());
    EXPECT_NE(appData.attributes & SFGAO_FILESYSTEM, 0u);

    // A number that names no special folder gives an empty object.
    ShellFolder none(0x7E);
    EXPECT_FALSE(none.folder);
    EXPECT_FALSE(none.parentFolder);
    EXPECT_TRUE(none.displayName.empty());
    EXPECT_TRUE(none.fileSystemPath.empty());
    EXPECT_EQ(none.attributes, 0u);
}

ShellFolder* FolderForPath(const std::wstring& path)
{
    // Bind a file-system folder through its parsing name from the desktop.
    ShellFolder desktop(CSIDL_DESKTOP);
    PIDLIST_RELATIVE id = nullptr;
    if (FAILED(desktop.folder->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(path.c_str()), nullptr, &id,
                                                nullptr)))
        return nullptr;
    // The desktop's child list of a path is a multi-level list; walking the
    // enumeration would do the same, one level at a time.
    auto* child = new ShellFolder(desktop, reinterpret_cast<PITEMID_CHILD>(id));
    return child;
}

TEST_F(ShellTest, EnumeratedChildrenHaveNamesAndOnlyFoldersBind)
{
    TempDir dir;
    dir.WriteFile(L"file.txt", "text");
    dir.MakeDir(L"sub");
    std::unique_ptr<ShellFolder> folder(FolderForPath(dir.Path()));
    ASSERT_TRUE(folder && folder->folder);
    EXPECT_EQ(folder->fileSystemPath, dir.Path());

    ASSERT_TRUE(folder->StartEnumeration(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
    std::vector<std::unique_ptr<ShellFolder>> children;
    while (ShellFolder* child = folder->NextChild())
        children.emplace_back(child);
    EXPECT_EQ(folder->NextChild(), nullptr);
    ASSERT_EQ(children.size(), 2u);
    for (const auto& child : children) {
        EXPECT_EQ(child->csidl, -1);
        bool isFile = child->fileSystemPath == dir / L"file.txt";
        EXPECT_TRUE(isFile || child->fileSystemPath == dir / L"sub");
        EXPECT_EQ(bool(child->folder), !isFile);
        EXPECT_FALSE(child->displayName.empty());
        EXPECT_FALSE(child->parsingName.empty());
        EXPECT_NE(child->attributes & SFGAO_FILESYSTEM, 0u);
    }
}

TEST_F(ShellTest, IconsOfOneTypeShareOneImage)
{
    TempDir dir;
    std::wstring a = dir.WriteFile(L"a.txt", "a"), b = dir.WriteFile(L"b.txt", "b");
    SystemIconCache cache;
    int first = cache.IndexForPath(a);
    ASSERT_GE(first, 0);
    int count = ImageList_GetImageCount(cache.ImageList());
    EXPECT_EQ(cache.IndexForPath(a), first);
    EXPECT_EQ(cache.IndexForPath(b), first);
    EXPECT_EQ(ImageList_GetImageCount(cache.ImageList()), count);

    int folderIndex = cache.IndexForPath(dir.Path());
    EXPECT_GE(folderIndex, 0);
    ShellFolder desktop(CSIDL_DESKTOP);
    int desktopIndex = cache.IndexForItemId(desktop.absoluteId);
    EXPECT_GE(desktopIndex, 0);
    EXPECT_EQ(cache.IndexForItemId(desktop.absoluteId), desktopIndex);
    EXPECT_LT(ImageList_GetImageCount(cache.ImageList()), 4);
}

TEST_F(ShellTest, IconSizeIsFixedOnceAnIconIsIn)
{
    TempDir dir;
    SystemIconCache cache;
    int width = 0, height = 0;
    ImageList_GetIconSize(cache.ImageList(), &width, &height);
    cache.Initialise(true);
    int largeWidth = 0;
    ImageList_GetIconSize(cache.ImageList(), &largeWidth, &height);
    EXPECT_GT(largeWidth, width);
    cache.Initialise(false);
    ASSERT_GE(cache.IndexForPath(dir.WriteFile(L"a.txt", "a")), 0);
    cache.Initialise(true);
    int after = 0;
    ImageList_GetIconSize(cache.ImageList(), &after, &height);
    EXPECT_EQ(after, width);
}

TEST_F(ShellTest, IconCacheServesTwoThreads)
{
    TempDir dir;
    std::vector<std::wstring> paths;
    for (const wchar_t* ext : {L"txt", L"bat", L"ini", L"exe", L"dll", L"zip"})
        for (int i = 0; i < 5; ++i)
            paths.push_back(dir.WriteFile(L"f" + std::to_wstring(i) + L"." + ext, "x"));
    SystemIconCache cache;
    std::vector<int> results[2];
    auto work = [&](int which) {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        for (const auto& path : paths)
            results[which].push_back(cache.IndexForPath(path));
        CoUninitialize();
    };
    std::thread other(work, 0);
    work(1);
    other.join();
    int count = ImageList_GetImageCount(cache.ImageList());
    for (size_t i = 0; i < paths.size(); ++i)
        for (int which = 0; which < 2; ++which) {
            EXPECT_GE(results[which][i], 0);
            EXPECT_LT(results[which][i], count);
        }
    // Each type maps to one image; a race may add an icon twice, never more.
    EXPECT_LE(count, 12);
}

TEST_F(ShellTest, WipeTargetsTakeIconAndTypeNameFromTheShell)
{
    TempDir dir;
    std::wstring path = dir.WriteFile(L"note.txt", "x");
    InstallFileInfoDisplayLookup();
    FileInfo info(path);
    SetFileInfoDisplayLookup(nullptr);
    EXPECT_EQ(info.IconIndex, IconCache().IndexForPath(path));
    EXPECT_GE(info.IconIndex, 0);
    SHFILEINFOW shell{};
    SHGetFileInfoW(path.c_str(), 0, &shell, sizeof(shell), SHGFI_TYPENAME);
    EXPECT_EQ(info.TypeName, shell.szTypeName);
    EXPECT_FALSE(info.TypeName.empty());
}

}  // namespace
