// The free-space job: every free run of the volume is covered by a hidden
// temporary file that the file system moves exactly onto it, and that file is
// wiped and deleted, so that no existing file is touched.
#include <cstdint>
#include <string>
#include "platform/HandleHolder.h"
#include "platform/SystemError.h"
#include "engine/VolumeBitmap.h"
#include "engine/VolumeControl.h"
#include "engine/Wiperthread.h"

namespace {
// Enough for 127 extents; a file in more pieces than that is not in place anyway.
constexpr DWORD kRetrievalBufferSize = 2048;

// A move the file system refuses because of where it was asked to go: the
// clusters are in use, reserved, or not there. Anything else means moving
// cannot work at all.
bool IsPlacementConflict(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_PARAMETER;
}
}  // namespace

void WiperThread::WipeFreeSpace()
{
    state.State = StateWiping;
    FileInfo& info = *fileList.At(state.TargetIndex);
    const std::wstring root = info.Path;
    const std::wstring device = L"\\\\.\\" + root.substr(0, 2);
    int32_t clusterSize = 0;
    int64_t totalClusters = 0, freeClusters = 0;
    if (!GetVolumeSpace(root, clusterSize, totalClusters, freeClusters)) {
        state.FailedCount += 1;
        info.Success = 0;
        return;
    }
    int64_t bytes = freeClusters * clusterSize * state.RoundCount;
    state.TargetWrite.Total = bytes * wiper->WritePassCount();
    state.TargetRead.Total = bytes * wiper->VerifyPassCount();
    unitSize = clusterSize;

    // Read access is enough for the bitmap and move requests; the volume itself is never written.
    targetHandle = io.Open(device, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                           FILE_FLAG_WRITE_THROUGH | FILE_FLAG_NO_BUFFERING);
    if (targetHandle == INVALID_HANDLE_VALUE) {
        PostSystemError(L"Log.DriveOpenError", io.LastError());
        state.FailedCount += 1;
        info.Success = 0;
        return;
    }
    bool failed = false;
    int64_t skippedClusters = 0;
    leftTempFiles.clear();
    bitmapRounding = 8;
    {
        HandleHolder holder(targetHandle, io);
        ExtentArray extents;
        for (int64_t cluster = 0; cluster < totalClusters && !failed && !CheckCancelled();
             cluster += kAnalysisWindow) {
            int64_t freeCount = 0;
            if (!AnalyzeVolume(extents, freeCount, cluster + kAnalysisWindow, cluster)) {
                failed = true;
                break;
            }
            if (freeCount != 0 && !CheckCancelled())
                failed = !WipeExtents(root, extents, skippedClusters);
            ReportProgress();
        }
    }
    RemoveLeftTempFiles();
    // Clusters that could not be covered are not wiped: the log says how many,
    // and the free space is not reported wiped.
    if (skippedClusters != 0)
        PostLog(kLogCategoryError, L"Log.FreeSpaceClustersSkipped",
                {{L"ClusterCount", std::to_wstring(skippedClusters)}});
    if (failed || skippedClusters != 0 || CheckCancelled()) {
        state.PartialCount += 1;
        info.Success = 0;
    } else {
        PostTargetDeleted(state.TargetIndex);
    }
}

bool WiperThread::WipeExtents(const std::wstring& root, ExtentArray& extents, int64_t& skippedClusters)
{
    size_t index = 0;
    while (index < extents.Count() && !CheckCancelled()) {
        HANDLE file = CreateTempFile(root, extents[index].Clusters);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        // Closing the file deletes it, on every way out of this attempt.
        HandleHolder holder(file, io);
        int code = MoveTempFile(file, extents[index]);
        if (code == MoveLocationUnknown || code == MoveFailed)
            return false;
        if (code != MovePlaced) {
            Extent& run = extents[index];
            if (run.Clusters > 1) {
                int64_t half = run.Clusters / 2;
                Extent rest{run.StartCluster + half, run.Clusters - half};
                run.Clusters = half;
                extents.InsertAfter(index, rest);
            } else {
                skippedClusters += 1;
                ++index;
            }
            continue;
        }
        if (!WipeTempFile(file, extents[index]))
            return false;
        ++index;
    }
    return true;
}

bool WiperThread::GetVolumeSpace(const std::wstring& root, int32_t& clusterSize, int64_t& totalClusters,
                                 int64_t& freeClusters)
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeCount = 0, totalCount = 0;
    uint64_t callerFreeBytes = 0, totalBytes = 0, totalFreeBytes = 0;
    if (!io.DiskFreeSpace(root, sectorsPerCluster, bytesPerSector, freeCount, totalCount) ||
        !io.DiskFreeSpaceEx(root, callerFreeBytes, totalBytes, totalFreeBytes)) {
        PostSystemError(L"Log.DriveGetSpaceError", io.LastError());
        return false;
    }
    uint64_t size = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    // A volume without a cluster size cannot be addressed (no medium, say).
    if (size == 0 || size > INT32_MAX) {
        PostSystemError(L"Log.DriveGetSpaceError", ERROR_NOT_READY);
        return false;
    }
    clusterSize = static_cast<int32_t>(size);
    totalClusters = static_cast<int64_t>(totalBytes / size);
    freeClusters = static_cast<int64_t>(totalFreeBytes / size);
    return true;
}

bool WiperThread::AnalyzeVolume(ExtentArray& extents, int64_t& freeCount, int64_t endCluster, int64_t startCluster)
{
    // What a reply taught about the system's rounding serves the later windows too.
    VolumeBitmapBuffer buffer{[this](DWORD size) { return GetScratchBuffer(size); }, bitmapRounding};
    DWORD error = ERROR_SUCCESS;
    bool scanned = ScanVolumeBitmap(io, targetHandle, buffer, startCluster, endCluster, extents, freeCount, error);
    bitmapRounding = buffer.rounding;
    if (!scanned)
        PostSystemError(L"Log.DriveAnalyzeError", error);
    return scanned;
}

HANDLE WiperThread::CreateTempFile(const std::wstring& root, int64_t clusters)
{
    std::wstring name;
    if (io.TempFileName(root, L"VQ", 0, name) == 0) {
        PostSystemError(L"Log.MakeTempFileNameError", io.LastError());
        return INVALID_HANDLE_VALUE;
    }
    HANDLE file = io.Open(name, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS,
                          FILE_FLAG_NO_BUFFERING | FILE_FLAG_DELETE_ON_CLOSE | FILE_ATTRIBUTE_HIDDEN);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = io.LastError();
        PostSystemError(L"Log.CreateTempFileError", error);
        // The empty file that naming created is ours; leave nothing behind.
        if (!io.Delete(name))
            leftTempFiles.push_back(name);
        return INVALID_HANDLE_VALUE;
    }
    HandleHolder holder(file, io);
    // File systems without compression (FAT) refuse the request as such.
    if (!SetFileCompression(io, file, COMPRESSION_FORMAT_NONE) && io.LastError() != ERROR_INVALID_FUNCTION) {
        PostSystemError(L"Log.DisableTempFileCompressionError", io.LastError());
        return INVALID_HANDLE_VALUE;
    }
    if (!io.Seek(file, clusters * unitSize)) {
        PostSystemError(L"Log.SetTempFileSizeError", io.LastError());
        return INVALID_HANDLE_VALUE;
    }
    if (!io.SetEnd(file)) {
        PostSystemError(L"Log.TruncateTempFileError", io.LastError());
        return INVALID_HANDLE_VALUE;
    }
    HANDLE result = file;
    file = INVALID_HANDLE_VALUE;  // the caller owns it now
    return result;
}

bool WiperThread::LocateTempFile(HANDLE file, bool& single, Extent& location)
{
    alignas(8) uint8_t buffer[kRetrievalBufferSize];
    auto* pointers = reinterpret_cast<RETRIEVAL_POINTERS_BUFFER*>(buffer);
    bool more = false;
    if (!GetRetrievalPointers(io, file, pointers, sizeof(buffer), more)) {
        PostSystemError(L"Log.GetTempFileLocationError", io.LastError());
        return false;
    }
    // More pieces than the buffer holds is an answer too: not in one piece.
    single = !more && pointers->ExtentCount == 1;
    if (single)
        location = {pointers->Extents[0].Lcn.QuadPart,
                    pointers->Extents[0].NextVcn.QuadPart - pointers->StartingVcn.QuadPart};
    return true;
}

int WiperThread::MoveTempFile(HANDLE file, const Extent& extent)
{
    bool single = false;
    Extent location;
    if (!LocateTempFile(file, single, location))
        return MoveLocationUnknown;
    if (single && location.StartCluster == extent.StartCluster)
        return MovePlaced;
    if (!MoveFileClusters(io, targetHandle, file, 0, extent.StartCluster, static_cast<DWORD>(extent.Clusters))) {
        DWORD error = io.LastError();
        // Refused clusters (in use, or reserved by the system) are expected and not logged.
        if (error != ERROR_ACCESS_DENIED)
            PostSystemError(L"Log.MoveTempFileError", error);
        return IsPlacementConflict(error) ? MoveRefused : MoveFailed;
    }
    if (!LocateTempFile(file, single, location))
        return MoveLocationUnknown;
    if (!single || location.StartCluster != extent.StartCluster)
        return MoveMisplaced;
    if (location.Clusters != extent.Clusters)
        return MoveWrongLength;
    return MovePlaced;
}

bool WiperThread::WipeTempFile(HANDLE file, const Extent& extent)
{
    // Rounds run per run of clusters; error offsets are positions on the volume.
    for (state.RoundIndex = 0; state.RoundIndex < state.RoundCount; ++state.RoundIndex)
        if (!RunRound(file, extent.Clusters, BlockUnits(64), extent.StartCluster * unitSize))
            return false;
    return true;
}

void WiperThread::RemoveLeftTempFiles()
{
    for (const std::wstring& name : leftTempFiles) {
        if (io.Delete(name))
            continue;
        TextVariables variables;
        AddSystemError(variables, io.LastError());
        variables[L"FileName"] = name;
        PostLog(kLogCategoryError, L"Log.TempFileDeleteError", variables);
    }
    leftTempFiles.clear();
}
