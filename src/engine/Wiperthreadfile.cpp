// The target operations of a file job: wipe and delete a file, remove a directory.
#include "platform/HandleHolder.h"
#include "engine/Wiperthread.h"

void WiperThread::WipeFile()
{
    state.State = StateWiping;
    FileInfo& info = *fileList.At(state.TargetIndex);
    // Exclusive, unbuffered and write-through, so that every pass reaches the
    // medium. Attributes are left alone: a read-only file fails here. Some
    // systems (Wine run by root) would open it anyway, so it is refused first.
    // A symbolic link is opened as itself, never followed: the file it points
    // to was not selected, and only the link (no data of its own) is removed.
    DWORD attributes = io.Attributes(info.Path);
    bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (!readOnly)
        targetHandle = io.Open(info.Path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                               FILE_FLAG_WRITE_THROUGH | FILE_FLAG_NO_BUFFERING | FILE_FLAG_OPEN_REPARSE_POINT);
    if (readOnly || targetHandle == INVALID_HANDLE_VALUE) {
        DWORD error = readOnly ? DWORD(ERROR_ACCESS_DENIED) : io.LastError();
        PostSystemError(L"Log.FileOpenError", error);
        state.FailedCount += 1;
        info.Success = 0;
        return;
    }
    bool complete = true;
    {
        HandleHolder holder(targetHandle, io);
        // The file may have grown since it was listed; every byte it holds now
        // is wiped, and the job's totals grow with it.
        int64_t size = static_cast<int64_t>(info.Size);
        int64_t current = 0;
        if (io.Size(targetHandle, current) && current > size) {
            int64_t added = ((current + unitSize - 1) / unitSize - (size + unitSize - 1) / unitSize) * unitSize *
                            state.RoundCount;
            state.TotalWrite.Total += added * wiper->WritePassCount();
            state.TotalRead.Total += added * wiper->VerifyPassCount();
            size = current;
        }
        int64_t units = (size + unitSize - 1) / unitSize;
        for (state.RoundIndex = 0; state.RoundIndex < state.RoundCount; ++state.RoundIndex) {
            if (!WipeRound(units) || CheckCancelled()) {
                complete = false;
                break;
            }
        }
    }
    // A cancel that arrived after the last pass still keeps the file: it is
    // deleted only while the user has not said stop.
    if (!complete || CheckCancelled()) {
        state.PartialCount += 1;
        info.Success = 0;
        return;
    }
    state.State = StateDeleting;
    ReportProgress();
    if (io.Delete(info.Path)) {
        PostTargetDeleted(state.TargetIndex);
        state.FileDeletions += 1;
    } else {
        DWORD error = io.LastError();
        PostSystemError(L"Log.FileDeleteError", error);
        state.PartialCount += 1;
        info.Success = 0;
    }
}

void WiperThread::DeleteDirectory()
{
    state.State = StateDeleting;
    state.RoundIndex = state.RoundCount;
    state.PassIndex = 0;
    state.TargetWrite = {};
    state.TargetRead = {};
    ReportProgress();
    FileInfo& info = *fileList.At(state.TargetIndex);
    if (io.RemoveDir(info.Path)) {
        PostTargetDeleted(state.TargetIndex);
        state.DirDeletions += 1;
    } else {
        DWORD error = io.LastError();
        PostSystemError(L"Log.DirDeleteError", error);
        state.FailedCount += 1;
        info.Success = 0;
    }
}
