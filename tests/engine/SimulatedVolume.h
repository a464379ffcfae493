#pragma once
// An NTFS-like volume behind the WipeIo seam, for testing free-space and
// volume jobs byte for byte without ever touching a real device. It answers
// for one root (say V:\) and its raw device (\\.\V:): an allocation bitmap
// served in pages with ERROR_MORE_DATA like the real request, files with
// extents that the simulated file system places where it chooses, moves that
// land exactly or are refused per cluster range, a sector image recording
// every write, partition and geometry answers and a dismount that can be
// refused. Any control request can be failed on its own; wrap the volume in
// a FaultInjectingIo to fail any other call. Safe to call from a job's worker
// thread while a test thread reads the counters.
#include <windows.h>
#include <winioctl.h>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>
#include "SectorImage.h"
#include "engine/Extent.h"
#include "engine/WipeIo.h"

class SimulatedVolume : public WipeIo {
public:
    // `root` is a drive root such as L"V:\\". Without `keepContents` the image
    // records writes only (for volumes too large to hold).
    SimulatedVolume(const std::wstring& root, uint32_t bytesPerSector, uint32_t sectorsPerCluster,
                    int64_t totalClusters, bool keepContents = true);

    std::wstring Root() const { return root; }
    std::wstring Device() const { return L"\\\\.\\" + root.substr(0, 2); }
    int32_t ClusterSize() const { return clusterSize; }
    int64_t TotalClusters() const { return totalClusters; }

    // Clusters held by files that are not ours.
    void SetInUse(int64_t start, int64_t count, bool inUse = true);
    // A file with `content` and a folder, at a path below the root (in the
    // root or in a folder added before), as a user has them; the file's
    // clusters are placed as new files' are.
    void AddFile(const std::wstring& path, const std::string& content);
    void AddDirectory(const std::wstring& path);
    bool Exists(const std::wstring& path);
    // The bytes of the file at `path`.
    std::string ContentOf(const std::wstring& path);
    bool InUse(int64_t cluster);
    int64_t FreeClusters();
    // Alternating runs in use and free, of 1 to `maxUsed` and 1 to `maxFree`
    // clusters, from a fixed seed: a realistically fragmented volume.
    void Fragment(uint32_t seed, int64_t maxUsed, int64_t maxFree);
    // The free runs, in order.
    std::vector<Extent> FreeRuns();

    // Where new files get their clusters.
    enum class Placement { HighestFree, LowestFree };
    Placement placement = Placement::HighestFree;
    // Moves whose destination overlaps [start, start + count) fail with
    // `error` (`times` times, or always when negative).
    void RefuseMoves(int64_t start, int64_t count, DWORD error, int times = -1);
    // Moves whose destination starts at `start` report success but move nothing.
    void IgnoreMovesTo(int64_t start);
    // The `nth` request with `code` (1-based) fails with `error`; with `persistent` every later one too.
    void FailControl(DWORD code, int nth, DWORD error, bool persistent = false);
    // Writes to the raw device covering `sector` fail with `error`.
    void BadSector(int64_t sector, DWORD error);
    // Runs before every move request is served, inside the request.
    std::function<void()> beforeMove;

    // The bitmap request rounds its starting cluster down to a multiple of
    // this; 8 is what the request promises, file systems may round further.
    int64_t bitmapRounding = 8;
    // What the partition and geometry requests answer.
    int64_t partitionLength;
    uint32_t geometrySectorSize;
    DWORD dismountError = 0;  // non-zero: the dismount is refused with it

    SectorImage& Image() { return image; }
    // Observations.
    struct MoveRecord {
        int64_t startCluster;
        int64_t clusters;
        bool moved;
    };
    std::vector<MoveRecord> Moves();
    std::vector<int64_t> TempFileSizes();  // clusters of every temporary file, in order of sizing
    std::set<std::wstring> Names();        // files present
    int OpenHandles();
    bool Dismounted();
    DWORD VolumeOpenAccess();
    DWORD LastFileFlags();
    std::atomic<int64_t> volumeWriteCalls{0};
    std::atomic<int64_t> fileWriteCalls{0};
    std::atomic<int64_t> compressionRequests{0};

    // The extents and the bytes of an open file.
    std::vector<Extent> FileExtents(HANDLE file);
    std::string FileContent(HANDLE file);

    HANDLE Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                DWORD flagsAndAttributes) override;
    bool Seek(HANDLE file, int64_t offset) override;
    bool Read(HANDLE file, void* buffer, DWORD bytes, DWORD& done) override;
    bool Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done) override;
    bool Flush(HANDLE file) override;
    bool Size(HANDLE file, int64_t& size) override;
    bool SetEnd(HANDLE file) override;
    bool Close(HANDLE handle) override;
    bool Delete(const std::wstring& path) override;
    bool RemoveDir(const std::wstring& path) override;
    DWORD Attributes(const std::wstring& path) override;
    bool DiskFreeSpace(const std::wstring& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                       DWORD& freeClusters, DWORD& totalClusters) override;
    bool DiskFreeSpaceEx(const std::wstring& root, uint64_t& callerFreeBytes, uint64_t& totalBytes,
                         uint64_t& totalFreeBytes) override;
    UINT TempFileName(const std::wstring& directory, const std::wstring& prefix, UINT unique,
                      std::wstring& name) override;
    bool Control(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                 DWORD outputSize, DWORD& returned) override;
    DWORD LastError() override { return GetLastError(); }

private:
    struct File {
        std::vector<Extent> extents;  // in virtual cluster order
        int64_t size = 0;
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    };
    struct OpenHandle {
        bool volume = false;
        std::wstring name;
        DWORD access = 0;
        DWORD flags = 0;
        int64_t pointer = 0;
    };
    struct MoveRule {
        int64_t start, count;
        DWORD error;
        int times;
        bool ignore;
    };
    struct ControlFault {
        DWORD code;
        int nth;
        DWORD error;
        bool persistent;
    };

    bool Fail(DWORD error);
    OpenHandle* Find(HANDLE handle);
    File* FileOf(HANDLE handle);
    bool SameName(const std::wstring& a, const std::wstring& b) const;
    // The root, or a folder that exists, holds `path`.
    bool ParentExists(const std::wstring& path) const;
    std::string Content(const File& file);
    void EnsureBitmap();
    void Mark(int64_t cluster, bool inUse);
    int64_t Clusters(const File& file) const;
    // Grows or shrinks the file's allocation to `clusters`.
    bool Allocate(File& file, int64_t clusters);
    void Release(File& file);
    // Maps a byte range of a file onto the volume; false beyond its clusters.
    bool MapRange(const File& file, int64_t offset, int64_t bytes, std::vector<std::pair<int64_t, int64_t>>& pieces);
    bool Transfer(HANDLE handle, void* buffer, DWORD bytes, DWORD& done, bool write);
    bool ControlFile(OpenHandle& handle, DWORD code, const void* input, DWORD inputSize, void* output,
                     DWORD outputSize, DWORD& returned);
    bool ControlVolume(OpenHandle& handle, DWORD code, const void* input, DWORD inputSize, void* output,
                       DWORD outputSize, DWORD& returned);
    bool Bitmap(const void* input, DWORD inputSize, void* output, DWORD outputSize, DWORD& returned);
    bool RetrievalPointers(const File& file, const void* input, DWORD inputSize, void* output, DWORD outputSize,
                           DWORD& returned);
    bool MoveFile(const void* input, DWORD inputSize);
    static std::vector<Extent> Merge(const std::vector<int64_t>& clusters);

    std::recursive_mutex mutex;
    const std::wstring root;
    const uint32_t bytesPerSector;
    const uint32_t sectorsPerCluster;
    const int32_t clusterSize;
    const int64_t totalClusters;
    std::vector<uint8_t> bitmap;  // made on first use: huge volumes that are only wiped whole need none
    int64_t usedClusters = 0;
    SectorImage image;
    std::map<std::wstring, File> files;
    std::set<std::wstring> directories;
    std::map<HANDLE, OpenHandle> handles;
    uintptr_t nextHandle = 0x7A000;
    UINT nextUnique = 0x1000;
    bool dismounted = false;
    DWORD volumeAccess = 0;
    DWORD lastFileFlags = 0;
    std::vector<MoveRule> moveRules;
    std::vector<ControlFault> controlFaults;
    std::map<DWORD, int> controlCounts;
    std::map<int64_t, DWORD> badSectors;
    std::vector<MoveRecord> moves;
    std::vector<int64_t> tempFileSizes;
};
