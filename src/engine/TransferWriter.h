#pragma once
// Moves a pass's data between memory and one open file or volume in large
// transfers, with a few buffers in flight: a thread of its own does the
// seeks, writes and reads, so that the job's worker fills the next buffer
// (or checks the last one read) meanwhile. Used by the worker thread only;
// every buffer comes back to it in order, with what happened to it.
//
// A failed transfer ends the pass: what was queued behind it is not started.
// Right before the data of a transfer moves, whichever thread moves it asks
// `checkpoint`, which holds while the job is paused and says whether it is
// to stop. Nothing is in flight once End has returned, so the target can be
// flushed, closed or deleted.
#include <windows.h>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>
#include "engine/WipeIo.h"

class JobSystem;

class TransferWriter {
public:
    // Buffers in flight at most: one being transferred, the others filled meanwhile.
    static constexpr int kBuffers = 3;
    // Bytes per transfer the pass loops aim at (whole blocks of a method).
    static constexpr uint32_t kPreferredTransferBytes = 1u << 20;
    // The largest single transfer: a unit count times the unit size stays well
    // inside 32 bits, however large the units.
    static constexpr uint32_t kMaxTransferBytes = 32u << 20;

    enum class Outcome : uint8_t {
        Moved,           // every byte of every run
        Stopped,         // the job stopped, or an earlier transfer failed: the rest was not started
        SeekFailed,      // `error` at `errorOffset`
        TransferFailed,  // the read or write itself failed: `error` at `errorOffset`
        Short,           // the system moved fewer bytes than asked; the first missing at `errorOffset`
    };

    // A run of the target: `bytes` at byte `offset`, held at `at` in the buffer.
    struct Run {
        int64_t offset;
        uint32_t bytes;
        uint32_t at;
    };

    struct Transfer {
        uint8_t* data = nullptr;  // page aligned, at least `capacity` bytes
        uint32_t capacity = 0;    // bytes of this pass's transfers
        uint32_t used = 0;        // bytes of `data` the runs take, from its start
        std::vector<Run> runs;
        // Left to the caller from one use of the buffer to the next (what `data` holds).
        uint64_t contentTag = 0;
        uint32_t contentBytes = 0;
        // What happened, once handed back.
        Outcome outcome = Outcome::Stopped;
        uint32_t done = 0;  // bytes moved, from the start of `data`
        DWORD error = ERROR_SUCCESS;
        int64_t errorOffset = 0;

        bool Fits(uint32_t bytes) const { return bytes <= capacity - used; }
        // Appends `bytes` at `offset` of the target, joined to the last run when it follows it.
        void Add(int64_t offset, uint32_t bytes);
    };

    using Completion = std::function<void(const Transfer&)>;

    TransferWriter(WipeIo& io, JobSystem& system, std::function<bool()> checkpoint);
    ~TransferWriter();
    TransferWriter(const TransferWriter&) = delete;
    TransferWriter& operator=(const TransferWriter&) = delete;

    // The bytes per transfer for blocks of `blockBytes`: whole blocks, at
    // least kPreferredTransferBytes unless that would exceed kMaxTransferBytes.
    static constexpr uint32_t TransferBytes(uint32_t blockBytes)
    {
        if (blockBytes == 0 || blockBytes >= kMaxTransferBytes)
            return blockBytes;
        uint32_t blocks = (kPreferredTransferBytes + blockBytes - 1) / blockBytes;
        return std::min(blocks, kMaxTransferBytes / blockBytes) * blockBytes;
    }

    // Begins a pass over `file`: writes, or with `read` reads, in transfers
    // of up to `capacity` bytes; `completed` gets every transfer back, in
    // order, on the calling thread. False when the buffers cannot be had.
    bool Begin(HANDLE file, bool read, uint32_t capacity, Completion completed);
    // The next buffer to fill (writes) or to lay runs in (reads), empty. When
    // every buffer is on its way, waits for the oldest and hands it back first.
    Transfer& Next();
    // Sends the buffer that Next gave. The last one of a pass, when nothing
    // is on its way, is moved at once on this thread: a short pass costs no
    // thread switch.
    void Submit(Transfer& transfer, bool last);
    // Waits for everything sent and hands it back; with `abandon`, what has
    // not started yet is not started. A buffer taken by Next and not sent is dropped.
    void End(bool abandon);
    // Ends the thread and releases the buffers; Begin starts again.
    void Stop();

private:
    enum class Slot : uint8_t { Free, Filling, Queued, Moving, Done };

    static DWORD WINAPI ThreadProc(LPVOID parameter);
    void Serve();
    void Move(Transfer& transfer);
    bool StartThread();
    void HandBack(int index);
    Slot SlotOf(int index);
    void SetSlot(int index, Slot slot);
    void ReleaseBuffers();

    WipeIo& io;
    JobSystem& system;
    std::function<bool()> checkpoint;
    HANDLE file = INVALID_HANDLE_VALUE;
    bool read = false;
    Completion completed;

    Transfer transfers[kBuffers];
    uint32_t allocated = 0;  // bytes of each buffer
    int fillIndex = 0;       // the buffer Next gives; the oldest on its way when all are
    // Guarded by `lock`:
    SRWLOCK lock = SRWLOCK_INIT;
    Slot slots[kBuffers] = {};
    CONDITION_VARIABLE queuedChanged = CONDITION_VARIABLE_INIT;
    CONDITION_VARIABLE doneChanged = CONDITION_VARIABLE_INIT;
    int moveIndex = 0;   // the buffer the thread moves next
    int inFlight = 0;    // queued or moving
    bool abandon = false;
    bool passFailed = false;
    bool quit = false;

    HANDLE thread = nullptr;
    bool threadRefused = false;  // could not be started: every transfer is moved on the caller's thread
};
