#pragma once
// The device-control requests of volume and free-space jobs, each a thin
// DeviceIoControl through the job's WipeIo with the structures of
// <winioctl.h>. Every one returns false with the thread's last error set.
#include <windows.h>
#include <winioctl.h>
#include <cstdint>
#include "engine/WipeIo.h"

bool GetPartitionInfo(WipeIo& io, HANDLE volume, PARTITION_INFORMATION& partition);
bool GetDriveGeometry(WipeIo& io, HANDLE volume, DISK_GEOMETRY& geometry);
bool DismountVolume(WipeIo& io, HANDLE volume);

// The allocation bitmap from `startCluster` on into `output` (the system
// rounds the start down to a multiple of 8). With ERROR_MORE_DATA the reply
// is valid but the rest of the volume did not fit: the call then succeeds
// with `more` set. `returned` is the size of the reply in bytes.
bool GetVolumeBitmap(WipeIo& io, HANDLE volume, int64_t startCluster, VOLUME_BITMAP_BUFFER* output,
                     DWORD outputSize, bool& more, DWORD& returned);

// Where the data of `file` lies, from virtual cluster 0 on. As with the
// bitmap, ERROR_MORE_DATA (more extents than fit) succeeds with `more` set.
bool GetRetrievalPointers(WipeIo& io, HANDLE file, RETRIEVAL_POINTERS_BUFFER* output, DWORD outputSize,
                          bool& more);

// Moves `clusters` clusters of `file` from virtual cluster `startVcn` to
// logical cluster `startLcn` of the volume.
bool MoveFileClusters(WipeIo& io, HANDLE volume, HANDLE file, int64_t startVcn, int64_t startLcn, DWORD clusters);

// FSCTL_SET_COMPRESSION with a COMPRESSION_FORMAT_ value.
bool SetFileCompression(WipeIo& io, HANDLE file, USHORT format);
