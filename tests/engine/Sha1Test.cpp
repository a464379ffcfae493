#include <gtest/gtest.h>

#include <string>
#include "engine/Sha1hasher.h"

namespace {

std::wstring Hex(const std::string& data)
{
    Sha1Context context;
    Sha1Init(context);
    Sha1Update(context, data.data(), data.size());
    return Sha1HexDigest(context);
}

// Runs every test of this suite once per compression variant.
class Sha1 : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (GetParam() && !Sha1CpuHasShaNi())
            GTEST_SKIP() << "no SHA instructions on this processor";
        Sha1UseCompression(GetParam() ? Sha1CompressShaNi : Sha1CompressPortable);
    }
    void TearDown() override { Sha1UseCompression(nullptr); }
};

TEST_P(Sha1, PublishedVectors)
{
    EXPECT_EQ(Hex(""), L"DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(Hex("abc"), L"A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              L"84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
    EXPECT_EQ(Hex(std::string(1000000, 'a')), L"34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST_P(Sha1, LengthsAroundThePaddingBoundary)
{
    // Digests of that many "a" characters.
    EXPECT_EQ(Hex(std::string(55, 'a')), L"C1C8BBDC22796E28C0E15163D20899B65621D65A");
    EXPECT_EQ(Hex(std::string(56, 'a')), L"C2DB330F6083854C99D4B5BFB6E8F29F201BE699");
    EXPECT_EQ(Hex(std::string(63, 'a')), L"03F09F5B158A7A8CDAD920BDDC29B81C18A551F5");
    EXPECT_EQ(Hex(std::string(64, 'a')), L"0098BA824B5C16427BD7A1122A5A442A25EC644D");
    EXPECT_EQ(Hex(std::string(65, 'a')), L"11655326C708D70319BE2610E8A57D9A5B959D3B");
}

TEST_P(Sha1, IncrementalFeedingInOddChunksEqualsOneShot)
{
    std::string data;
    for (int i = 0; i < 5000; ++i)
        data.push_back(static_cast<char>(i * 7 + i / 13));
    for (size_t chunk : {1u, 3u, 63u, 64u, 65u, 127u, 1000u}) {
        Sha1Context context;
        Sha1Init(context);
        for (size_t at = 0; at < data.size(); at += chunk)
            Sha1Update(context, data.data() + at, std::min(chunk, data.size() - at));
        EXPECT_EQ(Sha1HexDigest(context), Hex(data)) << "chunk " << chunk;
    }
}

TEST_P(Sha1, DigestLeavesTheContextUnchanged)
{
    Sha1Context context;
    Sha1Init(context);
    Sha1Update(context, "ab", 2);
    std::wstring first = Sha1HexDigest(context);
    EXPECT_EQ(Sha1HexDigest(context), first);
    Sha1Update(context, "c", 1);
    EXPECT_EQ(Sha1HexDigest(context), L"A9993E364706816ABA3E25717850C26C9CD0D89D");
    Sha1Bytes bytes = Sha1Digest(context);
    EXPECT_EQ(bytes[0], 0xA9);
    EXPECT_EQ(bytes[19], 0x9D);
}

INSTANTIATE_TEST_SUITE_P(Compression, Sha1, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("ShaInstructions") : std::string("Portable");
                         });

}  // namespace
