// Pausing, cancelling and destroying jobs, and the progress throttle.
#include <gtest/gtest.h>

#include <atomic>

#include "FaultInjectingIo.h"
#include "JobHarness.h"
#include "support/TempDir.h"

namespace {

// A file of `transfers` full transfers, whose every write takes `delay` ms.
struct SlowJob {
    explicit SlowJob(int transfers, DWORD delay = 20, int extraFiles = 0)
    {
        const size_t transfer = TransferWriter::TransferBytes(uint32_t(SectorSize()) * 512);
        std::vector<std::wstring> paths{dir.WriteFile(L"big", std::string(transfer * transfers, 'b'))};
        for (int i = 0; i < extraFiles; ++i)
            paths.push_back(dir.WriteFile(L"small" + std::to_wstring(i), "small"));
        list = ListOf(paths);
        io.Delay(IoCall::Write, delay);
    }
    TempDir dir;
    std::unique_ptr<FileList> list;
    FaultInjectingIo io;
    RecordingHandler handler;
};

TEST(JobControl, EmptyListEndsCompletedWithoutRecords)
{
    FileList list;
    RecordingHandler handler;
    RunJob(12, TargetFiles, 3, list, handler, SystemWipeIo());
    EXPECT_EQ(handler.finishedCount, 1);
    EXPECT_EQ(handler.finalState.State, StateCompleted);
    EXPECT_EQ(handler.finalState.TargetCount, 0);
    EXPECT_EQ(handler.finalState.PassCount, 35);
    EXPECT_TRUE(handler.logs.empty());
    EXPECT_TRUE(handler.deleted.empty());
}

TEST(JobControl, PauseHoldsAtACheckpointAndResumeFinishes)
{
    SlowJob job(8);
    WiperThread thread(2, TargetFiles, 1, *job.list, job.handler, job.io);
    ASSERT_TRUE(PumpUntil([&] { return job.io.Calls(IoCall::Write) >= 2; }));
    thread.Pause();
    PumpUntil([] { return false; }, 100);
    int held = job.io.Calls(IoCall::Write);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(job.io.Calls(IoCall::Write), held);
    EXPECT_EQ(job.handler.finishedCount, 0);
    thread.Resume();
    ASSERT_TRUE(PumpUntil([&] { return job.handler.finishedCount > 0; }));
    EXPECT_EQ(job.handler.finalState.State, StateCompleted);
    EXPECT_EQ(job.handler.finalState.FileDeletions, 1);
}

TEST(JobControl, CancelWhilePausedEndsPromptlyAsCancelled)
{
    SlowJob job(8);
    WiperThread thread(2, TargetFiles, 1, *job.list, job.handler, job.io);
    ASSERT_TRUE(PumpUntil([&] { return job.io.Calls(IoCall::Write) >= 1; }));
    thread.Pause();
    PumpUntil([] { return false; }, 100);
    DWORD start = GetTickCount();
    thread.Cancel();
    ASSERT_TRUE(PumpUntil([&] { return job.handler.finishedCount > 0; }));
    // The pause polls every 10 ms; allow for a loaded machine.
    EXPECT_LT(GetTickCount() - start, 500u);
    EXPECT_EQ(job.handler.finalState.State, StateCancelled);
}

TEST(JobControl, CancelMidPassLeavesThatFilePartialAndTheRestUntouched)
{
    SlowJob job(8, 20, 2);
    WiperThread thread(2, TargetFiles, 1, *job.list, job.handler, job.io);
    ASSERT_TRUE(PumpUntil([&] { return job.io.Calls(IoCall::Write) >= 2; }));
    thread.Cancel();
    ASSERT_TRUE(PumpUntil([&] { return job.handler.finishedCount > 0; }));
    const WipeStateData& state = job.handler.finalState;
    EXPECT_EQ(state.State, StateCancelled);
    EXPECT_EQ(state.TargetIndex, 0);
    EXPECT_EQ(state.PartialCount, 1);
    EXPECT_EQ(state.FileDeletions, 0);
    EXPECT_LT(job.io.Calls(IoCall::Write), 8);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(job.list->At(i)->Success, 0) << i;
        EXPECT_TRUE(FileExists(job.list->At(i)->Path)) << i;
    }
    EXPECT_TRUE(job.handler.logs.empty());
}

TEST(JobControl, DestroyingARunningJobDeliversEverythingPostedAndNothingAfter)
{
    SlowJob job(8);
    job.io.Fail(IoCall::Open, 2, ERROR_ACCESS_DENIED);  // the second file's record is queued, never pumped
    std::wstring second = job.dir.WriteFile(L"second", "x");
    job.list->Add(new FileInfo(second));
    job.io.Delay(IoCall::Write, 0);
    auto thread = std::make_unique<WiperThread>(2, TargetFiles, 1, *job.list, job.handler, job.io);
    // Let the worker run and post without delivering anything.
    while (job.io.Calls(IoCall::Open) < 2)
        Sleep(5);
    Sleep(50);
    thread.reset();
    EXPECT_EQ(job.handler.finishedCount, 1);
    EXPECT_EQ(job.handler.afterFinished, 0);
    EXPECT_EQ(Keys(job.handler), std::vector<std::wstring>{L"Log.FileOpenError"});
    EXPECT_EQ(job.handler.deleted, std::vector<int32_t>{0});
    size_t reports = job.handler.progress.size();
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(job.handler.progress.size(), reports);
    EXPECT_EQ(job.handler.finishedCount, 1);
}

TEST(JobControl, DestroyingMidWipeCancelsAtTheNextCheckpoint)
{
    SlowJob job(8);
    auto thread = std::make_unique<WiperThread>(2, TargetFiles, 1, *job.list, job.handler, job.io);
    ASSERT_TRUE(PumpUntil([&] { return job.io.Calls(IoCall::Write) >= 1; }));
    thread.reset();
    EXPECT_EQ(job.handler.finishedCount, 1);
    EXPECT_EQ(job.handler.finalState.State, StateCancelled);
    EXPECT_TRUE(FileExists(job.list->At(0)->Path));
    EXPECT_LT(job.io.Calls(IoCall::Write), 8);
}

TEST(JobControl, SlowProgressHandlerSeesReportsDroppedNotQueued)
{
    // 40 writes of 20 ms each would give a report every write; a handler that
    // takes 200 ms sees only a handful, each newer than the last.
    SlowJob job(40);
    job.handler.progressDelay = 200;
    DWORD start = GetTickCount();
    RunJob(2, TargetFiles, 1, *job.list, job.handler, job.io);
    DWORD elapsed = GetTickCount() - start;
    ASSERT_EQ(job.handler.finalState.FileDeletions, 1);
    EXPECT_GE(job.handler.progress.size(), 2u);
    EXPECT_LE(job.handler.progress.size(), elapsed / 200 + 2);
    EXPECT_LT(job.handler.progress.size(), 40u);
    for (size_t i = 1; i < job.handler.progress.size(); ++i)
        EXPECT_GT(job.handler.progress[i].TargetWrite.Current, job.handler.progress[i - 1].TargetWrite.Current);
}

TEST(JobControl, ProgressReportsCarryTheJobsState)
{
    SlowJob job(6);
    RunJob(9, TargetFiles, 2, *job.list, job.handler, job.io);
    ASSERT_FALSE(job.handler.progress.empty());
    bool sawSecondRound = false;
    for (const WipeStateData& report : job.handler.progress) {
        EXPECT_EQ(report.WipeMethod, 9);
        EXPECT_EQ(report.RoundCount, 2);
        EXPECT_EQ(report.PassCount, 3);
        EXPECT_EQ(report.TargetCount, 1);
        EXPECT_LE(report.TargetWrite.Current, report.TargetWrite.Total);
        sawSecondRound |= report.RoundIndex == 1;
    }
    EXPECT_TRUE(sawSecondRound);
    EXPECT_EQ(job.handler.finalState.State, StateCompleted);
}

TEST(JobControl, ACancelDuringAFilesDeleteKeepsItCountedAsDestroyed)
{
    TempDir dir;
    auto list = ListOf({dir.WriteFile(L"first", "1111"), dir.WriteFile(L"second", "2222")});
    FaultInjectingIo io;
    io.CancelAt(IoCall::Delete, 1);
    RecordingHandler handler;
    RunJob(2, TargetFiles, 1, *list, handler, io);
    const WipeStateData& state = handler.finalState;
    EXPECT_EQ(state.State, StateCancelled);
    EXPECT_EQ(state.FileDeletions, 1);
    EXPECT_EQ(handler.deleted, std::vector<int32_t>{0});
    EXPECT_FALSE(FileExists(list->At(0)->Path));
    EXPECT_EQ(list->At(0)->Success, 1);  // gone, so it is in the summary of what was destroyed
    EXPECT_TRUE(FileExists(list->At(1)->Path));
    EXPECT_EQ(list->At(1)->Success, 0);
    EXPECT_EQ(state.PartialCount + state.FailedCount, 0);
}

TEST(JobControl, ACancelAfterTheLastPassKeepsTheFile)
{
    // The file's handle is closed after its last pass; the cancel arrives then.
    TempDir dir;
    auto list = ListOf({dir.WriteFile(L"kept", std::string(3000, 'k'))});
    FaultInjectingIo io;
    io.CancelAt(IoCall::Close, 1);
    RecordingHandler handler;
    RunJob(2, TargetFiles, 1, *list, handler, io);
    EXPECT_EQ(io.Calls(IoCall::Delete), 0);
    EXPECT_TRUE(FileExists(list->At(0)->Path));
    EXPECT_EQ(list->At(0)->Success, 0);
    EXPECT_EQ(handler.finalState.PartialCount, 1);
    EXPECT_EQ(handler.finalState.State, StateCancelled);
    EXPECT_TRUE(handler.deleted.empty());
}

// Makes the job's window or worker fail, or holds at most `limit` posted
// messages that the handler has not yet been given, as a full queue does.
class LimitedJobSystem : public JobSystem {
public:
    explicit LimitedJobSystem(RecordingHandler& handler) : handler(handler) {}
    HWND CreateReportWindow(const wchar_t* windowClass, void* job) override
    {
        if (!windowFails)
            return JobSystem::CreateReportWindow(windowClass, job);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HANDLE StartThread(LPTHREAD_START_ROUTINE routine, void* job) override
    {
        threadRequests += 1;
        if (!threadFails && threadRequests <= threadsAllowed)
            return JobSystem::StartThread(routine, job);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    bool Post(HWND window, WPARAM kind, LPARAM data) override
    {
        if (posted.load() - handler.delivered.load() >= limit) {
            refusals += 1;
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return false;
        }
        posted += 1;
        return JobSystem::Post(window, kind, data);
    }

    RecordingHandler& handler;
    bool windowFails = false, threadFails = false;
    int threadsAllowed = 1 << 30;
    std::atomic<int> threadRequests{0};
    int limit = 1 << 30;
    std::atomic<int> posted{0}, refusals{0};
};

TEST(JobControl, AJobThatCannotStartTouchesNothingAndSaysSo)
{
    for (bool window : {false, true}) {
        SCOPED_TRACE(window ? "no window" : "no worker");
        TempDir dir;
        auto list = ListOf({dir.WriteFile(L"a", "aaaa"), dir.MakeDir(L"d")});
        FaultInjectingIo io;
        RecordingHandler handler;
        LimitedJobSystem system(handler);
        (window ? system.windowFails : system.threadFails) = true;
        {
            WiperThread job(2, TargetFiles, 1, *list, handler, io, system);
            EXPECT_EQ(job.StartError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
            PumpUntil([&] { return handler.finishedCount > 0; }, window ? 100 : 30000);
        }
        EXPECT_EQ(io.TotalCalls(), 0);
        EXPECT_TRUE(FileExists(list->At(0)->Path));
        EXPECT_TRUE(DirectoryExists(list->At(1)->Path));
        EXPECT_EQ(list->At(0)->Success, 0);
        EXPECT_EQ(list->At(1)->Success, 0);
        if (window) {
            // Nothing can reach the handler; the creator reports StartError.
            EXPECT_EQ(handler.delivered.load(), 0);
        } else {
            EXPECT_EQ(Keys(handler), std::vector<std::wstring>{L"Log.JobStartError"});
            EXPECT_EQ(handler.logs[0].variables.at(L"SystemErrorCode"), std::to_wstring(ERROR_NOT_ENOUGH_MEMORY));
            ASSERT_EQ(handler.finishedCount, 1);
            EXPECT_EQ(handler.finalState.State, StateCompleted);
            EXPECT_EQ(handler.finalState.FailedCount, 2);
        }
    }
}

TEST(JobControl, WithoutAThreadForTheWriterTheWorkerMovesEveryTransferItself)
{
    TempDir dir;
    const size_t size = TransferWriter::TransferBytes(uint32_t(SectorSize()) * 512) * 3 + 1000;
    auto list = ListOf({dir.WriteFile(L"big", std::string(size, 'b'))});
    FaultInjectingIo io;
    io.Fail(IoCall::Delete, 1, ERROR_ACCESS_DENIED);  // kept, to be looked at
    RecordingHandler handler;
    LimitedJobSystem system(handler);
    system.threadsAllowed = 1;  // the job's worker only
    RunJob(7, TargetFiles, 1, *list, handler, io, system);
    EXPECT_EQ(Keys(handler), std::vector<std::wstring>{L"Log.FileDeleteError"});
    EXPECT_EQ(system.threadRequests.load(), 2);  // the writer asked once, not for every pass
    std::string content;
    ASSERT_TRUE(ReadWholeFile(list->At(0)->Path, content));
    EXPECT_EQ(content, std::string((size + SectorSize() - 1) / SectorSize() * SectorSize(), '\0'));
    EXPECT_EQ(handler.finalState.TargetWrite.Current, handler.finalState.TargetWrite.Total);
}

// `count` targets that all fail: folders that do not exist.
std::unique_ptr<FileList> FailingTargets(const TempDir& dir, int count)
{
    auto list = std::make_unique<FileList>();
    for (int i = 0; i < count; ++i)
        list->Add(new FileInfo(dir / (L"missing" + std::to_wstring(i))));
    return list;
}

// A job of `count` failing targets whose queue holds `limit` undelivered messages.
struct FullQueueJob {
    FullQueueJob(int count, int limit) : list(FailingTargets(dir, count)), system(handler) { system.limit = limit; }
    std::unique_ptr<WiperThread> Start()
    {
        auto job = std::make_unique<WiperThread>(2, TargetFiles, 1, *list, handler, io, system);
        // The user interface is busy: the worker fills the queue and waits for room.
        while (system.refusals.load() == 0)
            Sleep(5);
        return job;
    }

    TempDir dir;
    std::unique_ptr<FileList> list;
    RecordingHandler handler;
    LimitedJobSystem system;
    FaultInjectingIo io;
};

TEST(JobControl, AFullMessageQueueLosesNoRecordAndNotTheLastMessage)
{
    FullQueueJob full(300, 10);
    {
        auto job = full.Start();
        Sleep(50);
        ASSERT_TRUE(PumpUntil([&] { return full.handler.finishedCount > 0; }));
    }
    EXPECT_EQ(full.handler.logs.size(), 300u);
    EXPECT_EQ(full.handler.finalState.FailedCount, 300);
    EXPECT_EQ(full.handler.afterFinished, 0);
}

TEST(JobControl, DestroyingAJobThatWaitsForRoomInTheQueueDeliversEverything)
{
    FullQueueJob full(50, 5);
    full.Start().reset();  // without pumping: the destructor must make room itself
    EXPECT_EQ(full.handler.finishedCount, 1);
    EXPECT_EQ(full.handler.afterFinished, 0);
    EXPECT_GT(full.handler.finalState.FailedCount, 0);
    EXPECT_EQ(full.handler.logs.size(), size_t(full.handler.finalState.FailedCount));
}

TEST(JobControl, RecordsBeyondTheBoundInFlightAreFoldedIntoACount)
{
    const int targets = WiperThread::kMaxRecordsInFlight + 500;
    TempDir dir;
    auto list = FailingTargets(dir, targets);
    RecordingHandler handler;
    FaultInjectingIo io;
    {
        WiperThread job(2, TargetFiles, 1, *list, handler, io);
        // Nothing is delivered until the worker has been through every target.
        while (io.Calls(IoCall::RemoveDir) < targets)
            Sleep(5);
        Sleep(50);
        ASSERT_TRUE(PumpUntil([&] { return handler.finishedCount > 0; }));
    }
    ASSERT_EQ(handler.logs.size(), size_t(WiperThread::kMaxRecordsInFlight) + 1);
    const LogRecord& folded = handler.logs.back();
    EXPECT_EQ(folded.key, L"Log.RecordsFolded");
    EXPECT_EQ(folded.variables.at(L"RecordCount"), L"500");
    EXPECT_EQ(folded.path, L"");
    EXPECT_EQ(handler.finalState.FailedCount, targets);
    EXPECT_EQ(handler.afterFinished, 0);
}

// A drive reporting 4096-byte sectors: every target is addressed in 4096-byte units.
class BigSectorIo : public FaultInjectingIo {
public:
    bool DiskFreeSpace(const std::wstring& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                       DWORD& freeClusters, DWORD& totalClusters) override
    {
        roots.push_back(root);
        sectorsPerCluster = 1;
        bytesPerSector = 4096;
        freeClusters = totalClusters = 1000;
        return true;
    }
    std::vector<std::wstring> roots;
};

TEST(JobControl, UnitSizeComesFromTheFirstTargetsDrive)
{
    TempDir dir;
    auto list = ListOf({dir.WriteFile(L"a", "1000"), dir.WriteFile(L"b", std::string(5000, 'b'))});
    BigSectorIo io;
    RecordingHandler handler;
    RunJob(2, TargetFiles, 1, *list, handler, io);
    EXPECT_EQ(io.roots, std::vector<std::wstring>{dir.Path().substr(0, 3)});
    EXPECT_EQ(handler.finalState.TotalWrite.Total, 4096 * 3);
    EXPECT_EQ(handler.finalState.TargetWrite.Total, 4096 * 2);
    EXPECT_EQ(handler.finalState.FileDeletions, 2);
}

}  // namespace
