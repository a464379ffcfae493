// Wipe engine figures: SHA-1 and random/pattern fill throughput, and real
// file wipes against plain write loops over the same file. MB/s is 10^6
// bytes per second.
#include <windows.h>
#include <algorithm>
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

// Writes `size` bytes over the file in unbuffered write-through transfers of
// `block` bytes and flushes; returns the seconds taken.
double PlainWriteLoop(const std::wstring& path, uint64_t size, DWORD disposition, DWORD block = kBlock)
{
    PageBuffer buffer(block);
    double start = Seconds();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_FLAG_WRITE_THROUGH | FILE_FLAG_NO_BUFFERING, nullptr);
    for (uint64_t done = 0; done < size; done += block) {
        DWORD written = 0;
        WriteFile(file, buffer.data, block, &written, nullptr);
    }
    FlushFileBuffers(file);
    CloseHandle(file);
    return Seconds() - start;
}

// Notes when each pass ends (its flush) and when the engine, done with the
// passes, asks for the file to go: on Linux file systems unlinking 1 GiB
// costs as much as a third of the wipe, which the plain loop does not pay.
class PassClock : public Win32WipeIo {
public:
    bool Flush(HANDLE file) override
    {
        bool flushed = Win32WipeIo::Flush(file);
        passEnds.push_back(Seconds());
        return flushed;
    }
    bool Delete(const std::wstring& path) override
    {
        deleteAt = Seconds();
        return Win32WipeIo::Delete(path);
    }
    std::vector<double> passEnds;
    double deleteAt = 0;
};

struct EngineTimes {
    double start = 0;
    double wipe = -1;   // until the delete request
    double total = -1;  // until the job ended
    std::vector<double> passEnds;
};

EngineTimes EngineWipe(const std::wstring& path, int32_t method = 2)
{
    FileList list;
    list.Add(new FileInfo(path));
    FinishFlag handler;
    PassClock io;
    double start = Seconds();
    {
        WiperThread job(method, TargetFiles, 1, list, handler, io);
        while (!handler.finished) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
    }
    if (handler.deletions != 1)
        return {};
    return {start, io.deleteAt - start, Seconds() - start, io.passEnds};
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A 1 GiB file in a folder of its own in the prefix's temporary folder.
struct BenchFile {
    BenchFile()
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        dir = std::wstring(temp) + L"vxbench-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir.c_str(), nullptr);
        path = dir + L"\\wipe.bin";
    }
    ~BenchFile()
    {
        DeleteFileW(path.c_str());
        RemoveDirectoryW(dir.c_str());
    }
    // Written once, so that the wipe overwrites allocated space as a user's file has it.
    void Allocate() { PlainWriteLoop(path, kSize, CREATE_ALWAYS, kMiB); }

    static constexpr uint64_t kSize = uint64_t(1) << 30;
    static constexpr DWORD kMiB = 1 << 20;
    std::wstring dir, path;
};

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
    // The engine against a loop of 256 KiB transfers, the block the methods hand out.
    BenchFile file;
    double wipeRatios = 0, totalRatios = 0;
    const int trials = 3;
    for (int trial = 0; trial < trials; ++trial) {
        file.Allocate();
        double plain = PlainWriteLoop(file.path, BenchFile::kSize, OPEN_EXISTING);
        EngineTimes engine = EngineWipe(file.path);
        if (engine.total <= 0)
            break;
        wipeRatios += plain / engine.wipe;
        totalRatios += plain / engine.total;
    }
    Report("file_wipe_ratio", wipeRatios / trials);
    Report("file_wipe_with_delete_ratio", totalRatios / trials);
}

VARNOX_BENCHMARK(FileWipeThroughput)
{
    // Methods 2 (zeros), 3 (random) and 5 (two patterns, random, read back),
    // each over a 1 GiB file, beside a loop of 1 MiB unbuffered write-through
    // transfers over the same file; the medians of three runs, since single
    // runs here vary by a third. Verification is timed on its own. The loop
    // and method 2 take turns at going first, each right after the file was
    // written whole, so that neither inherits the other's cache.
    BenchFile file;
    const double gigabyte = BenchFile::kSize / kMB;
    std::vector<double> plain, zero, random, patterns, verify;
    for (int trial = 0; trial < 3; ++trial) {
        for (bool loopNow : {trial % 2 == 0, trial % 2 != 0}) {
            file.Allocate();
            if (loopNow) {
                plain.push_back(gigabyte /
                                PlainWriteLoop(file.path, BenchFile::kSize, OPEN_EXISTING, BenchFile::kMiB));
            } else {
                EngineTimes times = EngineWipe(file.path, 2);
                zero.push_back(times.wipe > 0 ? gigabyte / times.wipe : 0);
            }
        }
        file.Allocate();
        EngineTimes times = EngineWipe(file.path, 3);
        random.push_back(times.wipe > 0 ? gigabyte / times.wipe : 0);
        file.Allocate();
        times = EngineWipe(file.path, 5);
        if (times.wipe > 0 && times.passEnds.size() == 4) {
            patterns.push_back(3 * gigabyte / (times.passEnds[2] - times.start));
            verify.push_back(gigabyte / (times.passEnds[3] - times.passEnds[2]));
        }
    }
    Report("plain_1mib_direct_mb_s", Median(plain));
    Report("file_wipe_mb_s_method2", Median(zero));
    Report("file_wipe_mb_s_method3", Median(random));
    Report("file_wipe_mb_s_method5", Median(patterns));
    Report("file_verify_mb_s_method5", Median(verify));
    Report("file_wipe_vs_1mib_ratio", Median(plain) > 0 ? Median(zero) / Median(plain) : 0);
}
