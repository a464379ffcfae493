#include "engine/Wiper.h"

#include <windows.h>
#include <algorithm>
#include "engine/Randomfill.h"

PassContent PassContent::Fixed(std::vector<uint8_t> group)
{
    if (!group.empty() && std::all_of(group.begin(), group.end(), [&](uint8_t byte) { return byte == group[0]; }))
        group.resize(1);
    return {Pattern, std::move(group), 0};
}

Wiper::Wiper(int32_t verifyPassCount, int32_t writePassCount)
    : passCount(verifyPassCount + writePassCount), verifyPassCount(verifyPassCount),
      writePassCount(writePassCount)
{
}

Wiper::~Wiper()
{
    if (buffer)
        VirtualFree(buffer, 0, MEM_RELEASE);
}

void Wiper::Start(int32_t unitSize, int64_t totalUnits, int32_t blockUnits)
{
    this->unitSize = unitSize;
    this->totalUnits = totalUnits;
    this->blockUnits = blockUnits;
    pass = -1;
    OnStart();
}

bool Wiper::NextPass()
{
    pass += 1;
    if (pass >= passCount) {
        pass = passCount;
        return false;
    }
    position = 0;
    PreparePass();
    return true;
}

bool Wiper::NextBlock(int64_t& start, int32_t& count, uint8_t*& block)
{
    if (pass < 0 || pass >= passCount || position >= totalUnits)
        return false;
    start = position;
    count = static_cast<int32_t>(std::min<int64_t>(blockUnits, totalUnits - position));
    int64_t next = start + count;
    refilled = false;
    block = GetBlock(start, count, next);
    count = static_cast<int32_t>(std::min<int64_t>(count, totalUnits - position));
    position = std::min(next, totalUnits);
    return true;
}

uint8_t* Wiper::GetBuffer(int32_t units)
{
    uint32_t size = static_cast<uint32_t>(units) * static_cast<uint32_t>(unitSize);
    if (size == 0)
        return nullptr;
    if (bufferSize >= size)
        return buffer;
    if (buffer)
        VirtualFree(buffer, 0, MEM_RELEASE);
    refilled = true;
    // Fresh pages are zero-filled, which the zero passes rely on.
    buffer = static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    bufferSize = buffer ? size : 0;
    return buffer;
}

void Wiper::FillRandom(uint8_t* destination, uint32_t byteCount)
{
    refilled = true;
    if (destination)
        ThreadFillRandom(destination, byteCount);
}

void Wiper::FillTriplet(uint8_t a, uint8_t b, uint8_t c)
{
    const uint8_t group[3] = {a, b, c};
    FillPattern(group, 3);
}

void Wiper::FillPattern(const uint8_t* group, uint32_t groupLength)
{
    uint8_t* target = GetBuffer(blockUnits);
    refilled = true;
    if (!target)
        return;
    uint32_t size = static_cast<uint32_t>(blockUnits) * static_cast<uint32_t>(unitSize);
    uint32_t filled = std::min(size, groupLength);
    std::copy_n(group, filled, target);
    // Doubling keeps the filled part a whole number of groups.
    while (filled < size) {
        uint32_t copy = std::min(filled, size - filled);
        std::copy_n(target, copy, target + filled);
        filled += copy;
    }
}

uint8_t Wiper::RandomMiddleByte()
{
    uint8_t value;
    do
        value = static_cast<uint8_t>(ThreadRandom());
    while (value == 0x00 || value == 0xFF);
    return value;
}

uint8_t* Wiper::RandomBlock(int32_t count)
{
    uint8_t* block = GetBuffer(blockUnits);
    FillRandom(block, static_cast<uint32_t>(count) * static_cast<uint32_t>(unitSize));
    return block;
}
