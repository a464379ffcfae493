// The pass loop shared by file, volume and free-space wiping.
#include <windows.h>
#include <algorithm>
#include <cstring>
#include "engine/Sha1hasher.h"
#include "engine/Wiperthread.h"

bool WiperThread::WipeRound(int64_t units)
{
    int64_t bytes = static_cast<int64_t>(state.RoundCount) * unitSize * units;
    state.TargetWrite.Total = bytes * wiper->WritePassCount();
    state.TargetRead.Total = bytes * wiper->VerifyPassCount();
    return RunRound(targetHandle, units, BlockUnits(512), 0);
}

bool WiperThread::RunRound(HANDLE file, int64_t units, int32_t blockUnits, int64_t offsetBase)
{
    wiper->Start(unitSize, units, blockUnits);
    state.PassIndex = 0;
    // Digests serve only the read-back comparison; methods without one skip them.
    Sha1Context written, read;
    Sha1Context* digests[2] = {nullptr, nullptr};
    if (wiper->VerifyPassCount() > 0) {
        digests[0] = &written;
        digests[1] = &read;
        Sha1Init(written);
        Sha1Init(read);
    }
    while (wiper->NextPass()) {
        bool verify = wiper->IsVerifyPass();
        state.VerifyPass = verify ? 1 : 0;
        // At the end of a read-back pass, `written` still holds the latest
        // write pass. Only a write pass that is read back next is digested.
        Sha1Context* digest = digests[verify ? 1 : 0];
        if (digest)
            Sha1Init(*digest);
        if (!verify && !wiper->NextPassVerifies())
            digest = nullptr;
        ReportProgress();
        if (CheckCancelled())
            return false;
        if (!RunPass(file, units, blockUnits, offsetBase, verify, digest))
            return false;
        if (verify) {
            std::wstring writtenHash = Sha1HexDigest(written);
            std::wstring readHash = Sha1HexDigest(read);
            if (writtenHash != readHash) {
                PostLog(kLogCategoryError, L"Log.VerificationError",
                        {{L"WrittenDataHash", writtenHash}, {L"ReadDataHash", readHash}});
                return false;
            }
        }
        ReportProgress();
        if (CheckCancelled())
            return false;
        state.PassIndex += 1;
    }
    return true;
}

bool WiperThread::RunPass(HANDLE file, int64_t units, int32_t blockUnits, int64_t offsetBase, bool verify,
                          Sha1Context* digest)
{
    const wchar_t* failureKey = verify ? L"Log.FileReadError" : L"Log.FileWriteError";
    ProgressPair& targetCounter = verify ? state.TargetRead : state.TargetWrite;
    ProgressPair& totalCounter = verify ? state.TotalRead : state.TotalWrite;
    bool failed = false, stopped = false;
    // Transfers come back in order: what moved is counted (and read-back data
    // taken into the digest) before anything is said about what did not.
    auto completed = [&](const TransferWriter::Transfer& transfer) {
        targetCounter.Current += transfer.done;
        totalCounter.Current += transfer.done;
        if (verify && digest)
            Sha1Update(*digest, transfer.data, transfer.done);
        switch (transfer.outcome) {
        case TransferWriter::Outcome::Moved:
            return;
        case TransferWriter::Outcome::Stopped:
            stopped = true;
            return;
        case TransferWriter::Outcome::SeekFailed:
            PostSystemError(L"Log.FileSeekError", transfer.error, offsetBase + transfer.errorOffset);
            break;
        case TransferWriter::Outcome::TransferFailed:
            PostSystemError(failureKey, transfer.error, offsetBase + transfer.errorOffset);
            break;
        case TransferWriter::Outcome::Short:
            // Part of the transfer was left untouched.
            PostSystemError(failureKey, verify ? ERROR_HANDLE_EOF : ERROR_WRITE_FAULT,
                            offsetBase + transfer.errorOffset);
            break;
        }
        failed = true;
    };
    const uint32_t blockBytes = static_cast<uint32_t>(blockUnits) * static_cast<uint32_t>(unitSize);
    const uint32_t transferBytes = TransferWriter::TransferBytes(blockBytes);
    if (!writer.Begin(file, verify, transferBytes, completed)) {
        PostSystemError(failureKey, ERROR_NOT_ENOUGH_MEMORY, offsetBase);
        return false;
    }
    // A block the method did not refill holds the bytes of the pass's
    // pattern; a buffer that holds them already from an earlier transfer of
    // this pass is not filled again. `period` is the length of one copy.
    const uint64_t passTag = ++passSerial;
    uint32_t period = 0;
    TransferWriter::Transfer* transfer = nullptr;
    int64_t start = 0;
    int32_t count = 0;
    uint8_t* buffer = nullptr;
    while (!failed && !stopped && wiper->NextBlock(start, count, buffer)) {
        int64_t offset = start * unitSize;
        count = static_cast<int32_t>(std::min<int64_t>(count, units - start));
        uint32_t bytes = static_cast<uint32_t>(count) * static_cast<uint32_t>(unitSize);
        if (transfer && !transfer->Fits(bytes)) {
            writer.Submit(*transfer, false);
            transfer = nullptr;
        }
        if (!transfer) {
            // The checkpoint before every transfer.
            ReportProgress();
            if (CheckCancelled()) {
                stopped = true;
                break;
            }
            transfer = &writer.Next();
            if (failed || stopped)
                break;
        }
        // A block longer than a whole transfer would not fit any buffer.
        if (!buffer || !transfer->Fits(bytes)) {
            PostSystemError(failureKey, buffer ? ERROR_INSUFFICIENT_BUFFER : ERROR_NOT_ENOUGH_MEMORY,
                            offsetBase + offset);
            failed = true;
            break;
        }
        if (!verify) {
            bool pattern = !wiper->BlockRefilled();
            if (pattern && period == 0)
                period = bytes;
            FillTransfer(*transfer, buffer, bytes, pattern ? passTag : 0, period);
            if (digest)
                Sha1Update(*digest, buffer, bytes);
        }
        transfer->Add(offset, bytes);
    }
    if (transfer && !failed && !stopped)
        writer.Submit(*transfer, true);
    writer.End(failed || stopped);
    if (failed || stopped)
        return false;
    // Data that may not have reached the medium is not wiped.
    if (!io.Flush(file)) {
        DWORD error = io.LastError();
        PostSystemError(L"Log.FileWriteError", error, offsetBase);
        return false;
    }
    return true;
}

void WiperThread::FillTransfer(TransferWriter::Transfer& transfer, const uint8_t* block, uint32_t bytes,
                               uint64_t patternTag, uint32_t period)
{
    // The buffer's first `contentBytes` are copies of the pattern, one per
    // `period` bytes, while `contentTag` names the pass.
    const uint32_t at = transfer.used;
    const bool aligned = patternTag != 0 && period != 0 && bytes <= period && at % period == 0;
    const uint32_t held = patternTag != 0 && transfer.contentTag == patternTag ? transfer.contentBytes : 0;
    if (aligned && at + bytes <= held)
        return;
    std::memcpy(transfer.data + at, block, bytes);
    if (aligned && bytes == period && at == held) {
        transfer.contentTag = patternTag;
        transfer.contentBytes = at + bytes;
    } else {
        transfer.contentBytes = std::min(transfer.contentBytes, at);
    }
}
