#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>
#include "PassModel.h"
#include "engine/Wiper.h"

namespace {

struct Block {
    int64_t start;
    int32_t count;
    std::string bytes;
};

// Every pass of one round, as handed out, collected on a fresh thread so
// that the generator starts from its initial state as in a new job.
struct Round {
    std::vector<std::vector<Block>> passes;
    std::vector<bool> verify;
};

Round CollectRound(int method, int unitSize, int64_t units, int blockUnits, int rounds = 1)
{
    Round result;
    std::thread worker([&] {
        std::unique_ptr<Wiper> wiper(CreateWiper(method));
        for (int round = 0; round < rounds; ++round) {
            wiper->Start(unitSize, units, blockUnits);
            while (wiper->NextPass()) {
                result.verify.push_back(wiper->IsVerifyPass());
                std::vector<Block> blocks;
                int64_t start;
                int32_t count;
                uint8_t* buffer;
                while (wiper->NextBlock(start, count, buffer))
                    blocks.push_back({start, count,
                                      std::string(reinterpret_cast<char*>(buffer), size_t(count) * unitSize)});
                result.passes.push_back(blocks);
            }
        }
    });
    worker.join();
    return result;
}

// Lays the blocks of each pass over an image and compares with the model.
void ExpectPassesAsModelled(int method, int unitSize, int64_t units, int blockUnits, int rounds)
{
    SCOPED_TRACE("method " + std::to_string(method) + ", " + std::to_string(units) + " units");
    Round round = CollectRound(method, unitSize, units, blockUnits, rounds);
    std::vector<PlannedPass> plan = MethodPasses(method);
    ASSERT_EQ(round.passes.size(), plan.size() * rounds);
    TargetModel model{std::string(size_t(units) * unitSize, '\x5A'), 0, unitSize, units, blockUnits};
    TargetModel actual = model;
    ReferenceRandom random;
    for (size_t pass = 0; pass < round.passes.size(); ++pass) {
        const PlannedPass& planned = plan[pass % plan.size()];
        EXPECT_EQ(round.verify[pass], planned.kind == PlannedPass::Verify) << "pass " << pass;
        model.Apply(planned, random);
        if (planned.kind == PlannedPass::Verify)
            continue;
        for (const Block& block : round.passes[pass])
            std::memcpy(&actual.image[block.start * unitSize], block.bytes.data(), block.bytes.size());
        ASSERT_EQ(actual.image, model.image) << "pass " << pass;
    }
}

TEST(Wiper, PassCountsAndVerificationSplitOfEveryMethod)
{
    const int writes[] = {1, 1, 1, 1, 2, 3, 3, 4, 3, 3, 3, 7, 35, 38};
    const int verifies[] = {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0};
    for (int method = 0; method < kWipeMethodCount; ++method) {
        std::unique_ptr<Wiper> wiper(CreateWiper(method));
        ASSERT_TRUE(wiper) << method;
        EXPECT_EQ(wiper->WritePassCount(), writes[method]) << method;
        EXPECT_EQ(wiper->VerifyPassCount(), verifies[method]) << method;
        EXPECT_EQ(wiper->PassCount(), writes[method] + verifies[method]) << method;
    }
    EXPECT_EQ(CreateWiper(-1), nullptr);
    EXPECT_EQ(CreateWiper(14), nullptr);
}

// What a report says of each pass is what the pass writes.
TEST(Wiper, EveryPassIsDescribedAsItIsWritten)
{
    for (int method = 0; method < kWipeMethodCount; ++method) {
        std::unique_ptr<Wiper> wiper(CreateWiper(method));
        const std::vector<PlannedPass> plan = MethodPasses(method);
        ASSERT_EQ(size_t(wiper->PassCount()), plan.size()) << method;
        for (size_t pass = 0; pass < plan.size(); ++pass) {
            const PlannedPass& planned = plan[pass];
            const PassContent::Kind kinds[] = {PassContent::Pattern, PassContent::Random, PassContent::RandomByte,
                                               PassContent::Verify, PassContent::ZeroEvery};
            PassContent expected{kinds[planned.kind], {planned.group.begin(), planned.group.end()}, planned.step};
            EXPECT_EQ(wiper->DescribePass(int32_t(pass)), expected) << "method " << method << ", pass " << pass;
        }
    }
}

TEST(Wiper, EveryPassWritesExactlyTheModelledBytesOverSeveralBlocks)
{
    // 64-byte blocks: a 3-byte group restarts one byte early at every block.
    for (int method = 0; method < kWipeMethodCount; ++method)
        ExpectPassesAsModelled(method, 16, 11, 4, 2);
}

TEST(Wiper, TargetSmallerThanOneBlockIsOneBlock)
{
    for (int method : {2, 5, 12}) {
        Round round = CollectRound(method, 512, 3, 512);
        for (const auto& pass : round.passes) {
            ASSERT_EQ(pass.size(), 1u);
            EXPECT_EQ(pass[0].start, 0);
            EXPECT_EQ(pass[0].count, 3);
        }
        ExpectPassesAsModelled(method, 512, 3, 512, 1);
    }
}

TEST(Wiper, RandomStreamStartsWithTheClassicGeneratorsFirstWords)
{
    // The generator from state 1 yields 346, 130, 10982, 1090.
    Round round = CollectRound(3, 512, 1, 512);
    const std::string& bytes = round.passes[0][0].bytes;
    const uint8_t expected[] = {0x5A, 0x01, 0x82, 0x00, 0xE6, 0x2A, 0x42, 0x04};
    EXPECT_EQ(bytes.substr(0, 8), std::string(reinterpret_cast<const char*>(expected), 8));
    for (size_t i = 1; i < bytes.size(); i += 2)
        ASSERT_EQ(uint8_t(bytes[i]) & 0x80, 0) << "high byte " << i;
}

TEST(Wiper, RandomByteOfMethodsTenAndElevenIsNeverZeroOrFF)
{
    for (int method : {10, 11}) {
        Round round = CollectRound(method, 16, 4, 4, 40);
        int last = method == 10 ? 2 : 6;
        for (size_t pass = last; pass < round.passes.size(); pass += round.passes.size() / 40) {
            uint8_t value = uint8_t(round.passes[pass][0].bytes[0]);
            EXPECT_NE(value, 0x00);
            EXPECT_NE(value, 0xFF);
            EXPECT_EQ(round.passes[pass][0].bytes, std::string(64, char(value)));
        }
    }
}

TEST(Wiper, FastZeroMethodsTouchOnlyEveryThirdOrSecondUnit)
{
    std::vector<int64_t> starts;
    Round superFast = CollectRound(0, 512, 7, 512);
    for (const Block& block : superFast.passes[0]) {
        starts.push_back(block.start);
        EXPECT_EQ(block.count, 1);
        EXPECT_EQ(block.bytes, std::string(512, '\0'));
    }
    EXPECT_EQ(starts, (std::vector<int64_t>{0, 3, 6}));
    starts.clear();
    Round fast = CollectRound(1, 512, 7, 512);
    for (const Block& block : fast.passes[0])
        starts.push_back(block.start);
    EXPECT_EQ(starts, (std::vector<int64_t>{0, 2, 4, 6}));
}

TEST(Wiper, NextBlockOnlyBetweenFirstAndLastPass)
{
    std::unique_ptr<Wiper> wiper(CreateWiper(9));
    wiper->Start(512, 4, 512);
    int64_t start;
    int32_t count;
    uint8_t* buffer;
    EXPECT_FALSE(wiper->NextBlock(start, count, buffer));
    while (wiper->NextPass())
        while (wiper->NextBlock(start, count, buffer)) {
        }
    EXPECT_FALSE(wiper->NextBlock(start, count, buffer));
    EXPECT_FALSE(wiper->NextPass());
    EXPECT_EQ(wiper->Pass(), wiper->PassCount());
}

TEST(Wiper, UnitCountsBeyondThirtyTwoBits)
{
    // A volume of 2^32 + 100 units: the last block starts at 2^32.
    int64_t units = (int64_t(1) << 32) + 100;
    std::unique_ptr<Wiper> wiper(CreateWiper(2));
    wiper->Start(512, units, 512);
    ASSERT_TRUE(wiper->NextPass());
    int64_t start = 0, blocks = 0, lastStart = -1;
    int32_t count = 0, lastCount = 0;
    uint8_t* buffer;
    while (wiper->NextBlock(start, count, buffer)) {
        ++blocks;
        lastStart = start;
        lastCount = count;
    }
    EXPECT_EQ(blocks, (int64_t(1) << 23) + 1);
    EXPECT_EQ(lastStart, int64_t(1) << 32);
    EXPECT_EQ(lastCount, 100);
}

TEST(Wiper, ThreeByteGroupOverAFullBuffer)
{
    // 512 units of 512 bytes: 87381 whole groups and one final first byte.
    Round round = CollectRound(12, 512, 512, 512);
    const std::string& bytes = round.passes[6][0].bytes;
    ASSERT_EQ(bytes.size(), 262144u);
    EXPECT_EQ(uint8_t(bytes[262141]), 0x49);
    EXPECT_EQ(uint8_t(bytes[262142]), 0x24);
    EXPECT_EQ(uint8_t(bytes[262143]), 0x92);
}

}  // namespace
