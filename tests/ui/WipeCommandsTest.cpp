// The main window's wipe commands end to end: files and a folder selected in
// the listing are wiped through the file wipe window and the folder is listed
// anew; a drive root opens the drive wipe window with the configured method.
#include "WipeTestSupport.h"
#include "engine/SimulatedVolume.h"
#include "platform/Elevation.h"
#include "platform/ExecutablePath.h"
#include "platform/Shellfolder.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"
#include "ui/DriveWipeWindow.h"
#include "ui/FileWipeWindow.h"
#include "ui/Forms.h"
#include "ui/FreeSpaceWipeWindow.h"
#include "ui/MainWindowHarness.h"
#include "ui/StartCommands.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/TestDriver.h"

using tk::Application;

namespace {

constexpr DWORD kWait = 30000;

// Stands in for the process token and the system's prompt for administrator rights.
struct TestElevation : Elevation {
    bool IsElevated() override { return elevated; }
    DWORD RunElevated(const std::wstring& program, const std::wstring& parameters, HWND) override
    {
        started.push_back(program + L"|" + parameters);
        return answer;
    }
    bool elevated = true;
    DWORD answer = ERROR_SUCCESS;
    std::vector<std::wstring> started;
};

class WipeCommands : public WipeWindowTest {
protected:
    void SetUp() override
    {
        WipeWindowTest::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        harness.elevation = &elevation;
        main = &harness.Start();
        Application::Instance().SetMainForm(main);
        main->Show();
        Forms().Main = main;
        Forms().FileWipe = &fileWipe;
        Forms().DriveWipe = &driveWipe;
        Forms().FreeSpaceWipe = &freeSpaceWipe;
        for (TFormWipe* window : std::initializer_list<TFormWipe*>{&fileWipe, &driveWipe, &freeSpaceWipe})
            AnswerReports(*window);
    }
    void TearDown() override
    {
        harness.Stop();
        WipeWindowTest::TearDown();
        CoUninitialize();
    }
    int RowOf(const std::wstring& path)
    {
        for (int row = 0; row < main->LV.Count(); ++row)
            if (const LVData* data = main->RowData(row); data && data->path == path)
                return row;
        return -1;
    }
    std::vector<std::wstring> ListedPaths()
    {
        std::vector<std::wstring> paths;
        for (int row = 0; row < main->LV.Count(); ++row)
            if (const LVData* data = main->RowData(row))
                paths.push_back(data->path);
        return paths;
    }
    // Lets the posted selection summary and toolbar update run.
    void Settle() { tk::PumpUntil([] { return false; }, 50); }

    TestElevation elevation;
    MainWindowHarness harness;
    TFormMain* main = nullptr;
    TFormFileWipe fileWipe;
    // Whatever happens, the drive commands reach only this simulation.
    SimulatedVolume volume{L"C:\\", 512, 8, 2048};
    TFormDriveWipe driveWipe{volume};
    TFormFreeSpaceWipe freeSpaceWipe{volume};
};

}  // namespace

TEST_F(WipeCommands, SelectedFilesAndAFolderAreWipedLoggedSummarisedAndTheFolderListedAnew)
{
    TempDir data;
    std::wstring a = data.WriteFile(L"a.txt", std::string(3000, 'a'));
    std::wstring b = data.WriteFile(L"b.bin", std::string(100, 'b'));
    std::wstring keep = data.WriteFile(L"keep.txt", "keep");
    std::wstring inner = data.WriteFile(L"sub\\inner.txt", std::string(5000, 'i'));
    std::wstring sub = data / L"sub";
    harness.WriteInt(L"Config", L"WipeMethod", 3);
    harness.WriteInt(L"Config", L"Method3Passes", 2);

    tk::TreeNode node = harness.NodeForPath(data.Path());
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(tk::ChooseItem(main->TV, node));
    int rowA = RowOf(a), rowB = RowOf(b), rowSub = RowOf(sub);
    ASSERT_GE(rowA, 0);
    ASSERT_GE(rowB, 0);
    ASSERT_GE(rowSub, 0);
    ASSERT_TRUE(tk::ChooseItems(main->LV, {rowA, rowB, rowSub}));
    Settle();

    // The brand asks the second question; it is answered Yes.
    AnswerDialogs(tk::mrYes);
    bool listingEmptied = false;
    Application::Instance().QueueModalAction([&](tk::Form&) {
        listingEmptied = main->LV.Count() == 0;
        EXPECT_EQ(fileWipe.Selection.size(), 3u);
        ASSERT_TRUE(tk::PumpUntil([&] { return fileWipe.State() == WipeWindowState::Ready; }, kWait));
        EXPECT_EQ(fileWipe.CBWipeMethod.ItemIndex(), 3);
        EXPECT_EQ(fileWipe.TBWipePasses.Position(), 2);
        AnswerWipeList(true);
        AnswerWipeList(false);
        EXPECT_TRUE(tk::Press(fileWipe.ButtonStart));
        EXPECT_TRUE(tk::PumpUntil([&] { return fileWipe.State() == WipeWindowState::Finished; }, kWait));
        CloseWipeWindow(fileWipe);
    });
    ASSERT_TRUE(tk::Press(main->ButtonWipe));
    EXPECT_TRUE(listingEmptied);
    EXPECT_EQ(dialogTexts, std::vector<std::wstring>{Language().GetText(L"WipeListWindow.SecondConfirmation")});

    ASSERT_EQ(listShowings.size(), 2u);
    // Folders are listed first, so the scan begins with the folder.
    const std::vector<std::wstring> destroyed = {inner, a, b, sub};
    EXPECT_EQ(listShowings[0].rows, destroyed);
    EXPECT_EQ(listShowings[1].rows, destroyed);
    for (const std::wstring& path : {a, b, inner})
        EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(DirectoryExists(sub));
    EXPECT_TRUE(FileExists(keep));
    const TextVariables wiped = {{L"WipeMethod", L"3"}, {L"RoundCount", L"2"}};
    for (const std::wstring& path : {a, b, inner})
        EXPECT_EQ(CountLogRecords(L"Log.FileWiped", wiped, path), 1);
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", wiped), 3);
    EXPECT_EQ(CountLogRecords(L"Log.DirDeleted", {}, sub), 1);
    EXPECT_EQ(CountLogRecords(LogCategory::Error), 0);
    // The folder is listed anew: only what is left.
    EXPECT_EQ(main->TV.Selected(), node);
    EXPECT_EQ(ListedPaths(), std::vector<std::wstring>{keep});
}

TEST_F(WipeCommands, ADriveRootOpensTheDriveWindowWithTheConfiguredMethodAndNothingElseDoes)
{
    harness.WriteInt(L"Config", L"WipeMethod", 6);
    harness.WriteInt(L"Config", L"Method6Passes", 4);
    // Nothing selected in the tree: the commands do nothing.
    main->ButtonDriveWipeClick();
    main->ButtonFreeSpaceWipeClick();
    main->ButtonWipeClick();

    tk::TreeNode computer = nullptr;
    for (tk::TreeNode child = main->TV.FirstChild(main->TV.FirstChild(nullptr)); child;
         child = main->TV.NextSibling(child)) {
        ShellFolder* folder = main->TV.Data<ShellFolder>(child);
        if (folder != nullptr && !(folder->attributes & SFGAO_FILESYSTEM))
            computer = child;
    }
    ASSERT_NE(computer, nullptr);
    ASSERT_TRUE(tk::ChooseItem(main->TV, computer));
    ASSERT_TRUE(tk::ChooseItem(main->LV, RowOf(L"C:\\")));
    Settle();
    size_t listed = ListedPaths().size();
    for (TFormVolumeWipe* window : {static_cast<TFormVolumeWipe*>(&driveWipe), static_cast<TFormVolumeWipe*>(&freeSpaceWipe)}) {
        AnswerDialogs(tk::mrNo);
        Application::Instance().QueueModalAction([&](tk::Form&) {
            EXPECT_EQ(window->RootPath, L"C:\\");
            EXPECT_EQ(window->CBWipeMethod.ItemIndex(), 6);
            EXPECT_EQ(window->LabelWipePassesCount.Caption(), L"4");
            EXPECT_EQ(main->LV.Count(), 0);
            // The question is answered No: the window stays ready and is closed.
            EXPECT_TRUE(tk::Press(window->ButtonStart));
            EXPECT_EQ(window->State(), WipeWindowState::Ready);
            CloseWipeWindow(*window);
        });
        if (window == &driveWipe)
            ASSERT_TRUE(tk::Press(main->ButtonDriveWipe));
        else
            ASSERT_TRUE(tk::Press(main->ButtonFreeSpaceWipe));
        EXPECT_EQ(ListedPaths().size(), listed);
        ASSERT_TRUE(tk::ChooseItem(main->LV, RowOf(L"C:\\")));
        Settle();
    }
    // A stored number that names no method: method 2, with its own rounds.
    harness.WriteInt(L"Config", L"WipeMethod", 77);
    harness.WriteInt(L"Config", L"Method2Passes", 5);
    Application::Instance().QueueModalAction([&](tk::Form&) {
        EXPECT_EQ(driveWipe.CBWipeMethod.ItemIndex(), 2);
        EXPECT_EQ(driveWipe.LabelWipePassesCount.Caption(), L"5");
        CloseWipeWindow(driveWipe);
    });
    ASSERT_TRUE(tk::Press(main->ButtonDriveWipe));
    EXPECT_EQ(dialogTexts.size(), 2u);
    EXPECT_EQ(volume.OpenHandles(), 0);
    EXPECT_EQ(AppLog().Count(), 0u);
}

TEST_F(WipeCommands, ACommandLineOpensTheFileWipeWindowForThePathsThatExistAndNamesTheOthers)
{
    TempDir data;
    std::wstring there = data.WriteFile(L"there.txt", "t"), gone = data / L"gone.txt";
    AnswerDialogs(tk::mrOK);
    Application::Instance().QueueModalAction([&](tk::Form&) {
        EXPECT_EQ(fileWipe.Selection, std::vector<std::wstring>{there});
        EXPECT_EQ(fileWipe.CBWipeMethod.ItemIndex(), 5);
        CloseWipeWindow(fileWipe);
    });
    OpenStartRequest(*main, ParseCommandLine({there, gone, there, L"/method", L"5"}));
    const std::vector<std::wstring> named = {Language().GetText(L"CommandLine.NotFound", {{L"Path", gone}})};
    EXPECT_EQ(dialogTexts, named);
    // Nothing left to wipe: the box alone, no window.
    dialogTexts.clear();
    OpenStartRequest(*main, ParseCommandLine({gone}));
    EXPECT_EQ(dialogTexts, named);
}

TEST_F(WipeCommands, WithoutElevationTheDriveButtonsCarryTheShieldAndAnElevatedVarnoxIsStartedForTheJob)
{
    EXPECT_FALSE(main->ButtonDriveWipe.Shield());
    harness.Stop();
    elevation.elevated = false;
    main = &harness.Start();
    Forms().Main = main;
    EXPECT_TRUE(main->ButtonDriveWipe.Shield());
    EXPECT_TRUE(main->ButtonFreeSpaceWipe.Shield());
    EXPECT_FALSE(main->ButtonWipe.Shield());
    struct Case {
        bool wholeDrive;
        DWORD answer;
        const wchar_t* parameters;
        bool handedOver;
        const wchar_t* record;  // the one record it adds
    };
    for (Case c : {Case{true, ERROR_SUCCESS, L"/drive C: /method 4 /rounds 2", true, nullptr},
                   Case{false, ERROR_CANCELLED, L"/freespace C: /method 4 /rounds 2", false, L"Log.ElevationDeclined"},
                   Case{true, ERROR_FILE_NOT_FOUND, L"/drive C: /method 4 /rounds 2", false, L"Log.ElevationFailed"}}) {
        SCOPED_TRACE(c.answer);
        elevation.answer = c.answer;
        dialogTexts.clear();
        AnswerDialogs(tk::mrOK);
        size_t records = harness.log.Count();
        EXPECT_EQ(main->WipeVolumeRoot(L"C:\\", c.wholeDrive, {4, 2}), c.handedOver);
        EXPECT_EQ(elevation.started.back(), ExecutablePath() + L"|" + c.parameters);
        ASSERT_EQ(harness.log.Count(), records + (c.record ? 1 : 0));
        if (c.record) {
            EXPECT_EQ(harness.log.At(records).target, L"C:\\");
        }
        // A failure is said; declining is the user's own answer.
        EXPECT_EQ(dialogTexts.size(), c.answer == ERROR_FILE_NOT_FOUND ? 1u : 0u);
    }
    // No wipe window opened (nothing was queued to answer one) and the volume was never reached.
    EXPECT_EQ(volume.OpenHandles(), 0);
}
