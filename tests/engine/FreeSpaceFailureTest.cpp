// Free-space jobs whose calls fail, or that are paused and cancelled: what is
// logged and counted, and that nothing but free clusters is ever touched.
#include <gtest/gtest.h>

#include "FreeSpaceHarness.h"

namespace {

const std::wstring kRoot = L"G:\\";

// Three windows of a fragmented volume of 512-byte clusters.
struct FragmentedVolume : SimulatedVolume {
    FragmentedVolume() : SimulatedVolume(kRoot, 512, 1, 9000) { Fragment(11, 50, 70); }
};

void ExpectPartial(const FreeSpaceRun& run)
{
    EXPECT_EQ(run.Final().State, StateCompleted);
    EXPECT_EQ(run.Final().PartialCount, 1);
    EXPECT_EQ(run.Final().FailedCount, 0);
    EXPECT_EQ(run.list->At(0)->Success, 0);
    EXPECT_TRUE(run.handler.deleted.empty());
}

TEST(FreeSpaceFailure, CompressionThatDoesNotExistIsNoErrorAnyOtherRefusalStopsTheJob)
{
    {
        FragmentedVolume volume;
        volume.FailControl(FSCTL_SET_COMPRESSION, 1, ERROR_INVALID_FUNCTION, true);
        const std::vector<bool> before = UsageOf(volume);
        FreeSpaceRun run(volume);
        run.Run(2, 1);
        EXPECT_TRUE(run.handler.logs.empty());
        EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
        EXPECT_GT(run.Final().TargetWrite.Current, 0);
        ExpectVolumeIntact(volume, before);
    }
    {
        FragmentedVolume volume;
        volume.FailControl(FSCTL_SET_COMPRESSION, 2, ERROR_ACCESS_DENIED);
        const std::vector<bool> before = UsageOf(volume);
        FreeSpaceRun run(volume);
        run.Run(2, 1);
        ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.DisableTempFileCompressionError"});
        EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), L"5");
        ExpectPartial(run);
        EXPECT_EQ(run.WipedRuns().size(), 1u);  // the first run only
        ExpectVolumeIntact(volume, before);
    }
}

TEST(FreeSpaceFailure, ATemporaryFileThatCannotBeMadeLeavesThePartialTargetAndNoFile)
{
    struct Case {
        IoCall call;
        int nth;
        const wchar_t* key;
    };
    // The first Open is the volume's, the first Seek sizes the first temporary file.
    for (Case c : {Case{IoCall::TempFileName, 1, L"Log.MakeTempFileNameError"},
                   Case{IoCall::Open, 2, L"Log.CreateTempFileError"},
                   Case{IoCall::Seek, 1, L"Log.SetTempFileSizeError"},
                   Case{IoCall::SetEnd, 3, L"Log.TruncateTempFileError"}}) {
        SCOPED_TRACE(std::string(c.key, c.key + wcslen(c.key)));
        FragmentedVolume volume;
        const std::vector<bool> before = UsageOf(volume);
        FreeSpaceRun run(volume);
        run.io.Fail(c.call, c.nth, ERROR_WRITE_PROTECT);
        run.Run(2, 1);
        ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{c.key});
        EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), L"19");
        EXPECT_EQ(run.handler.logs[0].path, kRoot);
        ExpectPartial(run);
        ExpectVolumeIntact(volume, before);
    }
}

TEST(FreeSpaceFailure, ABitmapFailureMidVolumeStopsAfterTheWindowsDone)
{
    FragmentedVolume volume;
    volume.FailControl(FSCTL_GET_VOLUME_BITMAP, 2, ERROR_IO_DEVICE);
    const std::vector<bool> before = UsageOf(volume);
    const std::vector<Extent> freeRuns = volume.FreeRuns();
    FreeSpaceRun run(volume);
    run.Run(2, 1);
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.DriveAnalyzeError"});
    EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), L"1117");
    ExpectPartial(run);
    for (const Extent& free : freeRuns) {
        int64_t end = free.StartCluster + free.Clusters;
        if (end <= 4096) {
            EXPECT_TRUE(ClustersEqual(volume, free.StartCluster, free.Clusters, 0)) << free.StartCluster;
        } else if (free.StartCluster >= 4096) {
            EXPECT_TRUE(ClustersOriginal(volume, free.StartCluster, free.Clusters)) << free.StartCluster;
        }
    }
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceFailure, SpaceOrVolumeThatCannotBeReadFailsTheTarget)
{
    struct Case {
        IoCall call;
        const wchar_t* key;
    };
    for (Case c : {Case{IoCall::DiskFreeSpace, L"Log.DriveGetSpaceError"},
                   Case{IoCall::DiskFreeSpaceEx, L"Log.DriveGetSpaceError"},
                   Case{IoCall::Open, L"Log.DriveOpenError"}}) {
        FragmentedVolume volume;
        FreeSpaceRun run(volume);
        run.io.Fail(c.call, 1, ERROR_NOT_READY);
        run.Run(2, 1);
        ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{c.key});
        EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), L"21");
        EXPECT_EQ(run.Final().FailedCount, 1);
        EXPECT_EQ(run.Final().PartialCount, 0);
        EXPECT_EQ(run.list->At(0)->Success, 0);
        EXPECT_TRUE(volume.TempFileSizes().empty());
        EXPECT_EQ(volume.OpenHandles(), 0);
    }
}

TEST(FreeSpaceFailure, WriteErrorsAreReportedAtTheirPlaceOnTheVolume)
{
    FragmentedVolume volume;
    const std::vector<Extent> freeRuns = volume.FreeRuns();
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.io.Fail(IoCall::Write, 1, ERROR_IO_DEVICE);
    run.Run(2, 1);
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.FileWriteError"});
    EXPECT_EQ(run.handler.logs[0].variables.at(L"ErrorOffset"), std::to_wstring(freeRuns[0].StartCluster * 512));
    ExpectPartial(run);
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceFailure, ReadBackThatDiffersIsAVerificationError)
{
    FragmentedVolume volume;
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.io.CorruptRead(2);
    run.Run(5, 1);
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.VerificationError"});
    EXPECT_NE(run.handler.logs[0].variables.at(L"WrittenDataHash"),
              run.handler.logs[0].variables.at(L"ReadDataHash"));
    EXPECT_EQ(run.handler.logs[0].variables.at(L"ReadDataHash").size(), 40u);
    ExpectPartial(run);
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceFailure, CancellingLeavesThePartialTargetAndNoTemporaryFile)
{
    FragmentedVolume volume;
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    WiperThread* job = nullptr;
    run.handler.onProgress = [&](const WipeStateData& state) {
        if (state.TargetWrite.Current > 0 && job)
            job->Cancel();
    };
    {
        WiperThread running(13, TargetFreeSpace, 1, *run.list, run.handler, run.io);
        job = &running;
        PumpUntil([&] { return run.handler.finishedCount > 0; });
    }
    EXPECT_EQ(run.Final().State, StateCancelled);
    EXPECT_EQ(run.Final().PartialCount, 1);
    EXPECT_EQ(run.list->At(0)->Success, 0);
    EXPECT_TRUE(run.handler.deleted.empty());
    EXPECT_TRUE(run.handler.logs.empty());
    EXPECT_LT(run.Final().TargetWrite.Current, run.Final().TargetWrite.Total);
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceFailure, APausedJobWritesNothingUntilResumed)
{
    FragmentedVolume volume;
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    WiperThread* job = nullptr;
    bool pausedOnce = false;
    run.handler.onProgress = [&](const WipeStateData& state) {
        if (!pausedOnce && state.TargetWrite.Current > 0 && job) {
            pausedOnce = true;
            job->Pause();
        }
    };
    {
        WiperThread running(9, TargetFreeSpace, 1, *run.list, run.handler, run.io);
        job = &running;
        ASSERT_TRUE(PumpUntil([&] { return pausedOnce; }));
        // Once it has reached a checkpoint, the count stays still.
        int64_t writes = -1;
        ASSERT_TRUE(PumpUntil([&] {
            int64_t before = volume.fileWriteCalls.load();
            PumpUntil([] { return false; }, 100);
            std::swap(writes, before);
            return writes == before;
        }, 10000));
        PumpUntil([] { return false; }, 300);
        EXPECT_EQ(volume.fileWriteCalls.load(), writes);
        EXPECT_EQ(run.handler.finishedCount, 0);
        EXPECT_GE(volume.OpenHandles(), 1);  // the volume, and a temporary file if one was open
        running.Resume();
        PumpUntil([&] { return run.handler.finishedCount > 0; });
    }
    EXPECT_EQ(run.Final().State, StateCompleted);
    EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
    EXPECT_EQ(run.Final().TargetWrite.Current, run.Final().TargetWrite.Total);
    ExpectVolumeIntact(volume, before);
}

}  // namespace
