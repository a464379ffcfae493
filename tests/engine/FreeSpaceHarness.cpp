#include "FreeSpaceHarness.h"

#include <gtest/gtest.h>

RecordingVolumeIo::RecordingVolumeIo(SimulatedVolume& volume) : FaultInjectingIo(volume)
{
    afterFlush = [this, &volume](HANDLE file) {
        snapshots.push_back({volume.FileExtents(file), volume.FileContent(file)});
    };
}

std::vector<Extent> FreeSpaceRun::WipedRuns() const
{
    std::vector<Extent> runs;
    for (const PassSnapshot& snapshot : io.snapshots) {
        if (snapshot.extents.size() != 1)
            continue;
        const Extent& extent = snapshot.extents[0];
        if (runs.empty() || runs.back().StartCluster != extent.StartCluster ||
            runs.back().Clusters != extent.Clusters)
            runs.push_back(extent);
    }
    return runs;
}

std::vector<bool> UsageOf(SimulatedVolume& volume)
{
    std::vector<bool> usage(size_t(volume.TotalClusters()));
    for (int64_t c = 0; c < volume.TotalClusters(); ++c)
        usage[size_t(c)] = volume.InUse(c);
    return usage;
}

bool ClustersEqual(SimulatedVolume& volume, int64_t start, int64_t count, uint8_t value)
{
    return volume.Image().AllEqual(uint64_t(start) * volume.ClusterSize(), uint64_t(count) * volume.ClusterSize(),
                                   value);
}

bool ClustersOriginal(SimulatedVolume& volume, int64_t start, int64_t count)
{
    uint64_t begin = uint64_t(start) * volume.ClusterSize();
    uint64_t end = begin + uint64_t(count) * volume.ClusterSize();
    for (uint64_t i = begin; i < end; ++i)
        if (volume.Image().At(i) != SectorImage::OriginalByte(i))
            return false;
    return true;
}

void ExpectVolumeIntact(SimulatedVolume& volume, const std::vector<bool>& before)
{
    EXPECT_TRUE(volume.Names().empty()) << "a temporary file was left";
    EXPECT_EQ(volume.OpenHandles(), 0);
    EXPECT_EQ(volume.volumeWriteCalls.load(), 0);
    EXPECT_EQ(volume.VolumeOpenAccess(), DWORD(GENERIC_READ));
    std::vector<bool> after = UsageOf(volume);
    ASSERT_EQ(after.size(), before.size());
    for (size_t c = 0; c < before.size(); ++c) {
        ASSERT_EQ(after[c], before[c]) << "cluster " << c;
        if (before[c]) {
            ASSERT_TRUE(ClustersOriginal(volume, int64_t(c), 1)) << "cluster in use changed: " << c;
        }
    }
}

std::vector<std::wstring> KeysWithout(const RecordingHandler& handler, const std::wstring& key)
{
    std::vector<std::wstring> keys;
    for (const LogRecord& record : handler.logs)
        if (record.key != key)
            keys.push_back(record.key);
    return keys;
}
