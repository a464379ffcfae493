// The folder tree and the listing, driven through the tree and the list as a
// user would, on folders the tests make.
#include <gtest/gtest.h>

#include <map>

#include "platform/Shellfolder.h"
#include "ui/MainWindowHarness.h"
#include "ui/Utils.h"
#include "ui/toolkit/TestDriver.h"

namespace {

struct Row {
    std::wstring modified, type, size;
    LVData* data = nullptr;
    int count = 0;
};

std::map<std::wstring, Row> Rows(TFormMain& window)
{
    std::map<std::wstring, Row> rows;
    for (int index = 0; index < window.LV.Count(); ++index) {
        Row& row = rows[window.LV.ItemText(index, 0)];
        row.modified = window.LV.ItemText(index, 1);
        row.type = window.LV.ItemText(index, 2);
        row.size = window.LV.ItemText(index, 3);
        row.data = window.RowData(index);
        ++row.count;
    }
    return rows;
}

int RowIndex(TFormMain& window, const std::wstring& name)
{
    for (int index = 0; index < window.LV.Count(); ++index)
        if (window.LV.ItemText(index, 0) == name)
            return index;
    return -1;
}

tk::TreeNode ChildNode(TFormMain& window, tk::TreeNode node, const std::wstring& path)
{
    for (tk::TreeNode child = window.TV.FirstChild(node); child != nullptr; child = window.TV.NextSibling(child)) {
        ShellFolder* folder = window.TV.Data<ShellFolder>(child);
        std::wstring own = folder != nullptr ? folder->fileSystemPath : std::wstring();
        if (!own.empty() && own.back() == L'\\')
            own.pop_back();
        if (folder != nullptr && CompareStringOrdinal(own.c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL)
            return child;
    }
    return nullptr;
}

class MainWindowBrowse : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        data.WriteFile(L"empty.txt", "");
        data.WriteFile(L"one.txt", "1");
        data.WriteFile(L"kilo.bin", std::string(2048, 'k'));
        data.WriteFile(L"sub\\inner.txt", "inner");
        data.WriteFile(L"other\\deep.txt", "deep");
        window = &harness.Start();
        window->Show();
        node = harness.NodeForPath(data.Path());
        ASSERT_NE(node, nullptr);
        ASSERT_TRUE(tk::ChooseItem(window->TV, node));
    }
    void TearDown() override
    {
        harness.Stop();
        CoUninitialize();
    }

    TempDir data;
    MainWindowHarness harness;
    TFormMain* window = nullptr;
    tk::TreeNode node = nullptr;
};

TEST_F(MainWindowBrowse, AFolderIsListedWithSizesTimesAndEachSubfolderOnce)
{
    auto rows = Rows(*window);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[L"empty.txt"].size, L"0 kB");
    EXPECT_EQ(rows[L"one.txt"].size, L"1 kB");
    EXPECT_EQ(rows[L"kilo.bin"].size, L"2 kB");
    EXPECT_EQ(rows[L"kilo.bin"].data->size, 2048);
    EXPECT_EQ(rows[L"one.txt"].data->path, data / L"one.txt");
    EXPECT_EQ(rows[L"one.txt"].data->folder, nullptr);
    EXPECT_FALSE(rows[L"one.txt"].modified.empty());
    EXPECT_FALSE(rows[L"one.txt"].type.empty());
    EXPECT_EQ(rows[L"one.txt"].type, rows[L"empty.txt"].type) << "one type, one name";
    for (const wchar_t* folder : {L"sub", L"other"}) {
        EXPECT_EQ(rows[folder].count, 1) << "listed by the shell and by the scan, shown once";
        EXPECT_NE(rows[folder].data->folder, nullptr);
        EXPECT_TRUE(rows[folder].size.empty());
        EXPECT_FALSE(rows[folder].type.empty());
    }
    EXPECT_EQ(window->StatusBar.PanelText(0), data.Path());
    EXPECT_TRUE(window->ButtonRefresh.Enabled());
}

TEST_F(MainWindowBrowse, ASubfolderWhoseShellNameDiffersFromItsNameOnDiskIsListedOnce)
{
    // As the shell shows "Documents" for a folder named otherwise on disk.
    tk::TreeNode sub = ChildNode(*window, node, data / L"sub");
    ASSERT_NE(sub, nullptr);
    window->TV.Data<ShellFolder>(sub)->displayName = L"Unterordner";
    ASSERT_TRUE(tk::ChooseItem(window->TV, window->TV.ParentNode(node)));
    ASSERT_TRUE(tk::ChooseItem(window->TV, node));
    auto rows = Rows(*window);
    EXPECT_EQ(rows.count(L"sub"), 0u);
    ASSERT_EQ(rows.count(L"Unterordner"), 1u);
    EXPECT_EQ(rows[L"Unterordner"].data->path.rfind(data / L"sub", 0), 0u);
    EXPECT_EQ(rows.size(), 5u);
}

TEST_F(MainWindowBrowse, DoubleClickOpensFoldersAndLeavesFilesAlone)
{
    ASSERT_TRUE(tk::DoubleClick(window->LV, RowIndex(*window, L"one.txt")));
    EXPECT_EQ(window->TV.Selected(), node);
    EXPECT_EQ(window->LV.Count(), 5);

    ASSERT_TRUE(tk::DoubleClick(window->LV, RowIndex(*window, L"other")));
    tk::TreeNode other = window->TV.Selected();
    ASSERT_NE(other, node);
    EXPECT_EQ(window->TV.ParentNode(other), node);
    auto rows = Rows(*window);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows.count(L"deep.txt"), 1u);
}

TEST_F(MainWindowBrowse, RefreshReadsTheFolderAgain)
{
    data.WriteFile(L"new.txt", "new");
    DeleteFileW((data / L"one.txt").c_str());
    data.MakeDir(L"third");
    ASSERT_TRUE(tk::Press(window->ButtonRefresh));
    auto rows = Rows(*window);
    EXPECT_EQ(rows.count(L"new.txt"), 1u);
    EXPECT_EQ(rows.count(L"one.txt"), 0u);
    EXPECT_EQ(rows[L"third"].count, 1);
    EXPECT_EQ(window->TV.Selected(), node);
    // Every folder row stands for a child node that exists now.
    for (const auto& [name, row] : rows) {
        if (row.data->folder == nullptr)
            continue;
        bool found = false;
        for (tk::TreeNode child = window->TV.FirstChild(node); child; child = window->TV.NextSibling(child))
            found = found || window->TV.Data<ShellFolder>(child) == row.data->folder;
        EXPECT_TRUE(found) << std::string(name.begin(), name.end());
    }
}

TEST_F(MainWindowBrowse, FilesWithIconsOfTheirOwnGetThemAfterTheListing)
{
    data.WriteFile(L"tool.exe", "MZ");
    data.WriteFile(L"two.txt", "2");
    ASSERT_TRUE(tk::Press(window->ButtonRefresh));
    int tool = RowIndex(*window, L"tool.exe");
    ASSERT_GE(tool, 0);
    EXPECT_FALSE(window->LV.ItemText(tool, 2).empty());
    ASSERT_TRUE(tk::PumpUntil([&] { return !window->OwnIconsPending(); }, 10000));
    EXPECT_EQ(window->RowData(tool)->iconIndex, IconCache().IndexForPath(data / L"tool.exe"));
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = tool;
    SendMessageW(window->LV.Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, window->RowData(tool)->iconIndex);
    // Files of one type share the icon looked up for the first of them.
    int one = RowIndex(*window, L"one.txt"), two = RowIndex(*window, L"two.txt");
    EXPECT_EQ(window->RowData(two)->iconIndex, IconCache().IndexForPath(data / L"two.txt"));
    EXPECT_EQ(window->RowData(two)->iconIndex, window->RowData(one)->iconIndex);
    EXPECT_EQ(window->LV.ItemText(two, 2), window->LV.ItemText(one, 2));
}

TEST_F(MainWindowBrowse, AFolderWithoutAPathListsNoFiles)
{
    tk::TreeNode other = ChildNode(*window, node, data / L"other");
    ASSERT_NE(other, nullptr);
    ShellFolder* folder = window->TV.Data<ShellFolder>(other);
    ASSERT_NE(folder->attributes & SFGAO_FILESYSTEM, 0u);
    folder->fileSystemPath.clear();
    ASSERT_TRUE(tk::ChooseItem(window->TV, other));
    EXPECT_EQ(window->LV.Count(), 0) << "no scan of the current folder";
    EXPECT_EQ(window->StatusBar.PanelText(0), folder->displayName);
}

TEST_F(MainWindowBrowse, DeletingTheListedNodesChildrenEmptiesTheListFirst)
{
    ASSERT_GT(window->LV.Count(), 0);
    window->DeleteChildNodes(node);
    EXPECT_EQ(window->LV.Count(), 0);
    EXPECT_EQ(window->TV.FirstChild(node), nullptr);
    window->ButtonRefreshClick();
    EXPECT_EQ(Rows(*window).size(), 5u);
}

}  // namespace
