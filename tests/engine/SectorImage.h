#pragma once
// The bytes of a simulated volume. Unwritten bytes hold a fixed pseudo-random
// original content; written data is kept in 64 KiB chunks, a chunk written
// with one repeated byte stored as that byte only, so that huge volumes wiped
// with a fixed pattern stay small. Every write is recorded: the ranges covered
// (merged), and, when asked for, each write's offset and length.
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

class SectorImage {
public:
    // Without `keepContents` only the record of writes is kept; reads then
    // see the original content.
    SectorImage(uint64_t size, bool keepContents);

    static uint8_t OriginalByte(uint64_t offset);

    uint64_t Size() const { return size; }
    // `record`: an engine's write (false for the file system's own copies).
    void Write(uint64_t offset, const uint8_t* data, size_t bytes, bool record = true);
    void Read(uint64_t offset, uint8_t* data, size_t bytes) const;
    uint8_t At(uint64_t offset) const;
    // True when every byte of [offset, offset + bytes) equals `value`.
    bool AllEqual(uint64_t offset, uint64_t bytes, uint8_t value) const;

    struct WriteRecord {
        uint64_t offset;
        uint32_t bytes;
    };
    bool recordEachWrite = true;
    std::vector<WriteRecord> writes;
    uint64_t writeCount = 0;
    uint64_t bytesWritten = 0;
    // Written ranges, merged: start -> end.
    const std::map<uint64_t, uint64_t>& Covered() const { return covered; }
    uint64_t CoveredBytes() const;

private:
    static constexpr uint64_t kChunk = 65536;
    struct Chunk {
        std::vector<uint8_t> data;  // empty: every byte is `value`
        uint8_t value = 0;
    };
    void Cover(uint64_t start, uint64_t end);
    Chunk& Materialize(uint64_t index);

    uint64_t size;
    bool keepContents;
    std::unordered_map<uint64_t, Chunk> chunks;
    std::map<uint64_t, uint64_t> covered;
};
