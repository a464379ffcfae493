// The drive and free-space wipe windows run end to end on the engine tests'
// simulated volume: the confirmation, the job, its texts and bar in every
// outcome, and the one log record of a volume wiped completely.
#include "WipeTestSupport.h"
#include "engine/SimulatedVolume.h"
#include "settings/Unicodelanguage.h"
#include "ui/DriveWipeWindow.h"
#include "ui/FreeSpaceWipeWindow.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/TestDriver.h"

using tk::Application;

namespace {

constexpr DWORD kWait = 60000;

class VolumeWipeTest : public WipeWindowTest {
protected:
    // Runs one showing of `window` for the simulated volume; `inside` acts in it.
    void Run(TFormVolumeWipe& window, std::function<void()> inside, int method = 2, int rounds = 1)
    {
        Application::Instance().QueueModalAction([&, inside](tk::Form&) {
            inside();
            CloseWipeWindow(window, &io);
        });
        window.Execute(volume.Root(), method, rounds);
    }
    bool WaitFor(TFormVolumeWipe& window, WipeWindowState state)
    {
        return tk::PumpUntil([&] { return window.State() == state; }, kWait);
    }
    std::wstring Text(TFormVolumeWipe& window, const std::wstring& prefix, const std::wstring& suffix)
    {
        return Language().GetText(prefix + L"." + suffix, window.MakeVariables());
    }
    TextVariables Wiped(int method, int rounds)
    {
        return {{L"WipeMethod", std::to_wstring(method)}, {L"RoundCount", std::to_wstring(rounds)}};
    }
    // Starts the job, answering the question with Yes.
    void StartConfirmed(TFormVolumeWipe& window)
    {
        AnswerDialogs(tk::mrYes);
        EXPECT_TRUE(tk::Press(window.ButtonStart));
    }

    // 4 KiB clusters, 8 MiB.
    SimulatedVolume volume{L"V:\\", 512, 8, 2048};
    HeldIo io{volume};
    TFormDriveWipe drive{io};
    TFormFreeSpaceWipe freeSpace{io};

    void SetUp() override
    {
        WipeWindowTest::SetUp();
        AnswerReports(drive);
        AnswerReports(freeSpace);
    }
};

struct Kind {
    TFormVolumeWipe* window;
    const wchar_t* name;
    const wchar_t* logKey;
};

}  // namespace

TEST_F(VolumeWipeTest, AnsweringNoKeepsEitherWindowReadyAndTouchesNothing)
{
    for (Kind kind : {Kind{&drive, L"DriveWipeWindow", L"Log.DriveWiped"},
                      Kind{&freeSpace, L"FreeSpaceWipeWindow", L"Log.FreeSpaceWiped"}}) {
        SCOPED_TRACE(kind.name);
        TFormVolumeWipe& window = *kind.window;
        dialogTexts.clear();
        Run(window, [&] {
            EXPECT_EQ(window.Caption(), Language().GetText(std::wstring(kind.name) + L".Title"));
            EXPECT_EQ(window.LabelHeader.Caption(), Text(window, kind.name, L"HeaderReady"));
            EXPECT_NE(window.LabelHeader.Caption().find(L"V:\\"), std::wstring::npos);
            EXPECT_EQ(window.LabelProgress.Caption(), Text(window, kind.name, L"ProgressReady"));
            EXPECT_EQ(window.PBFileProgress.Position(), 0);
            AnswerDialogs(tk::mrNo);
            EXPECT_TRUE(tk::Press(window.ButtonStart));
            ASSERT_EQ(dialogTexts.size(), 1u);
            EXPECT_EQ(dialogTexts[0], Text(window, kind.name, L"Confirmation"));
            EXPECT_EQ(window.State(), WipeWindowState::Ready);
            EXPECT_FALSE(window.HasJob());
            EXPECT_EQ(window.TargetList(), nullptr);
            EXPECT_TRUE(tk::Usable(window.ButtonStart));
        });
    }
    EXPECT_EQ(AppLog().Count(), 0u);
    EXPECT_EQ(io.TotalCalls(), 0);
}

TEST_F(VolumeWipeTest, ACompletedDriveWipeIsLoggedWithItsMethodAndRounds)
{
    Run(
        drive,
        [&] {
            StartConfirmed(drive);
            ASSERT_TRUE(WaitFor(drive, WipeWindowState::Finished));
            EXPECT_EQ(drive.LabelHeader.Caption(), Text(drive, L"DriveWipeWindow", L"HeaderCompleted"));
            EXPECT_EQ(drive.LabelProgress.Caption(), Text(drive, L"DriveWipeWindow", L"ProgressCompleted"));
            EXPECT_EQ(drive.PBFileProgress.Position(), 100);
            EXPECT_FALSE(tk::Usable(drive.ButtonStart));
            EXPECT_TRUE(tk::Usable(drive.ButtonClose));
        },
        9, 2);
    EXPECT_TRUE(volume.Dismounted());
    EXPECT_GT(volume.volumeWriteCalls.load(), 0);
    EXPECT_EQ(CountLogRecords(L"Log.DriveWiped", Wiped(9, 2), L"V:\\"), 1);
    EXPECT_EQ(CountLogRecords(LogCategory::Error), 0);
}

TEST_F(VolumeWipeTest, ACompletedFreeSpaceWipeIsLoggedAndLeavesTheFilesAlone)
{
    volume.Fragment(3, 20, 30);
    volume.AddFile(L"V:\\keep.txt", std::string(10000, 'k'));
    Run(freeSpace, [&] {
        StartConfirmed(freeSpace);
        ASSERT_TRUE(WaitFor(freeSpace, WipeWindowState::Finished));
        EXPECT_EQ(freeSpace.LabelHeader.Caption(), Text(freeSpace, L"FreeSpaceWipeWindow", L"HeaderCompleted"));
        EXPECT_EQ(freeSpace.PBFileProgress.Position(), 100);
    });
    EXPECT_EQ(volume.ContentOf(L"V:\\keep.txt"), std::string(10000, 'k'));
    EXPECT_EQ(CountLogRecords(L"Log.FreeSpaceWiped", Wiped(2, 1), L"V:\\"), 1);
    EXPECT_EQ(CountLogRecords(LogCategory::Error), 0);
}

TEST_F(VolumeWipeTest, ACancelledJobSaysCancelledAndShowsHowFarItGot)
{
    volume.Fragment(4, 20, 30);
    Run(freeSpace, [&] {
        io.held = true;
        StartConfirmed(freeSpace);
        ASSERT_TRUE(tk::PumpUntil([&] { return io.writesStarted.load() >= 1; }, kWait));
        ASSERT_TRUE(tk::Press(freeSpace.ButtonCancel));
        io.held = false;
        ASSERT_TRUE(WaitFor(freeSpace, WipeWindowState::Finished));
        EXPECT_EQ(freeSpace.StateData().State, StateCancelled);
        EXPECT_EQ(freeSpace.LabelHeader.Caption(), Text(freeSpace, L"FreeSpaceWipeWindow", L"HeaderCancelled"));
        EXPECT_EQ(freeSpace.LabelProgress.Caption(), Text(freeSpace, L"FreeSpaceWipeWindow", L"ProgressCancelled"));
        const WipeStateData& data = freeSpace.StateData();
        EXPECT_LT(freeSpace.PBFileProgress.Position(), 100);
        EXPECT_EQ(freeSpace.PBFileProgress.Position(), Percent(data.TargetWrite.Current, data.TargetWrite.Total));
    });
    EXPECT_EQ(CountLogRecords(L"Log.FreeSpaceWiped", Wiped(2, 1)), 0);
    EXPECT_EQ(CountLogRecords(LogCategory::Error), 0);
}

TEST_F(VolumeWipeTest, ACancelAfterAnErrorSaysSo)
{
    volume.Fragment(5, 20, 30);
    Extent first = volume.FreeRuns().front();
    volume.RefuseMoves(first.StartCluster, first.Clusters, ERROR_INVALID_PARAMETER);
    Run(freeSpace, [&] {
        io.held = true;
        StartConfirmed(freeSpace);
        ASSERT_TRUE(tk::PumpUntil(
            [&] { return io.writesStarted.load() >= 1 && CountLogRecords(LogCategory::Error) >= 1; }, kWait));
        ASSERT_TRUE(tk::Press(freeSpace.ButtonCancel));
        io.held = false;
        ASSERT_TRUE(WaitFor(freeSpace, WipeWindowState::Finished));
        EXPECT_EQ(freeSpace.LabelHeader.Caption(),
                  Text(freeSpace, L"FreeSpaceWipeWindow", L"HeaderCancelledWithErrors"));
        EXPECT_EQ(freeSpace.LabelProgress.Caption(),
                  Text(freeSpace, L"FreeSpaceWipeWindow", L"ProgressCancelledWithErrors"));
    });
    EXPECT_EQ(CountLogRecords(L"Log.FreeSpaceWiped", Wiped(2, 1)), 0);
}

TEST_F(VolumeWipeTest, ADriveWithABadSectorIsNotReportedWiped)
{
    volume.BadSector(1000, ERROR_CRC);
    Run(drive, [&] {
        StartConfirmed(drive);
        ASSERT_TRUE(WaitFor(drive, WipeWindowState::Finished));
        EXPECT_EQ(drive.LabelHeader.Caption(), Text(drive, L"DriveWipeWindow", L"HeaderCompletedWithErrors"));
        EXPECT_EQ(drive.LabelProgress.Caption(), Text(drive, L"DriveWipeWindow", L"ProgressCompletedWithErrors"));
    });
    EXPECT_EQ(CountLogRecords(L"Log.DriveWiped", Wiped(2, 1)), 0);
    EXPECT_GE(CountLogRecords(LogCategory::Error, L"V:\\"), 1);
}

TEST_F(VolumeWipeTest, FreeSpaceWithARunThatCannotBePlacedIsNotReportedWiped)
{
    volume.Fragment(6, 20, 30);
    Extent first = volume.FreeRuns().front();
    // Clusters the system keeps for itself: refused without a record of their own.
    volume.RefuseMoves(first.StartCluster, first.Clusters, ERROR_ACCESS_DENIED);
    Run(freeSpace, [&] {
        StartConfirmed(freeSpace);
        ASSERT_TRUE(WaitFor(freeSpace, WipeWindowState::Finished));
        EXPECT_EQ(freeSpace.StateData().State, StateCompleted);
        EXPECT_EQ(freeSpace.TargetList()->At(0)->Success, 0);
        EXPECT_EQ(freeSpace.LabelHeader.Caption(),
                  Text(freeSpace, L"FreeSpaceWipeWindow", L"HeaderCompletedWithErrors"));
    });
    EXPECT_EQ(CountLogRecords(L"Log.FreeSpaceWiped", Wiped(2, 1)), 0);
    EXPECT_EQ(CountLogRecords(L"Log.FreeSpaceClustersSkipped", {{L"ClusterCount", std::to_wstring(first.Clusters)}}),
              1);
}

TEST_F(VolumeWipeTest, TheRoundsLabelShowsWhatTheTrackBarHoldsHoweverItWasSet)
{
    Run(drive, [&] { EXPECT_EQ(drive.LabelWipePassesCount.Caption(), L"7"); }, 2, 7);
    Run(drive, [&] {
        EXPECT_EQ(drive.TBWipePasses.Position(), 2);
        EXPECT_EQ(drive.LabelWipePassesCount.Caption(), L"2");
        drive.TBWipePasses.SetPosition(5);
        EXPECT_EQ(drive.LabelWipePassesCount.Caption(), L"5");
        // The method list and the header follow a change of the method at once.
        drive.CBWipeMethod.SetItemIndex(4);
        SendMessageW(drive.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(drive.CBWipeMethod.Handle()), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(drive.CBWipeMethod.Handle()));
        EXPECT_EQ(drive.MakeVariables()[L"WipeMethod"], L"4");
        StartConfirmed(drive);
        ASSERT_TRUE(WaitFor(drive, WipeWindowState::Finished));
    }, 2, 2);
    // The job ran the rounds and method the window showed.
    EXPECT_EQ(CountLogRecords(L"Log.DriveWiped", Wiped(4, 5), L"V:\\"), 1);
}

TEST_F(VolumeWipeTest, WithoutItsSimulatedVolumeAnUnattendedRunNeverReachesADevice)
{
    TFormDriveWipe system;
    AnswerReports(system);
    AnswerDialogs(tk::mrYes);
    Application::Instance().QueueModalAction([&](tk::Form&) {
        EXPECT_TRUE(tk::Press(system.ButtonStart));
        EXPECT_EQ(system.State(), WipeWindowState::Finished);
        EXPECT_FALSE(system.HasJob());
        EXPECT_EQ(system.LabelHeader.Caption(),
                  Language().GetText(L"DriveWipeWindow.HeaderCompletedWithErrors", system.MakeVariables()));
        CloseWipeWindow(system);
    });
    // A drive letter the test prefix does not have, should the refusal ever fail.
    system.Execute(L"Q:\\", 2, 1);
    EXPECT_EQ(dialogTexts.size(), 2u);
    EXPECT_EQ(CountLogRecords(LogCategory::Error, L"Q:\\"), 1);
    EXPECT_EQ(CountLogRecords(L"Log.DriveWiped", Wiped(2, 1)), 0);
}
