// The volume job: the whole volume is overwritten sector by sector through
// its raw device, after the file system has let go of it.
#include "platform/HandleHolder.h"
#include "engine/VolumeControl.h"
#include "engine/Wiperthread.h"

void WiperThread::WipeVolume()
{
    state.State = StateWiping;
    FileInfo& info = *fileList.At(state.TargetIndex);
    const std::wstring device = L"\\\\.\\" + info.Path.substr(0, 2);
    targetHandle = io.Open(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                           FILE_FLAG_WRITE_THROUGH | FILE_FLAG_NO_BUFFERING);
    if (targetHandle == INVALID_HANDLE_VALUE) {
        PostSystemError(L"Log.DriveOpenError", io.LastError());
        state.FailedCount += 1;
        info.Success = 0;
        return;
    }
    bool complete = true;
    {
        HandleHolder holder(targetHandle, io);
        PARTITION_INFORMATION partition{};
        DISK_GEOMETRY geometry{};
        bool known = GetPartitionInfo(io, targetHandle, partition) && GetDriveGeometry(io, targetHandle, geometry) &&
                     geometry.BytesPerSector != 0 && geometry.BytesPerSector <= 65536 &&
                     partition.PartitionLength.QuadPart >= static_cast<int64_t>(geometry.BytesPerSector);
        // Without a size there is nothing that could be wiped whole: reported as a drive not ready.
        if (!known) {
            PostSystemError(L"Log.DriveOpenError", ERROR_NOT_READY);
            state.FailedCount += 1;
            info.Success = 0;
            return;
        }
        // Sector 0 is the first sector of the volume; the partition's offset on the disk is not used.
        unitSize = static_cast<int32_t>(geometry.BytesPerSector);
        int64_t units = partition.PartitionLength.QuadPart / unitSize;
        if (!DismountVolume(io, targetHandle)) {
            PostSystemError(L"Log.DriveUnmountError", io.LastError());
            state.FailedCount += 1;
            info.Success = 0;
            return;
        }
        for (state.RoundIndex = 0; state.RoundIndex < state.RoundCount; ++state.RoundIndex) {
            if (!WipeRound(units) || CheckCancelled()) {
                complete = false;
                break;
            }
        }
    }
    if (!complete) {
        state.PartialCount += 1;
        info.Success = 0;
    } else {
        PostTargetDeleted(state.TargetIndex);
    }
}
