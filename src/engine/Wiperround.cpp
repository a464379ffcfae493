// The pass loop shared by file, volume and free-space wiping.
#include <windows.h>
#include <algorithm>
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
        // At the end of a read-back pass, `written` still holds the latest write pass.
        Sha1Context* digest = digests[verify ? 1 : 0];
        if (digest)
            Sha1Init(*digest);
        ReportProgress();
        if (CheckCancelled())
            return false;
        if (!RunPass(file, units, offsetBase, verify, digest))
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

bool WiperThread::RunPass(HANDLE file, int64_t units, int64_t offsetBase, bool verify, Sha1Context* digest)
{
    const wchar_t* failureKey = verify ? L"Log.FileReadError" : L"Log.FileWriteError";
    ProgressPair& targetCounter = verify ? state.TargetRead : state.TargetWrite;
    ProgressPair& totalCounter = verify ? state.TotalRead : state.TotalWrite;
    int64_t start = 0;
    int32_t count = 0;
    uint8_t* buffer = nullptr;
    while (wiper->NextBlock(start, count, buffer)) {
        int64_t offset = start * unitSize;
        if (!SeekTarget(file, offset, offsetBase + offset))
            return false;
        count = static_cast<int32_t>(std::min<int64_t>(count, units - start));
        DWORD bytes = static_cast<DWORD>(count) * static_cast<DWORD>(unitSize);
        ReportProgress();
        if (CheckCancelled())
            return false;
        if (!buffer) {
            PostSystemError(failureKey, ERROR_NOT_ENOUGH_MEMORY, offsetBase + offset);
            return false;
        }
        DWORD done = 0;
        if (!(verify ? io.Read(file, buffer, bytes, done) : io.Write(file, buffer, bytes, done))) {
            DWORD error = io.LastError();
            PostSystemError(failureKey, error, offsetBase + offset);
            return false;
        }
        targetCounter.Current += done;
        totalCounter.Current += done;
        if (digest)
            Sha1Update(*digest, buffer, done);
        // A transfer that stops short leaves part of the block untouched.
        if (done < bytes) {
            PostSystemError(failureKey, verify ? ERROR_HANDLE_EOF : ERROR_WRITE_FAULT, offsetBase + offset + done);
            return false;
        }
    }
    // Data that may not have reached the medium is not wiped.
    if (!io.Flush(file)) {
        DWORD error = io.LastError();
        PostSystemError(L"Log.FileWriteError", error, offsetBase);
        return false;
    }
    return true;
}
