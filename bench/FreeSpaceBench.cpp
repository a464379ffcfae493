// Free-space analysis: the bitmap scan of a free-space job over a simulated
// volume of 100 million clusters, window by window as the job reads it.
// Millions of clusters per second.
#include <windows.h>
#include "Bench.h"
#include "engine/SimulatedVolume.h"
#include "engine/VolumeBitmap.h"

VARNOX_BENCHMARK(FreeSpaceAnalyze)
{
    const int64_t clusters = 100000000;
    SimulatedVolume volume(L"B:\\", 512, 8, clusters, false);
    // Runs in use of 1 to 400 clusters between free runs of 1 to 60: a
    // volume much more fragmented than most, so the scan meets a change of
    // state every 130 clusters or so.
    volume.Fragment(2024, 400, 60);
    HANDLE handle = volume.Open(volume.Device(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0);
    DWORD size = VolumeBitmapBufferSize(0, kAnalysisWindow);
    void* memory = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    VolumeBitmapBuffer buffer{[&](DWORD needed) { return needed <= size ? memory : nullptr; }};
    ExtentArray extents;
    int64_t freeTotal = 0;
    double start = Seconds();
    for (int64_t cluster = 0; cluster < clusters; cluster += kAnalysisWindow) {
        int64_t freeCount = 0;
        DWORD error = 0;
        if (!ScanVolumeBitmap(volume, handle, buffer, cluster, cluster + kAnalysisWindow, extents, freeCount, error))
            break;
        freeTotal += freeCount;
    }
    double seconds = Seconds() - start;
    VirtualFree(memory, 0, MEM_RELEASE);
    volume.Close(handle);
    // A scan that stopped early or miscounted reports nothing worth having.
    Report("freespace_analyze_mclusters_s", freeTotal == volume.FreeClusters() ? clusters / seconds / 1e6 : 0);
}
