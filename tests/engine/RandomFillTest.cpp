#include <gtest/gtest.h>

#include <thread>
#include <vector>
#include "PassModel.h"
#include "engine/Randomfill.h"

namespace {

TEST(RandomFill, FastFillIsBitIdenticalToTheOneStepGenerator)
{
    for (uint32_t seed : {1u, 0u, 0xFFFFFFFFu, 0x12345678u}) {
        for (size_t bytes : {0u, 1u, 2u, 63u, 64u, 65u, 127u, 129u, 1000u, 4097u, 262144u}) {
            std::vector<uint8_t> fast(bytes + 1, 0xEE), slow(bytes + 1, 0xEE);
            uint32_t fastState = FillRandomFast(seed, fast.data(), bytes);
            uint32_t slowState = FillRandomOneStep(seed, slow.data(), bytes);
            ASSERT_EQ(fast, slow) << "seed " << seed << ", " << bytes << " bytes";
            ASSERT_EQ(fastState, slowState) << "seed " << seed << ", " << bytes << " bytes";
            ASSERT_EQ(fast[bytes], 0xEE) << "wrote past the end";
        }
    }
}

TEST(RandomFill, OneStepGeneratorMatchesTheReference)
{
    ReferenceRandom reference;
    uint8_t bytes[7];
    uint32_t state = FillRandomOneStep(1, bytes, sizeof bytes);
    for (int i = 0; i < 6; i += 2) {
        uint16_t word = reference.Next();
        EXPECT_EQ(bytes[i], uint8_t(word));
        EXPECT_EQ(bytes[i + 1], uint8_t(word >> 8));
    }
    EXPECT_EQ(bytes[6], uint8_t(reference.Next()));
    EXPECT_EQ(state, reference.state);
}

TEST(RandomFill, EachThreadStartsAtTheSameState)
{
    auto firstBytes = [] {
        std::vector<uint8_t> bytes(1000);
        std::thread worker([&] { ThreadFillRandom(bytes.data(), bytes.size()); });
        worker.join();
        return bytes;
    };
    ThreadFillRandom(std::vector<uint8_t>(10).data(), 10);  // this thread's stream moves on
    EXPECT_EQ(firstBytes(), firstBytes());
}

}  // namespace
