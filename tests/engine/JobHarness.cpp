#include "JobHarness.h"

#include "FaultInjectingIo.h"

void RecordingHandler::OnProgress(const WipeStateData& state)
{
    delivered += 1;
    afterFinished += finishedCount;
    progress.push_back(state);
    if (onProgress)
        onProgress(state);
    if (progressDelay)
        Sleep(progressDelay);
}

void RecordingHandler::OnFinished(const WipeStateData& state)
{
    delivered += 1;
    afterFinished += finishedCount;
    finishedCount += 1;
    finalState = state;
}

void RecordingHandler::OnLog(uint8_t category, const std::wstring& path, const std::wstring& messageKey,
                             const TextVariables& variables)
{
    delivered += 1;
    afterFinished += finishedCount;
    logs.push_back({category, path, messageKey, variables});
}

void RecordingHandler::OnTargetDeleted(int32_t index)
{
    delivered += 1;
    afterFinished += finishedCount;
    deleted.push_back(index);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

void RunJob(int32_t method, uint8_t targetType, int32_t rounds, FileList& list, RecordingHandler& handler,
            WipeIo& io, JobSystem& system)
{
    auto* injector = dynamic_cast<FaultInjectingIo*>(&io);
    WiperThread job(method, targetType, rounds, list, handler, io, system);
    if (injector)
        injector->SetJob(&job);
    PumpUntil([&] { return handler.finishedCount > 0; });
    if (injector)
        injector->SetJob(nullptr);
}

std::vector<std::wstring> Keys(const RecordingHandler& handler)
{
    std::vector<std::wstring> keys;
    for (const LogRecord& record : handler.logs)
        keys.push_back(record.key);
    return keys;
}

std::unique_ptr<FileList> ListOf(const std::vector<std::wstring>& paths)
{
    auto list = std::make_unique<FileList>();
    for (const std::wstring& path : paths)
        list->Add(new FileInfo(path));
    return list;
}

int32_t SectorSize()
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceW(L"C:\\", &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters) ||
        bytesPerSector == 0)
        return 512;
    return static_cast<int32_t>(bytesPerSector);
}
