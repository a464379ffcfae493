#include "engine/TransferWriter.h"

#include <algorithm>
#include "engine/Wiperthread.h"

namespace {

int Following(int index)
{
    return (index + 1) % TransferWriter::kBuffers;
}

bool IsFailure(TransferWriter::Outcome outcome)
{
    return outcome != TransferWriter::Outcome::Moved && outcome != TransferWriter::Outcome::Stopped;
}

// Holds the writer's lock for a scope.
class Exclusive {
public:
    explicit Exclusive(SRWLOCK& lock) : lock(lock) { AcquireSRWLockExclusive(&lock); }
    ~Exclusive() { ReleaseSRWLockExclusive(&lock); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;

private:
    SRWLOCK& lock;
};

}  // namespace

void TransferWriter::Transfer::Add(int64_t offset, uint32_t bytes)
{
    if (!runs.empty() && runs.back().offset + runs.back().bytes == offset)
        runs.back().bytes += bytes;
    else
        runs.push_back({offset, bytes, used});
    used += bytes;
}

TransferWriter::TransferWriter(WipeIo& io, JobSystem& system, std::function<bool()> checkpoint)
    : io(io), system(system), checkpoint(std::move(checkpoint))
{
}

TransferWriter::~TransferWriter()
{
    Stop();
}

bool TransferWriter::Begin(HANDLE target, bool readBack, uint32_t capacity, Completion onCompleted)
{
    if (capacity > allocated) {
        ReleaseBuffers();
        for (Transfer& transfer : transfers) {
            transfer.data = static_cast<uint8_t*>(
                VirtualAlloc(nullptr, capacity, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
            if (!transfer.data) {
                ReleaseBuffers();
                return false;
            }
        }
        allocated = capacity;
    }
    for (Transfer& transfer : transfers)
        transfer.capacity = capacity;
    file = target;
    read = readBack;
    completed = std::move(onCompleted);
    Exclusive hold(lock);
    abandon = false;
    passFailed = false;
    return true;
}

TransferWriter::Transfer& TransferWriter::Next()
{
    if (SlotOf(fillIndex) != Slot::Free)
        HandBack(fillIndex);
    Transfer& transfer = transfers[fillIndex];
    transfer.used = 0;
    transfer.runs.clear();
    transfer.outcome = Outcome::Stopped;
    transfer.done = 0;
    transfer.error = ERROR_SUCCESS;
    transfer.errorOffset = 0;
    // Reading overwrites whatever the buffer held.
    if (read) {
        transfer.contentTag = 0;
        transfer.contentBytes = 0;
    }
    SetSlot(fillIndex, Slot::Filling);
    return transfer;
}

void TransferWriter::Submit(Transfer& transfer, bool last)
{
    const int index = static_cast<int>(&transfer - transfers);
    bool here;
    {
        Exclusive hold(lock);
        here = threadRefused || (last && inFlight == 0);
    }
    if (!here && !thread)
        here = !StartThread();
    fillIndex = Following(index);
    if (!here) {
        Exclusive hold(lock);
        slots[index] = Slot::Queued;
        inFlight += 1;
        WakeConditionVariable(&queuedChanged);
        return;
    }
    // Nothing is on its way, so the thread (if any) waits for this very buffer: move it here instead.
    bool skip;
    {
        Exclusive hold(lock);
        slots[index] = Slot::Moving;
        skip = abandon || passFailed;
    }
    if (!skip)
        Move(transfer);
    Exclusive hold(lock);
    passFailed |= IsFailure(transfer.outcome);
    slots[index] = Slot::Done;
    moveIndex = Following(index);
}

void TransferWriter::End(bool abandonQueued)
{
    if (abandonQueued) {
        Exclusive hold(lock);
        abandon = true;
    }
    if (SlotOf(fillIndex) == Slot::Filling)
        SetSlot(fillIndex, Slot::Free);
    // From the oldest on.
    for (int i = 0; i < kBuffers; ++i) {
        int index = (fillIndex + i) % kBuffers;
        if (SlotOf(index) != Slot::Free)
            HandBack(index);
    }
    completed = nullptr;  // it may refer to the pass that has ended
}

void TransferWriter::Stop()
{
    if (thread) {
        {
            Exclusive hold(lock);
            quit = true;
            WakeAllConditionVariable(&queuedChanged);
        }
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
        Exclusive hold(lock);
        quit = false;
    }
    ReleaseBuffers();
}

void TransferWriter::HandBack(int index)
{
    {
        Exclusive hold(lock);
        while (slots[index] == Slot::Queued || slots[index] == Slot::Moving)
            SleepConditionVariableSRW(&doneChanged, &lock, INFINITE, 0);
    }
    if (completed)
        completed(transfers[index]);
    SetSlot(index, Slot::Free);
}

TransferWriter::Slot TransferWriter::SlotOf(int index)
{
    Exclusive hold(lock);
    return slots[index];
}

void TransferWriter::SetSlot(int index, Slot slot)
{
    Exclusive hold(lock);
    slots[index] = slot;
}

bool TransferWriter::StartThread()
{
    thread = system.StartThread(ThreadProc, this);
    threadRefused = thread == nullptr;
    return !threadRefused;
}

DWORD WINAPI TransferWriter::ThreadProc(LPVOID parameter)
{
    static_cast<TransferWriter*>(parameter)->Serve();
    return 0;
}

void TransferWriter::Serve()
{
    Exclusive hold(lock);
    for (;;) {
        while (!quit && slots[moveIndex] != Slot::Queued)
            SleepConditionVariableSRW(&queuedChanged, &lock, INFINITE, 0);
        if (slots[moveIndex] != Slot::Queued)
            return;
        const int index = moveIndex;
        slots[index] = Slot::Moving;
        bool skip = abandon || passFailed;
        ReleaseSRWLockExclusive(&lock);
        if (!skip)
            Move(transfers[index]);
        AcquireSRWLockExclusive(&lock);
        passFailed |= IsFailure(transfers[index].outcome);
        slots[index] = Slot::Done;
        inFlight -= 1;
        moveIndex = Following(index);
        WakeAllConditionVariable(&doneChanged);
    }
}

void TransferWriter::Move(Transfer& transfer)
{
    for (const Run& run : transfer.runs) {
        if (!io.Seek(file, run.offset)) {
            transfer.error = io.LastError();
            transfer.errorOffset = run.offset;
            transfer.outcome = Outcome::SeekFailed;
            return;
        }
        // Right before the data moves: a pause holds here, a cancel stops here.
        if (checkpoint()) {
            transfer.outcome = Outcome::Stopped;
            return;
        }
        DWORD moved = 0;
        uint8_t* at = transfer.data + run.at;
        if (!(read ? io.Read(file, at, run.bytes, moved) : io.Write(file, at, run.bytes, moved))) {
            // The thread's own last error: it is read on the thread that failed.
            transfer.error = io.LastError();
            transfer.errorOffset = run.offset;
            transfer.outcome = Outcome::TransferFailed;
            return;
        }
        moved = std::min<DWORD>(moved, run.bytes);
        transfer.done += moved;
        if (moved < run.bytes) {
            transfer.errorOffset = run.offset + moved;
            transfer.outcome = Outcome::Short;
            return;
        }
    }
    transfer.outcome = Outcome::Moved;
}

void TransferWriter::ReleaseBuffers()
{
    for (Transfer& transfer : transfers) {
        if (transfer.data)
            VirtualFree(transfer.data, 0, MEM_RELEASE);
        transfer = Transfer{};
    }
    allocated = 0;
}
