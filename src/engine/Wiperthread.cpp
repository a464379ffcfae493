#include "engine/Wiperthread.h"

#include "platform/SystemError.h"

namespace {
const wchar_t kWindowClass[] = L"WiperThreadWnd";
}

WiperThread::WiperThread(int32_t methodId, uint8_t targetType, int32_t roundCount, FileList& fileList,
                         WiperThreadEventHandler& handler, WipeIo& io)
    : wiper(CreateWiper(methodId)), fileList(fileList), handler(handler), io(io)
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
    window = CreateWindowExW(0, kWindowClass, kWindowClass, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), this);

    thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (!thread) {
        // Without a worker nothing is wiped; the job still ends, as cancelled.
        for (int32_t i = 0; i < state.TargetCount; ++i)
            fileList.At(i)->Success = 0;
        state.State = StateCancelled;
        PostMessageW(window, WM_APP, MessageFinished, 0);
    }
}

WiperThread::~WiperThread()
{
    cancelRequested.store(true);
    if (thread) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    if (window) {
        // Deliver what the worker posted, so that every record reaches the
        // handler and its memory is released.
        MSG message;
        while (PeekMessageW(&message, window, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
        DestroyWindow(window);
    }
    if (scratchBuffer)
        VirtualFree(scratchBuffer, 0, MEM_RELEASE);
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
        bytesPerSector != 0)
        unitSize = static_cast<int32_t>(bytesPerSector);
}

void WiperThread::ComputeTotals()
{
    state.TotalWrite = {};
    state.TotalRead = {};
    if (!wiper)
        return;
    for (int32_t i = 0; i < state.TargetCount; ++i) {
        uint64_t units = (fileList.At(i)->Size + unitSize - 1) / static_cast<uint64_t>(unitSize);
        int64_t bytes = static_cast<int64_t>(units) * unitSize * state.RoundCount;
        state.TotalWrite.Total += bytes * wiper->WritePassCount();
        state.TotalRead.Total += bytes * wiper->VerifyPassCount();
    }
}

DWORD WiperThread::Run()
{
    ChooseUnitSize();
    ComputeTotals();
    for (state.TargetIndex = 0; state.TargetIndex < state.TargetCount; ++state.TargetIndex) {
        state.RoundIndex = 0;
        state.PassIndex = 0;
        state.TargetWrite = {};
        state.TargetRead = {};
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
        if (CheckCancelled())
            break;
    }
    state.State = CheckCancelled() ? StateCancelled : StateCompleted;
    for (int32_t i = state.TargetIndex; i < state.TargetCount; ++i)
        fileList.At(i)->Success = 0;
    PostMessageW(window, WM_APP, MessageFinished, 0);
    return 0;
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
    auto* copy = new WipeStateData(state);
    if (!PostMessageW(window, WM_APP, MessageProgress, reinterpret_cast<LPARAM>(copy))) {
        delete copy;
        reportPending.store(false);
    }
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
    auto* record = new LogData;
    record->Category = category;
    if (FileInfo* target = fileList.At(state.TargetIndex))
        record->Path = target->Path;
    record->MessageKey = messageKey;
    record->Variables = variables;
    if (!PostMessageW(window, WM_APP, MessageLog, reinterpret_cast<LPARAM>(record)))
        delete record;
}

void WiperThread::PostSystemError(const std::wstring& messageKey, DWORD error, int64_t offset)
{
    TextVariables variables;
    AddSystemError(variables, error);
    if (offset >= 0)
        variables[L"ErrorOffset"] = std::to_wstring(offset);
    PostLog(kLogCategoryError, messageKey, variables);
}

void WiperThread::PostTargetDeleted(int32_t index)
{
    PostMessageW(window, WM_APP, MessageTargetDeleted, static_cast<LPARAM>(index));
}

bool WiperThread::SeekTarget(HANDLE handle, int64_t offset, int64_t reportedOffset)
{
    if (io.Seek(handle, offset))
        return true;
    DWORD error = io.LastError();
    PostSystemError(L"Log.FileSeekError", error, reportedOffset);
    return false;
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
