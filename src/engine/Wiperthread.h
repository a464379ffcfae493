#pragma once
// One wipe job. Created on the user-interface thread, it works at once on a
// worker thread of its own and reports through a hidden window that belongs
// to the creating thread: the worker only posts messages, the window
// procedure calls the handler. Destroying the job cancels it, waits for the
// worker and delivers every message already posted.
#include <windows.h>
#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>
#include "engine/Extent.h"
#include "engine/Sha1hasher.h"
#include "engine/TransferWriter.h"
#include "engine/WipeIo.h"
#include "engine/Wiper.h"
#include "engine/Wipestatedata.h"
#include "platform/TextVariables.h"
#include "targets/Filelist.h"

// Implemented by the progress windows; called on the user-interface thread only.
class WiperThreadEventHandler {
public:
    virtual void OnProgress(const WipeStateData& state) = 0;
    virtual void OnFinished(const WipeStateData& state) = 0;
    virtual void OnLog(uint8_t category, const std::wstring& path, const std::wstring& messageKey,
                       const TextVariables& variables) = 0;
    virtual void OnTargetDeleted(int32_t index) = 0;

protected:
    ~WiperThreadEventHandler() = default;
};

constexpr uint8_t kLogCategoryError = 2;

// The Win32 calls that run a job and carry its reports: its hidden window, its
// worker thread, and posting to that window. Production makes the calls
// themselves; tests put limits in front of them (a message queue that is
// full, a window or thread that cannot be made). Each fails with the thread's
// last error set.
class JobSystem {
public:
    virtual ~JobSystem() = default;
    // A message-only window of `windowClass` belonging to the calling thread; null on failure.
    virtual HWND CreateReportWindow(const wchar_t* windowClass, void* job);
    // CreateThread; null on failure.
    virtual HANDLE StartThread(LPTHREAD_START_ROUTINE routine, void* job);
    // PostMessageW of WM_APP. A thread's queue holds a bounded number of
    // posted messages; beyond it this fails with ERROR_NOT_ENOUGH_QUOTA.
    virtual bool Post(HWND window, WPARAM kind, LPARAM data);
};

// The process-wide production instance; it has no state.
JobSystem& SystemJobSystem();

class WiperThread {
public:
    // One log record on its way from the worker to the user-interface thread.
    struct LogData {
        uint8_t Category = kLogCategoryError;
        std::wstring Path;
        std::wstring MessageKey;
        TextVariables Variables;
    };

    // `fileList` and `handler` are borrowed and must outlive the job; `methodId`
    // is 0 to 13 and `roundCount` at least 1. Tests pass their own `io` and `system`.
    WiperThread(int32_t methodId, uint8_t targetType, int32_t roundCount, FileList& fileList,
                WiperThreadEventHandler& handler, WipeIo& io = SystemWipeIo(),
                JobSystem& system = SystemJobSystem());
    ~WiperThread();
    WiperThread(const WiperThread&) = delete;
    WiperThread& operator=(const WiperThread&) = delete;

    void Pause() { paused.store(true); }
    void Resume() { paused.store(false); }
    void Cancel() { cancelRequested.store(true); }

    // ERROR_SUCCESS when the job runs. Otherwise the hidden window or the
    // worker could not be made and the job never runs: nothing is touched, and
    // every target has its Success cleared and counts as failed. Without a
    // worker the handler still gets a record ("Log.JobStartError") and
    // OnFinished; without a window it gets nothing, and the creator reports it.
    DWORD StartError() const { return startError; }

    // Log records posted and not yet delivered beyond which further records
    // are folded into a count ("Log.RecordsFolded"), so that a job with many
    // failures cannot fill the user interface's message queue.
    static constexpr int32_t kMaxRecordsInFlight = 1000;

    // Message numbers of the hidden window (word parameter of WM_APP).
    enum Message : WPARAM { MessageProgress = 1, MessageLog = 2, MessageFinished = 3, MessageTargetDeleted = 4 };

private:
    static DWORD WINAPI ThreadProc(LPVOID parameter);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    DWORD Run();
    // One target, with its repeated records folded into a count at its end.
    void RunTarget();
    void Deliver(WPARAM kind, LPARAM data);
    // Dispatches what is queued for the hidden window (user-interface thread).
    void DeliverQueued();
    // The job cannot run: every target failed, untouched.
    void FailAllTargets();
    void ChooseUnitSize();
    void ComputeTotals();
    // A message that must arrive: while the queue is full, waits for the user
    // interface to take some. False only when the window cannot take it at all.
    bool PostReliably(WPARAM kind, LPARAM data);
    void PostFoldedRecords();
    void PostRecord(std::unique_ptr<LogData> record);

    // Target operations.
    void WipeFile();
    void DeleteDirectory();
    void WipeVolume();
    void WipeFreeSpace();

protected:
    // Primitives of the target operations (worker thread only).
    void ReportProgress();
    bool CheckCancelled();
    void PostLog(uint8_t category, const std::wstring& messageKey, const TextVariables& variables);
    // A record about a failed system call: the error's code and text, and the
    // byte offset when `offset` is not negative. A repeat of the same key and
    // error on one target is only counted; the count follows at its end.
    void PostSystemError(const std::wstring& messageKey, DWORD error, int64_t offset = -1);
    void PostTargetDeleted(int32_t index);
    // Current never above Total in what the user interface sees, also when a
    // target turns out larger than it was counted.
    void KeepTotalsAboveCurrent();
    // Units per block: `preferred`, fewer when that many would exceed the
    // largest transfer, at least one.
    int32_t BlockUnits(int32_t preferred) const;
    void* GetScratchBuffer(uint32_t size);

    // One round of all passes of the method over the open target of `units` units.
    bool WipeRound(int64_t units);
    // The pass loop of a round over `file` in blocks of at most `blockUnits`;
    // offsets in log records are `offsetBase` + the offset within `file`.
    bool RunRound(HANDLE file, int64_t units, int32_t blockUnits, int64_t offsetBase);
    // The blocks of the current pass, through the writer in transfers of
    // whole blocks, then the flush; `digest` (may be null) takes the data.
    bool RunPass(HANDLE file, int64_t units, int32_t blockUnits, int64_t offsetBase, bool verify,
                 Sha1Context* digest);
    // Lays a block of a write pass into `transfer`; `patternTag` is not 0
    // when the block holds the pass's pattern, `period` bytes long.
    static void FillTransfer(TransferWriter::Transfer& transfer, const uint8_t* block, uint32_t bytes,
                             uint64_t patternTag, uint32_t period);

    // Free-space job. A refused, misplaced or short move is a placement
    // conflict (the clusters are taken or reserved): the run is halved and
    // tried again. MoveFailed and MoveLocationUnknown are not: the system
    // cannot do what the job needs, and the target ends.
    enum MoveResult { MovePlaced = 0, MoveRefused = 1, MoveLocationUnknown = 2, MoveMisplaced = 3,
                      MoveWrongLength = 4, MoveFailed = 5 };
    bool GetVolumeSpace(const std::wstring& root, int32_t& clusterSize, int64_t& totalClusters,
                        int64_t& freeClusters);
    // The free runs in [startCluster, endCluster) of the open volume.
    bool AnalyzeVolume(ExtentArray& extents, int64_t& freeCount, int64_t endCluster, int64_t startCluster);
    // A hidden, delete-on-close file of `clusters` clusters in `root`.
    HANDLE CreateTempFile(const std::wstring& root, int64_t clusters);
    int MoveTempFile(HANDLE file, const Extent& extent);
    bool WipeTempFile(HANDLE file, const Extent& extent);
    // Places and wipes the runs of one window, halving a run whose placement
    // conflicts down to single clusters, which are given up and counted in
    // `skippedClusters`. False when the target cannot go on.
    bool WipeExtents(const std::wstring& root, ExtentArray& extents, int64_t& skippedClusters);
    // Removes the temporary files whose removal failed earlier; logs those that stay.
    void RemoveLeftTempFiles();
    // Whether `file` lies in one piece, and where; false when that cannot be read.
    bool LocateTempFile(HANDLE file, bool& single, Extent& location);

    DWORD ownerThread;  // the user-interface thread that made the job
    HWND window = nullptr;
    HANDLE thread = nullptr;
    DWORD startError = ERROR_SUCCESS;
    HANDLE targetHandle = INVALID_HANDLE_VALUE;
    WipeStateData state;
    std::unique_ptr<Wiper> wiper;
    FileList& fileList;
    WiperThreadEventHandler& handler;
    WipeIo& io;
    JobSystem& system;
    std::atomic<bool> reportPending{false};
    std::atomic<int32_t> recordsInFlight{0};
    int32_t foldedRecords = 0;  // beyond kMaxRecordsInFlight, not yet reported
    // Records of the current target by key and error code: a repeat is only counted.
    std::set<std::pair<std::wstring, DWORD>> targetErrors;
    int32_t repeatedErrors = 0;
    // Temporary files of a free-space target that could not be removed when made.
    std::vector<std::wstring> leftTempFiles;
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> paused{false};
    uint32_t lastReportTick = 0;
    uint32_t reportInterval = 10;
    int32_t unitSize = 512;
    void* scratchBuffer = nullptr;
    uint32_t scratchSize = 0;
    int64_t bitmapRounding = 8;  // see VolumeBitmapBuffer
    // Moves the passes' data; its thread ends with the job.
    TransferWriter writer{io, system, [this] { return CheckCancelled(); }};
    uint64_t passSerial = 0;
};
