// The file wipe window driven as a user drives it: the scan, Start and the
// confirmation, the job with pause, resume and cancel, the texts and bars of
// every state, the log records and the summary of what was destroyed.
#include "WipeTestSupport.h"
#include "settings/Unicodelanguage.h"
#include "support/TempDir.h"
#include "ui/FileWipeWindow.h"
#include "ui/Forms.h"
#include "ui/SessionState.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/TestDriver.h"

using tk::Application;

namespace {

constexpr DWORD kWait = 30000;

class FileWipeTest : public WipeWindowTest {
protected:
    void SetUp() override
    {
        WipeWindowTest::SetUp();
        Forms().FileWipe = &window;
        AnswerReports(window);
    }
    // Runs one showing of the window over `selection`; `inside` acts in it
    // and must leave the window closable, which it then closes.
    void Run(const std::vector<std::wstring>& selection, std::function<void()> inside, int method = 2, int rounds = 1)
    {
        window.Selection = selection;
        Application::Instance().QueueModalAction([&, inside](tk::Form&) {
            inside();
            CloseWipeWindow(window, &io);
        });
        window.Execute(method, rounds);
    }
    bool WaitFor(WipeWindowState state)
    {
        return tk::PumpUntil([&] { return window.State() == state; }, kWait);
    }
    // The window's text of `key` with the variables it has now.
    std::wstring Text(const std::wstring& suffix)
    {
        return Language().GetText(L"FileWipeWindow." + suffix, window.MakeVariables());
    }
    // Starts the job (confirmed) and answers the summary at its end.
    void StartConfirmed()
    {
        AnswerWipeList(true);
        AnswerWipeList(false);
        EXPECT_TRUE(tk::Press(window.ButtonStart));
    }
    TextVariables Wiped(int method, int rounds)
    {
        return {{L"WipeMethod", std::to_wstring(method)}, {L"RoundCount", std::to_wstring(rounds)}};
    }

    TempDir dir;
    HeldIo io;
    TFormFileWipe window{io};
};

// The scan of a folder whose listing the system refuses.
class RefusingScan : public ScanFileSystem {
public:
    std::wstring refused;
    HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& entry) override
    {
        if (pattern.rfind(refused, 0) == 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        return ScanFileSystem::FindFirst(pattern, entry);
    }
};

// A job whose hidden window, or whose worker, cannot be made.
class FailingJobSystem : public JobSystem {
public:
    bool failWindow = true;
    HWND CreateReportWindow(const wchar_t* windowClass, void* job) override
    {
        if (!failWindow)
            return JobSystem::CreateReportWindow(windowClass, job);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HANDLE StartThread(LPTHREAD_START_ROUTINE routine, void* job) override
    {
        if (failWindow)
            return JobSystem::StartThread(routine, job);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
};

// A message queue that is full every other time the job posts.
class CrowdedQueue : public JobSystem {
public:
    std::atomic<int> posts{0};
    bool Post(HWND window, WPARAM kind, LPARAM data) override
    {
        if (++posts % 2 == 0) {
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return false;
        }
        return JobSystem::Post(window, kind, data);
    }
};

}  // namespace

TEST_F(FileWipeTest, SelectionIsScannedConfirmedWipedLoggedAndSummarised)
{
    std::wstring a = dir.WriteFile(L"a.txt", std::string(5000, 'a'));
    std::wstring c = dir.WriteFile(L"sub\\c.txt", std::string(700, 'c'));
    std::wstring sub = dir / L"sub";
    Run(
        {a, sub},
        [&] {
            ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
            EXPECT_EQ(window.Caption(), Language().GetText(L"FileWipeWindow.Title"));
            EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderReady"));
            EXPECT_EQ(window.LabelProgress.Caption(), Text(L"ProgressReady"));
            EXPECT_EQ(window.MakeVariables()[L"FileCount"], L"2");
            EXPECT_EQ(window.MakeVariables()[L"DirCount"], L"1");
            EXPECT_EQ(window.CBWipeMethod.ItemIndex(), 2);
            EXPECT_EQ(window.CBWipeMethod.Item(4), Language().GetText(L"WipeMethod.Method4Name"));
            EXPECT_EQ(window.LabelWipePassesCount.Caption(), L"3");
            EXPECT_FALSE(tk::Usable(window.ButtonPauseResume));
            EXPECT_FALSE(tk::Usable(window.ButtonCancel));
            StartConfirmed();
            ASSERT_TRUE(WaitFor(WipeWindowState::Finished));
            EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderCompleted"));
            EXPECT_EQ(window.LabelProgress.Caption(), Text(L"ProgressCompleted"));
            EXPECT_EQ(window.PBOverallProgress.Position(), 100);
            EXPECT_EQ(window.PBFileProgress.Position(), 0);
            EXPECT_FALSE(tk::Usable(window.ButtonStart));
        },
        2, 3);
    ASSERT_EQ(listShowings.size(), 2u);
    std::vector<std::wstring> targets = {a, c, sub};
    EXPECT_EQ(listShowings[0].rows, targets);
    EXPECT_EQ(listShowings[1].caption, Language().GetText(L"WipeListWindow.DoneTitle"));
    EXPECT_EQ(listShowings[1].rows, targets);
    EXPECT_FALSE(FileExists(a));
    EXPECT_FALSE(DirectoryExists(sub));
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(2, 3), a), 1);
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(2, 3), c), 1);
    EXPECT_EQ(CountLogRecords(L"Log.DirDeleted", {}, sub), 1);
    EXPECT_EQ(CountLogRecords(LogCategory::Error), 0);
    EXPECT_FALSE(window.HasJob());
    EXPECT_EQ(window.TargetList(), nullptr);
}

TEST_F(FileWipeTest, DecliningEitherQuestionKeepsTheWindowReadyWithItsList)
{
    std::wstring a = dir.WriteFile(L"a.txt", "keep me");
    Run({a}, [&] {
        ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
        AnswerWipeList(false);
        EXPECT_TRUE(tk::Press(window.ButtonStart));
        EXPECT_EQ(window.State(), WipeWindowState::Ready);
        EXPECT_FALSE(window.HasJob());

        SetSecondConfirmation(true);
        AnswerDialogs(tk::mrNo);
        AnswerWipeList(true);
        EXPECT_TRUE(tk::Press(window.ButtonStart));
        EXPECT_EQ(window.State(), WipeWindowState::Ready);
        EXPECT_FALSE(window.HasJob());
        EXPECT_EQ(dialogTexts.size(), 1u);
        EXPECT_TRUE(tk::Usable(window.ButtonStart));
        EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderReady"));
    });
    EXPECT_EQ(listShowings.size(), 2u);
    EXPECT_TRUE(FileExists(a));
    EXPECT_EQ(AppLog().Count(), 0u);
}

TEST_F(FileWipeTest, PauseResumeAndACancelWhilePausedLeaveWhatWasNotReachedAndSayCancelled)
{
    std::vector<std::wstring> files;
    for (int index = 0; index < 4; ++index)
        files.push_back(dir.WriteFile(L"f" + std::to_wstring(index), std::string(64 * 1024, 'x')));
    const std::wstring pause = Language().GetText(L"FileWipeWindow.Pause");
    const std::wstring resume = Language().GetText(L"FileWipeWindow.Resume");
    Run({dir.Path()}, [&] {
        ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
        io.held = true;
        StartConfirmed();
        ASSERT_TRUE(tk::PumpUntil([&] { return io.writesStarted.load() == 1; }, kWait));
        EXPECT_EQ(window.State(), WipeWindowState::Running);
        // Ending the Windows session waits for a running job.
        EXPECT_EQ(RunningWipeJobs(), 1);
        EXPECT_EQ(window.ButtonPauseResume.Caption(), pause);
        EXPECT_FALSE(tk::Usable(window.ButtonClose));
        EXPECT_FALSE(tk::Usable(window.CBWipeMethod));
        EXPECT_FALSE(tk::Usable(window.TBWipePasses));

        ASSERT_TRUE(tk::Press(window.ButtonPauseResume));
        EXPECT_EQ(window.State(), WipeWindowState::Suspended);
        EXPECT_EQ(window.ButtonPauseResume.Caption(), resume);
        EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderSuspended"));
        // The first file's write ends; the job then waits at its next checkpoint.
        io.held = false;
        tk::PumpUntil([] { return false; }, 200);
        EXPECT_EQ(io.writesStarted.load(), 1);
        EXPECT_TRUE(FileExists(files[0]));
        // Closing is refused while a job runs or is paused.
        PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
        tk::PumpUntil([] { return false; }, 100);
        EXPECT_TRUE(IsWindowVisible(window.Handle()));
        EXPECT_FALSE(tk::Press(window.ButtonClose));

        // Resume: the first file is finished and deleted, the second one begun.
        io.held = true;
        ASSERT_TRUE(tk::Press(window.ButtonPauseResume));
        EXPECT_EQ(window.State(), WipeWindowState::Running);
        EXPECT_EQ(window.ButtonPauseResume.Caption(), pause);
        ASSERT_TRUE(tk::PumpUntil([&] { return io.writesStarted.load() == 2; }, kWait));
        EXPECT_FALSE(FileExists(files[0]));
        ASSERT_TRUE(tk::PumpUntil([&] { return window.PBOverallProgress.Position() == 25; }, kWait));

        ASSERT_TRUE(tk::Press(window.ButtonPauseResume));
        ASSERT_TRUE(tk::Press(window.ButtonCancel));
        EXPECT_EQ(window.State(), WipeWindowState::Suspended);
        io.held = false;
        ASSERT_TRUE(WaitFor(WipeWindowState::Finished));
        EXPECT_EQ(window.ButtonPauseResume.Caption(), resume);
        EXPECT_EQ(RunningWipeJobs(), 0);
        EXPECT_EQ(window.StateData().State, StateCancelled);
        EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderCancelled"));
        EXPECT_EQ(window.LabelProgress.Caption(), Text(L"ProgressCancelled"));
        // Two of four files' bytes were written.
        EXPECT_EQ(window.PBOverallProgress.Position(), 50);
        EXPECT_FALSE(tk::Usable(window.ButtonPauseResume));
    });
    ASSERT_EQ(listShowings.size(), 2u);
    EXPECT_EQ(listShowings[1].rows, std::vector<std::wstring>{files[0]});
    for (size_t index = 1; index < files.size(); ++index)
        EXPECT_TRUE(FileExists(files[index]));
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(2, 1)), 1);
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(2, 1), files[0]), 1);
}

TEST_F(FileWipeTest, AFileDestroyedAsCancelIsPressedIsLoggedAndListedAsDestroyed)
{
    std::wstring first = dir.WriteFile(L"first.txt", std::string(2000, '1'));
    std::wstring second = dir.WriteFile(L"second.txt", std::string(2000, '2'));
    // The user presses Cancel while the first file is being deleted.
    io.beforeDelete = [&](const std::wstring& path) {
        if (path == first)
            SendMessageW(window.ButtonCancel.Handle(), BM_CLICK, 0, 0);
    };
    Run({first, second}, [&] {
        ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
        StartConfirmed();
        ASSERT_TRUE(WaitFor(WipeWindowState::Finished));
        EXPECT_EQ(window.StateData().State, StateCancelled);
        EXPECT_EQ(window.StateData().FileDeletions, 1);
        EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderCancelled"));
    });
    EXPECT_FALSE(FileExists(first));
    EXPECT_TRUE(FileExists(second));
    ASSERT_EQ(listShowings.size(), 2u);
    EXPECT_EQ(listShowings[1].rows, std::vector<std::wstring>{first});
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(2, 1), first), 1);
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(2, 1), second), 0);
}

TEST_F(FileWipeTest, AFileThatCannotBeOpenedIsLoggedAndLeftOutOfTheSummary)
{
    std::wstring locked = dir.WriteFile(L"locked.txt", std::string(1000, 'l'));
    std::wstring free = dir.WriteFile(L"free.txt", std::string(1000, 'f'));
    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Run({locked, free}, [&] {
        ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
        StartConfirmed();
        ASSERT_TRUE(WaitFor(WipeWindowState::Finished));
        EXPECT_EQ(window.StateData().FailedCount, 1);
        EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderCompletedWithErrors"));
        EXPECT_EQ(window.LabelProgress.Caption(), Text(L"ProgressCompletedWithErrors"));
    });
    CloseHandle(holder);
    ASSERT_EQ(listShowings.size(), 2u);
    EXPECT_EQ(listShowings[1].rows, std::vector<std::wstring>{free});
    EXPECT_TRUE(FileExists(locked));
    EXPECT_GE(CountLogRecords(LogCategory::Error, locked), 1);
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(2, 1), locked), 0);
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(2, 1), free), 1);
}

TEST_F(FileWipeTest, SelectedItemsTheScanCouldNotReadAreErrorsButVanishedOnesAreNot)
{
    RefusingScan scan;
    TFormFileWipe refusing(io, SystemJobSystem(), &scan);
    AnswerReports(refusing);
    Forms().FileWipe = &refusing;
    std::wstring readable = dir.WriteFile(L"readable.txt", "r");
    std::wstring folder = dir.MakeDir(L"denied");
    dir.WriteFile(L"denied\\inside.txt", "i");
    scan.refused = folder;
    refusing.Selection = {readable, folder};
    Application::Instance().QueueModalAction([&](tk::Form&) {
        ASSERT_TRUE(tk::PumpUntil([&] { return refusing.State() == WipeWindowState::Ready; }, kWait));
        EXPECT_EQ(refusing.ScanFailures(), 1);
        auto text = [&](const std::wstring& suffix) {
            return Language().GetText(L"FileWipeWindow." + suffix, refusing.MakeVariables());
        };
        EXPECT_EQ(refusing.LabelHeader.Caption(), text(L"HeaderReadyWithErrors"));
        EXPECT_EQ(refusing.LabelProgress.Caption(), text(L"ProgressReadyWithErrors"));
        AnswerWipeList(true);
        AnswerWipeList(false);
        EXPECT_TRUE(tk::Press(refusing.ButtonStart));
        ASSERT_TRUE(tk::PumpUntil([&] { return refusing.State() == WipeWindowState::Finished; }, kWait));
        EXPECT_EQ(refusing.StateData().PartialCount + refusing.StateData().FailedCount, 0);
        EXPECT_EQ(refusing.LabelHeader.Caption(), text(L"HeaderCompletedWithErrors"));
        EXPECT_NE(refusing.LabelHeader.Caption().find(L"1"), std::wstring::npos);
        CloseWipeWindow(refusing, &io);
    });
    refusing.Execute(2, 1);
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_FALSE(FileExists(readable));

    // A selected path that no longer exists has nothing left to destroy.
    std::wstring other = dir.WriteFile(L"other.txt", "o");
    Run({other, dir / L"vanished"}, [&] {
        ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
        EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderReady"));
        StartConfirmed();
        ASSERT_TRUE(WaitFor(WipeWindowState::Finished));
        EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderCompleted"));
    });
}

TEST_F(FileWipeTest, AMethodOutsideTheListFallsBackAndRoundsAreClamped)
{
    std::wstring a = dir.WriteFile(L"a.txt", "a");
    Run({a}, [&] {
        ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
        EXPECT_EQ(window.CBWipeMethod.ItemIndex(), 2);
        EXPECT_EQ(window.TBWipePasses.Position(), 10);
        EXPECT_EQ(window.LabelWipePassesCount.Caption(), L"10");
        EXPECT_EQ(window.CBWipeMethod.Count(), 14);
    }, 42, 99);
    Run({a}, [&] {
        EXPECT_EQ(window.CBWipeMethod.ItemIndex(), 2);
        EXPECT_EQ(window.TBWipePasses.Position(), 1);
        EXPECT_EQ(window.LabelWipePassesCount.Caption(), L"1");
        ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
        // With no method chosen, Start does nothing (no confirmation is shown).
        window.CBWipeMethod.SetItemIndex(-1);
        EXPECT_TRUE(tk::Press(window.ButtonStart));
        EXPECT_EQ(window.State(), WipeWindowState::Ready);
        EXPECT_FALSE(window.HasJob());
    }, -1, 0);
    EXPECT_TRUE(FileExists(a));
}

TEST_F(FileWipeTest, AJobThatCannotStartEndsFinishedWithItsErrorShownAndLogged)
{
    for (bool failWindow : {true, false}) {
        SCOPED_TRACE(failWindow ? "no hidden window" : "no worker");
        FailingJobSystem jobs;
        jobs.failWindow = failWindow;
        TFormFileWipe failing(io, jobs);
        AnswerReports(failing);
        Forms().FileWipe = &failing;
        dialogTexts.clear();
        listShowings.clear();
        AppLog().Clear();
        AnswerDialogs(tk::mrOK);
        std::wstring a = dir.WriteFile(L"a.txt", "still here");
        failing.Selection = {a};
        Application::Instance().QueueModalAction([&](tk::Form&) {
            ASSERT_TRUE(tk::PumpUntil([&] { return failing.State() == WipeWindowState::Ready; }, kWait));
            AnswerWipeList(true);
            AnswerWipeList(false);
            EXPECT_TRUE(tk::Press(failing.ButtonStart));
            tk::PumpUntil([&] { return failing.State() == WipeWindowState::Finished; }, kWait);
            EXPECT_EQ(failing.State(), WipeWindowState::Finished);
            EXPECT_EQ(failing.LabelHeader.Caption(),
                      Language().GetText(L"FileWipeWindow.HeaderCompletedWithErrors", failing.MakeVariables()));
            CloseWipeWindow(failing, &io);
        });
        failing.Execute(2, 1);
        EXPECT_TRUE(FileExists(a));
        EXPECT_EQ(dialogTexts.size(), 1u);
        EXPECT_EQ(CountLogRecords(LogCategory::Error), 1);
        ASSERT_EQ(listShowings.size(), 2u);
        EXPECT_TRUE(listShowings[1].rows.empty());
    }
}

TEST_F(FileWipeTest, AnEmptyFolderIsRemovedAndSummarisedAsAFolder)
{
    std::wstring empty = dir.MakeDir(L"empty");
    Run({empty}, [&] {
        ASSERT_TRUE(WaitFor(WipeWindowState::Ready));
        StartConfirmed();
        ASSERT_TRUE(WaitFor(WipeWindowState::Finished));
    });
    ASSERT_EQ(listShowings.size(), 2u);
    TextVariables counts = {{L"WipeMethod", L"2"}, {L"FileCount", L"0"}, {L"DirCount", L"1"},
                            {L"FileSize", L"0"},   {L"FileSizeK", L"0 kB"}};
    EXPECT_EQ(listShowings[1].header, Language().GetText(L"WipeListWindow.DoneHeaderDirsSelected", counts));
    EXPECT_EQ(CountLogRecords(L"Log.DirDeleted", {}, empty), 1);
    EXPECT_FALSE(DirectoryExists(empty));
}

TEST_F(FileWipeTest, ASelectionThatHasVanishedEndsWithNothingToWipe)
{
    Run({dir / L"gone", dir / L"gone too"}, [&] {
        ASSERT_TRUE(WaitFor(WipeWindowState::Finished));
        EXPECT_EQ(window.LabelHeader.Caption(), Text(L"HeaderCompletedNoTargets"));
        EXPECT_EQ(window.LabelProgress.Caption(), Text(L"ProgressCompletedNoTargets"));
        EXPECT_FALSE(tk::Usable(window.ButtonStart));
        EXPECT_FALSE(tk::Usable(window.ButtonCancel));
        EXPECT_FALSE(tk::Usable(window.ButtonPauseResume));
        EXPECT_TRUE(tk::Usable(window.ButtonClose));
    });
    EXPECT_TRUE(listShowings.empty());
}

TEST_F(FileWipeTest, EveryReportOfAJobOfManyTargetsArrivesThroughACrowdedQueue)
{
    CrowdedQueue queue;
    TFormFileWipe crowded(io, queue);
    AnswerReports(crowded);
    Forms().FileWipe = &crowded;
    constexpr int kFiles = 300;
    for (int index = 0; index < kFiles; ++index)
        dir.WriteFile(L"many\\f" + std::to_wstring(index), "x");
    crowded.Selection = {dir / L"many"};
    Application::Instance().QueueModalAction([&](tk::Form&) {
        ASSERT_TRUE(tk::PumpUntil([&] { return crowded.State() == WipeWindowState::Ready; }, kWait));
        AnswerWipeList(true);
        AnswerWipeList(false);
        EXPECT_TRUE(tk::Press(crowded.ButtonStart));
        ASSERT_TRUE(tk::PumpUntil([&] { return crowded.State() == WipeWindowState::Finished; }, 120000));
        CloseWipeWindow(crowded, &io);
    });
    crowded.Execute(0, 1);
    EXPECT_EQ(CountLogRecords(L"Log.FileWiped", Wiped(0, 1)), kFiles);
    EXPECT_EQ(CountLogRecords(L"Log.DirDeleted"), 1);
    ASSERT_EQ(listShowings.size(), 2u);
    EXPECT_EQ(listShowings[1].rows.size(), size_t(kFiles + 1));
}
