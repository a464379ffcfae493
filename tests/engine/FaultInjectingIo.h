#pragma once
// A WipeIo that forwards to another one and, on request, fails chosen calls,
// cuts transfers short, corrupts read-back data or slows calls down. All its
// state is per instance, so jobs on worker threads can each have their own.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>
#include "engine/WipeIo.h"

class WiperThread;

enum class IoCall {
    Open, Seek, Read, Write, Flush, Size, SetEnd, Close, Delete, RemoveDir, Attributes,
    DiskFreeSpace, DiskFreeSpaceEx, TempFileName, Control, Count
};

class FaultInjectingIo : public WipeIo {
public:
    explicit FaultInjectingIo(WipeIo& inner = SystemWipeIo()) : inner(inner) {}

    // The `nth` call (1-based) of that kind fails with `error`; with
    // `persistent`, every later one too. IoCall::Count stands for every kind:
    // the `nth` call of any kind, counted together (a Close is counted but
    // always done).
    void Fail(IoCall call, int nth, DWORD error, bool persistent = false);
    // From inside the `nth` call of that kind (IoCall::Count: of any kind),
    // on the caller's thread, cancels the job that SetJob names, before the
    // call is done. Calls after it are recorded.
    void CancelAt(IoCall call, int nth);
    // The job CancelAt cancels; RunJob sets it. A call that is to cancel waits until it is known.
    void SetJob(WiperThread* job) { this->job.store(job); }
    // The `nth` read or write transfers only half of what was asked and reports success.
    void CutShort(IoCall call, int nth);
    // The `nth` call fails with `error`; a read or write (of any kind, with
    // IoCall::Count) first moves the first half of its whole sectors, as a
    // transfer that fails on its way does.
    void FailPartWay(IoCall call, int nth, DWORD error);
    // The data of the `nth` read comes back with one bit flipped.
    void CorruptRead(int nth);
    // Every call of that kind first sleeps.
    void Delay(IoCall call, DWORD milliseconds);
    // Runs after every successful flush, on the caller's thread, with the flushed handle.
    std::function<void(HANDLE)> afterFlush;

    int Calls(IoCall call) const { return counts[static_cast<int>(call)].load(); }
    // Calls of every kind together.
    int TotalCalls() const { return totalCalls.load(); }
    // Handles handed out, and handed back to Close.
    int Opened() const { return opened.load(); }
    int Closed() const { return closed.load(); }
    WipeIo& Inner() { return inner; }

    // What happened after CancelAt cancelled the job (read once it has ended).
    bool CancelSent() const { return cancelSent.load(); }
    int writesAfterCancel = 0;
    int removedDirsAfterCancel = 0;
    std::vector<std::wstring> deletedAfterCancel;

    HANDLE Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                DWORD flagsAndAttributes) override;
    bool Seek(HANDLE file, int64_t offset) override;
    bool Read(HANDLE file, void* buffer, DWORD bytes, DWORD& done) override;
    bool Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done) override;
    bool Flush(HANDLE file) override;
    bool Size(HANDLE file, int64_t& size) override;
    bool SetEnd(HANDLE file) override;
    bool Close(HANDLE handle) override;
    bool Delete(const std::wstring& path) override;
    bool RemoveDir(const std::wstring& path) override;
    DWORD Attributes(const std::wstring& path) override;
    bool DiskFreeSpace(const std::wstring& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                       DWORD& freeClusters, DWORD& totalClusters) override;
    bool DiskFreeSpaceEx(const std::wstring& root, uint64_t& callerFreeBytes, uint64_t& totalBytes,
                         uint64_t& totalFreeBytes) override;
    UINT TempFileName(const std::wstring& directory, const std::wstring& prefix, UINT unique,
                      std::wstring& name) override;
    bool Control(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                 DWORD outputSize, DWORD& returned) override;
    DWORD LastError() override { return inner.LastError(); }

private:
    struct Rule {
        enum Kind { FailCall, FailAfterHalf, Short, Corrupt, CancelJob } kind;
        IoCall call;
        int nth;
        DWORD error;
        bool persistent;
    };
    // Counts the call; returns the rule that applies to it, if any.
    const Rule* Enter(IoCall call);
    // True when the call must fail; the thread's last error is then set.
    bool Injected(IoCall call, const Rule*& rule);
    // A read or write under `rule`: false when it failed, `done` what moved.
    bool Transfer(IoCall call, HANDLE file, void* buffer, DWORD bytes, DWORD& done);
    bool InnerTransfer(IoCall call, HANDLE file, void* buffer, DWORD bytes, DWORD& done);

    WipeIo& inner;
    std::vector<Rule> rules;
    DWORD delays[static_cast<int>(IoCall::Count)] = {};
    std::atomic<int> counts[static_cast<int>(IoCall::Count)] = {};
    std::atomic<int> totalCalls{0};
    std::atomic<int> opened{0}, closed{0};
    std::atomic<WiperThread*> job{nullptr};
    std::atomic<bool> cancelSent{false};
};
