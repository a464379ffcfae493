// The device-control requests reach the seam with the codes and structure
// sizes the system expects.
#include <gtest/gtest.h>

#include "FaultInjectingIo.h"
#include "engine/VolumeControl.h"

namespace {

// Answers every request with success and remembers what it was asked.
class ControlRecorder : public FaultInjectingIo {
public:
    bool Control(HANDLE device, DWORD code, const void* input, DWORD inputSize, void*, DWORD outputSize,
                 DWORD& returned) override
    {
        requests.push_back({device, code, inputSize, outputSize});
        if (code == FSCTL_MOVE_FILE)
            move = *static_cast<const MOVE_FILE_DATA*>(input);
        if (code == FSCTL_GET_VOLUME_BITMAP)
            startLcn = static_cast<const STARTING_LCN_INPUT_BUFFER*>(input)->StartingLcn.QuadPart;
        returned = 0;
        return true;
    }
    struct Request {
        HANDLE device;
        DWORD code, inputSize, outputSize;
    };
    std::vector<Request> requests;
    MOVE_FILE_DATA move{};
    int64_t startLcn = -1;
};

TEST(VolumeControl, EachRequestCarriesItsCodeAndStructures)
{
    ControlRecorder io;
    HANDLE volume = reinterpret_cast<HANDLE>(0x100), file = reinterpret_cast<HANDLE>(0x200);
    PARTITION_INFORMATION partition;
    DISK_GEOMETRY geometry;
    alignas(8) uint8_t buffer[2048];
    bool more = true;
    DWORD returned = 0;
    EXPECT_TRUE(GetPartitionInfo(io, volume, partition));
    EXPECT_TRUE(GetDriveGeometry(io, volume, geometry));
    EXPECT_TRUE(DismountVolume(io, volume));
    EXPECT_TRUE(GetVolumeBitmap(io, volume, 4096, reinterpret_cast<VOLUME_BITMAP_BUFFER*>(buffer), 529, more,
                                returned));
    EXPECT_FALSE(more);
    EXPECT_TRUE(GetRetrievalPointers(io, file, reinterpret_cast<RETRIEVAL_POINTERS_BUFFER*>(buffer), 2048, more));
    EXPECT_TRUE(MoveFileClusters(io, volume, file, 0, 12345, 7));
    EXPECT_TRUE(SetFileCompression(io, file, COMPRESSION_FORMAT_NONE));

    struct Expected {
        HANDLE device;
        DWORD code, inputSize, outputSize;
    };
    const Expected expected[] = {{volume, 0x74004, 0, 32},  {volume, 0x70000, 0, 24}, {volume, 0x90020, 0, 0},
                                 {volume, 0x9006F, 8, 529}, {file, 0x90073, 8, 2048}, {volume, 0x90074, 32, 0},
                                 {file, 0x9C040, 2, 0}};
    ASSERT_EQ(io.requests.size(), std::size(expected));
    for (size_t i = 0; i < io.requests.size(); ++i) {
        EXPECT_EQ(io.requests[i].device, expected[i].device) << i;
        EXPECT_EQ(io.requests[i].code, expected[i].code) << i;
        EXPECT_EQ(io.requests[i].inputSize, expected[i].inputSize) << i;
        EXPECT_EQ(io.requests[i].outputSize, expected[i].outputSize) << i;
    }
    EXPECT_EQ(io.startLcn, 4096);
    EXPECT_EQ(io.move.FileHandle, file);
    EXPECT_EQ(io.move.StartingLcn.QuadPart, 12345);
    EXPECT_EQ(io.move.StartingVcn.QuadPart, 0);
    EXPECT_EQ(io.move.ClusterCount, 7u);
}

// A reply that did not fit is still an answer.
TEST(VolumeControl, MoreDataIsAnAnswerWithMoreToCome)
{
    FaultInjectingIo io;  // over the real system, but the call is failed before it
    io.Fail(IoCall::Control, 1, ERROR_MORE_DATA);
    io.Fail(IoCall::Control, 2, ERROR_INVALID_FUNCTION);
    alignas(8) uint8_t buffer[64];
    bool more = false;
    DWORD returned = 0;
    auto* bitmap = reinterpret_cast<VOLUME_BITMAP_BUFFER*>(buffer);
    EXPECT_TRUE(GetVolumeBitmap(io, INVALID_HANDLE_VALUE, 0, bitmap, sizeof(buffer), more, returned));
    EXPECT_TRUE(more);
    EXPECT_FALSE(GetVolumeBitmap(io, INVALID_HANDLE_VALUE, 0, bitmap, sizeof(buffer), more, returned));
    EXPECT_FALSE(more);
}

}  // namespace
