#include "engine/Wiperthread.h"

#include <algorithm>
#include "platform/SystemError.h"

namespace {
const wchar_t kWindowClass[] = L"WiperThreadWnd";
// How long the worker waits for room in a full queue, and the destructor for
// the worker between deliveries.
constexpr DWORD kRetryMilliseconds = 10;
}  // namespace

HWND JobSystem::CreateReportWindow(const wchar_t* windowClass, void* job)
{
    return CreateWindowExW(0, windowClass, windowClass, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                           job);
}

HANDLE JobSystem::StartThread(LPTHREAD_START_ROUTINE routine, void* job)
{
    return CreateThread(nullptr, 0, routine, job, 0, nullptr);
}

bool JobSystem::Post(HWND window, WPARAM kind, LPARAM data)
{
    return PostMessageW(window, WM_APP, kind, data) != 0;
}

JobSystem& SystemJobSystem()
{
    static JobSystem system;
    return system;
}

WiperThread::WiperThread(int32_t methodId, uint8_t targetType, int32_t roundCount, FileList& fileList,
                         WiperThreadEventHandler& handler, WipeIo& io, JobSystem& system)
    : ownerThread(GetCurrentThreadId()), wiper(CreateWiper(methodId)), fileList(fileList), handler(handler), io(io),
      system(system)
{
    state.WipeMethod = methodId;
    state.TargetType = targetType;
    state.RoundCount = roundCount;
    state.TargetCount = fileList.Count();
    state.PassCount = wiper ? wiper->PassCount() : 0;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when the class exists
    // A message-only window: it belongs to this thread and is never shown.
    window = system.CreateReportWindow(kWindowClass, this);
    if (!window) {
        // Nothing could reach the user interface: the job must not touch anything.
        startError = GetLastError() ? GetLastError() : DWORD(ERROR_CANNOT_MAKE);
        FailAllTargets();
        return;
    }
    thread = system.StartThread(ThreadProc, this);
    if (!thread) {
        startError = GetLastError() ? GetLastError() : DWORD(ERROR_NOT_ENOUGH_MEMORY);
        FailAllTargets();
        PostSystemError(L"Log.JobStartError", startError);
        PostReliably(MessageFinished, 0);
    }
}

WiperThread::~WiperThread()
{
    cancelRequested.store(true);
    if (thread) {
        // A worker waiting for room in a full queue gets it here.
        while (WaitForSingleObject(thread, kRetryMilliseconds) == WAIT_TIMEOUT)
            DeliverQueued();
        CloseHandle(thread);
    }
    if (window) {
        // Deliver what the worker posted, so that every record reaches the
        // handler and its memory is released.
        DeliverQueued();
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(window);
    }
    if (scratchBuffer)
        VirtualFree(scratchBuffer, 0, MEM_RELEASE);
}

void WiperThread::DeliverQueued()
{
    MSG message;
    while (PeekMessageW(&message, window, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}

void WiperThread::FailAllTargets()
{
    for (int32_t i = 0; i < state.TargetCount; ++i) {
        fileList.At(i)->Success = 0;
        fileList.At(i)->Outcome = OutcomeFailed;
    }
    state.FailedCount = state.TargetCount;
    state.State = StateCompleted;
}

LRESULT CALLBACK WiperThread::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    if (message == WM_APP) {
        if (auto* job = reinterpret_cast<WiperThread*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            job->Deliver(wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void WiperThread::Deliver(WPARAM kind, LPARAM data)
{
    switch (kind) {
    case MessageProgress: {
        std::unique_ptr<WipeStateData> report(reinterpret_cast<WipeStateData*>(data));
        handler.OnProgress(*report);
        reportPending.store(false);
        break;
    }
    case MessageLog: {
        std::unique_ptr<LogData> record(reinterpret_cast<LogData*>(data));
        recordsInFlight.fetch_sub(1);
        handler.OnLog(record->Category, record->Path, record->MessageKey, record->Variables);
        break;
    }
    case MessageFinished:
        handler.OnFinished(state);
        break;
    case MessageTargetDeleted:
        handler.OnTargetDeleted(static_cast<int32_t>(data));
        break;
    }
}

DWORD WINAPI WiperThread::ThreadProc(LPVOID parameter)
{
    return static_cast<WiperThread*>(parameter)->Run();
}

void WiperThread::ChooseUnitSize()
{
    unitSize = 512;
    if (state.TargetType != TargetFiles || state.TargetCount == 0)
        return;
    // One sector size, that of the first target's drive, serves the whole job.
    std::wstring root = fileList.At(0)->Path.substr(0, 3);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (io.DiskFreeSpace(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters) &&
        bytesPerSector != 0 && bytesPerSector <= INT32_MAX)
        unitSize = static_cast<int32_t>(bytesPerSector);
}

void WiperThread::ComputeTotals()
{
    state.TotalWrite = {};
    state.TotalRead = {};
    for (int32_t i = 0; i < state.TargetCount; ++i)
        fileList.At(i)->Outcome = OutcomeNotStarted;
    if (!wiper)
        return;
    for (int32_t i = 0; i < state.TargetCount; ++i) {
        uint64_t units = (fileList.At(i)->Size + unitSize - 1) / static_cast<uint64_t>(unitSize);
        int64_t bytes = static_cast<int64_t>(units) * unitSize * state.RoundCount;
        state.TotalWrite.Total += bytes * wiper->WritePassCount();
        state.TotalRead.Total += bytes * wiper->VerifyPassCount();
    }
}

int32_t WiperThread::BlockUnits(int32_t preferred) const
{
    return static_cast<int32_t>(std::clamp<int64_t>(TransferWriter::kMaxTransferBytes / unitSize, 1, preferred));
}

DWORD WiperThread::Run()
{
    ChooseUnitSize();
    ComputeTotals();
    // A target begins only while the job is not cancelled; one that has been
    // handled keeps the outcome its operation gave it, also when the cancel
    // arrives during its last step.
    bool cancelled = CheckCancelled();
    int32_t firstNotStarted = 0;
    for (state.TargetIndex = 0; !cancelled && state.TargetIndex < state.TargetCount; ++state.TargetIndex) {
        RunTarget();
        firstNotStarted = state.TargetIndex + 1;
        if (CheckCancelled()) {
            cancelled = true;
            break;
        }
    }
    state.State = cancelled ? StateCancelled : StateCompleted;
    // Nothing of the job moves once it has said it ended.
    writer.Stop();
    for (int32_t i = firstNotStarted; i < state.TargetCount; ++i)
        fileList.At(i)->Success = 0;
    KeepTotalsAboveCurrent();
    PostFoldedRecords();
    PostReliably(MessageFinished, 0);
    return 0;
}

void WiperThread::RunTarget()
{
    state.RoundIndex = 0;
    state.PassIndex = 0;
    state.TargetWrite = {};
    state.TargetRead = {};
    targetErrors.clear();
    repeatedErrors = 0;
    const int32_t partialBefore = state.PartialCount;
    if (!wiper) {
        // No such method: nothing can be wiped.
        state.FailedCount += 1;
        fileList.At(state.TargetIndex)->Success = 0;
    } else if (state.TargetType == TargetFiles) {
        if (fileList.At(state.TargetIndex)->IsFile)
            WipeFile();
        else
            DeleteDirectory();
    } else if (state.TargetType == TargetVolume) {
        WipeVolume();
    } else {
        WipeFreeSpace();
    }
    // From what the operation did: its Success flag, and the counter it raised.
    FileInfo& target = *fileList.At(state.TargetIndex);
    target.Outcome = target.Success                        ? OutcomeDestroyed
                     : state.PartialCount > partialBefore ? OutcomeKept
                                                          : OutcomeFailed;
    if (repeatedErrors != 0)
        PostLog(kLogCategoryError, L"Log.RepeatedErrorsFolded", {{L"RecordCount", std::to_wstring(repeatedErrors)}});
}

void WiperThread::KeepTotalsAboveCurrent()
{
    for (ProgressPair* pair : {&state.TargetWrite, &state.TargetRead})
        pair->Total = std::max(pair->Total, pair->Current);
    // Volume and free-space jobs keep no job-wide total (it stays 0).
    if (state.TargetType == TargetFiles)
        for (ProgressPair* pair : {&state.TotalWrite, &state.TotalRead})
            pair->Total = std::max(pair->Total, pair->Current);
}

void WiperThread::ReportProgress()
{
    uint32_t now = GetTickCount();
    if (reportPending.load())
        return;
    // Unsigned difference: the tick counter's wrap-around is harmless.
    if (now - lastReportTick < reportInterval)
        return;
    lastReportTick = now;
    reportPending.store(true);
    KeepTotalsAboveCurrent();
    // A report may be dropped: the next one, or OnFinished, shows the latest state.
    auto* copy = new WipeStateData(state);
    if (!system.Post(window, MessageProgress, reinterpret_cast<LPARAM>(copy))) {
        delete copy;
        reportPending.store(false);
    }
}

bool WiperThread::PostReliably(WPARAM kind, LPARAM data)
{
    while (!system.Post(window, kind, data)) {
        // Only a full queue empties again, and only by the user-interface
        // thread: that thread itself must not wait for it.
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA || GetCurrentThreadId() == ownerThread)
            return false;
        Sleep(kRetryMilliseconds);
    }
    return true;
}

bool WiperThread::CheckCancelled()
{
    if (cancelRequested.load())
        return true;
    while (paused.load() && !cancelRequested.load())
        Sleep(10);
    return cancelRequested.load();
}

void WiperThread::PostLog(uint8_t category, const std::wstring& messageKey, const TextVariables& variables)
{
    // While the user interface is that far behind, records become a count.
    if (recordsInFlight.load() >= kMaxRecordsInFlight) {
        foldedRecords += 1;
        return;
    }
    PostFoldedRecords();
    auto record = std::make_unique<LogData>();
    record->Category = category;
    if (FileInfo* target = fileList.At(state.TargetIndex))
        record->Path = target->Path;
    record->MessageKey = messageKey;
    record->Variables = variables;
    PostRecord(std::move(record));
}

void WiperThread::PostFoldedRecords()
{
    if (foldedRecords == 0)
        return;
    // About the job, not one target: no path.
    auto record = std::make_unique<LogData>();
    record->MessageKey = L"Log.RecordsFolded";
    record->Variables[L"RecordCount"] = std::to_wstring(foldedRecords);
    foldedRecords = 0;
    PostRecord(std::move(record));
}

void WiperThread::PostRecord(std::unique_ptr<LogData> record)
{
    recordsInFlight.fetch_add(1);
    if (PostReliably(MessageLog, reinterpret_cast<LPARAM>(record.get())))
        record.release();  // the window procedure deletes it
    else
        recordsInFlight.fetch_sub(1);
}

void WiperThread::PostSystemError(const std::wstring& messageKey, DWORD error, int64_t offset)
{
    if (!targetErrors.insert({messageKey, error}).second) {
        repeatedErrors += 1;
        return;
    }
    TextVariables variables;
    AddSystemError(variables, error);
    if (offset >= 0)
        variables[L"ErrorOffset"] = std::to_wstring(offset);
    PostLog(kLogCategoryError, messageKey, variables);
}

void WiperThread::PostTargetDeleted(int32_t index)
{
    PostReliably(MessageTargetDeleted, static_cast<LPARAM>(index));
}

void* WiperThread::GetScratchBuffer(uint32_t size)
{
    size = (size + 4095) & ~4095u;
    if (scratchBuffer && scratchSize >= size)
        return scratchBuffer;
    if (scratchBuffer)
        VirtualFree(scratchBuffer, 0, MEM_RELEASE);
    scratchBuffer = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    scratchSize = scratchBuffer ? size : 0;
    return scratchBuffer;
}
