#include "FaultInjectingIo.h"

#include "engine/Wiperthread.h"

void FaultInjectingIo::Fail(IoCall call, int nth, DWORD error, bool persistent)
{
    rules.push_back({Rule::FailCall, call, nth, error, persistent});
}

void FaultInjectingIo::CutShort(IoCall call, int nth)
{
    rules.push_back({Rule::Short, call, nth, 0, false});
}

void FaultInjectingIo::FailPartWay(IoCall call, int nth, DWORD error)
{
    rules.push_back({Rule::FailAfterHalf, call, nth, error, false});
}

void FaultInjectingIo::CorruptRead(int nth)
{
    rules.push_back({Rule::Corrupt, IoCall::Read, nth, 0, false});
}

void FaultInjectingIo::CancelAt(IoCall call, int nth)
{
    rules.push_back({Rule::CancelJob, call, nth, 0, false});
}

void FaultInjectingIo::Delay(IoCall call, DWORD milliseconds)
{
    delays[static_cast<int>(call)] = milliseconds;
}

const FaultInjectingIo::Rule* FaultInjectingIo::Enter(IoCall call)
{
    int index = static_cast<int>(call);
    if (delays[index])
        Sleep(delays[index]);
    int number = ++counts[index];
    int total = ++totalCalls;
    const Rule* found = nullptr;
    for (const Rule& rule : rules) {
        bool any = rule.call == IoCall::Count;
        int n = any ? total : number;
        if ((any || rule.call == call) && (rule.nth == n || (rule.persistent && n > rule.nth))) {
            if (rule.kind != Rule::CancelJob) {
                found = found ? found : &rule;
                continue;
            }
            // The job is named right after its worker starts; wait for that.
            while (!job.load())
                Sleep(1);
            job.load()->Cancel();
            cancelSent.store(true);
        }
    }
    return found;
}

bool FaultInjectingIo::Injected(IoCall call, const Rule*& rule)
{
    rule = Enter(call);
    bool transfer = call == IoCall::Read || call == IoCall::Write;
    if (rule && (rule->kind == Rule::FailCall || (rule->kind == Rule::FailAfterHalf && !transfer))) {
        SetLastError(rule->error);
        return true;
    }
    return false;
}

bool FaultInjectingIo::InnerTransfer(IoCall call, HANDLE file, void* buffer, DWORD bytes, DWORD& done)
{
    return call == IoCall::Read ? inner.Read(file, buffer, bytes, done) : inner.Write(file, buffer, bytes, done);
}

bool FaultInjectingIo::Transfer(IoCall call, HANDLE file, void* buffer, DWORD bytes, DWORD& done)
{
    const Rule* rule;
    done = 0;
    if (Injected(call, rule))
        return false;
    if (rule && rule->kind == Rule::Short)
        bytes /= 2;
    if (rule && rule->kind == Rule::FailAfterHalf) {
        DWORD half = bytes / 2 / 512 * 512;
        if (half > 0 && !InnerTransfer(call, file, buffer, half, done))
            return false;
        SetLastError(rule->error);
        return false;
    }
    if (!InnerTransfer(call, file, buffer, bytes, done))
        return false;
    if (rule && rule->kind == Rule::Corrupt && call == IoCall::Read && done > 0)
        static_cast<uint8_t*>(buffer)[done / 2] ^= 0x01;
    return true;
}

HANDLE FaultInjectingIo::Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition,
                              DWORD flagsAndAttributes)
{
    const Rule* rule;
    if (Injected(IoCall::Open, rule))
        return INVALID_HANDLE_VALUE;
    HANDLE handle = inner.Open(path, access, share, disposition, flagsAndAttributes);
    if (handle != INVALID_HANDLE_VALUE)
        ++opened;
    return handle;
}

bool FaultInjectingIo::Seek(HANDLE file, int64_t offset)
{
    const Rule* rule;
    return !Injected(IoCall::Seek, rule) && inner.Seek(file, offset);
}

bool FaultInjectingIo::Read(HANDLE file, void* buffer, DWORD bytes, DWORD& done)
{
    return Transfer(IoCall::Read, file, buffer, bytes, done);
}

bool FaultInjectingIo::Write(HANDLE file, const void* buffer, DWORD bytes, DWORD& done)
{
    if (cancelSent.load())
        ++writesAfterCancel;
    return Transfer(IoCall::Write, file, const_cast<void*>(buffer), bytes, done);
}

bool FaultInjectingIo::Flush(HANDLE file)
{
    const Rule* rule;
    if (Injected(IoCall::Flush, rule) || !inner.Flush(file))
        return false;
    if (afterFlush)
        afterFlush(file);
    return true;
}

bool FaultInjectingIo::Size(HANDLE file, int64_t& size)
{
    const Rule* rule;
    return !Injected(IoCall::Size, rule) && inner.Size(file, size);
}

bool FaultInjectingIo::SetEnd(HANDLE file)
{
    const Rule* rule;
    return !Injected(IoCall::SetEnd, rule) && inner.SetEnd(file);
}

bool FaultInjectingIo::Close(HANDLE handle)
{
    Enter(IoCall::Close);
    ++closed;
    // A handle is always closed for real, so that no test leaks one.
    return inner.Close(handle);
}

bool FaultInjectingIo::Delete(const std::wstring& path)
{
    const Rule* rule;
    if (cancelSent.load())
        deletedAfterCancel.push_back(path);
    return !Injected(IoCall::Delete, rule) && inner.Delete(path);
}

bool FaultInjectingIo::RemoveDir(const std::wstring& path)
{
    const Rule* rule;
    if (cancelSent.load())
        ++removedDirsAfterCancel;
    return !Injected(IoCall::RemoveDir, rule) && inner.RemoveDir(path);
}

DWORD FaultInjectingIo::Attributes(const std::wstring& path)
{
    const Rule* rule;
    if (Injected(IoCall::Attributes, rule))
        return INVALID_FILE_ATTRIBUTES;
    return inner.Attributes(path);
}

bool FaultInjectingIo::DiskFreeSpace(const std::wstring& root, DWORD& sectorsPerCluster, DWORD& bytesPerSector,
                                     DWORD& freeClusters, DWORD& totalClusters)
{
    const Rule* rule;
    return !Injected(IoCall::DiskFreeSpace, rule) &&
           inner.DiskFreeSpace(root, sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
}

bool FaultInjectingIo::DiskFreeSpaceEx(const std::wstring& root, uint64_t& callerFreeBytes, uint64_t& totalBytes,
                                       uint64_t& totalFreeBytes)
{
    const Rule* rule;
    return !Injected(IoCall::DiskFreeSpaceEx, rule) &&
           inner.DiskFreeSpaceEx(root, callerFreeBytes, totalBytes, totalFreeBytes);
}

UINT FaultInjectingIo::TempFileName(const std::wstring& directory, const std::wstring& prefix, UINT unique,
                                    std::wstring& name)
{
    const Rule* rule;
    if (Injected(IoCall::TempFileName, rule))
        return 0;
    return inner.TempFileName(directory, prefix, unique, name);
}

bool FaultInjectingIo::Control(HANDLE device, DWORD code, const void* input, DWORD inputSize, void* output,
                               DWORD outputSize, DWORD& returned)
{
    const Rule* rule;
    returned = 0;
    return !Injected(IoCall::Control, rule) &&
           inner.Control(device, code, input, inputSize, output, outputSize, returned);
}
