// SHA-1 compression with the processor's SHA instructions, used when the
// processor reports them. Four rounds per instruction; the message schedule
// is computed four words at a time beside them.
#include "engine/Sha1hasher.h"

#include <cpuid.h>
#include <immintrin.h>

#define SHA_TARGET __attribute__((target("sha,sse4.1,ssse3")))

namespace {

// One group of four rounds. Message word group k (k >= 4) is started by
// msg1 three groups ahead, mixed by xor two groups ahead and finished by msg2
// one group ahead of its use.
template <int k>
SHA_TARGET __attribute__((always_inline)) inline void Group(__m128i& abcd, __m128i& e0, __m128i& e1,
                                                          __m128i (&m)[4], const uint8_t* block)
{
    if constexpr (k < 4) {
        const __m128i swap = _mm_set_epi64x(0x0001020304050607LL, 0x08090A0B0C0D0E0FLL);
        m[k] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k)), swap);
    }
    __m128i& in = (k % 2 == 0) ? e0 : e1;
    __m128i& out = (k % 2 == 0) ? e1 : e0;
    if constexpr (k == 0)
        in = _mm_add_epi32(in, m[0]);
    else
        in = _mm_sha1nexte_epu32(in, m[k % 4]);
    out = abcd;
    if constexpr (k >= 3 && k <= 18)
        m[(k + 1) % 4] = _mm_sha1msg2_epu32(m[(k + 1) % 4], m[k % 4]);
    abcd = _mm_sha1rnds4_epu32(abcd, in, k / 5);
    if constexpr (k >= 1 && k <= 16)
        m[(k + 3) % 4] = _mm_sha1msg1_epu32(m[(k + 3) % 4], m[k % 4]);
    if constexpr (k >= 2 && k <= 17)
        m[(k + 2) % 4] = _mm_xor_si128(m[(k + 2) % 4], m[k % 4]);
}

}  // namespace

SHA_TARGET void Sha1CompressShaNi(uint32_t state[5], const uint8_t* blocks, size_t count)
{
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    __m128i e1;
    __m128i m[4];
    for (; count > 0; --count, blocks += 64) {
        __m128i abcdSaved = abcd;
        __m128i e0Saved = e0;
#define G(k) Group<k>(abcd, e0, e1, m, blocks)
        G(0); G(1); G(2); G(3); G(4); G(5); G(6); G(7); G(8); G(9);
        G(10); G(11); G(12); G(13); G(14); G(15); G(16); G(17); G(18); G(19);
#undef G
        e0 = _mm_sha1nexte_epu32(e0, e0Saved);
        abcd = _mm_add_epi32(abcd, abcdSaved);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

bool Sha1CpuHasShaNi()
{
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_SSE4_1) || !(c & bit_SSSE3))
        return false;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return (b & bit_SHA) != 0;
}
