#include "engine/Randomfill.h"

#include <cpuid.h>
#include <immintrin.h>

namespace {

thread_local uint32_t threadState = 1;

constexpr uint32_t kMultiplier = 22695477u;
constexpr uint32_t kIncrement = 1u;

// The affine map of `steps` generator steps: state -> state * multiplier + increment.
struct Jump {
    uint32_t multiplier = 1;
    uint32_t increment = 0;
};

Jump JumpOf(uint64_t steps)
{
    Jump result, power{kMultiplier, kIncrement};
    for (; steps > 0; steps >>= 1) {
        if (steps & 1)
            result = {result.multiplier * power.multiplier, result.increment * power.multiplier + power.increment};
        power = {power.multiplier * power.multiplier, power.increment * power.multiplier + power.increment};
    }
    return result;
}

bool CpuHasAvx2()
{
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE) || !(c & bit_AVX))
        return false;
    // The operating system must save the YMM registers.
    unsigned low, high;
    __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    if ((low & 6) != 6)
        return false;
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & bit_AVX2);
}

const bool hasAvx2 = CpuHasAvx2();

// 32 lanes in four registers, each lane 32 outputs ahead of the previous
// batch. Lane order is chosen so that packing pairs of registers yields the
// outputs in stream order. Returns the number of words written (a multiple of 32).
__attribute__((target("avx2"))) size_t FillLanes(uint32_t state, uint8_t* destination, size_t words)
{
    size_t batches = words / 32;
    if (batches == 0)
        return 0;
    alignas(32) uint32_t lanes[32];
    uint32_t s = state;
    for (uint32_t& lane : lanes) {
        s = s * kMultiplier + kIncrement;
        lane = s;
    }
    // Each register holds words [first, first + 4) and [first + 8, first + 12).
#define LANES(first)                                                                                       \
    _mm256_setr_epi32(lanes[first], lanes[first + 1], lanes[first + 2], lanes[first + 3], lanes[first + 8], \
                      lanes[first + 9], lanes[first + 10], lanes[first + 11])
    __m256i r0 = LANES(0), r1 = LANES(4), r2 = LANES(16), r3 = LANES(20);
#undef LANES
    Jump jump = JumpOf(32);
    const __m256i multiplier = _mm256_set1_epi32(static_cast<int>(jump.multiplier));
    const __m256i increment = _mm256_set1_epi32(static_cast<int>(jump.increment));
    const __m256i mask = _mm256_set1_epi32(0x7FFF);
    for (size_t i = 0; i < batches; ++i, destination += 64) {
        __m256i low = _mm256_packus_epi32(_mm256_and_si256(_mm256_srli_epi32(r0, 16), mask),
                                          _mm256_and_si256(_mm256_srli_epi32(r1, 16), mask));
        __m256i high = _mm256_packus_epi32(_mm256_and_si256(_mm256_srli_epi32(r2, 16), mask),
                                           _mm256_and_si256(_mm256_srli_epi32(r3, 16), mask));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination), low);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + 32), high);
        r0 = _mm256_add_epi32(_mm256_mullo_epi32(r0, multiplier), increment);
        r1 = _mm256_add_epi32(_mm256_mullo_epi32(r1, multiplier), increment);
        r2 = _mm256_add_epi32(_mm256_mullo_epi32(r2, multiplier), increment);
        r3 = _mm256_add_epi32(_mm256_mullo_epi32(r3, multiplier), increment);
    }
    return batches * 32;
}

}  // namespace

uint32_t FillRandomOneStep(uint32_t state, uint8_t* destination, size_t byteCount)
{
    size_t i = 0;
    for (; i + 1 < byteCount; i += 2) {
        uint16_t value = NextRandom(state);
        destination[i] = static_cast<uint8_t>(value);
        destination[i + 1] = static_cast<uint8_t>(value >> 8);
    }
    if (i < byteCount)
        destination[i] = static_cast<uint8_t>(NextRandom(state));
    return state;
}

uint32_t FillRandomFast(uint32_t state, uint8_t* destination, size_t byteCount)
{
    size_t words = hasAvx2 ? FillLanes(state, destination, byteCount / 2) : 0;
    if (words > 0) {
        Jump jump = JumpOf(words);
        state = state * jump.multiplier + jump.increment;
    }
    return FillRandomOneStep(state, destination + 2 * words, byteCount - 2 * words);
}

uint16_t ThreadRandom()
{
    return NextRandom(threadState);
}

void ThreadFillRandom(void* destination, size_t byteCount)
{
    threadState = FillRandomFast(threadState, static_cast<uint8_t*>(destination), byteCount);
}
