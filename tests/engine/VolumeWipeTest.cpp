// Volume jobs on a simulated volume: what reaches the raw device, and what
// the job reports when the volume cannot be sized, dismounted or written.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>
#include "FaultInjectingIo.h"
#include "JobHarness.h"
#include "PassModel.h"
#include "SimulatedVolume.h"

namespace {

const std::wstring kRoot = L"V:\\";

struct VolumeRun {
    std::unique_ptr<FileList> list = ListOf({kRoot});
    RecordingHandler handler;
    void Run(WipeIo& io, int32_t method = 2, int32_t rounds = 1)
    {
        RunJob(method, TargetVolume, rounds, *list, handler, io);
    }
    const WipeStateData& Final() const { return handler.finalState; }
};

// Bytes per transfer of a volume job on 512-byte sectors: whole blocks of 512 sectors.
constexpr uint32_t kTransfer = TransferWriter::TransferBytes(512 * 512);

TEST(VolumeWipe, AMillionSectorsInTransfersOfWholeBlocksAllZero)
{
    SimulatedVolume volume(kRoot, 512, 1, 1000000);
    VolumeRun run;
    run.Run(volume);
    ASSERT_EQ(run.handler.finishedCount, 1);
    EXPECT_TRUE(run.handler.logs.empty());
    EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
    EXPECT_EQ(run.Final().State, StateCompleted);
    EXPECT_EQ(run.Final().PartialCount + run.Final().FailedCount, 0);
    EXPECT_EQ(run.Final().TargetWrite.Total, 512000000);
    EXPECT_EQ(run.Final().TargetWrite.Current, 512000000);
    EXPECT_EQ(run.Final().TotalWrite.Total, 0);

    // 1954 blocks, the last of 64 sectors, in transfers of whole blocks.
    const auto& writes = volume.Image().writes;
    ASSERT_EQ(writes.size(), (512000000 + kTransfer - 1) / kTransfer);
    for (size_t i = 0; i < writes.size(); ++i)
        ASSERT_EQ(writes[i].offset, i * kTransfer) << i;
    EXPECT_EQ(writes.front().bytes, kTransfer);
    EXPECT_EQ(writes.back().bytes, 512000000 % kTransfer);
    EXPECT_EQ(kTransfer % (512 * 512), 0u);
    EXPECT_TRUE(volume.Image().AllEqual(0, 512000000, 0));
    EXPECT_TRUE(volume.Dismounted());
    EXPECT_EQ(volume.VolumeOpenAccess(), DWORD(GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(volume.OpenHandles(), 0);
    EXPECT_EQ(run.list->At(0)->Success, 1);
}

TEST(VolumeWipe, EveryPassOfEveryRoundIsWhatTheMethodWritesAndReadsBack)
{
    const int64_t sectors = 1300;  // two full blocks and a short one
    for (int method : {5, 9, 0}) {
        SCOPED_TRACE("method " + std::to_string(method));
        SimulatedVolume volume(kRoot, 512, 1, sectors);
        VolumeRun run;
        run.Run(volume, method, 2);
        EXPECT_TRUE(run.handler.logs.empty());
        EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
        std::string original(size_t(sectors) * 512, '\0');
        volume.Image().Read(0, reinterpret_cast<uint8_t*>(original.data()), original.size());
        TargetModel model{std::string(original.size(), '\0'), 0, 512, sectors, 512};
        for (size_t i = 0; i < model.image.size(); ++i)
            model.image[i] = char(SectorImage::OriginalByte(i));
        ReferenceRandom random;
        for (int round = 0; round < 2; ++round)
            for (const PlannedPass& pass : MethodPasses(method))
                model.Apply(pass, random);
        EXPECT_TRUE(original == model.image);
    }
}

TEST(VolumeWipe, PassesOfSeveralTransfersAreWhatEveryMethodWritesBlockByBlock)
{
    // Two whole transfers and a short one: the bytes after every pass are
    // those of the method's blocks laid one after the other.
    const int64_t sectors = 2 * (kTransfer / 512) + 1300;
    for (int method = 0; method < kWipeMethodCount; ++method) {
        SCOPED_TRACE("method " + std::to_string(method));
        SimulatedVolume volume(kRoot, 512, 1, sectors);
        TargetModel model{std::string(size_t(sectors) * 512, '\0'), 0, 512, sectors, 512};
        for (size_t i = 0; i < model.image.size(); ++i)
            model.image[i] = char(SectorImage::OriginalByte(i));
        const std::vector<PlannedPass> passes = MethodPasses(method);
        ReferenceRandom random;
        size_t flushed = 0;
        std::vector<size_t> differing;
        FaultInjectingIo io(volume);
        io.afterFlush = [&](HANDLE) {
            model.Apply(passes[flushed % passes.size()], random);
            std::string image(model.image.size(), '\0');
            volume.Image().Read(0, reinterpret_cast<uint8_t*>(image.data()), image.size());
            if (image != model.image)
                differing.push_back(flushed);
            flushed += 1;
        };
        VolumeRun run;
        run.Run(io, method, 1);
        EXPECT_TRUE(run.handler.logs.empty());
        EXPECT_EQ(flushed, passes.size());
        EXPECT_EQ(differing, std::vector<size_t>{});
    }
}

TEST(VolumeWipe, NoPartitionOrGeometryOrAZeroSizeIsDriveNotReady)
{
    enum Fault { Partition, Geometry, ZeroSectorSize, ZeroLength };
    for (Fault fault : {Partition, Geometry, ZeroSectorSize, ZeroLength}) {
        SCOPED_TRACE(fault);
        SimulatedVolume volume(kRoot, 512, 1, 4096);
        if (fault == Partition)
            volume.FailControl(IOCTL_DISK_GET_PARTITION_INFO, 1, ERROR_INVALID_FUNCTION);
        if (fault == Geometry)
            volume.FailControl(IOCTL_DISK_GET_DRIVE_GEOMETRY, 1, ERROR_INVALID_FUNCTION);
        if (fault == ZeroSectorSize)
            volume.geometrySectorSize = 0;
        if (fault == ZeroLength)
            volume.partitionLength = 0;
        VolumeRun run;
        run.Run(volume);
        ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.DriveOpenError"});
        EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), L"21");
        EXPECT_FALSE(run.handler.logs[0].variables.at(L"SystemErrorMessage").empty());
        EXPECT_EQ(run.handler.logs[0].path, kRoot);
        EXPECT_EQ(run.Final().FailedCount, 1);
        EXPECT_EQ(run.Final().PartialCount, 0);
        EXPECT_EQ(run.list->At(0)->Success, 0);
        EXPECT_TRUE(run.handler.deleted.empty());
        EXPECT_FALSE(volume.Dismounted());
        EXPECT_EQ(volume.volumeWriteCalls.load(), 0);
        EXPECT_EQ(volume.OpenHandles(), 0);
    }
}

TEST(VolumeWipe, AVolumeThatCannotBeOpenedIsFailedWithTheSystemsCode)
{
    SimulatedVolume volume(kRoot, 512, 1, 4096);
    FaultInjectingIo io(volume);
    io.Fail(IoCall::Open, 1, ERROR_ACCESS_DENIED);
    VolumeRun run;
    run.Run(io);
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.DriveOpenError"});
    EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), L"5");
    EXPECT_EQ(run.Final().FailedCount, 1);
    EXPECT_EQ(volume.Image().writeCount, 0u);
}

TEST(VolumeWipe, RefusedDismountWritesNothing)
{
    SimulatedVolume volume(kRoot, 512, 1, 4096);
    volume.dismountError = ERROR_ACCESS_DENIED;
    VolumeRun run;
    run.Run(volume);
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.DriveUnmountError"});
    EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), L"5");
    EXPECT_EQ(run.Final().FailedCount, 1);
    EXPECT_EQ(run.list->At(0)->Success, 0);
    EXPECT_EQ(volume.volumeWriteCalls.load(), 0);
    EXPECT_EQ(volume.OpenHandles(), 0);
    EXPECT_TRUE(run.handler.deleted.empty());
}

TEST(VolumeWipe, AWriteErrorLeavesThePartialVolumeWithTheTransfersByteOffset)
{
    const int64_t transferSectors = kTransfer / 512;
    SimulatedVolume volume(kRoot, 512, 1, 3 * transferSectors);
    volume.BadSector(transferSectors + 1000, ERROR_CRC);
    VolumeRun run;
    run.Run(volume, 2, 2);
    ASSERT_EQ(Keys(run.handler), std::vector<std::wstring>{L"Log.FileWriteError"});
    // The second transfer failed; the third, sent meanwhile, was not started.
    EXPECT_EQ(run.handler.logs[0].variables.at(L"ErrorOffset"), std::to_wstring(kTransfer));
    EXPECT_EQ(run.handler.logs[0].variables.at(L"SystemErrorCode"), L"23");
    EXPECT_EQ(run.Final().PartialCount, 1);
    EXPECT_EQ(run.Final().FailedCount, 0);
    EXPECT_EQ(run.Final().RoundIndex, 0);
    EXPECT_EQ(run.list->At(0)->Success, 0);
    EXPECT_TRUE(run.handler.deleted.empty());
    EXPECT_TRUE(volume.Image().AllEqual(0, kTransfer, 0));
    EXPECT_EQ(volume.Image().CoveredBytes(), kTransfer);
    EXPECT_EQ(run.Final().TargetWrite.Current, kTransfer);
    EXPECT_EQ(volume.OpenHandles(), 0);
}

TEST(VolumeWipe, CancellingLeavesThePartialVolumeClosed)
{
    SimulatedVolume volume(kRoot, 512, 1, 200000);
    VolumeRun run;
    WiperThread* job = nullptr;
    run.handler.onProgress = [&](const WipeStateData& state) {
        if (state.TargetWrite.Current > 0 && job)
            job->Cancel();
    };
    {
        WiperThread running(13, TargetVolume, 1, *run.list, run.handler, volume);
        job = &running;
        PumpUntil([&] { return run.handler.finishedCount > 0; });
    }
    EXPECT_EQ(run.Final().State, StateCancelled);
    EXPECT_EQ(run.Final().PartialCount, 1);
    EXPECT_EQ(run.list->At(0)->Success, 0);
    EXPECT_TRUE(run.handler.deleted.empty());
    EXPECT_LT(run.Final().TargetWrite.Current, run.Final().TargetWrite.Total);
    EXPECT_EQ(volume.OpenHandles(), 0);
}

TEST(VolumeWipe, AVolumeOfTwoToThe31PlusFiveSectorsIsCoveredWhole)
{
    const int64_t sectors = (int64_t(1) << 31) + 5;
    SimulatedVolume volume(kRoot, 512, 1, sectors, false);
    volume.Image().recordEachWrite = false;
    VolumeRun run;
    run.Run(volume);
    EXPECT_TRUE(run.handler.logs.empty());
    EXPECT_EQ(run.handler.deleted, std::vector<int32_t>{0});
    EXPECT_EQ(run.Final().TargetWrite.Total, sectors * 512);
    EXPECT_EQ(run.Final().TargetWrite.Current, sectors * 512);
    const auto& covered = volume.Image().Covered();
    ASSERT_EQ(covered.size(), 1u);
    EXPECT_EQ(covered.begin()->first, 0u);
    EXPECT_EQ(covered.begin()->second, uint64_t(sectors) * 512);
    EXPECT_EQ(volume.Image().writeCount, uint64_t((sectors * 512 + kTransfer - 1) / kTransfer));
}

}  // namespace
