#include "engine/Sha1hasher.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

Sha1CompressFunction BestCompression()
{
    return Sha1CpuHasShaNi() ? Sha1CompressShaNi : Sha1CompressPortable;
}

std::atomic<Sha1CompressFunction> compression{BestCompression()};

inline uint32_t Rol(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

inline uint32_t LoadBigEndian(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace

// The 80 steps are written out; the message schedule lives in a 16-word ring.
#define SHA1_W(i) (w[(i) & 15] = Rol(w[((i) + 13) & 15] ^ w[((i) + 8) & 15] ^ w[((i) + 2) & 15] ^ w[(i) & 15], 1))
#define SHA1_STEP(a, b, c, d, e, f, k, wi)                                                                    \
    do {                                                                                                      \
        e += Rol(a, 5) + (f) + (k) + (wi);                                                                    \
        b = Rol(b, 30);                                                                                       \
    } while (0)
#define SHA1_F1(b, c, d) ((d) ^ ((b) & ((c) ^ (d))))
#define SHA1_F2(b, c, d) ((b) ^ (c) ^ (d))
#define SHA1_F3(b, c, d) (((b) & (c)) | ((d) & ((b) | (c))))
#define R0(a, b, c, d, e, i) SHA1_STEP(a, b, c, d, e, SHA1_F1(b, c, d), 0x5A827999u, w[i])
#define R1(a, b, c, d, e, i) SHA1_STEP(a, b, c, d, e, SHA1_F1(b, c, d), 0x5A827999u, SHA1_W(i))
#define R2(a, b, c, d, e, i) SHA1_STEP(a, b, c, d, e, SHA1_F2(b, c, d), 0x6ED9EBA1u, SHA1_W(i))
#define R3(a, b, c, d, e, i) SHA1_STEP(a, b, c, d, e, SHA1_F3(b, c, d), 0x8F1BBCDCu, SHA1_W(i))
#define R4(a, b, c, d, e, i) SHA1_STEP(a, b, c, d, e, SHA1_F2(b, c, d), 0xCA62C1D6u, SHA1_W(i))
#define FIVE(R, i)                                                                                            \
    R(a, b, c, d, e, (i));                                                                                    \
    R(e, a, b, c, d, (i) + 1);                                                                                \
    R(d, e, a, b, c, (i) + 2);                                                                                \
    R(c, d, e, a, b, (i) + 3);                                                                                \
    R(b, c, d, e, a, (i) + 4)

void Sha1CompressPortable(uint32_t state[5], const uint8_t* blocks, size_t count)
{
    for (; count > 0; --count, blocks += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = LoadBigEndian(blocks + 4 * i);
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        FIVE(R0, 0); FIVE(R0, 5); FIVE(R0, 10);
        R0(a, b, c, d, e, 15); R1(e, a, b, c, d, 16); R1(d, e, a, b, c, 17); R1(c, d, e, a, b, 18);
        R1(b, c, d, e, a, 19);
        FIVE(R2, 20); FIVE(R2, 25); FIVE(R2, 30); FIVE(R2, 35);
        FIVE(R3, 40); FIVE(R3, 45); FIVE(R3, 50); FIVE(R3, 55);
        FIVE(R4, 60); FIVE(R4, 65); FIVE(R4, 70); FIVE(R4, 75);
        state[0] += a; state[1] += b; state[2] += c; state[3] += d; state[4] += e;
    }
}

#undef FIVE
#undef R0
#undef R1
#undef R2
#undef R3
#undef R4
#undef SHA1_F1
#undef SHA1_F2
#undef SHA1_F3
#undef SHA1_STEP
#undef SHA1_W

void Sha1UseCompression(Sha1CompressFunction function)
{
    compression.store(function ? function : BestCompression());
}

void Sha1Init(Sha1Context& context)
{
    static const uint32_t initial[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
    std::memcpy(context.State, initial, sizeof initial);
    context.Length = 0;
    context.Buffered = 0;
}

void Sha1Update(Sha1Context& context, const void* data, size_t length)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    Sha1CompressFunction compress = compression.load(std::memory_order_relaxed);
    if (context.Buffered > 0) {
        size_t take = std::min<size_t>(64 - context.Buffered, length);
        std::memcpy(context.Block + context.Buffered, bytes, take);
        context.Buffered += static_cast<uint32_t>(take);
        bytes += take;
        length -= take;
        if (context.Buffered < 64)
            return;
        compress(context.State, context.Block, 1);
        context.Length += 64;
        context.Buffered = 0;
    }
    // Whole blocks are compressed straight from the caller's data.
    size_t blocks = length / 64;
    if (blocks > 0) {
        compress(context.State, bytes, blocks);
        context.Length += blocks * 64;
        bytes += blocks * 64;
        length -= blocks * 64;
    }
    std::memcpy(context.Block, bytes, length);
    context.Buffered = static_cast<uint32_t>(length);
}

Sha1Bytes Sha1Digest(const Sha1Context& context)
{
    Sha1Context final = context;
    uint64_t bits = (final.Length + final.Buffered) * 8;
    uint8_t padding[72] = {0x80};
    size_t padLength = (final.Buffered < 56 ? 56 : 120) - final.Buffered;
    for (int i = 0; i < 8; ++i)
        padding[padLength + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
    Sha1Update(final, padding, padLength + 8);
    Sha1Bytes digest;
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<uint8_t>(final.State[i] >> (24 - 8 * j));
    return digest;
}

std::wstring Sha1HexDigest(const Sha1Context& context)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    Sha1Bytes digest = Sha1Digest(context);
    std::wstring text;
    text.reserve(40);
    for (uint8_t byte : digest) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 15]);
    }
    return text;
}
