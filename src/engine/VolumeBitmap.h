#pragma once
// The free runs of one window of a volume, read from its allocation bitmap.
#include <windows.h>
#include <cstdint>
#include <functional>
#include "engine/Extent.h"
#include "engine/WipeIo.h"

// Clusters of the volume read per window, and the most one bitmap request asks for.
constexpr int64_t kAnalysisWindow = 4096;
constexpr int64_t kBitmapChunkLimit = 16384;

// The reply buffer of the bitmap requests of one volume. The system rounds
// the starting cluster of a request down to a boundary of its own (a multiple
// of 8 at least, far more on some file systems) and replies from there, so
// the buffer must hold the bits before the requested cluster too. It starts
// with room for a rounding of 8 and grows when a reply shows a larger one.
struct VolumeBitmapBuffer {
    // At least `size` bytes, or null when they cannot be had (the job's scratch buffer).
    std::function<void*(DWORD size)> get;
    // More than the most clusters a reply has started before the requested one.
    int64_t rounding = 8;
};

// Bytes of the reply buffer for the window [startCluster, endCluster): the
// bitmap header and one bit per cluster, from a start rounded down by less
// than `rounding` clusters.
DWORD VolumeBitmapBufferSize(int64_t startCluster, int64_t endCluster, int64_t rounding = 8);

// Fills `extents` with the free runs in [startCluster, endCluster), in
// ascending order, and `freeCount` with the free clusters there. A run never
// extends beyond the window. On failure returns false with the system's `error`.
bool ScanVolumeBitmap(WipeIo& io, HANDLE volume, VolumeBitmapBuffer& buffer, int64_t startCluster,
                      int64_t endCluster, ExtentArray& extents, int64_t& freeCount, DWORD& error);
