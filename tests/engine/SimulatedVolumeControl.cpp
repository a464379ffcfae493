// The device-control requests of the simulated volume, answered with the
// structures and errors of the real ones.
#include "SimulatedVolume.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <set>

using Lock = std::lock_guard<std::recursive_mutex>;

bool SimulatedVolume::Control(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                              DWORD outputSize, DWORD& returned)
{
    Lock lock(mutex);
    returned = 0;
    int number = ++controlCounts[code];
    for (const ControlFault& fault : controlFaults)
        if (fault.code == code && (fault.nth == number || (fault.persistent && number > fault.nth)))
            return Fail(fault.error);
    OpenHandle* open = Find(device);
    if (!open)
        return Fail(ERROR_INVALID_HANDLE);
    return open->volume ? ControlVolume(*open, code, input, inputSize, output, outputSize, returned)
                        : ControlFile(*open, code, input, inputSize, output, outputSize, returned);
}

bool SimulatedVolume::ControlFile(OpenHandle& open, DWORD code, const void* input, DWORD inputSize, void* output,
                                  DWORD outputSize, DWORD& returned)
{
    File& file = files[open.name];
    switch (code) {
    case FSCTL_SET_COMPRESSION:
        compressionRequests += 1;
        if (inputSize != sizeof(USHORT) || !input)
            return Fail(ERROR_INVALID_PARAMETER);
        return *static_cast<const USHORT*>(input) == COMPRESSION_FORMAT_NONE ? true : Fail(ERROR_INVALID_PARAMETER);
    case FSCTL_GET_RETRIEVAL_POINTERS:
        return RetrievalPointers(file, input, inputSize, output, outputSize, returned);
    default:
        return Fail(ERROR_INVALID_FUNCTION);
    }
}

bool SimulatedVolume::ControlVolume(OpenHandle&, DWORD code, const void* input, DWORD inputSize, void* output,
                                    DWORD outputSize, DWORD& returned)
{
    switch (code) {
    case IOCTL_DISK_GET_PARTITION_INFO: {
        if (outputSize < sizeof(PARTITION_INFORMATION))
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        PARTITION_INFORMATION partition{};
        partition.StartingOffset.QuadPart = 1 << 20;
        partition.PartitionLength.QuadPart = partitionLength;
        partition.PartitionNumber = 1;
        partition.PartitionType = PARTITION_IFS;
        partition.RecognizedPartition = TRUE;
        std::memcpy(output, &partition, sizeof(partition));
        returned = sizeof(partition);
        return true;
    }
    case IOCTL_DISK_GET_DRIVE_GEOMETRY: {
        if (outputSize < sizeof(DISK_GEOMETRY))
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        DISK_GEOMETRY geometry{};
        geometry.MediaType = FixedMedia;
        geometry.TracksPerCylinder = 255;
        geometry.SectorsPerTrack = 63;
        geometry.BytesPerSector = geometrySectorSize;
        geometry.Cylinders.QuadPart = geometrySectorSize ? partitionLength / geometrySectorSize / (255 * 63) : 0;
        std::memcpy(output, &geometry, sizeof(geometry));
        returned = sizeof(geometry);
        return true;
    }
    case FSCTL_DISMOUNT_VOLUME:
        if (dismountError)
            return Fail(dismountError);
        dismounted = true;
        return true;
    case FSCTL_GET_VOLUME_BITMAP:
        return Bitmap(input, inputSize, output, outputSize, returned);
    case FSCTL_MOVE_FILE:
        return MoveFile(input, inputSize);
    default:
        return Fail(ERROR_INVALID_FUNCTION);
    }
}

bool SimulatedVolume::Bitmap(const void* input, DWORD inputSize, void* output, DWORD outputSize, DWORD& returned)
{
    constexpr DWORD header = offsetof(VOLUME_BITMAP_BUFFER, Buffer);
    if (!input || inputSize < sizeof(STARTING_LCN_INPUT_BUFFER))
        return Fail(ERROR_INVALID_PARAMETER);
    if (!output || outputSize < header)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    int64_t start = static_cast<const STARTING_LCN_INPUT_BUFFER*>(input)->StartingLcn.QuadPart;
    if (start < 0 || start >= totalClusters)
        return Fail(ERROR_INVALID_PARAMETER);
    EnsureBitmap();
    start -= start % bitmapRounding;
    int64_t remaining = totalClusters - start;
    size_t needed = static_cast<size_t>((remaining + 7) / 8);
    size_t copied = std::min<size_t>(needed, outputSize - header);
    auto* reply = static_cast<VOLUME_BITMAP_BUFFER*>(output);
    reply->StartingLcn.QuadPart = start;
    reply->BitmapSize.QuadPart = remaining;
    std::memcpy(reply->Buffer, bitmap.data() + start / 8, copied);
    returned = header + static_cast<DWORD>(copied);
    return copied < needed ? Fail(ERROR_MORE_DATA) : true;
}

bool SimulatedVolume::RetrievalPointers(const File& file, const void* input, DWORD inputSize, void* output,
                                        DWORD outputSize, DWORD& returned)
{
    constexpr DWORD header = offsetof(RETRIEVAL_POINTERS_BUFFER, Extents);
    if (!input || inputSize < sizeof(STARTING_VCN_INPUT_BUFFER))
        return Fail(ERROR_INVALID_PARAMETER);
    if (!output || outputSize < sizeof(RETRIEVAL_POINTERS_BUFFER))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    int64_t startVcn = static_cast<const STARTING_VCN_INPUT_BUFFER*>(input)->StartingVcn.QuadPart;
    auto* reply = static_cast<RETRIEVAL_POINTERS_BUFFER*>(output);
    size_t room = (outputSize - header) / sizeof(reply->Extents[0]);
    int64_t vcn = 0;
    size_t count = 0;
    bool first = true;
    for (const Extent& extent : file.extents) {
        int64_t next = vcn + extent.Clusters;
        if (next > startVcn) {
            if (count == room) {
                reply->ExtentCount = static_cast<DWORD>(count);
                returned = header + static_cast<DWORD>(count * sizeof(reply->Extents[0]));
                return Fail(ERROR_MORE_DATA);
            }
            int64_t skip = first ? std::max<int64_t>(0, startVcn - vcn) : 0;
            if (first)
                reply->StartingVcn.QuadPart = vcn + skip;
            first = false;
            reply->Extents[count].NextVcn.QuadPart = next;
            reply->Extents[count].Lcn.QuadPart = extent.StartCluster + skip;
            ++count;
        }
        vcn = next;
    }
    if (count == 0)
        return Fail(ERROR_HANDLE_EOF);
    reply->ExtentCount = static_cast<DWORD>(count);
    returned = header + static_cast<DWORD>(count * sizeof(reply->Extents[0]));
    return true;
}

bool SimulatedVolume::MoveFile(const void* input, DWORD inputSize)
{
    if (!input || inputSize < sizeof(MOVE_FILE_DATA))
        return Fail(ERROR_INVALID_PARAMETER);
    const auto& request = *static_cast<const MOVE_FILE_DATA*>(input);
    if (beforeMove)
        beforeMove();
    int64_t vcn = request.StartingVcn.QuadPart, lcn = request.StartingLcn.QuadPart;
    int64_t count = request.ClusterCount;
    moves.push_back({lcn, count, false});
    File* file = FileOf(request.FileHandle);
    if (!file)
        return Fail(ERROR_INVALID_HANDLE);
    if (vcn < 0 || count <= 0 || vcn + count > Clusters(*file) || lcn < 0 || lcn + count > totalClusters)
        return Fail(ERROR_INVALID_PARAMETER);
    for (MoveRule& rule : moveRules) {
        if (rule.ignore) {
            if (rule.start == lcn)
                return true;
            continue;
        }
        if (rule.times != 0 && lcn < rule.start + rule.count && rule.start < lcn + count) {
            if (rule.times > 0)
                rule.times -= 1;
            return Fail(rule.error);
        }
    }
    // The clusters that move, in virtual order.
    std::vector<int64_t> owned;
    for (const Extent& extent : file->extents)
        for (int64_t c = extent.StartCluster; c < extent.StartCluster + extent.Clusters; ++c)
            owned.push_back(c);
    std::set<int64_t> leaving(owned.begin() + vcn, owned.begin() + vcn + count);
    for (int64_t c = lcn; c < lcn + count; ++c)
        if (InUse(c) && !leaving.count(c))
            return Fail(ERROR_ACCESS_DENIED);
    // The data moves with the clusters.
    std::vector<uint8_t> data(static_cast<size_t>(count) * clusterSize);
    for (int64_t i = 0; i < count; ++i)
        image.Read(static_cast<uint64_t>(owned[vcn + i]) * clusterSize, data.data() + i * clusterSize, clusterSize);
    for (int64_t c : leaving)
        Mark(c, false);
    for (int64_t i = 0; i < count; ++i) {
        Mark(lcn + i, true);
        owned[vcn + i] = lcn + i;
    }
    image.Write(static_cast<uint64_t>(lcn) * clusterSize, data.data(), data.size(), false);
    file->extents = Merge(owned);
    moves.back().moved = true;
    return true;
}
