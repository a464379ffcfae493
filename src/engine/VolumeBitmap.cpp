#include "engine/VolumeBitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include "engine/VolumeControl.h"

namespace {

constexpr DWORD kBitmapHeader = offsetof(VOLUME_BITMAP_BUFFER, Buffer);
// A rounding beyond this (a reply buffer of 2 MiB) is taken for a broken reply.
constexpr int64_t kMaxRounding = int64_t(1) << 24;

// The first bit from `from` on (below `limit`) that equals `value`, else
// `limit`. Works a 64-bit word at a time, so that uniform stretches of the
// bitmap cost one step per 64 clusters. `byteCount` bytes of `bits` are valid.
int64_t FindBit(const uint8_t* bits, size_t byteCount, int64_t from, int64_t limit, bool value)
{
    const uint64_t flip = value ? 0 : ~uint64_t(0);
    int64_t i = from;
    while (i < limit) {
        size_t byte = static_cast<size_t>(i >> 3);
        int shift = static_cast<int>(i & 7);
        size_t available = std::min<size_t>(8, byteCount - byte);
        uint64_t word = 0;
        std::memcpy(&word, bits + byte, available);
        word = (word ^ flip) >> shift;
        int64_t valid = static_cast<int64_t>(available) * 8 - shift;
        if (word != 0) {
            int64_t position = __builtin_ctzll(word);
            if (position < valid)
                return std::min(i + position, limit);
        }
        i += valid;
    }
    return limit;
}

}  // namespace

DWORD VolumeBitmapBufferSize(int64_t startCluster, int64_t endCluster, int64_t rounding)
{
    int64_t clusters = rounding + std::min(endCluster - startCluster, kBitmapChunkLimit);
    return static_cast<DWORD>((clusters + 7) / 8) + kBitmapHeader;
}

bool ScanVolumeBitmap(WipeIo& io, HANDLE volume, VolumeBitmapBuffer& buffer, int64_t startCluster,
                      int64_t endCluster, ExtentArray& extents, int64_t& freeCount, DWORD& error)
{
    extents.Clear();
    freeCount = 0;
    bool runOpen = false;
    int64_t runStart = 0;
    int64_t current = startCluster;
    for (;;) {
        const DWORD outputSize = VolumeBitmapBufferSize(current, endCluster, buffer.rounding);
        auto* bitmap = static_cast<VOLUME_BITMAP_BUFFER*>(buffer.get(outputSize));
        if (!bitmap) {
            error = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
        const auto* bits = reinterpret_cast<const uint8_t*>(bitmap->Buffer);
        bool more = false;
        DWORD returned = 0;
        if (!GetVolumeBitmap(io, volume, current, bitmap, outputSize, more, returned)) {
            error = io.LastError();
            return false;
        }
        int64_t base = bitmap->StartingLcn.QuadPart;
        int64_t i = current - base;  // bits before the requested cluster are skipped
        if (i < 0 || i >= kMaxRounding) {
            error = ERROR_INVALID_DATA;
            return false;
        }
        if (i >= buffer.rounding) {
            // Rounded further down than the buffer allows for: ask again with room for it.
            buffer.rounding = (i + 8) & ~int64_t(7);
            continue;
        }
        size_t byteCount = returned > kBitmapHeader ? returned - kBitmapHeader : 0;
        // Never trust a bit the reply does not hold.
        int64_t n = std::min({bitmap->BitmapSize.QuadPart, endCluster - base, static_cast<int64_t>(byteCount) * 8});
        if (i >= n && more) {
            // A reply that neither covers nor advances past `current`: the
            // clusters from there on cannot be told free or in use.
            error = ERROR_INVALID_DATA;
            return false;
        }
        while (i < n) {
            // In use while no run is open, free while one is.
            int64_t next = FindBit(bits, byteCount, i, n, runOpen);
            if (runOpen)
                freeCount += next - i;
            if (next < n) {
                if (runOpen)
                    extents.Add({runStart, base + next - runStart});
                else
                    runStart = base + next;
                runOpen = !runOpen;
            }
            i = next;
        }
        current = base + i;
        if (!more || current >= endCluster)
            break;
    }
    if (runOpen)
        extents.Add({runStart, current - runStart});
    return true;
}
