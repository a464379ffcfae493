// The production seam forwards to the system as the engine expects.
#include <gtest/gtest.h>

#include "FaultInjectingIo.h"
#include "platform/HandleHolder.h"
#include "support/TempDir.h"

namespace {

TEST(WipeIo, FileCallsRoundTripThroughTheSystem)
{
    TempDir dir;
    WipeIo& io = SystemWipeIo();
    std::wstring path = dir.WriteFile(L"io.bin", std::string(100, 'x'));
    HANDLE file = io.Open(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    int64_t size = 0;
    EXPECT_TRUE(io.Size(file, size));
    EXPECT_EQ(size, 100);
    DWORD done = 0;
    EXPECT_TRUE(io.Seek(file, 10));
    EXPECT_TRUE(io.Write(file, "abc", 3, done));
    EXPECT_EQ(done, 3u);
    EXPECT_TRUE(io.Seek(file, 4096));
    EXPECT_TRUE(io.SetEnd(file));
    EXPECT_TRUE(io.Flush(file));
    EXPECT_TRUE(io.Size(file, size));
    EXPECT_EQ(size, 4096);
    char back[3];
    EXPECT_TRUE(io.Seek(file, 10));
    EXPECT_TRUE(io.Read(file, back, 3, done));
    EXPECT_EQ(std::string(back, 3), "abc");
    EXPECT_TRUE(io.Close(file));
    EXPECT_EQ(io.Attributes(path) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(io.Delete(path));
    EXPECT_FALSE(io.Delete(path));
    EXPECT_EQ(io.LastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(io.Attributes(path), INVALID_FILE_ATTRIBUTES);
}

TEST(WipeIo, VolumeQueriesAndTemporaryNames)
{
    TempDir dir;
    WipeIo& io = SystemWipeIo();
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    ASSERT_TRUE(io.DiskFreeSpace(L"C:\\", sectorsPerCluster, bytesPerSector, freeClusters, totalClusters));
    EXPECT_GT(bytesPerSector, 0u);
    uint64_t callerFree = 0, total = 0, totalFree = 0;
    ASSERT_TRUE(io.DiskFreeSpaceEx(L"C:\\", callerFree, total, totalFree));
    EXPECT_GE(total, totalFree);
    std::wstring name;
    EXPECT_NE(io.TempFileName(dir.Path(), L"VQ", 0, name), 0u);
    EXPECT_EQ(name.substr(0, dir.Path().size() + 3), dir.Path() + L"\\VQ");
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(io.TempFileName(dir / L"missing", L"VQ", 0, name), 0u);
    EXPECT_TRUE(io.RemoveDir(dir.MakeDir(L"empty")));
}

TEST(WipeIo, HandleHolderClosesThroughTheSeam)
{
    TempDir dir;
    FaultInjectingIo io;
    HANDLE file = io.Open(dir.WriteFile(L"held", "x"), GENERIC_READ, 0, OPEN_EXISTING, 0);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    {
        HandleHolder holder(file, io);
    }
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(io.Calls(IoCall::Close), 1);
}

TEST(WipeIo, InjectedFailuresCountPerKindOnceOrFromNOn)
{
    TempDir dir;
    std::wstring path = dir.WriteFile(L"f", "x");
    FaultInjectingIo io;
    io.Fail(IoCall::Open, 2, ERROR_LOCK_VIOLATION);
    io.Fail(IoCall::Seek, 2, ERROR_SEEK, true);
    HANDLE first = io.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
    EXPECT_EQ(io.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(io.LastError(), DWORD(ERROR_LOCK_VIOLATION));
    HANDLE third = io.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
    EXPECT_NE(third, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(io.Seek(first, 0));
    EXPECT_FALSE(io.Seek(first, 0));
    EXPECT_FALSE(io.Seek(first, 0));
    EXPECT_EQ(io.LastError(), DWORD(ERROR_SEEK));
    EXPECT_EQ(io.Calls(IoCall::Open), 3);
    io.Close(first);
    io.Close(third);
}

}  // namespace
