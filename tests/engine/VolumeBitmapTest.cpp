// The free-run scan of a window against a cluster-by-cluster reading of the
// same bitmap, on windows and volumes of awkward sizes.
#include <gtest/gtest.h>

#include "SimulatedVolume.h"
#include "engine/VolumeBitmap.h"

namespace {

struct Scan {
    std::vector<Extent> runs;
    int64_t freeCount = 0;
};

Scan Reference(SimulatedVolume& volume, int64_t start, int64_t end)
{
    Scan scan;
    for (int64_t c = start; c < std::min(end, volume.TotalClusters()); ++c) {
        if (volume.InUse(c))
            continue;
        scan.freeCount += 1;
        if (!scan.runs.empty() && scan.runs.back().StartCluster + scan.runs.back().Clusters == c)
            scan.runs.back().Clusters += 1;
        else
            scan.runs.push_back({c, 1});
    }
    return scan;
}

bool Same(const ExtentArray& extents, const std::vector<Extent>& runs)
{
    if (extents.Count() != runs.size())
        return false;
    for (size_t i = 0; i < runs.size(); ++i)
        if (extents[i].StartCluster != runs[i].StartCluster || extents[i].Clusters != runs[i].Clusters)
            return false;
    return true;
}

class ScanFixture {
public:
    explicit ScanFixture(SimulatedVolume& volume) : volume(volume)
    {
        handle = volume.Open(volume.Device(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    }
    ~ScanFixture()
    {
        Release();
        volume.Close(handle);
    }
    bool Run(int64_t start, int64_t end, ExtentArray& extents, int64_t& freeCount, DWORD& error)
    {
        VolumeBitmapBuffer buffer{[this](DWORD size) { return Guarded(size); }, rounding};
        bool ok = ScanVolumeBitmap(volume, handle, buffer, start, end, extents, freeCount, error);
        rounding = buffer.rounding;
        return ok;
    }
    // What the scans have learnt of the volume's rounding.
    int64_t rounding = 8;

private:
    // `size` bytes that end right before a page that cannot be read, so that
    // a scan reading past them crashes the test.
    void* Guarded(DWORD size)
    {
        Release();
        const DWORD pages = (size + 4095) / 4096 * 4096;
        base = static_cast<uint8_t*>(VirtualAlloc(nullptr, pages + 4096, MEM_RESERVE, PAGE_NOACCESS));
        VirtualAlloc(base, pages, MEM_COMMIT, PAGE_READWRITE);
        return base + pages - size;
    }
    void Release()
    {
        if (base)
            VirtualFree(base, 0, MEM_RELEASE);
        base = nullptr;
    }

    SimulatedVolume& volume;
    HANDLE handle;
    uint8_t* base = nullptr;
};

// Windows that start on a multiple of 8 and off it, whole, partial and larger
// than one request (several replies with ERROR_MORE_DATA).
const std::vector<std::pair<int64_t, int64_t>> kWindows = {
    {0, 4096}, {4096, 4096}, {8192, 4096}, {3, 4096}, {4093, 100}, {0, 40000}, {17, 65536}, {100, 1}, {40000, 4096}};

void ExpectSameRunsAsTheReference(SimulatedVolume& volume, ScanFixture& fixture)
{
    for (auto [start, length] : kWindows) {
        if (start >= volume.TotalClusters())
            continue;
        SCOPED_TRACE(std::to_string(volume.TotalClusters()) + " clusters, window at " + std::to_string(start));
        ExtentArray extents;
        int64_t freeCount = -1;
        DWORD error = 0;
        ASSERT_TRUE(fixture.Run(start, start + length, extents, freeCount, error));
        Scan expected = Reference(volume, start, start + length);
        EXPECT_EQ(freeCount, expected.freeCount);
        EXPECT_TRUE(Same(extents, expected.runs));
    }
}

TEST(VolumeBitmap, FindsTheSameRunsAsAClusterByClusterReading)
{
    struct Layout {
        int64_t clusters;
        int64_t maxUsed, maxFree;
    };
    for (Layout layout : {Layout{9001, 40, 40}, Layout{70000, 3, 3}, Layout{50000, 900, 2000}, Layout{333, 1, 1}}) {
        SimulatedVolume volume(L"B:\\", 512, 1, layout.clusters, false);
        volume.Fragment(uint32_t(layout.clusters), layout.maxUsed, layout.maxFree);
        ScanFixture fixture(volume);
        ExpectSameRunsAsTheReference(volume, fixture);
        EXPECT_EQ(fixture.rounding, 8);
    }
}

TEST(VolumeBitmap, AStartRoundedDownFarMoreThanEightIsCoveredByAGrowingBuffer)
{
    for (int64_t rounding : {64, 4096, 32768}) {
        SCOPED_TRACE(rounding);
        SimulatedVolume volume(L"B:\\", 512, 1, 70000, false);
        volume.Fragment(uint32_t(rounding), 30, 50);
        volume.bitmapRounding = rounding;
        ScanFixture fixture(volume);
        ExpectSameRunsAsTheReference(volume, fixture);
        EXPECT_GT(fixture.rounding, 8);
        EXPECT_LE(fixture.rounding, rounding + 8);
    }
}

TEST(VolumeBitmap, AFreeVolumeEndIsOneRunAndBitsBeyondTheVolumeAreIgnored)
{
    SimulatedVolume volume(L"B:\\", 512, 1, 4100, false);
    volume.SetInUse(0, 4090);
    ScanFixture fixture(volume);
    ExtentArray extents;
    int64_t freeCount = 0;
    DWORD error = 0;
    ASSERT_TRUE(fixture.Run(4096, 8192, extents, freeCount, error));
    ASSERT_EQ(extents.Count(), 1u);
    EXPECT_EQ(extents[0].StartCluster, 4096);
    EXPECT_EQ(extents[0].Clusters, 4);
    EXPECT_EQ(freeCount, 4);
}

TEST(VolumeBitmap, ARefusedRequestIsTheSystemsError)
{
    SimulatedVolume volume(L"B:\\", 512, 1, 30000, false);
    volume.FailControl(FSCTL_GET_VOLUME_BITMAP, 2, ERROR_IO_DEVICE);
    ScanFixture fixture(volume);
    ExtentArray extents;
    int64_t freeCount = 0;
    DWORD error = 0;
    // The window needs two requests; the second fails.
    EXPECT_FALSE(fixture.Run(0, 30000, extents, freeCount, error));
    EXPECT_EQ(error, DWORD(ERROR_IO_DEVICE));
}

TEST(ExtentArray, InsertsAfterAnElement)
{
    ExtentArray extents;
    extents.Add({0, 3});
    extents.Add({10, 1});
    extents.InsertAfter(0, {1, 2});
    ASSERT_EQ(extents.Count(), 3u);
    EXPECT_EQ(extents[1].StartCluster, 1);
    EXPECT_EQ(extents[2].StartCluster, 10);
}

}  // namespace
