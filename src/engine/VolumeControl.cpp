#include "engine/VolumeControl.h"

bool GetPartitionInfo(WipeIo& io, HANDLE volume, PARTITION_INFORMATION& partition)
{
    DWORD returned = 0;
    return io.Control(volume, IOCTL_DISK_GET_PARTITION_INFO, nullptr, 0, &partition, sizeof(partition), returned);
}

bool GetDriveGeometry(WipeIo& io, HANDLE volume, DISK_GEOMETRY& geometry)
{
    DWORD returned = 0;
    return io.Control(volume, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof(geometry), returned);
}

bool DismountVolume(WipeIo& io, HANDLE volume)
{
    DWORD returned = 0;
    return io.Control(volume, FSCTL_DISMOUNT_VOLUME, nullptr, 0, nullptr, 0, returned);
}

bool GetVolumeBitmap(WipeIo& io, HANDLE volume, int64_t startCluster, VOLUME_BITMAP_BUFFER* output,
                     DWORD outputSize, bool& more, DWORD& returned)
{
    STARTING_LCN_INPUT_BUFFER input{};
    input.StartingLcn.QuadPart = startCluster;
    more = false;
    if (io.Control(volume, FSCTL_GET_VOLUME_BITMAP, &input, sizeof(input), output, outputSize, returned))
        return true;
    more = io.LastError() == ERROR_MORE_DATA;
    return more;
}

bool GetRetrievalPointers(WipeIo& io, HANDLE file, RETRIEVAL_POINTERS_BUFFER* output, DWORD outputSize,
                          bool& more)
{
    STARTING_VCN_INPUT_BUFFER input{};
    input.StartingVcn.QuadPart = 0;
    DWORD returned = 0;
    more = false;
    if (io.Control(file, FSCTL_GET_RETRIEVAL_POINTERS, &input, sizeof(input), output, outputSize, returned))
        return true;
    more = io.LastError() == ERROR_MORE_DATA;
    return more;
}

bool MoveFileClusters(WipeIo& io, HANDLE volume, HANDLE file, int64_t startVcn, int64_t startLcn, DWORD clusters)
{
    MOVE_FILE_DATA input{};
    input.FileHandle = file;
    input.StartingVcn.QuadPart = startVcn;
    input.StartingLcn.QuadPart = startLcn;
    input.ClusterCount = clusters;
    DWORD returned = 0;
    return io.Control(volume, FSCTL_MOVE_FILE, &input, sizeof(input), nullptr, 0, returned);
}

bool SetFileCompression(WipeIo& io, HANDLE file, USHORT format)
{
    DWORD returned = 0;
    return io.Control(file, FSCTL_SET_COMPRESSION, &format, sizeof(format), nullptr, 0, returned);
}
