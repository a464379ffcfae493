// The exhaustive fault loop. A file job and a free-space job run on a
// simulated volume again and again: for every k up to the number of calls a
// clean run makes, once with the k-th call failed, once with it failed after
// moving part of its data (a transfer that fails on its way), once with every
// call from the k-th on failed, and once cancelled from inside the k-th call,
// for one method of each family. After every run the invariants that no fault may
// break are checked; the first run that breaks one stops the loop. Each job
// has a target of several transfers, so that calls fail on the writer's
// thread while the next transfer waits behind them.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include "FaultInjectingIo.h"
#include "JobHarness.h"
#include "SimulatedVolume.h"

namespace {

const std::wstring kRoot = L"V:\\";
// Bytes per transfer of a file job on 512-byte sectors.
constexpr size_t kTransfer = TransferWriter::TransferBytes(512 * 512);

struct Family {
    const char* name;
    int method;
    int rounds;
    int passes;  // per round
    DWORD error;  // what failing calls fail with
};

// Access denied also drives the free-space job's halving; a device error ends targets.
const Family kFamilies[] = {{"zero", 2, 2, 1, ERROR_ACCESS_DENIED},
                            {"pattern", 7, 1, 4, ERROR_IO_DEVICE},
                            {"random", 3, 1, 1, ERROR_ACCESS_DENIED},
                            {"verified", 5, 1, 4, ERROR_IO_DEVICE}};

enum class Fault { None, Once, PartWay, FromThereOn, Cancel };

// Watches what a job does: the bytes each completed pass moved per path, the
// paths it touched, the temporary files it made, and how far a file's passes
// had got when the job asked to delete it.
class WatchingIo : public FaultInjectingIo {
public:
    explicit WatchingIo(SimulatedVolume& volume) : FaultInjectingIo(volume) {}

    HANDLE Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override
    {
        touched.insert(path);
        HANDLE handle = FaultInjectingIo::Open(path, access, share, disposition, flags);
        if (handle != INVALID_HANDLE_VALUE)
            names[handle] = path;
        return handle;
    }
    bool Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done) override
    {
        writingThreads.insert(GetCurrentThreadId());
        bool ok = FaultInjectingIo::Write(file, buffer, bytes, done);
        moved[file] += done;
        return ok;
    }
    bool Read(HANDLE file, void* buffer, DWORD bytes, DWORD& done) override
    {
        bool ok = FaultInjectingIo::Read(file, buffer, bytes, done);
        moved[file] += done;
        return ok;
    }
    bool Flush(HANDLE file) override
    {
        bool ok = FaultInjectingIo::Flush(file);
        if (ok)
            passes[names[file]].push_back(moved[file]);
        moved[file] = 0;
        return ok;
    }
    bool Close(HANDLE handle) override
    {
        names.erase(handle);
        moved.erase(handle);
        return FaultInjectingIo::Close(handle);
    }
    bool Delete(const std::wstring& path) override
    {
        deleteAttempts.push_back({path, passes[path].size()});
        return FaultInjectingIo::Delete(path);
    }
    bool RemoveDir(const std::wstring& path) override
    {
        touched.insert(path);
        return FaultInjectingIo::RemoveDir(path);
    }
    DWORD Attributes(const std::wstring& path) override
    {
        touched.insert(path);
        return FaultInjectingIo::Attributes(path);
    }
    UINT TempFileName(const std::wstring& directory, const std::wstring& prefix, UINT unique,
                      std::wstring& name) override
    {
        UINT number = FaultInjectingIo::TempFileName(directory, prefix, unique, name);
        if (number != 0)
            tempNames.insert(name);
        return number;
    }

    std::map<HANDLE, std::wstring> names;
    std::map<HANDLE, int64_t> moved;
    std::map<std::wstring, std::vector<int64_t>> passes;
    std::set<std::wstring> touched, tempNames;
    std::set<DWORD> writingThreads;
    std::vector<std::pair<std::wstring, size_t>> deleteAttempts;
};

// Collects what a run broke.
class Problems {
public:
    void Check(bool holds, const std::string& what)
    {
        if (!holds)
            text << "\n  " << what;
    }
    std::string Text() const { return text.str(); }

private:
    std::ostringstream text;
};

void ArmFault(FaultInjectingIo& io, Fault fault, int k, DWORD error)
{
    if (fault == Fault::Once || fault == Fault::FromThereOn)
        io.Fail(IoCall::Count, k, error, fault == Fault::FromThereOn);
    else if (fault == Fault::PartWay)
        io.FailPartWay(IoCall::Count, k, error);
    else if (fault == Fault::Cancel)
        io.CancelAt(IoCall::Count, k);
}

// What every job must leave, whatever it met.
void CheckEveryJob(Problems& problems, const WatchingIo& io, SimulatedVolume& volume, const RecordingHandler& handler,
                   size_t maxRecords)
{
    const WipeStateData& state = handler.finalState;
    problems.Check(handler.finishedCount == 1 && handler.afterFinished == 0, "the last message is OnFinished, once");
    problems.Check(io.Opened() == io.Closed(), "handles opened = handles closed");
    problems.Check(volume.OpenHandles() == 0, "no handle left open on the volume");
    problems.Check(handler.logs.size() <= maxRecords, "at most " + std::to_string(maxRecords) + " records, not " +
                                                          std::to_string(handler.logs.size()));
    problems.Check(state.State == (io.CancelSent() ? StateCancelled : StateCompleted), "Completed, or Cancelled if cancelled");
    problems.Check(io.writesAfterCancel == 0, "nothing written after the cancel");
    problems.Check(io.removedDirsAfterCancel == 0, "no folder removed after the cancel");
    for (const std::wstring& path : io.deletedAfterCancel)
        problems.Check(io.tempNames.count(path) != 0, "nothing but the job's own files deleted after the cancel");
    problems.Check(state.TargetWrite.Current <= state.TargetWrite.Total &&
                       state.TargetRead.Current <= state.TargetRead.Total,
                   "progress of the target at most 100 %");
    problems.Check(state.TotalWrite.Current <= state.TotalWrite.Total || state.TargetType != TargetFiles,
                   "progress of the job at most 100 %");
    // A temporary file left behind is one the system would not remove, and the log names it.
    std::set<std::wstring> named;
    for (const LogRecord& record : handler.logs)
        if (record.key == L"Log.TempFileDeleteError")
            named.insert(record.variables.at(L"FileName"));
    for (const std::wstring& name : volume.Names())
        if (io.tempNames.count(name))
            problems.Check(named.count(name) != 0, "temporary file left behind unnamed");
}

// The file job's world: files in the root and in a folder, a folder, and a
// file nobody selected.
struct FileJobWorld {
    struct Item {
        std::wstring directory, name;
        std::string content;
        bool folder;
        std::wstring Path() const { return directory == kRoot ? kRoot + name : directory + L"\\" + name; }
    };
    const std::vector<Item> items = {{kRoot, L"a", std::string(kTransfer + 600 * 512 + 100, 'a'), false},
                                     {kRoot + L"d", L"b", "b", false},
                                     {kRoot, L"c", "", false},
                                     {kRoot, L"d", "", true}};
    const std::wstring other = kRoot + L"other";

    FileJobWorld()
    {
        volume.AddDirectory(kRoot + L"d");
        for (const Item& item : items)
            if (!item.folder)
                volume.AddFile(item.Path(), item.content);
        volume.AddFile(other, "not selected");
        for (const Item& item : items) {
            WIN32_FIND_DATAW entry{};
            wcsncpy(entry.cFileName, item.name.c_str(), MAX_PATH - 1);
            entry.dwFileAttributes = item.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
            entry.nFileSizeLow = static_cast<DWORD>(item.content.size());
            list.Add(new FileInfo(item.directory, entry));
        }
    }

    SimulatedVolume volume{kRoot, 512, 8, int64_t(kTransfer / 4096 + 1024)};
    FileList list;
};

std::string CheckFileJob(FileJobWorld& world, WatchingIo& io, const RecordingHandler& handler, const Family& family)
{
    Problems problems;
    const int32_t count = world.list.Count();
    CheckEveryJob(problems, io, world.volume, handler, size_t(2 * count + 1));
    const WipeStateData& state = handler.finalState;
    const size_t passes = size_t(family.passes * family.rounds);
    int failures = 0, kept = 0, failedOutcomes = 0;
    std::vector<int32_t> destroyed;
    for (int32_t i = 0; i < count; ++i) {
        const FileInfo& target = *world.list.At(i);
        const FileJobWorld::Item* item = nullptr;
        for (const FileJobWorld::Item& candidate : world.items)
            if (candidate.Path() == target.Path)
                item = &candidate;
        const bool gone = !world.volume.Exists(target.Path);
        const bool started = io.touched.count(target.Path) != 0;
        const std::string name(target.Path.begin(), target.Path.end());
        problems.Check(gone == (target.Success == 1), name + ": Success set exactly when it is gone");
        problems.Check(target.Success == (target.Outcome == OutcomeDestroyed), name + ": destroyed exactly when Success");
        kept += target.Outcome == OutcomeKept;
        failedOutcomes += target.Outcome == OutcomeFailed;
        if (target.IsFile && target.Success) {
            // Every pass of every round moved the whole file, in whole sectors.
            const int64_t bytes = (static_cast<int64_t>(item->content.size()) + 511) / 512 * 512;
            auto found = io.passes.find(target.Path);
            bool everyPass = found != io.passes.end() && found->second.size() == passes;
            for (size_t p = 0; everyPass && p < passes; ++p)
                everyPass = found->second[p] == bytes;
            problems.Check(everyPass, name + ": destroyed only after every pass of every round");
        }
        if (!started) {
            problems.Check(target.Success == 0, name + ": a target never started is not reported destroyed");
            if (target.IsFile)
                problems.Check(world.volume.ContentOf(target.Path) == item->content, name + ": untouched");
        } else if (!target.Success) {
            failures += 1;
        }
        if (target.Success)
            destroyed.push_back(i);
    }
    problems.Check(state.PartialCount + state.FailedCount == failures, "every started target not destroyed is counted");
    // What a report calls kept and failed is what the counters say.
    problems.Check(kept == state.PartialCount && failedOutcomes == state.FailedCount, "outcomes agree with the counters");
    problems.Check(handler.deleted == destroyed, "OnTargetDeleted for exactly the targets destroyed");
    problems.Check(state.FileDeletions + state.DirDeletions == int32_t(destroyed.size()), "deletion counts");
    for (const auto& [path, done] : io.deleteAttempts)
        problems.Check(done == passes, "a file is deleted only after all its passes");
    problems.Check(world.volume.ContentOf(world.other) == "not selected", "a file not selected is unchanged");
    problems.Check(io.tempNames.empty(), "a file job makes no temporary file");
    return problems.Text();
}

// The free-space job's world: a volume in use but for three runs, one of
// them more than one transfer long.
struct FreeSpaceWorld {
    FreeSpaceWorld()
    {
        volume.SetInUse(0, volume.TotalClusters());
        for (const Extent& run : freeRuns)
            volume.SetInUse(run.StartCluster, run.Clusters, false);
        list.Add(new FileInfo(kRoot.substr(0, 2), FindData(L"\\")));
        list.At(0)->Path = kRoot;
    }
    static WIN32_FIND_DATAW FindData(const wchar_t* name)
    {
        WIN32_FIND_DATAW entry{};
        wcsncpy(entry.cFileName, name, MAX_PATH - 1);
        entry.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        return entry;
    }

    // Clusters of 4 KiB: a block of 64 of them is as long as one of 512
    // sectors, and so are the transfers.
    static constexpr int64_t kTransferClusters = int64_t(kTransfer / 4096);
    const std::vector<Extent> freeRuns = {{10, 3}, {100, kTransferClusters + 70}, {kTransferClusters + 300, 5}};
    SimulatedVolume volume{kRoot, 512, 8, kTransferClusters + 400};
    FileList list;
};

bool Covered(const SectorImage& image, uint64_t begin, uint64_t end)
{
    auto range = image.Covered().upper_bound(begin);
    if (range == image.Covered().begin())
        return false;
    --range;
    return range->first <= begin && range->second >= end;
}

std::string CheckFreeSpaceJob(FreeSpaceWorld& world, WatchingIo& io, const RecordingHandler& handler)
{
    Problems problems;
    CheckEveryJob(problems, io, world.volume, handler, 8);
    const WipeStateData& state = handler.finalState;
    const FileInfo& target = *world.list.At(0);
    const uint64_t cluster = uint64_t(world.volume.ClusterSize());
    if (target.Success) {
        for (const Extent& run : world.freeRuns)
            problems.Check(Covered(world.volume.Image(), run.StartCluster * cluster,
                                   (run.StartCluster + run.Clusters) * cluster),
                           "free space reported wiped only with every free cluster written");
        problems.Check(handler.deleted == std::vector<int32_t>{0}, "OnTargetDeleted once");
        problems.Check(state.PartialCount + state.FailedCount == 0, "nothing counted against a wiped target");
    } else {
        problems.Check(handler.deleted.empty(), "no OnTargetDeleted for free space not wiped");
        problems.Check(state.PartialCount + state.FailedCount == 1, "a target not wiped is counted");
    }
    // Nothing but free clusters was written, and no cluster in use changed hands.
    problems.Check(world.volume.volumeWriteCalls.load() == 0, "the raw volume is never written");
    for (const auto& [begin, end] : world.volume.Image().Covered()) {
        bool insideFree = false;
        for (const Extent& run : world.freeRuns)
            insideFree |= begin >= run.StartCluster * cluster && end <= (run.StartCluster + run.Clusters) * cluster;
        problems.Check(insideFree, "written only where clusters were free");
    }
    int64_t inUse = 0;
    for (int64_t c = 0; c < world.volume.TotalClusters(); ++c)
        inUse += world.volume.InUse(c);
    int64_t leftTempClusters = 0;
    for (const std::wstring& name : world.volume.Names())
        leftTempClusters += (world.volume.ContentOf(name).size() + cluster - 1) / cluster;
    int64_t freeAtStart = 0;
    for (const Extent& run : world.freeRuns)
        freeAtStart += run.Clusters;
    problems.Check(inUse - leftTempClusters == world.volume.TotalClusters() - freeAtStart,
                   "the clusters in use are those in use before");
    return problems.Text();
}

struct LoopResult {
    int runs = 0;
    int cleanCalls = 0;
    size_t writingThreads = 0;  // of the last run
};

// Runs `family` on a fresh world of type World for every fault at every k;
// `check` returns what a run broke.
template <typename World, typename Check>
LoopResult RunLoop(uint8_t targetType, const Family& family, Check check)
{
    LoopResult result;
    auto runOnce = [&](Fault fault, int k, int& calls) {
        World world;
        WatchingIo io(world.volume);
        ArmFault(io, fault, k, family.error);
        RecordingHandler handler;
        RunJob(family.method, targetType, family.rounds, world.list, handler, io);
        calls = io.TotalCalls();
        result.writingThreads = io.writingThreads.size();
        result.runs += 1;
        return check(world, io, handler);
    };
    std::string broken = runOnce(Fault::None, 0, result.cleanCalls);
    EXPECT_EQ(broken, "") << family.name << ", clean run";
    EXPECT_EQ(result.writingThreads, 2u) << family.name << ": writes from the writer's thread and from the worker";
    for (Fault fault : {Fault::Once, Fault::PartWay, Fault::FromThereOn, Fault::Cancel})
        for (int k = 1; k <= result.cleanCalls && broken.empty(); ++k) {
            int calls = 0;
            broken = runOnce(fault, k, calls);
            static const char* const names[] = {"", "failed once", "failed part way", "failed from there on",
                                                "cancelled"};
            EXPECT_EQ(broken, "") << family.name << ": call " << k << " " << names[int(fault)];
        }
    return result;
}

TEST(FaultLoop, EveryCallFailedOnceOrPartWayOrFromThereOnOrCancelledBreaksNoInvariant)
{
    DWORD start = GetTickCount();
    int runs = 0;
    for (const Family& family : kFamilies) {
        LoopResult files = RunLoop<FileJobWorld>(TargetFiles, family, [&](FileJobWorld& world, WatchingIo& io,
                                                                          const RecordingHandler& handler) {
            return CheckFileJob(world, io, handler, family);
        });
        LoopResult freeSpace = RunLoop<FreeSpaceWorld>(
            TargetFreeSpace, family,
            [](FreeSpaceWorld& world, WatchingIo& io, const RecordingHandler& handler) {
                return CheckFreeSpaceJob(world, io, handler);
            });
        std::printf("[fault loop] %-8s file job %d calls, free-space job %d calls\n", family.name,
                    files.cleanCalls, freeSpace.cleanCalls);
        runs += files.runs + freeSpace.runs;
    }
    std::printf("[fault loop] %d runs in %.1f s\n", runs, (GetTickCount() - start) / 1000.0);
}

}  // namespace
