// File jobs over real files: the bytes on disk after every pass, the counters
// and the deletion order.
#include <gtest/gtest.h>

#include "FaultInjectingIo.h"
#include "JobHarness.h"
#include "PassModel.h"
#include "platform/LongPath.h"
#include "support/TempDir.h"

namespace {

std::string Content(size_t size, char seed)
{
    std::string content(size, '\0');
    for (size_t i = 0; i < size; ++i)
        content[i] = static_cast<char>(seed + i * 31 + i / 251);
    return content;
}

// Reads the whole open target through the seam after every pass.
class SnapshotIo : public FaultInjectingIo {
public:
    SnapshotIo()
    {
        afterFlush = [this](HANDLE file) { snapshots.push_back(ReadAll(file)); };
    }
    std::vector<std::string> snapshots;

private:
    std::string ReadAll(HANDLE file)
    {
        const DWORD chunk = 256 * 1024;
        void* buffer = VirtualAlloc(nullptr, chunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        std::string content;
        DWORD done = 0;
        if (Inner().Seek(file, 0))
            while (Inner().Read(file, buffer, chunk, done) && done > 0) {
                content.append(static_cast<char*>(buffer), done);
                if (done < chunk)
                    break;
            }
        VirtualFree(buffer, 0, MEM_RELEASE);
        return content;
    }
};

struct Case {
    int method;
    int rounds;
};

TEST(FileWipe, EveryPassOfEveryRoundLandsOnDiskThenTheFilesAreDeleted)
{
    const int32_t unit = SectorSize();
    const std::vector<size_t> sizes = {0, 1, 1000, size_t(unit) * 3, size_t(unit) * 512 * 2 + 700};
    for (Case c : {Case{9, 2}, Case{5, 1}, Case{0, 1}, Case{1, 2}, Case{10, 2}, Case{13, 1}}) {
        SCOPED_TRACE("method " + std::to_string(c.method) + ", rounds " + std::to_string(c.rounds));
        TempDir dir;
        std::vector<std::wstring> paths;
        for (size_t i = 0; i < sizes.size(); ++i)
            paths.push_back(dir.WriteFile(L"f" + std::to_wstring(i), Content(sizes[i], char('a' + i))));
        auto list = ListOf(paths);
        SnapshotIo io;
        RecordingHandler handler;
        RunJob(c.method, TargetFiles, c.rounds, *list, handler, io);

        ASSERT_EQ(handler.finishedCount, 1);
        EXPECT_TRUE(handler.logs.empty());
        std::vector<PlannedPass> passes = MethodPasses(c.method);
        ReferenceRandom random;
        size_t snapshot = 0;
        int64_t totalWrite = 0, totalRead = 0;
        int writes = 0, verifies = 0;
        for (const PlannedPass& pass : passes)
            (pass.kind == PlannedPass::Verify ? verifies : writes) += 1;
        for (size_t i = 0; i < sizes.size(); ++i) {
            int64_t units = int64_t((sizes[i] + unit - 1) / unit);
            TargetModel model{Content(sizes[i], char('a' + i)), sizes[i], unit, units, 512};
            for (int round = 0; round < c.rounds; ++round)
                for (size_t pass = 0; pass < passes.size(); ++pass, ++snapshot) {
                    model.Apply(passes[pass], random);
                    ASSERT_LT(snapshot, io.snapshots.size());
                    ASSERT_EQ(io.snapshots[snapshot], model.image.substr(0, model.length))
                        << "file " << i << ", round " << round << ", pass " << pass;
                }
            totalWrite += int64_t(c.rounds) * writes * unit * units;
            totalRead += int64_t(c.rounds) * verifies * unit * units;
            EXPECT_FALSE(FileExists(paths[i])) << i;
            EXPECT_EQ(list->At(int32_t(i))->Success, 1);
        }
        EXPECT_EQ(snapshot, io.snapshots.size());
        const WipeStateData& state = handler.finalState;
        EXPECT_EQ(state.State, StateCompleted);
        EXPECT_EQ(state.TargetIndex, state.TargetCount);
        EXPECT_EQ(state.FileDeletions, int32_t(sizes.size()));
        EXPECT_EQ(state.PartialCount + state.FailedCount, 0);
        EXPECT_EQ(state.TotalWrite.Total, totalWrite);
        EXPECT_EQ(state.TotalRead.Total, totalRead);
        // Methods 0 and 1 touch a part of each pass only; the others write it whole.
        if (c.method > 1) {
            EXPECT_EQ(state.TotalWrite.Current, totalWrite);
        }
        EXPECT_EQ(state.TotalRead.Current, totalRead);
        EXPECT_EQ(handler.deleted, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    }
}

TEST(FileWipe, ByteTotalsOfAThousandByteFile)
{
    if (SectorSize() != 512)
        GTEST_SKIP() << "drive C: does not have 512-byte sectors";
    TempDir dir;
    auto list = ListOf({dir.WriteFile(L"k", Content(1000, 'k'))});
    RecordingHandler handler;
    FaultInjectingIo io;
    RunJob(9, TargetFiles, 2, *list, handler, io);
    EXPECT_EQ(handler.finalState.TargetWrite.Total, 6144);
    EXPECT_EQ(handler.finalState.TargetWrite.Current, 6144);
    EXPECT_EQ(handler.finalState.TotalWrite.Total, 6144);
    EXPECT_EQ(handler.finalState.TotalRead.Total, 0);
    EXPECT_EQ(handler.finalState.PassCount, 3);
    EXPECT_EQ(io.Calls(IoCall::Write), 2 * 3);
    EXPECT_EQ(io.Calls(IoCall::Flush), 2 * 3);
}

TEST(FileWipe, DirectoriesAreRemovedAfterTheirFilesInnerFirst)
{
    TempDir dir;
    std::wstring inner = dir.MakeDir(L"outer\\inner");
    std::wstring a = dir.WriteFile(L"outer\\inner\\a", "aaa");
    std::wstring b = dir.WriteFile(L"outer\\b", "bbbb");
    auto list = ListOf({a, b, inner, dir / L"outer"});
    RecordingHandler handler;
    RunJob(2, TargetFiles, 1, *list, handler, SystemWipeIo());
    EXPECT_EQ(handler.deleted, (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(handler.finalState.FileDeletions, 2);
    EXPECT_EQ(handler.finalState.DirDeletions, 2);
    EXPECT_FALSE(DirectoryExists(dir / L"outer"));
    EXPECT_TRUE(handler.logs.empty());
}

TEST(FileWipe, PathsLongerThanMaxPathAreWipedAndLoggedAsGiven)
{
    TempDir dir;
    std::wstring folder = dir.Path();
    for (int i = 0; i < 6; ++i) {
        folder += L"\\" + std::wstring(50, wchar_t(L'a' + i));
        ASSERT_TRUE(CreateDirectoryW(ExtendedPath(folder).c_str(), nullptr));
    }
    std::wstring file = folder + L"\\wiped.bin";
    ASSERT_GT(file.size(), size_t(MAX_PATH));
    HANDLE handle = CreateFileW(ExtendedPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(handle, "secret", 6, &written, nullptr);
    CloseHandle(handle);
    std::wstring locked = folder + L"\\locked.bin";
    HANDLE holder = CreateFileW(ExtendedPath(locked).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    auto list = std::make_unique<FileList>();
    list->Add(new FileInfo(file));
    list->Add(new FileInfo(locked));
    RecordingHandler handler;
    RunJob(3, TargetFiles, 1, *list, handler, SystemWipeIo());
    CloseHandle(holder);
    EXPECT_EQ(handler.deleted, std::vector<int32_t>{0});
    EXPECT_EQ(GetFileAttributesW(ExtendedPath(file).c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(handler.logs.size(), 1u);
    EXPECT_EQ(handler.logs[0].path, locked);
    DeleteFileW(ExtendedPath(locked).c_str());
    for (int i = 5; i >= 0; --i) {
        RemoveDirectoryW(ExtendedPath(folder).c_str());
        folder = folder.substr(0, folder.rfind(L'\\'));
    }
}

TEST(FileWipe, ANameEndingInADotOrSpaceIsWipedItselfNotTheNameWithoutIt)
{
    for (const wchar_t* ending : {L".", L" "}) {
        TempDir dir;
        std::wstring neighbour = dir.WriteFile(L"name", "not selected");
        // Only the extended form creates such a name; the plain one would strip the ending.
        std::wstring selected = dir / (std::wstring(L"name") + ending);
        HANDLE handle = CreateFileW((L"\\\\?\\" + selected).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(handle, "selected", 8, &written, nullptr);
        CloseHandle(handle);

        auto list = ListOf({selected});
        EXPECT_EQ(list->At(0)->Size, 8u);
        RecordingHandler handler;
        RunJob(2, TargetFiles, 1, *list, handler, SystemWipeIo());
        EXPECT_EQ(handler.deleted, std::vector<int32_t>{0});
        EXPECT_EQ(GetFileAttributesW((L"\\\\?\\" + selected).c_str()), INVALID_FILE_ATTRIBUTES);
        std::string content;
        ASSERT_TRUE(ReadWholeFile(neighbour, content));
        EXPECT_EQ(content, "not selected");
    }
}

}  // namespace

namespace {

TEST(FileWipe, AFileThatGrewSinceItWasListedIsWipedWholeAndCountedWhole)
{
    TempDir dir;
    std::wstring path = dir.WriteFile(L"grows", std::string(1000, 'g'));
    std::wstring other = dir.WriteFile(L"other", std::string(700, 'o'));
    auto list = ListOf({path, other});
    dir.WriteFile(L"grows", std::string(5000, 'G'));
    FaultInjectingIo io;
    io.Fail(IoCall::Delete, 1, ERROR_ACCESS_DENIED);  // keep it to look at
    RecordingHandler handler;
    RunJob(5, TargetFiles, 2, *list, handler, io);
    std::string content;
    ASSERT_TRUE(ReadWholeFile(path, content));
    const int64_t unit = SectorSize();
    const int64_t grown = (5000 + unit - 1) / unit * unit, small = (700 + unit - 1) / unit * unit;
    EXPECT_EQ(content.size(), size_t(grown));
    // Progress never passes 100 %: the totals grow with the file.
    for (const WipeStateData& report : handler.progress) {
        EXPECT_LE(report.TotalWrite.Current, report.TotalWrite.Total);
        EXPECT_LE(report.TotalRead.Current, report.TotalRead.Total);
    }
    const WipeStateData& final = handler.finalState;
    EXPECT_EQ(final.TotalWrite.Total, (grown + small) * 2 * 3);
    EXPECT_EQ(final.TotalWrite.Current, final.TotalWrite.Total);
    EXPECT_EQ(final.TotalRead.Total, (grown + small) * 2);
    EXPECT_EQ(final.TotalRead.Current, final.TotalRead.Total);
}

}  // namespace
