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
#include <string>
#include "engine/Extent.h"
#include "engine/Sha1hasher.h"
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
    // is 0 to 13 and `roundCount` at least 1. Tests pass their own `io`.
    WiperThread(int32_t methodId, uint8_t targetType, int32_t roundCount, FileList& fileList,
                WiperThreadEventHandler& handler, WipeIo& io = SystemWipeIo());
    ~WiperThread();
    WiperThread(const WiperThread&) = delete;
    WiperThread& operator=(const WiperThread&) = delete;

    void Pause() { paused.store(true); }
    void Resume() { paused.store(false); }
    void Cancel() { cancelRequested.store(true); }

    // Message numbers of the hidden window (word parameter of WM_APP).
    enum Message : WPARAM { MessageProgress = 1, MessageLog = 2, MessageFinished = 3, MessageTargetDeleted = 4 };

private:
    static DWORD WINAPI ThreadProc(LPVOID parameter);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    DWORD Run();
    void Deliver(WPARAM kind, LPARAM data);
    void ChooseUnitSize();
    void ComputeTotals();

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
    // byte offset when `offset` is not negative.
    void PostSystemError(const std::wstring& messageKey, DWORD error, int64_t offset = -1);
    void PostTargetDeleted(int32_t index);
    bool SeekTarget(HANDLE handle, int64_t offset) { return SeekTarget(handle, offset, offset); }
    // As above; a failure is logged with `reportedOffset` (a position on the volume).
    bool SeekTarget(HANDLE handle, int64_t offset, int64_t reportedOffset);
    void* GetScratchBuffer(uint32_t size);

    // One round of all passes of the method over the open target of `units` units.
    bool WipeRound(int64_t units);
    // The pass loop of a round over `file` in blocks of at most `blockUnits`;
    // offsets in log records are `offsetBase` + the offset within `file`.
    bool RunRound(HANDLE file, int64_t units, int32_t blockUnits, int64_t offsetBase);
    // The blocks of the current pass, then the flush; `digest` (may be null) takes the data.
    bool RunPass(HANDLE file, int64_t units, int64_t offsetBase, bool verify, Sha1Context* digest);

    // Free-space job.
    enum MoveResult { MovePlaced = 0, MoveRefused = 1, MoveLocationUnknown = 2, MoveMisplaced = 3,
                      MoveWrongLength = 4 };
    bool GetVolumeSpace(const std::wstring& root, int32_t& clusterSize, int64_t& totalClusters,
                        int64_t& freeClusters);
    // The free runs in [startCluster, endCluster) of the open volume.
    bool AnalyzeVolume(ExtentArray& extents, int64_t& freeCount, int64_t endCluster, int64_t startCluster);
    // A hidden, delete-on-close file of `clusters` clusters in `root`.
    HANDLE CreateTempFile(const std::wstring& root, int64_t clusters);
    int MoveTempFile(HANDLE file, const Extent& extent);
    bool WipeTempFile(HANDLE file, const Extent& extent);
    // Places and wipes the runs of one window, halving a run whose placement
    // fails down to single clusters, which are given up and counted in
    // `skippedClusters`. False when the target cannot go on.
    bool WipeExtents(const std::wstring& root, ExtentArray& extents, int64_t& skippedClusters);
    // Whether `file` lies in one piece, and where; false when that cannot be read.
    bool LocateTempFile(HANDLE file, bool& single, Extent& location);

    HWND window = nullptr;
    HANDLE thread = nullptr;
    HANDLE targetHandle = INVALID_HANDLE_VALUE;
    WipeStateData state;
    std::unique_ptr<Wiper> wiper;
    FileList& fileList;
    WiperThreadEventHandler& handler;
    WipeIo& io;
    std::atomic<bool> reportPending{false};
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> paused{false};
    uint32_t lastReportTick = 0;
    uint32_t reportInterval = 10;
    int32_t unitSize = 512;
    void* scratchBuffer = nullptr;
    uint32_t scratchSize = 0;
};
