// What a file job does when the system refuses: the record, the counters, the
// Success flags, and what is left on disk.
#include <gtest/gtest.h>

#include "FaultInjectingIo.h"
#include "JobHarness.h"
#include "platform/SystemError.h"
#include "support/TempDir.h"

namespace {

std::string Filler(size_t size)
{
    return std::string(size, 'q');
}

void ExpectSystemError(const LogRecord& record, DWORD code)
{
    EXPECT_EQ(record.category, kLogCategoryError);
    EXPECT_EQ(record.variables.at(L"SystemErrorCode"), std::to_wstring(code));
    EXPECT_EQ(record.variables.at(L"SystemErrorMessage"), SystemErrorMessage(code));
}

struct Outcome {
    RecordingHandler handler;
    std::string contentAfter;
    bool existsAfter = false;
};

// One file of `blocks` full blocks wiped with `method`, one round, through `io`.
void WipeOneFile(int method, size_t size, FaultInjectingIo& io, Outcome& outcome, TempDir& dir)
{
    std::wstring path = dir.WriteFile(L"target", Filler(size));
    auto list = ListOf({path});
    RunJob(method, TargetFiles, 1, *list, outcome.handler, io);
    outcome.existsAfter = FileExists(path);
    ReadWholeFile(path, outcome.contentAfter);
    EXPECT_EQ(list->At(0)->Success, outcome.existsAfter ? 0 : 1);
    for (const LogRecord& record : outcome.handler.logs)
        EXPECT_EQ(record.path, path);
}

TEST(FileWipeFailure, ReadOnlyAndLockedFilesFailToOpenAndStayUntouched)
{
    TempDir dir;
    std::wstring readOnly = dir.WriteFile(L"ro", "keep me");
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    std::wstring locked = dir.WriteFile(L"locked", "keep me too");
    std::wstring wiped = dir.WriteFile(L"wiped", "gone");
    HANDLE other = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    auto list = ListOf({readOnly, locked, wiped});
    RecordingHandler handler;
    RunJob(9, TargetFiles, 1, *list, handler, SystemWipeIo());
    CloseHandle(other);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_EQ(Keys(handler), (std::vector<std::wstring>{L"Log.FileOpenError", L"Log.FileOpenError"}));
    EXPECT_EQ(handler.logs[0].path, readOnly);
    ExpectSystemError(handler.logs[0], ERROR_ACCESS_DENIED);
    EXPECT_EQ(handler.logs[1].path, locked);
    ExpectSystemError(handler.logs[1], ERROR_SHARING_VIOLATION);
    EXPECT_EQ(handler.finalState.FailedCount, 2);
    EXPECT_EQ(handler.finalState.PartialCount, 0);
    EXPECT_EQ(handler.deleted, std::vector<int32_t>{2});
    std::string content;
    ASSERT_TRUE(ReadWholeFile(readOnly, content));
    EXPECT_EQ(content, "keep me");
    ASSERT_TRUE(ReadWholeFile(locked, content));
    EXPECT_EQ(content, "keep me too");
    EXPECT_EQ(list->At(0)->Success, 0);
    EXPECT_EQ(list->At(1)->Success, 0);
    EXPECT_EQ(list->At(2)->Success, 1);
}

// Bytes per transfer of a file job on drive C:.
size_t TransferSize()
{
    return TransferWriter::TransferBytes(uint32_t(SectorSize()) * 512);
}

TEST(FileWipeFailure, WriteErrorAtATransferLeavesAPartialFileWithItsOffset)
{
    const size_t transfer = TransferSize();
    TempDir dir;
    FaultInjectingIo io;
    io.Fail(IoCall::Write, 2, ERROR_WRITE_FAULT);
    Outcome outcome;
    WipeOneFile(2, transfer * 3, io, outcome, dir);
    ASSERT_EQ(Keys(outcome.handler), std::vector<std::wstring>{L"Log.FileWriteError"});
    ExpectSystemError(outcome.handler.logs[0], ERROR_WRITE_FAULT);
    EXPECT_EQ(outcome.handler.logs[0].variables.at(L"ErrorOffset"), std::to_wstring(transfer));
    EXPECT_TRUE(outcome.existsAfter);
    EXPECT_EQ(outcome.contentAfter, std::string(transfer, '\0') + Filler(transfer * 2));
    EXPECT_EQ(outcome.handler.finalState.PartialCount, 1);
    EXPECT_EQ(outcome.handler.finalState.FileDeletions, 0);
    EXPECT_EQ(outcome.handler.finalState.State, StateCompleted);
}

TEST(FileWipeFailure, SeekErrorAtATransferLeavesAPartialFileWithItsOffset)
{
    const size_t transfer = TransferSize();
    TempDir dir;
    FaultInjectingIo io;
    io.Fail(IoCall::Seek, 3, ERROR_NEGATIVE_SEEK);
    Outcome outcome;
    WipeOneFile(7, transfer * 3, io, outcome, dir);
    ASSERT_EQ(Keys(outcome.handler), std::vector<std::wstring>{L"Log.FileSeekError"});
    ExpectSystemError(outcome.handler.logs[0], ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(outcome.handler.logs[0].variables.at(L"ErrorOffset"), std::to_wstring(2 * transfer));
    EXPECT_EQ(outcome.contentAfter, std::string(transfer * 2, '\xFF') + Filler(transfer));
    EXPECT_EQ(outcome.handler.finalState.PartialCount, 1);
}

TEST(FileWipeFailure, ReadErrorInTheVerificationPass)
{
    TempDir dir;
    FaultInjectingIo io;
    io.Fail(IoCall::Read, 1, ERROR_CRC);
    Outcome outcome;
    WipeOneFile(5, 4096, io, outcome, dir);
    ASSERT_EQ(Keys(outcome.handler), std::vector<std::wstring>{L"Log.FileReadError"});
    ExpectSystemError(outcome.handler.logs[0], ERROR_CRC);
    EXPECT_EQ(outcome.handler.logs[0].variables.at(L"ErrorOffset"), L"0");
    EXPECT_TRUE(outcome.existsAfter);
}

TEST(FileWipeFailure, VerificationMismatchKeepsTheFileAndReportsBothDigests)
{
    TempDir dir;
    FaultInjectingIo io;
    io.CorruptRead(1);
    Outcome outcome;
    WipeOneFile(5, 5000, io, outcome, dir);
    ASSERT_EQ(Keys(outcome.handler), std::vector<std::wstring>{L"Log.VerificationError"});
    const TextVariables& variables = outcome.handler.logs[0].variables;
    EXPECT_EQ(variables.size(), 2u);
    const std::wstring& written = variables.at(L"WrittenDataHash");
    const std::wstring& read = variables.at(L"ReadDataHash");
    EXPECT_EQ(written.size(), 40u);
    EXPECT_EQ(read.size(), 40u);
    EXPECT_NE(written, read);
    EXPECT_EQ(written.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos);
    EXPECT_TRUE(outcome.existsAfter);
    EXPECT_EQ(outcome.handler.finalState.PartialCount, 1);
}

TEST(FileWipeFailure, DeleteFailureLeavesTheWipedFileInPlace)
{
    TempDir dir;
    FaultInjectingIo io;
    io.Fail(IoCall::Delete, 1, ERROR_ACCESS_DENIED);
    Outcome outcome;
    WipeOneFile(2, 1000, io, outcome, dir);
    ASSERT_EQ(Keys(outcome.handler), std::vector<std::wstring>{L"Log.FileDeleteError"});
    ExpectSystemError(outcome.handler.logs[0], ERROR_ACCESS_DENIED);
    EXPECT_EQ(outcome.handler.logs[0].variables.count(L"ErrorOffset"), 0u);
    EXPECT_TRUE(outcome.existsAfter);
    EXPECT_EQ(outcome.contentAfter, std::string(((1000 + SectorSize() - 1) / SectorSize()) * SectorSize(), '\0'));
    EXPECT_EQ(outcome.handler.finalState.PartialCount, 1);
    EXPECT_TRUE(outcome.handler.deleted.empty());
}

TEST(FileWipeFailure, ShortWritesAndFailedFlushesAreNotTakenForWiped)
{
    for (bool flush : {false, true}) {
        TempDir dir;
        FaultInjectingIo io;
        if (flush)
            io.Fail(IoCall::Flush, 1, ERROR_WRITE_FAULT);
        else
            io.CutShort(IoCall::Write, 1);
        Outcome outcome;
        WipeOneFile(2, size_t(SectorSize()) * 4, io, outcome, dir);
        ASSERT_EQ(Keys(outcome.handler), std::vector<std::wstring>{L"Log.FileWriteError"});
        ExpectSystemError(outcome.handler.logs[0], ERROR_WRITE_FAULT);
        EXPECT_EQ(outcome.handler.logs[0].variables.at(L"ErrorOffset"),
                  flush ? L"0" : std::to_wstring(SectorSize() * 2));
        EXPECT_TRUE(outcome.existsAfter);
        EXPECT_EQ(outcome.handler.finalState.PartialCount, 1);
    }
}

TEST(FileWipeFailure, DirectoryWithAFileLeftInItIsNotRemoved)
{
    TempDir dir;
    std::wstring folder = dir.MakeDir(L"folder");
    dir.WriteFile(L"folder\\not selected", "x");
    std::wstring selected = dir.WriteFile(L"folder\\selected", "y");
    auto list = ListOf({selected, folder});
    RecordingHandler handler;
    RunJob(2, TargetFiles, 1, *list, handler, SystemWipeIo());
    ASSERT_EQ(Keys(handler), std::vector<std::wstring>{L"Log.DirDeleteError"});
    EXPECT_EQ(handler.logs[0].path, folder);
    ExpectSystemError(handler.logs[0], ERROR_DIR_NOT_EMPTY);
    EXPECT_EQ(handler.finalState.FailedCount, 1);
    EXPECT_EQ(handler.finalState.DirDeletions, 0);
    EXPECT_EQ(list->At(1)->Success, 0);
    EXPECT_EQ(handler.deleted, std::vector<int32_t>{0});
}

TEST(FileWipeFailure, UnknownMethodWipesNothing)
{
    TempDir dir;
    std::wstring path = dir.WriteFile(L"kept", "kept");
    auto list = ListOf({path});
    RecordingHandler handler;
    RunJob(14, TargetFiles, 1, *list, handler, SystemWipeIo());
    EXPECT_EQ(handler.finalState.FailedCount, 1);
    EXPECT_EQ(list->At(0)->Success, 0);
    EXPECT_TRUE(FileExists(path));
}

// Fails the 1st, 2nd, 3rd ... call of one kind until a job runs through, and
// after every run checks what must always hold.
void SweepFaults(IoCall call, DWORD error, int method)
{
    for (int nth = 1;; ++nth) {
        SCOPED_TRACE("call " + std::to_string(nth));
        TempDir dir;
        std::vector<std::wstring> paths{dir.WriteFile(L"a", Filler(3000)), dir.WriteFile(L"b", Filler(1)),
                                        dir.WriteFile(L"c", "")};
        std::wstring folder = dir.MakeDir(L"d");
        paths.push_back(folder);
        auto list = ListOf(paths);
        FaultInjectingIo io;
        io.Fail(call, nth, error);
        RecordingHandler handler;
        RunJob(method, TargetFiles, 2, *list, handler, io);
        const WipeStateData& state = handler.finalState;
        ASSERT_EQ(handler.finishedCount, 1);
        int failures = 0;
        for (int32_t i = 0; i < list->Count(); ++i) {
            bool gone = list->At(i)->IsFile ? !FileExists(paths[i]) : !DirectoryExists(paths[i]);
            EXPECT_EQ(gone, list->At(i)->Success == 1) << i;
            failures += list->At(i)->Success == 0;
        }
        EXPECT_EQ(state.PartialCount + state.FailedCount, failures);
        EXPECT_EQ(int(handler.deleted.size()), state.FileDeletions + state.DirDeletions);
        EXPECT_EQ(int(handler.logs.size()), failures);
        for (const LogRecord& record : handler.logs) {
            if (record.key != L"Log.VerificationError") {
                EXPECT_EQ(record.variables.at(L"SystemErrorCode"), std::to_wstring(error));
            }
        }
        if (io.Calls(call) < nth) {
            EXPECT_EQ(failures, 0);
            break;
        }
        EXPECT_EQ(failures, 1);
    }
}

TEST(FileWipeFailure, FaultSweepKeepsCountsFlagsAndFilesInStep)
{
    SweepFaults(IoCall::Write, ERROR_WRITE_FAULT, 5);
    SweepFaults(IoCall::Read, ERROR_CRC, 5);
    SweepFaults(IoCall::Seek, ERROR_SEEK, 10);
    SweepFaults(IoCall::Flush, ERROR_WRITE_FAULT, 6);
    SweepFaults(IoCall::Open, ERROR_ACCESS_DENIED, 4);
    SweepFaults(IoCall::Delete, ERROR_ACCESS_DENIED, 2);
    SweepFaults(IoCall::RemoveDir, ERROR_ACCESS_DENIED, 2);
}

// Stands in for a file system with symbolic links (Wine has none): opening
// `link` follows it to `target` unless the caller asks for the link itself.
class LinkFollowingIo : public FaultInjectingIo {
public:
    LinkFollowingIo(std::wstring link, std::wstring target) : link(std::move(link)), target(std::move(target)) {}
    HANDLE Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override
    {
        bool follow = path == link && !(flags & FILE_FLAG_OPEN_REPARSE_POINT);
        return FaultInjectingIo::Open(follow ? target : path, access, share, disposition, flags);
    }

private:
    std::wstring link, target;
};

TEST(FileWipeFailure, ALinkIsRemovedAndTheFileItPointsToIsNeverWritten)
{
    TempDir dir;
    std::wstring outside = dir.WriteFile(L"outside\\precious", Filler(3000));
    // The link as a file system reports it in a listing: a file of size 0.
    std::wstring link = dir.WriteFile(L"selected\\link", "");
    LinkFollowingIo io(link, outside);
    auto list = ListOf({link});
    RecordingHandler handler;
    RunJob(9, TargetFiles, 1, *list, handler, io);

    EXPECT_TRUE(handler.logs.empty());
    EXPECT_FALSE(FileExists(link));
    std::string content;
    ASSERT_TRUE(ReadWholeFile(outside, content));
    EXPECT_EQ(content, Filler(3000));
    EXPECT_EQ(io.Calls(IoCall::Write), 0);
}

}  // namespace
