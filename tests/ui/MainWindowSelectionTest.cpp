// The selection summary and the wipe buttons, and what the wipe commands are
// given to work on.
#include <gtest/gtest.h>

#include "platform/Shellfolder.h"
#include "ui/MainWindowHarness.h"
#include "ui/toolkit/TestDriver.h"

namespace {

class MainWindowSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        window = &harness.Start();
        window->Show();
    }
    void TearDown() override
    {
        harness.Stop();
        CoUninitialize();
    }

    // Lets the posted summary refresh run.
    void Settle() { tk::PumpUntil([] { return false; }, 50); }

    // How many summary refreshes wait in the queue; they are taken out and run.
    int TakeRefreshes()
    {
        int count = 0;
        MSG message;
        while (PeekMessageW(&message, window->Handle(), WM_SELECTION_CHANGED, WM_SELECTION_CHANGED, PM_REMOVE)) {
            ++count;
            DispatchMessageW(&message);
        }
        return count;
    }

    int AddFileRow(const std::wstring& path, int64_t size)
    {
        auto row = std::make_unique<LVData>();
        row->path = path;
        row->size = size;
        return window->LV.AddItem(path.substr(path.rfind(L'\\') + 1), std::move(row));
    }

    // A row for a folder the test makes up: the shell object of the desktop
    // with the path and attributes of the folder it plays.
    int AddFolderRow(const std::wstring& path, ULONG attributes)
    {
        folders.push_back(std::make_unique<ShellFolder>(CSIDL_DESKTOP));
        ShellFolder& folder = *folders.back();
        folder.fileSystemPath = path;
        folder.attributes = attributes;
        auto row = std::make_unique<LVData>();
        row->folder = &folder;
        row->path = path;
        return window->LV.AddItem(path.empty() ? L"virtual" : path, std::move(row));
    }

    void ExpectButtons(bool wipe, bool drive)
    {
        EXPECT_EQ(window->ButtonWipe.Enabled(), wipe);
        EXPECT_EQ(window->ButtonDriveWipe.Enabled(), drive);
        EXPECT_EQ(window->ButtonFreeSpaceWipe.Enabled(), drive);
    }

    MainWindowHarness harness;
    TFormMain* window = nullptr;
    std::vector<std::unique_ptr<ShellFolder>> folders;
};

TEST_F(MainWindowSelection, NothingCanBeWipedBeforeAnythingIsSelected)
{
    MainWindowHarness fresh;
    TFormMain& unshown = fresh.Start();
    EXPECT_EQ(unshown.TV.Selected(), nullptr);
    EXPECT_FALSE(unshown.ButtonWipe.Enabled());
    EXPECT_FALSE(unshown.ButtonDriveWipe.Enabled());
    EXPECT_FALSE(unshown.ButtonFreeSpaceWipe.Enabled());
    EXPECT_FALSE(unshown.ButtonRefresh.Enabled());
    EXPECT_TRUE(unshown.SelectionToWipe().empty());
    EXPECT_TRUE(unshown.SelectedDriveRoot().empty());

    // Shown, the window lists the desktop; still nothing is selected in it.
    EXPECT_NE(window->TV.Selected(), nullptr);
    EXPECT_FALSE(tk::Press(window->ButtonWipe));
    EXPECT_TRUE(window->SelectionToWipe().empty());
    EXPECT_EQ(window->StatusBar.PanelText(1), L"Nothing selected");
}

TEST_F(MainWindowSelection, AThousandRowsSelectedAtOnceRefreshTheSummaryOnce)
{
    window->ClearList();
    window->LV.BeginUpdate();
    for (int row = 0; row < 1000; ++row)
        AddFileRow(L"C:\\data\\file" + std::to_wstring(row) + L".txt", 1000);
    window->LV.EndUpdate();
    Settle();
    window->LV.SetSelected(-1, true);
    EXPECT_EQ(TakeRefreshes(), 1);
    EXPECT_EQ(window->StatusBar.PanelText(1), L"Files: 1000 (1000000 bytes, 976 kB)");
    EXPECT_TRUE(window->ButtonWipe.Enabled());
    window->LV.SetSelected(-1, false);
    EXPECT_EQ(TakeRefreshes(), 1);
    EXPECT_EQ(window->StatusBar.PanelText(1), L"Nothing selected");
    EXPECT_FALSE(window->ButtonWipe.Enabled());
}

TEST_F(MainWindowSelection, ADriveRootAloneOffersTheDriveCommands)
{
    // The computer folder lists the drives.
    tk::TreeNode computer = nullptr;
    for (tk::TreeNode child = window->TV.FirstChild(window->TV.FirstChild(nullptr)); child;
         child = window->TV.NextSibling(child)) {
        ShellFolder* folder = window->TV.Data<ShellFolder>(child);
        if (folder != nullptr && !(folder->attributes & SFGAO_FILESYSTEM))
            computer = child;
    }
    ASSERT_NE(computer, nullptr);
    ASSERT_TRUE(tk::ChooseItem(window->TV, computer));
    int drive = -1;
    for (int row = 0; row < window->LV.Count(); ++row)
        if (window->RowData(row)->path == L"C:\\")
            drive = row;
    ASSERT_GE(drive, 0);
    ASSERT_TRUE(tk::ChooseItem(window->LV, drive));
    Settle();
    ExpectButtons(false, true);
    EXPECT_EQ(window->SelectedDriveRoot(), L"C:\\");
    EXPECT_EQ(window->StatusBar.PanelText(1), L"Folders: 1");

    int second = AddFolderRow(L"D:\\", SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR);
    ASSERT_TRUE(tk::ChooseItem(window->LV, second, true));
    Settle();
    ExpectButtons(false, false);

    // The computer folder itself has no storage: nothing can be wiped.
    int folderRow = AddFolderRow(L"C:\\data", SFGAO_FILESYSTEM);
    ASSERT_TRUE(tk::ChooseItem(window->LV, folderRow));
    Settle();
    ExpectButtons(true, false);
    int virtualRow = AddFolderRow(L"", SFGAO_FILESYSANCESTOR);
    ASSERT_TRUE(tk::ChooseItem(window->LV, virtualRow, true));
    Settle();
    ExpectButtons(false, false);
}

TEST_F(MainWindowSelection, AFolderThatClaimsStorageButHasNoPathCountsAsVirtual)
{
    window->ClearList();
    int file = AddFileRow(L"C:\\data\\a.txt", 10);
    int pathless = AddFolderRow(L"", SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR);
    ASSERT_TRUE(tk::ChooseItems(window->LV, {file, pathless}));
    Settle();
    ExpectButtons(false, false);
    EXPECT_EQ(window->SelectionToWipe(), std::vector<std::wstring>{L"C:\\data\\a.txt"});
}

TEST_F(MainWindowSelection, TheSummaryCountsFoldersAndTheSizeOfFiles)
{
    window->ClearList();
    int small = AddFileRow(L"C:\\data\\small.txt", 1);
    int large = AddFileRow(L"C:\\data\\large.bin", 1048576);
    int folder = AddFolderRow(L"C:\\data\\sub", SFGAO_FILESYSTEM);
    ASSERT_TRUE(tk::ChooseItems(window->LV, {small, large}));
    Settle();
    EXPECT_EQ(window->StatusBar.PanelText(1), L"Files: 2 (1048577 bytes, 1 024 kB)");
    ASSERT_TRUE(tk::ChooseItems(window->LV, {small, folder}));
    Settle();
    EXPECT_EQ(window->StatusBar.PanelText(1), L"Folders: 1, files: 1 (1 bytes, 1 kB)");
    ASSERT_TRUE(tk::ChooseItem(window->LV, folder));
    Settle();
    EXPECT_EQ(window->StatusBar.PanelText(1), L"Folders: 1");
}

TEST_F(MainWindowSelection, EachPathIsGivenToTheWipeOnce)
{
    window->ClearList();
    int file = AddFileRow(L"C:\\data\\Report.txt", 5);
    int same = AddFileRow(L"C:\\DATA\\report.TXT", 5);
    int folder = AddFolderRow(L"C:\\data\\sub", SFGAO_FILESYSTEM);
    int sameFolder = AddFileRow(L"C:\\data\\sub", 0);
    ASSERT_TRUE(tk::ChooseItems(window->LV, {file, same, folder, sameFolder}));
    std::vector<std::wstring> expected{L"C:\\data\\Report.txt", L"C:\\data\\sub"};
    EXPECT_EQ(window->SelectionToWipe(), expected);
    EXPECT_TRUE(window->SelectedDriveRoot().empty());
}

}  // namespace
