// Wipe engine figures: SHA-1 and random/pattern fill throughput, and a real
// file wipe against a plain write loop over the same file. MB/s is 10^6 bytes
// per second.
#include <windows.h>
#include <memory>
#include <vector>
#include "Bench.h"
#include "engine/Randomfill.h"
#include "engine/Sha1hasher.h"
#include "engine/Wipergutmann.h"
#include "engine/Wiperthread.h"

namespace {

constexpr double kMB = 1e6;
constexpr DWORD kBlock = 256 * 1024;

struct PageBuffer {
    explicit PageBuffer(size_t size)
        : data(static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)))
    {
    }
    ~PageBuffer() { VirtualFree(data, 0, MEM_RELEASE); }
    uint8_t* data;
};

// Exposes the pattern preparation of the Gutmann passes.
class PatternProbe : public WiperGutmann {
public:
    using WiperGutmann::PreparePass;
    void SetPass(int32_t index) { pass = index; }
};

// Records only that the job ended.
class FinishFlag final : public WiperThreadEventHandler {
public:
    void OnProgress(const WipeStateData&) override {}
    void OnFinished(const WipeStateData& state) override
    {
        finished = true;
        deletions = state.FileDeletions;
    }
    void OnLog(uint8_t, const std::wstring&, const std::wstring&, const TextVariables&) override {}
    void OnTargetDeleted(int32_t) override {}
    bool finished = false;
    int32_t deletions = 0;
};

// Writes `size` bytes over the file in 256 KiB unbuffered write-through
// transfers, as the engine does, and flushes; returns the seconds taken.
double PlainWriteLoop(const std::wstring& path, uint64_t size, DWORD disposition)
{
    PageBuffer buffer(kBlock);
    double start = Seconds();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_FLAG_WRITE_THROUGH | FILE_FLAG_NO_BUFFERING, nullptr);
    for (uint64_t done = 0; done < size; done += kBlock) {
        DWORD written = 0;
        WriteFile(file, buffer.data, kBlock, &written, nullptr);
    }
    FlushFileBuffers(file);
    CloseHandle(file);
    return Seconds() - start;
}

// Notes when the engine, done with the passes, asks for the file to go: on
// Linux file systems unlinking 1 GiB costs as much as a third of the wipe,
// which the plain loop does not pay.
class DeleteClock : public Win32WipeIo {
public:
    bool Delete(const std::wstring& path) override
    {
        deleteAt = Seconds();
        return Win32WipeIo::Delete(path);
    }
    double deleteAt = 0;
};

struct EngineTimes {
    double wipe = -1;       // until the delete request
    double total = -1;      // until the job ended
};

EngineTimes EngineWipe(const std::wstring& path)
{
    FileList list;
    list.Add(new FileInfo(path));
    FinishFlag handler;
    DeleteClock io;
    double start = Seconds();
    {
        WiperThread job(2, TargetFiles, 1, list, handler, io);
        while (!handler.finished) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
    }
    if (handler.deletions != 1)
        return {};
    return {io.deleteAt - start, Seconds() - start};
}

}  // namespace

VARNOX_BENCHMARK(Sha1Throughput)
{
    PageBuffer buffer(1 << 20);
    ThreadFillRandom(buffer.data, 1 << 20);
    Sha1Context context;
    Sha1Init(context);
    double start = Seconds();
    for (int i = 0; i < 256; ++i)
        Sha1Update(context, buffer.data, 1 << 20);
    Sha1HexDigest(context);
    Report("sha1_mb_s", 256 * ((1 << 20) / kMB) / (Seconds() - start));
}

VARNOX_BENCHMARK(FillThroughput)
{
    PageBuffer buffer(kBlock);
    const int blocks = 4096;  // 1 GiB
    double start = Seconds();
    for (int i = 0; i < blocks; ++i)
        ThreadFillRandom(buffer.data, kBlock);
    Report("random_fill_mb_s", blocks * (kBlock / kMB) / (Seconds() - start));

    PatternProbe probe;
    probe.Start(512, 512, 512);
    int filled = 0;
    start = Seconds();
    for (int round = 0; round < 200; ++round)
        for (int32_t pass = 4; pass <= 30; ++pass, ++filled) {
            probe.SetPass(pass);
            probe.PreparePass();
        }
    Report("pattern_fill_mb_s", filled * (kBlock / kMB) / (Seconds() - start));
}

VARNOX_BENCHMARK(FileWipeRatio)
{
    const uint64_t size = uint64_t(1) << 30;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"vxbench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    std::wstring path = dir + L"\\wipe.bin";
    double wipeRatios = 0, totalRatios = 0;
    const int trials = 3;
    for (int trial = 0; trial < trials; ++trial) {
        PlainWriteLoop(path, size, CREATE_ALWAYS);  // allocates the file
        double plain = PlainWriteLoop(path, size, OPEN_EXISTING);
        EngineTimes engine = EngineWipe(path);
        if (engine.total <= 0)
            break;
        wipeRatios += plain / engine.wipe;
        totalRatios += plain / engine.total;
    }
    DeleteFileW(path.c_str());
    RemoveDirectoryW(dir.c_str());
    Report("file_wipe_ratio", wipeRatios / trials);
    Report("file_wipe_with_delete_ratio", totalRatios / trials);
}
