#pragma once
// Free-space jobs on a simulated volume: the run of a job, a record of the
// temporary file after every pass, and the checks every job must pass.
#include <memory>
#include <string>
#include <vector>
#include "FaultInjectingIo.h"
#include "JobHarness.h"
#include "SimulatedVolume.h"

// Every flush of a temporary file: where the file lay and what it held.
struct PassSnapshot {
    std::vector<Extent> extents;
    std::string content;
};

class RecordingVolumeIo : public FaultInjectingIo {
public:
    explicit RecordingVolumeIo(SimulatedVolume& volume);
    std::vector<PassSnapshot> snapshots;
};

struct FreeSpaceRun {
    explicit FreeSpaceRun(SimulatedVolume& volume) : volume(volume), io(volume), list(ListOf({volume.Root()})) {}
    void Run(int32_t method = 2, int32_t rounds = 1)
    {
        RunJob(method, TargetFreeSpace, rounds, *list, handler, io);
    }
    const WipeStateData& Final() const { return handler.finalState; }
    // The runs the temporary files were wiped on, in order, one per run.
    std::vector<Extent> WipedRuns() const;

    SimulatedVolume& volume;
    RecordingVolumeIo io;
    std::unique_ptr<FileList> list;
    RecordingHandler handler;
};

// The volume's clusters in use, one flag per cluster.
std::vector<bool> UsageOf(SimulatedVolume& volume);

// Checks what every free-space job leaves behind, whatever its outcome: no
// temporary file, no open handle, the same clusters in use as `before`, the
// raw device never written, and every cluster in use byte-identical.
void ExpectVolumeIntact(SimulatedVolume& volume, const std::vector<bool>& before);

// True when every byte of the clusters [start, start + count) is `value`.
bool ClustersEqual(SimulatedVolume& volume, int64_t start, int64_t count, uint8_t value);
// True when they still hold their original content.
bool ClustersOriginal(SimulatedVolume& volume, int64_t start, int64_t count);

std::vector<std::wstring> KeysWithout(const RecordingHandler& handler, const std::wstring& key);
