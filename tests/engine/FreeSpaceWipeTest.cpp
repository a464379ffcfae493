// Free-space jobs on simulated volumes: every free cluster gets exactly the
// method's passes, nothing else changes, and runs are placed as the file
// system allows.
#include <gtest/gtest.h>

#include "FreeSpaceHarness.h"
#include "PassModel.h"

namespace {

const std::wstring kRoot = L"F:\\";

struct Case {
    int method;
    int rounds;
    uint32_t sectorsPerCluster;
    int64_t clusters;
};

TEST(FreeSpaceWipe, EveryFreeClusterGetsEveryPassAndNothingElseChanges)
{
    for (Case c : {Case{2, 1, 2, 9000}, Case{9, 2, 1, 9000}, Case{5, 1, 2, 5000}, Case{10, 2, 1, 5000},
                   Case{6, 1, 1, 3000}, Case{0, 1, 1, 5000}, Case{1, 2, 1, 3000}, Case{13, 1, 1, 2000}}) {
        SCOPED_TRACE("method " + std::to_string(c.method) + ", rounds " + std::to_string(c.rounds));
        SimulatedVolume volume(kRoot, 512, c.sectorsPerCluster, c.clusters);
        volume.Fragment(uint32_t(c.method + 7), 60, 90);
        const std::vector<bool> before = UsageOf(volume);
        const std::vector<Extent> freeRuns = volume.FreeRuns();
        const int64_t freeClusters = volume.FreeClusters();
        FreeSpaceRun run(volume);
        run.Run(c.method, c.rounds);

        ASSERT_EQ(run.handler.finishedCount, 1);
        EXPECT_TRUE(run.handler.logs.empty());
        EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
        EXPECT_EQ(run.Final().State, StateCompleted);
        EXPECT_EQ(run.Final().PartialCount + run.Final().FailedCount, 0);
        EXPECT_EQ(run.list->At(0)->Success, 1);
        ExpectVolumeIntact(volume, before);

        // The runs wiped are the free runs, split only at window boundaries.
        std::vector<Extent> expected;
        for (Extent run : freeRuns)
            while (run.Clusters > 0) {
                int64_t windowEnd = (run.StartCluster / 4096 + 1) * 4096;
                int64_t length = std::min(run.Clusters, windowEnd - run.StartCluster);
                expected.push_back({run.StartCluster, length});
                run.StartCluster += length;
                run.Clusters -= length;
            }
        std::vector<Extent> wiped = run.WipedRuns();
        ASSERT_EQ(wiped.size(), expected.size());
        for (size_t i = 0; i < wiped.size(); ++i) {
            ASSERT_EQ(wiped[i].StartCluster, expected[i].StartCluster) << i;
            ASSERT_EQ(wiped[i].Clusters, expected[i].Clusters) << i;
        }

        // Each pass of each round, run after run, from one generator.
        const std::vector<PlannedPass> passes = MethodPasses(c.method);
        const int32_t clusterSize = volume.ClusterSize();
        ReferenceRandom random;
        size_t snapshot = 0;
        for (const Extent& extent : wiped) {
            ASSERT_LT(snapshot, run.io.snapshots.size());
            TargetModel model{run.io.snapshots[snapshot].content, 0, clusterSize, extent.Clusters, 64};
            for (int round = 0; round < c.rounds; ++round)
                for (size_t pass = 0; pass < passes.size(); ++pass, ++snapshot) {
                    model.Apply(passes[pass], random);
                    ASSERT_LT(snapshot, run.io.snapshots.size());
                    ASSERT_EQ(run.io.snapshots[snapshot].extents.size(), 1u);
                    ASSERT_EQ(run.io.snapshots[snapshot].extents[0].StartCluster, extent.StartCluster);
                    ASSERT_TRUE(run.io.snapshots[snapshot].content == model.image)
                        << "run at " << extent.StartCluster << ", round " << round << ", pass " << pass;
                }
            // What the last pass left is what the volume holds there now.
            std::string now(model.image.size(), '\0');
            volume.Image().Read(uint64_t(extent.StartCluster) * clusterSize, reinterpret_cast<uint8_t*>(now.data()),
                                now.size());
            ASSERT_TRUE(now == model.image) << "run at " << extent.StartCluster;
        }
        EXPECT_EQ(snapshot, run.io.snapshots.size());

        int writes = 0, verifies = 0;
        for (const PlannedPass& pass : passes)
            (pass.kind == PlannedPass::Verify ? verifies : writes) += 1;
        const int64_t bytes = freeClusters * clusterSize * c.rounds;
        EXPECT_EQ(run.Final().TargetWrite.Total, bytes * writes);
        EXPECT_EQ(run.Final().TargetRead.Total, bytes * verifies);
        EXPECT_EQ(run.Final().TargetRead.Current, bytes * verifies);
        if (c.method > 1) {
            EXPECT_EQ(run.Final().TargetWrite.Current, bytes * writes);
        }
        EXPECT_EQ(run.Final().TotalWrite.Total, 0);
        DWORD flags = volume.LastFileFlags();
        EXPECT_EQ(flags & (FILE_FLAG_NO_BUFFERING | FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_HIDDEN),
                  DWORD(FILE_FLAG_NO_BUFFERING | FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_HIDDEN));
        EXPECT_EQ(volume.compressionRequests.load(), int64_t(wiped.size()));
    }
}

TEST(FreeSpaceWipe, AFullVolumeCreatesNoFileAndCountsAsWiped)
{
    SimulatedVolume volume(kRoot, 512, 8, 10000);
    volume.SetInUse(0, 10000);
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.Run(9, 1);
    EXPECT_TRUE(run.handler.logs.empty());
    EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
    EXPECT_TRUE(volume.TempFileSizes().empty());
    EXPECT_EQ(run.Final().TargetWrite.Total, 0);
    ExpectVolumeIntact(volume, before);
}

// Everything in use except the runs given.
void LeaveFree(SimulatedVolume& volume, std::initializer_list<Extent> runs)
{
    volume.SetInUse(0, volume.TotalClusters());
    for (const Extent& run : runs)
        volume.SetInUse(run.StartCluster, run.Clusters, false);
}

std::vector<std::pair<int64_t, int64_t>> MovesInto(SimulatedVolume& volume, int64_t start, int64_t end)
{
    std::vector<std::pair<int64_t, int64_t>> moves;
    for (const auto& move : volume.Moves())
        if (move.startCluster >= start && move.startCluster < end)
            moves.push_back({move.startCluster, move.clusters});
    return moves;
}

// What a free-space job that had to give clusters up ends with: a partial target, not "wiped".
void ExpectPartialWithSkipped(const FreeSpaceRun& run, int64_t clusters)
{
    EXPECT_TRUE(run.handler.deleted.empty());
    EXPECT_EQ(run.Final().PartialCount, 1);
    EXPECT_EQ(run.list->At(0)->Success, 0);
    EXPECT_EQ(run.Final().State, StateCompleted);
    size_t summaries = 0;
    for (const LogRecord& record : run.handler.logs)
        if (record.key == L"Log.FreeSpaceClustersSkipped") {
            ++summaries;
            EXPECT_EQ(record.variables.at(L"ClusterCount"), std::to_wstring(clusters));
            EXPECT_EQ(record.category, kLogCategoryError);
        }
    EXPECT_EQ(summaries, 1u);
}

TEST(FreeSpaceWipe, ARefusedRunIsHalvedDownToSingleClustersGivenUpAndTheTargetIsPartial)
{
    for (DWORD error : {DWORD(ERROR_ACCESS_DENIED), DWORD(ERROR_INVALID_PARAMETER)}) {
        SCOPED_TRACE(error);
        SimulatedVolume volume(kRoot, 512, 1, 6000);
        LeaveFree(volume, {{100, 3}, {5000, 600}});
        volume.RefuseMoves(100, 3, error);
        const std::vector<bool> before = UsageOf(volume);
        FreeSpaceRun run(volume);
        run.Run(2, 1);

        using Moves = std::vector<std::pair<int64_t, int64_t>>;
        EXPECT_EQ(MovesInto(volume, 100, 103), (Moves{{100, 3}, {100, 1}, {101, 2}, {101, 1}, {102, 1}}));
        std::vector<int64_t> sizes = volume.TempFileSizes();
        ASSERT_GE(sizes.size(), 5u);
        EXPECT_EQ(std::vector<int64_t>(sizes.begin(), sizes.begin() + 5), (std::vector<int64_t>{3, 1, 2, 1, 1}));
        // Access denied is expected of clusters the system keeps; other errors
        // are logged once, their repeats counted.
        std::vector<std::wstring> expected{L"Log.FreeSpaceClustersSkipped"};
        if (error != ERROR_ACCESS_DENIED)
            expected = {L"Log.MoveTempFileError", L"Log.FreeSpaceClustersSkipped", L"Log.RepeatedErrorsFolded"};
        ASSERT_EQ(Keys(run.handler), expected);
        if (error != ERROR_ACCESS_DENIED) {
            EXPECT_EQ(run.handler.logs.back().variables.at(L"RecordCount"), L"4");
        }
        ExpectPartialWithSkipped(run, 3);
        EXPECT_TRUE(ClustersOriginal(volume, 100, 3));
        EXPECT_TRUE(ClustersEqual(volume, 5000, 600, 0));
        ExpectVolumeIntact(volume, before);
    }
}

TEST(FreeSpaceWipe, APlacementThatAlwaysFailsLeavesAPartialTargetAndFewRecords)
{
    SimulatedVolume volume(kRoot, 512, 1, 9000);
    volume.Fragment(5, 40, 60);
    const int64_t freeClusters = volume.FreeClusters();
    volume.RefuseMoves(0, volume.TotalClusters(), ERROR_INVALID_PARAMETER);
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.Run(2, 1);
    EXPECT_EQ(Keys(run.handler), (std::vector<std::wstring>{L"Log.MoveTempFileError", L"Log.FreeSpaceClustersSkipped",
                                                            L"Log.RepeatedErrorsFolded"}));
    // Only where the file system put a temporary file of itself was anything wiped.
    const int64_t wiped = run.Final().TargetWrite.Current / volume.ClusterSize();
    EXPECT_LT(wiped, freeClusters / 100);
    ExpectPartialWithSkipped(run, freeClusters - wiped);
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceWipe, AMoveTheSystemCannotDoAtAllEndsTheTargetWithoutHalving)
{
    for (DWORD error : {DWORD(ERROR_INVALID_FUNCTION), DWORD(ERROR_IO_DEVICE)}) {
        SCOPED_TRACE(error);
        SimulatedVolume volume(kRoot, 512, 1, 6000);
        LeaveFree(volume, {{100, 8}, {300, 8}});
        volume.RefuseMoves(0, 6000, error);
        const std::vector<bool> before = UsageOf(volume);
        FreeSpaceRun run(volume);
        run.Run(2, 1);
        EXPECT_EQ(volume.Moves().size(), 1u);
        ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.MoveTempFileError"});
        EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), std::to_wstring(error));
        EXPECT_EQ(run.Final().PartialCount, 1);
        EXPECT_EQ(run.list->At(0)->Success, 0);
        EXPECT_TRUE(ClustersOriginal(volume, 100, 8));
        ExpectVolumeIntact(volume, before);
    }
}

TEST(FreeSpaceWipe, ATemporaryFileThatCannotBeRemovedIsTriedAgainAndOtherwiseNamed)
{
    for (bool removableLater : {true, false}) {
        SCOPED_TRACE(removableLater);
        SimulatedVolume volume(kRoot, 512, 1, 6000);
        LeaveFree(volume, {{100, 8}});
        FreeSpaceRun run(volume);
        // The volume's open is the first; the temporary file's the second.
        run.io.Fail(IoCall::Open, 2, ERROR_ACCESS_DENIED);
        run.io.Fail(IoCall::Delete, 1, ERROR_SHARING_VIOLATION, !removableLater);
        run.Run(2, 1);
        std::vector<std::wstring> expected{L"Log.CreateTempFileError"};
        if (!removableLater)
            expected.push_back(L"Log.TempFileDeleteError");
        ASSERT_EQ(Keys(run.handler), expected);
        EXPECT_EQ(run.io.Calls(IoCall::Delete), 2);
        EXPECT_EQ(run.Final().PartialCount, 1);
        if (removableLater) {
            EXPECT_TRUE(volume.Names().empty());
        } else {
            ASSERT_EQ(volume.Names().size(), 1u);
            const LogRecord& record = run.handler.logs.back();
            EXPECT_EQ(record.variables.at(L"FileName"), *volume.Names().begin());
            EXPECT_EQ(record.variables.at(L"SystemErrorCode"), std::to_wstring(ERROR_SHARING_VIOLATION));
            EXPECT_EQ(record.path, kRoot);
        }
        EXPECT_EQ(volume.OpenHandles(), 0);
    }
}

TEST(FreeSpaceWipe, ClustersOfSixtyFourMebibytesAreWipedInTransfersThatFit)
{
    // 64 such clusters would be 4 GiB, beyond what one transfer can count.
    SimulatedVolume volume(kRoot, 512, 131072, 6, false);
    volume.SetInUse(0, 6);
    volume.SetInUse(2, 2, false);
    FaultInjectingIo io(volume);
    auto list = ListOf({kRoot});
    RecordingHandler handler;
    RunJob(2, TargetFreeSpace, 1, *list, handler, io);
    EXPECT_TRUE(handler.logs.empty());
    EXPECT_EQ(handler.deleted, std::vector<int32_t>{0});
    EXPECT_EQ(handler.finalState.TargetWrite.Current, int64_t(2) << 26);
    EXPECT_EQ(volume.Image().CoveredBytes(), uint64_t(2) << 26);
    EXPECT_TRUE(volume.Names().empty());
}

TEST(FreeSpaceWipe, AFileSystemThatRoundsTheBitmapStartFurtherIsWipedWhole)
{
    SimulatedVolume volume(kRoot, 512, 1, 70000);
    volume.bitmapRounding = 32768;
    LeaveFree(volume, {{100, 10}, {5000, 20}, {40000, 30}, {69990, 10}});
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.Run(2, 1);
    EXPECT_TRUE(run.handler.logs.empty());
    EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
    for (Extent free : {Extent{100, 10}, Extent{5000, 20}, Extent{40000, 30}, Extent{69990, 10}})
        EXPECT_TRUE(ClustersEqual(volume, free.StartCluster, free.Clusters, 0)) << free.StartCluster;
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceWipe, ARunCrossingAWindowBoundaryIsTwoRuns)
{
    SimulatedVolume volume(kRoot, 512, 1, 9000);
    LeaveFree(volume, {{4000, 200}, {8000, 100}});
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.Run(2, 1);
    std::vector<Extent> wiped = run.WipedRuns();
    ASSERT_EQ(wiped.size(), 3u);
    EXPECT_EQ(wiped[0].StartCluster, 4000);
    EXPECT_EQ(wiped[0].Clusters, 96);
    EXPECT_EQ(wiped[1].StartCluster, 4096);
    EXPECT_EQ(wiped[1].Clusters, 104);
    EXPECT_EQ(wiped[2].StartCluster, 8000);
    EXPECT_TRUE(ClustersEqual(volume, 4000, 200, 0));
    EXPECT_TRUE(ClustersEqual(volume, 8000, 100, 0));
    EXPECT_TRUE(run.handler.logs.empty());
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceWipe, ClustersTakenByAnotherWriterBeforePlacementAreSkippedAndCounted)
{
    SimulatedVolume volume(kRoot, 512, 1, 6000);
    LeaveFree(volume, {{100, 20}, {5000, 600}});
    std::vector<bool> before = UsageOf(volume);
    bool taken = false;
    volume.beforeMove = [&] {
        if (!taken) {
            taken = true;
            volume.SetInUse(110, 1);
        }
    };
    FreeSpaceRun run(volume);
    run.Run(2, 1);
    ASSERT_TRUE(taken);
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.FreeSpaceClustersSkipped"});
    ExpectPartialWithSkipped(run, 1);
    EXPECT_TRUE(ClustersEqual(volume, 100, 10, 0));
    EXPECT_TRUE(ClustersOriginal(volume, 110, 1));
    EXPECT_TRUE(ClustersEqual(volume, 111, 9, 0));
    EXPECT_TRUE(ClustersEqual(volume, 5000, 600, 0));
    before[110] = true;
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceWipe, MovesThatLandElsewhereAreRetriedSmaller)
{
    SimulatedVolume volume(kRoot, 512, 1, 6000);
    LeaveFree(volume, {{100, 8}, {300, 8}, {5000, 600}});
    volume.IgnoreMovesTo(100);  // reported done, but the file stays where it was
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.Run(2, 1);
    // The run at 100 is split down to its first cluster, which is given up.
    EXPECT_TRUE(ClustersOriginal(volume, 100, 1));
    EXPECT_TRUE(ClustersEqual(volume, 101, 7, 0));
    EXPECT_TRUE(ClustersEqual(volume, 300, 8, 0));
    EXPECT_TRUE(ClustersEqual(volume, 5000, 600, 0));
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.FreeSpaceClustersSkipped"});
    ExpectPartialWithSkipped(run, 1);
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceWipe, ALocationThatCannotBeReadEndsTheTargetInsteadOfHalving)
{
    SimulatedVolume volume(kRoot, 512, 1, 6000);
    LeaveFree(volume, {{100, 8}, {300, 8}, {5000, 600}});
    volume.FailControl(FSCTL_GET_RETRIEVAL_POINTERS, 3, ERROR_IO_DEVICE);
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.Run(2, 1);
    // The first run is placed and wiped (two location reads); the third read fails.
    EXPECT_TRUE(ClustersEqual(volume, 100, 8, 0));
    EXPECT_TRUE(ClustersOriginal(volume, 300, 8));
    EXPECT_TRUE(ClustersOriginal(volume, 5000, 600));
    EXPECT_EQ(volume.TempFileSizes(), (std::vector<int64_t>{8, 8}));
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.GetTempFileLocationError"});
    EXPECT_EQ(run.Final().PartialCount, 1);
    EXPECT_EQ(run.list->At(0)->Success, 0);
    EXPECT_TRUE(run.handler.deleted.empty());
    ExpectVolumeIntact(volume, before);
}

TEST(FreeSpaceWipe, ATemporaryFileInMorePiecesThanOneAnswerHoldsIsMovedWithoutAnError)
{
    SimulatedVolume volume(kRoot, 512, 1, 8000);
    volume.SetInUse(0, 8000);
    volume.SetInUse(100, 200, false);
    // Every other cluster free at the top: a new file lands there in single pieces.
    for (int64_t c = 7000; c < 7600; c += 2)
        volume.SetInUse(c, 1, false);
    const std::vector<bool> before = UsageOf(volume);
    FreeSpaceRun run(volume);
    run.Run(2, 1);
    EXPECT_TRUE(run.handler.logs.empty());
    EXPECT_EQ(MovesInto(volume, 100, 300), (std::vector<std::pair<int64_t, int64_t>>{{100, 200}}));
    EXPECT_TRUE(ClustersEqual(volume, 100, 200, 0));
    EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
    ExpectVolumeIntact(volume, before);
}

}  // namespace
