#pragma once
// The free runs of one window of a volume, read from its allocation bitmap.
#include <windows.h>
#include <cstdint>
#include "engine/Extent.h"
#include "engine/WipeIo.h"

// Clusters of the volume read per window, and the most one bitmap request asks for.
constexpr int64_t kAnalysisWindow = 4096;
constexpr int64_t kBitmapChunkLimit = 16384;

// Bytes of the reply buffer for the window [startCluster, endCluster): the
// bitmap header and one bit per cluster, with room for the system rounding
// the start down to a multiple of 8.
DWORD VolumeBitmapBufferSize(int64_t startCluster, int64_t endCluster);

// Fills `extents` with the free runs in [startCluster, endCluster), in
// ascending order, and `freeCount` with the free clusters there. A run never
// extends beyond the window. `buffer` holds VolumeBitmapBufferSize bytes.
// On failure returns false with the system's `error`.
bool ScanVolumeBitmap(WipeIo& io, HANDLE volume, void* buffer, int64_t startCluster, int64_t endCluster,
                      ExtentArray& extents, int64_t& freeCount, DWORD& error);
