#pragma once
// Incremental SHA-1 (FIPS 180) for the verification passes: the data passes
// through block by block and is never held whole. A context is a plain value;
// a digest can be taken at any time and the computation continued.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct Sha1Context {
    uint32_t State[5];
    uint64_t Length;          // bytes compressed so far
    uint32_t Buffered;        // bytes waiting in Block, 0 to 63
    uint8_t Block[64];
};

using Sha1Bytes = std::array<uint8_t, 20>;

void Sha1Init(Sha1Context& context);
void Sha1Update(Sha1Context& context, const void* data, size_t length);
// The digest of everything fed so far; the context is left unchanged.
Sha1Bytes Sha1Digest(const Sha1Context& context);
// The digest as 40 upper-case hexadecimal digits.
std::wstring Sha1HexDigest(const Sha1Context& context);

// Compression of whole 64-byte blocks. The engine picks the processor's SHA
// instructions when it has them; both variants are exposed for the tests.
using Sha1CompressFunction = void (*)(uint32_t state[5], const uint8_t* blocks, size_t count);
void Sha1CompressPortable(uint32_t state[5], const uint8_t* blocks, size_t count);
void Sha1CompressShaNi(uint32_t state[5], const uint8_t* blocks, size_t count);
bool Sha1CpuHasShaNi();
// Selects the compression for the whole process (tests pin one variant).
void Sha1UseCompression(Sha1CompressFunction function);
