#include "SectorImage.h"

#include <algorithm>
#include <cstring>
#include <iterator>

SectorImage::SectorImage(uint64_t size, bool keepContents) : size(size), keepContents(keepContents) {}

uint8_t SectorImage::OriginalByte(uint64_t offset)
{
    uint64_t x = (offset + 1) * 0x9E3779B97F4A7C15ull;
    return static_cast<uint8_t>((x ^ (x >> 29)) >> 24);
}

void SectorImage::Cover(uint64_t start, uint64_t end)
{
    auto next = covered.upper_bound(start);
    if (next != covered.begin()) {
        auto previous = std::prev(next);
        if (previous->second >= start) {
            start = previous->first;
            end = std::max(end, previous->second);
            covered.erase(previous);
        }
    }
    while (next != covered.end() && next->first <= end) {
        end = std::max(end, next->second);
        next = covered.erase(next);
    }
    covered.emplace(start, end);
}

uint64_t SectorImage::CoveredBytes() const
{
    uint64_t total = 0;
    for (const auto& [start, end] : covered)
        total += end - start;
    return total;
}

SectorImage::Chunk& SectorImage::Materialize(uint64_t index)
{
    auto found = chunks.find(index);
    if (found == chunks.end()) {
        Chunk& chunk = chunks[index];
        chunk.data.resize(kChunk);
        for (uint64_t i = 0; i < kChunk; ++i)
            chunk.data[i] = OriginalByte(index * kChunk + i);
        return chunk;
    }
    Chunk& chunk = found->second;
    if (chunk.data.empty())
        chunk.data.assign(kChunk, chunk.value);
    return chunk;
}

void SectorImage::Write(uint64_t offset, const uint8_t* data, size_t bytes, bool record)
{
    if (record) {
        writeCount += 1;
        bytesWritten += bytes;
        if (recordEachWrite)
            writes.push_back({offset, static_cast<uint32_t>(bytes)});
        Cover(offset, offset + bytes);
    }
    if (!keepContents)
        return;
    while (bytes > 0) {
        uint64_t index = offset / kChunk;
        uint64_t within = offset % kChunk;
        size_t part = static_cast<size_t>(std::min<uint64_t>(bytes, kChunk - within));
        if (part == kChunk && std::memcmp(data, data + 1, part - 1) == 0) {
            Chunk& chunk = chunks[index];
            chunk.data.clear();
            chunk.data.shrink_to_fit();
            chunk.value = data[0];
        } else if (part == kChunk) {
            chunks[index].data.assign(data, data + part);  // nothing of the chunk before it stays
        } else {
            std::memcpy(Materialize(index).data.data() + within, data, part);
        }
        offset += part;
        data += part;
        bytes -= part;
    }
}

uint8_t SectorImage::At(uint64_t offset) const
{
    auto found = chunks.find(offset / kChunk);
    if (found == chunks.end())
        return OriginalByte(offset);
    const Chunk& chunk = found->second;
    return chunk.data.empty() ? chunk.value : chunk.data[offset % kChunk];
}

void SectorImage::Read(uint64_t offset, uint8_t* data, size_t bytes) const
{
    while (bytes > 0) {
        uint64_t index = offset / kChunk;
        uint64_t within = offset % kChunk;
        size_t part = static_cast<size_t>(std::min<uint64_t>(bytes, kChunk - within));
        auto found = chunks.find(index);
        if (found == chunks.end())
            for (size_t i = 0; i < part; ++i)
                data[i] = OriginalByte(offset + i);
        else if (found->second.data.empty())
            std::memset(data, found->second.value, part);
        else
            std::memcpy(data, found->second.data.data() + within, part);
        offset += part;
        data += part;
        bytes -= part;
    }
}

bool SectorImage::AllEqual(uint64_t offset, uint64_t bytes, uint8_t value) const
{
    uint64_t end = offset + bytes;
    while (offset < end) {
        uint64_t index = offset / kChunk;
        uint64_t chunkEnd = std::min(end, (index + 1) * kChunk);
        auto found = chunks.find(index);
        if (found != chunks.end() && found->second.data.empty()) {
            if (found->second.value != value)
                return false;
        } else {
            for (uint64_t i = offset; i < chunkEnd; ++i)
                if (At(i) != value)
                    return false;
        }
        offset = chunkEnd;
    }
    return true;
}
