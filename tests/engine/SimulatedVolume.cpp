#include "SimulatedVolume.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

using Lock = std::lock_guard<std::recursive_mutex>;

SimulatedVolume::SimulatedVolume(const std::wstring& root, uint32_t bytesPerSector, uint32_t sectorsPerCluster,
                                 int64_t totalClusters, bool keepContents)
    : partitionLength(totalClusters * bytesPerSector * sectorsPerCluster),
      geometrySectorSize(bytesPerSector),
      root(root),
      bytesPerSector(bytesPerSector),
      sectorsPerCluster(sectorsPerCluster),
      clusterSize(static_cast<int32_t>(bytesPerSector * sectorsPerCluster)),
      totalClusters(totalClusters),
      image(static_cast<uint64_t>(totalClusters) * bytesPerSector * sectorsPerCluster, keepContents)
{
}

bool SimulatedVolume::Fail(DWORD error)
{
    SetLastError(error);
    return false;
}

bool SimulatedVolume::SameName(const std::wstring& a, const std::wstring& b) const
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void SimulatedVolume::EnsureBitmap()
{
    if (bitmap.empty())
        bitmap.assign(static_cast<size_t>(totalClusters / 8 + 8), 0);
}

void SimulatedVolume::Mark(int64_t cluster, bool inUse)
{
    uint8_t& byte = bitmap[static_cast<size_t>(cluster >> 3)];
    uint8_t bit = static_cast<uint8_t>(1u << (cluster & 7));
    if (((byte & bit) != 0) == inUse)
        return;
    byte ^= bit;
    usedClusters += inUse ? 1 : -1;
}

void SimulatedVolume::SetInUse(int64_t start, int64_t count, bool inUse)
{
    Lock lock(mutex);
    EnsureBitmap();
    for (int64_t c = start; c < start + count && c < totalClusters; ++c)
        Mark(c, inUse);
}

void SimulatedVolume::AddFile(const std::wstring& path, const std::string& content)
{
    Lock lock(mutex);
    EnsureBitmap();
    File& file = files[path];
    Allocate(file, (static_cast<int64_t>(content.size()) + clusterSize - 1) / clusterSize);
    file.size = static_cast<int64_t>(content.size());
    std::vector<std::pair<int64_t, int64_t>> pieces;
    MapRange(file, 0, file.size, pieces);
    const auto* data = reinterpret_cast<const uint8_t*>(content.data());
    for (const auto& [offset, length] : pieces) {
        image.Write(static_cast<uint64_t>(offset), data, static_cast<size_t>(length), false);
        data += length;
    }
}

void SimulatedVolume::AddDirectory(const std::wstring& path)
{
    Lock lock(mutex);
    directories.insert(path);
}

bool SimulatedVolume::Exists(const std::wstring& path)
{
    Lock lock(mutex);
    return files.count(path) != 0 || directories.count(path) != 0;
}

bool SimulatedVolume::ParentExists(const std::wstring& path) const
{
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || path.size() <= root.size() || !SameName(path.substr(0, root.size()), root))
        return false;
    return slash + 1 == root.size() || directories.count(path.substr(0, slash)) != 0;
}

std::string SimulatedVolume::ContentOf(const std::wstring& path)
{
    Lock lock(mutex);
    auto found = files.find(path);
    return found == files.end() ? std::string() : Content(found->second);
}

bool SimulatedVolume::InUse(int64_t cluster)
{
    Lock lock(mutex);
    EnsureBitmap();
    return (bitmap[static_cast<size_t>(cluster >> 3)] >> (cluster & 7)) & 1;
}

int64_t SimulatedVolume::FreeClusters()
{
    Lock lock(mutex);
    return totalClusters - usedClusters;
}

void SimulatedVolume::Fragment(uint32_t seed, int64_t maxUsed, int64_t maxFree)
{
    Lock lock(mutex);
    EnsureBitmap();
    uint32_t state = seed;
    auto next = [&state](int64_t limit) {
        state = state * 1664525u + 1013904223u;
        return 1 + static_cast<int64_t>((state >> 8) % static_cast<uint32_t>(limit));
    };
    for (int64_t c = 0; c < totalClusters;) {
        int64_t used = std::min(next(maxUsed), totalClusters - c);
        SetInUse(c, used);
        c += used + std::min(next(maxFree), totalClusters - c - used);
    }
}

std::vector<Extent> SimulatedVolume::FreeRuns()
{
    Lock lock(mutex);
    std::vector<Extent> runs;
    for (int64_t c = 0; c < totalClusters; ++c) {
        if (InUse(c))
            continue;
        if (!runs.empty() && runs.back().StartCluster + runs.back().Clusters == c)
            runs.back().Clusters += 1;
        else
            runs.push_back({c, 1});
    }
    return runs;
}

void SimulatedVolume::RefuseMoves(int64_t start, int64_t count, DWORD error, int times)
{
    Lock lock(mutex);
    moveRules.push_back({start, count, error, times, false});
}

void SimulatedVolume::IgnoreMovesTo(int64_t start)
{
    Lock lock(mutex);
    moveRules.push_back({start, 1, 0, -1, true});
}

void SimulatedVolume::FailControl(DWORD code, int nth, DWORD error, bool persistent)
{
    Lock lock(mutex);
    controlFaults.push_back({code, nth, error, persistent});
}

void SimulatedVolume::BadSector(int64_t sector, DWORD error)
{
    Lock lock(mutex);
    badSectors[sector] = error;
}

std::vector<SimulatedVolume::MoveRecord> SimulatedVolume::Moves()
{
    Lock lock(mutex);
    return moves;
}

std::vector<int64_t> SimulatedVolume::TempFileSizes()
{
    Lock lock(mutex);
    return tempFileSizes;
}

std::set<std::wstring> SimulatedVolume::Names()
{
    Lock lock(mutex);
    std::set<std::wstring> names;
    for (const auto& entry : files)
        names.insert(entry.first);
    return names;
}

int SimulatedVolume::OpenHandles()
{
    Lock lock(mutex);
    return static_cast<int>(handles.size());
}

bool SimulatedVolume::Dismounted()
{
    Lock lock(mutex);
    return dismounted;
}

DWORD SimulatedVolume::VolumeOpenAccess()
{
    Lock lock(mutex);
    return volumeAccess;
}

DWORD SimulatedVolume::LastFileFlags()
{
    Lock lock(mutex);
    return lastFileFlags;
}

SimulatedVolume::OpenHandle* SimulatedVolume::Find(HANDLE handle)
{
    auto found = handles.find(handle);
    return found == handles.end() ? nullptr : &found->second;
}

SimulatedVolume::File* SimulatedVolume::FileOf(HANDLE handle)
{
    OpenHandle* open = Find(handle);
    if (!open || open->volume)
        return nullptr;
    auto found = files.find(open->name);
    return found == files.end() ? nullptr : &found->second;
}

int64_t SimulatedVolume::Clusters(const File& file) const
{
    int64_t clusters = 0;
    for (const Extent& extent : file.extents)
        clusters += extent.Clusters;
    return clusters;
}

std::vector<Extent> SimulatedVolume::Merge(const std::vector<int64_t>& clusters)
{
    std::vector<Extent> extents;
    for (int64_t c : clusters) {
        if (!extents.empty() && extents.back().StartCluster + extents.back().Clusters == c)
            extents.back().Clusters += 1;
        else
            extents.push_back({c, 1});
    }
    return extents;
}

bool SimulatedVolume::Allocate(File& file, int64_t clusters)
{
    std::vector<int64_t> owned;
    for (const Extent& extent : file.extents)
        for (int64_t c = extent.StartCluster; c < extent.StartCluster + extent.Clusters; ++c)
            owned.push_back(c);
    if (clusters < static_cast<int64_t>(owned.size())) {
        for (size_t i = static_cast<size_t>(clusters); i < owned.size(); ++i)
            Mark(owned[i], false);
        owned.resize(static_cast<size_t>(clusters));
    } else if (clusters > static_cast<int64_t>(owned.size())) {
        int64_t needed = clusters - static_cast<int64_t>(owned.size());
        if (needed > totalClusters - usedClusters)
            return Fail(ERROR_DISK_FULL);
        std::vector<int64_t> fresh;
        if (placement == Placement::HighestFree) {
            for (int64_t c = totalClusters - 1; c >= 0 && static_cast<int64_t>(fresh.size()) < needed; --c)
                if (!InUse(c))
                    fresh.push_back(c);
            std::reverse(fresh.begin(), fresh.end());
        } else {
            for (int64_t c = 0; c < totalClusters && static_cast<int64_t>(fresh.size()) < needed; ++c)
                if (!InUse(c))
                    fresh.push_back(c);
        }
        for (int64_t c : fresh) {
            Mark(c, true);
            owned.push_back(c);
        }
    }
    file.extents = Merge(owned);
    return true;
}

void SimulatedVolume::Release(File& file)
{
    for (const Extent& extent : file.extents)
        for (int64_t c = extent.StartCluster; c < extent.StartCluster + extent.Clusters; ++c)
            Mark(c, false);
    file.extents.clear();
}

bool SimulatedVolume::MapRange(const File& file, int64_t offset, int64_t bytes,
                               std::vector<std::pair<int64_t, int64_t>>& pieces)
{
    int64_t vcnBase = 0;
    for (const Extent& extent : file.extents) {
        int64_t extentStart = vcnBase * clusterSize;
        int64_t extentEnd = (vcnBase + extent.Clusters) * clusterSize;
        if (bytes > 0 && offset < extentEnd && offset >= extentStart) {
            int64_t part = std::min(bytes, extentEnd - offset);
            pieces.push_back({extent.StartCluster * clusterSize + (offset - extentStart), part});
            offset += part;
            bytes -= part;
        }
        vcnBase += extent.Clusters;
    }
    return bytes == 0;
}

std::vector<Extent> SimulatedVolume::FileExtents(HANDLE handle)
{
    Lock lock(mutex);
    File* file = FileOf(handle);
    return file ? file->extents : std::vector<Extent>{};
}

std::string SimulatedVolume::FileContent(HANDLE handle)
{
    Lock lock(mutex);
    File* file = FileOf(handle);
    return file ? Content(*file) : std::string();
}

std::string SimulatedVolume::Content(const File& file)
{
    std::string content;
    for (const Extent& extent : file.extents) {
        size_t at = content.size();
        content.resize(at + static_cast<size_t>(extent.Clusters) * clusterSize);
        image.Read(static_cast<uint64_t>(extent.StartCluster) * clusterSize, reinterpret_cast<uint8_t*>(&content[at]),
                   static_cast<size_t>(extent.Clusters) * clusterSize);
    }
    content.resize(static_cast<size_t>(file.size));
    return content;
}

HANDLE SimulatedVolume::Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                             DWORD flagsAndAttributes)
{
    Lock lock(mutex);
    (void)share;
    OpenHandle open;
    open.access = access;
    open.flags = flagsAndAttributes;
    if (SameName(path, Device())) {
        if (disposition != OPEN_EXISTING) {
            Fail(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        open.volume = true;
        volumeAccess = access;
    } else {
        if (!ParentExists(path) || directories.count(path) != 0) {
            Fail(directories.count(path) != 0 ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        auto found = files.find(path);
        if (found == files.end() && disposition == OPEN_EXISTING) {
            Fail(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        for (const auto& entry : handles)
            if (!entry.second.volume && entry.second.name == path) {
                Fail(ERROR_SHARING_VIOLATION);
                return INVALID_HANDLE_VALUE;
            }
        File& file = files[path];
        if (disposition == CREATE_ALWAYS) {
            Release(file);
            file.size = 0;
        }
        file.attributes = flagsAndAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
        open.name = path;
        lastFileFlags = flagsAndAttributes;
    }
    HANDLE handle = reinterpret_cast<HANDLE>(nextHandle);
    nextHandle += 4;
    handles[handle] = open;
    return handle;
}

bool SimulatedVolume::Seek(HANDLE handle, int64_t offset)
{
    Lock lock(mutex);
    OpenHandle* open = Find(handle);
    if (!open)
        return Fail(ERROR_INVALID_HANDLE);
    if (offset < 0)
        return Fail(ERROR_NEGATIVE_SEEK);
    open->pointer = offset;
    return true;
}

bool SimulatedVolume::Transfer(HANDLE handle, void* buffer, DWORD bytes, DWORD& done, bool write)
{
    Lock lock(mutex);
    done = 0;
    OpenHandle* open = Find(handle);
    if (!open)
        return Fail(ERROR_INVALID_HANDLE);
    if (write && !(open->access & GENERIC_WRITE))
        return Fail(ERROR_ACCESS_DENIED);
    // Unbuffered handles transfer whole sectors only.
    if ((open->flags & FILE_FLAG_NO_BUFFERING) && (open->pointer % bytesPerSector != 0 || bytes % bytesPerSector != 0))
        return Fail(ERROR_INVALID_PARAMETER);
    auto* data = static_cast<uint8_t*>(buffer);
    if (open->volume) {
        if (write) {
            volumeWriteCalls += 1;
            // A mounted file system keeps its sectors to itself.
            if (!dismounted)
                return Fail(ERROR_ACCESS_DENIED);
        }
        if (static_cast<uint64_t>(open->pointer) + bytes > static_cast<uint64_t>(partitionLength))
            return Fail(ERROR_SECTOR_NOT_FOUND);
        if (write) {
            int64_t first = open->pointer / bytesPerSector, last = (open->pointer + bytes) / bytesPerSector;
            auto bad = badSectors.lower_bound(first);
            if (bad != badSectors.end() && bad->first < last)
                return Fail(bad->second);
            image.Write(static_cast<uint64_t>(open->pointer), data, bytes);
        } else {
            image.Read(static_cast<uint64_t>(open->pointer), data, bytes);
        }
        open->pointer += bytes;
        done = bytes;
        return true;
    }
    File& file = files[open->name];
    int64_t length = write ? bytes : std::max<int64_t>(0, std::min<int64_t>(bytes, file.size - open->pointer));
    std::vector<std::pair<int64_t, int64_t>> pieces;
    if (write) {
        fileWriteCalls += 1;
        // A write may extend a file into its last cluster, never beyond its
        // clusters: temporary files are sized first, and a write past that is
        // a fault of the caller.
        if (!MapRange(file, open->pointer, length, pieces))
            return Fail(ERROR_DISK_FULL);
        file.size = std::max(file.size, open->pointer + length);
    } else if (!MapRange(file, open->pointer, length, pieces)) {
        return Fail(ERROR_READ_FAULT);
    }
    for (const auto& [volumeOffset, part] : pieces) {
        if (write)
            image.Write(static_cast<uint64_t>(volumeOffset), data, static_cast<size_t>(part));
        else
            image.Read(static_cast<uint64_t>(volumeOffset), data, static_cast<size_t>(part));
        data += part;
    }
    open->pointer += length;
    done = static_cast<DWORD>(length);
    return true;
}

bool SimulatedVolume::Read(HANDLE file, void* buffer, DWORD bytes, DWORD& done)
{
    return Transfer(file, buffer, bytes, done, false);
}

bool SimulatedVolume::Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done)
{
    return Transfer(file, const_cast<void*>(buffer), bytes, done, true);
}

bool SimulatedVolume::Flush(HANDLE file)
{
    Lock lock(mutex);
    return Find(file) ? true : Fail(ERROR_INVALID_HANDLE);
}

bool SimulatedVolume::Size(HANDLE handle, int64_t& size)
{
    Lock lock(mutex);
    File* file = FileOf(handle);
    if (!file)
        return Fail(ERROR_INVALID_HANDLE);
    size = file->size;
    return true;
}

bool SimulatedVolume::SetEnd(HANDLE handle)
{
    Lock lock(mutex);
    File* file = FileOf(handle);
    if (!file)
        return Fail(ERROR_INVALID_HANDLE);
    int64_t size = Find(handle)->pointer;
    if (!Allocate(*file, (size + clusterSize - 1) / clusterSize))
        return false;
    file->size = size;
    tempFileSizes.push_back(Clusters(*file));
    return true;
}

bool SimulatedVolume::Close(HANDLE handle)
{
    Lock lock(mutex);
    OpenHandle* open = Find(handle);
    if (!open)
        return Fail(ERROR_INVALID_HANDLE);
    if (!open->volume && (open->flags & FILE_FLAG_DELETE_ON_CLOSE)) {
        Release(files[open->name]);
        files.erase(open->name);
    }
    handles.erase(handle);
    return true;
}

bool SimulatedVolume::Delete(const std::wstring& path)
{
    Lock lock(mutex);
    auto found = files.find(path);
    if (found == files.end())
        return Fail(ERROR_FILE_NOT_FOUND);
    for (const auto& entry : handles)
        if (!entry.second.volume && entry.second.name == path)
            return Fail(ERROR_SHARING_VIOLATION);
    Release(found->second);
    files.erase(found);
    return true;
}

bool SimulatedVolume::RemoveDir(const std::wstring& path)
{
    Lock lock(mutex);
    if (directories.count(path) == 0)
        return Fail(ERROR_FILE_NOT_FOUND);
    const std::wstring inside = path + L"\\";
    for (const auto& entry : files)
        if (entry.first.rfind(inside, 0) == 0)
            return Fail(ERROR_DIR_NOT_EMPTY);
    for (const std::wstring& directory : directories)
        if (directory.rfind(inside, 0) == 0)
            return Fail(ERROR_DIR_NOT_EMPTY);
    directories.erase(path);
    return true;
}

DWORD SimulatedVolume::Attributes(const std::wstring& path)
{
    Lock lock(mutex);
    if (SameName(path, root) || directories.count(path) != 0)
        return FILE_ATTRIBUTE_DIRECTORY;
    auto found = files.find(path);
    if (found == files.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return found->second.attributes ? found->second.attributes : FILE_ATTRIBUTE_NORMAL;
}

bool SimulatedVolume::DiskFreeSpace(const std::wstring& path, DWORD& sectorsPerClusterOut, DWORD& bytesPerSectorOut,
                                    DWORD& freeClustersOut, DWORD& totalClustersOut)
{
    Lock lock(mutex);
    if (!SameName(path, root))
        return Fail(ERROR_PATH_NOT_FOUND);
    sectorsPerClusterOut = sectorsPerCluster;
    bytesPerSectorOut = bytesPerSector;
    freeClustersOut = static_cast<DWORD>(std::min<int64_t>(totalClusters - usedClusters, 0xFFFFFFFF));
    totalClustersOut = static_cast<DWORD>(std::min<int64_t>(totalClusters, 0xFFFFFFFF));
    return true;
}

bool SimulatedVolume::DiskFreeSpaceEx(const std::wstring& path, uint64_t& callerFreeBytes, uint64_t& totalBytes,
                                      uint64_t& totalFreeBytes)
{
    Lock lock(mutex);
    if (!SameName(path, root))
        return Fail(ERROR_PATH_NOT_FOUND);
    totalBytes = static_cast<uint64_t>(totalClusters) * clusterSize;
    totalFreeBytes = static_cast<uint64_t>(totalClusters - usedClusters) * clusterSize;
    callerFreeBytes = totalFreeBytes;
    return true;
}

UINT SimulatedVolume::TempFileName(const std::wstring& directory, const std::wstring& prefix, UINT unique,
                                   std::wstring& name)
{
    Lock lock(mutex);
    name.clear();
    if (!SameName(directory, root)) {
        SetLastError(ERROR_DIRECTORY);
        return 0;
    }
    UINT number = unique ? unique : nextUnique++;
    wchar_t digits[16];
    swprintf(digits, 16, L"%X", number & 0xFFFF);
    name = root + prefix.substr(0, 3) + digits + L".tmp";
    if (!unique)
        files[name];  // made empty, as the system does
    return number;
}
