#pragma once
// Runs wipe jobs in tests: a handler that records everything it is told and
// a message pump that delivers the job's messages on the test's thread.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "engine/Wiperthread.h"

struct LogRecord {
    uint8_t category;
    std::wstring path;
    std::wstring key;
    TextVariables variables;
};

class RecordingHandler final : public WiperThreadEventHandler {
public:
    void OnProgress(const WipeStateData& state) override;
    void OnFinished(const WipeStateData& state) override;
    void OnLog(uint8_t category, const std::wstring& path, const std::wstring& messageKey,
               const TextVariables& variables) override;
    void OnTargetDeleted(int32_t index) override;

    // Messages of every kind delivered so far; read from any thread.
    std::atomic<int> delivered{0};
    std::vector<WipeStateData> progress;
    std::vector<LogRecord> logs;
    std::vector<int32_t> deleted;
    int finishedCount = 0;
    WipeStateData finalState;
    // Messages of any kind that arrived after OnFinished.
    int afterFinished = 0;
    // Each OnProgress sleeps this long (a slow user interface).
    DWORD progressDelay = 0;
    std::function<void(const WipeStateData&)> onProgress;
};

// Runs this thread's message loop until `done` returns true or `timeoutMs`
// has passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 30000);

// Runs a whole job on `list` and returns when it has finished and been
// destroyed. A FaultInjectingIo learns the job, so that it can cancel it.
void RunJob(int32_t method, uint8_t targetType, int32_t rounds, FileList& list, RecordingHandler& handler,
            WipeIo& io, JobSystem& system = SystemJobSystem());

// The keys of the records, in order.
std::vector<std::wstring> Keys(const RecordingHandler& handler);

// A file list of the given paths, in that order (files before directories).
std::unique_ptr<FileList> ListOf(const std::vector<std::wstring>& paths);

// The bytes per sector of drive C:, the unit of the file jobs in these tests.
int32_t SectorSize();
