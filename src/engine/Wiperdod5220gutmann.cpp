#include "engine/Wiperdod5220gutmann.h"

#include "engine/Wipergutmann.h"

namespace {
// Passes 0 to 2 are those of DoD 5220.22-M, the rest the Gutmann sequence.
constexpr int32_t kDoDPasses = 3;
}

void WiperDoD5220Gutmann::PreparePass()
{
    if (pass < 2)
        FillByte(pass == 0 ? 0x00 : 0xFF);
    else if (pass >= kDoDPasses && !WiperGutmann::IsRandomPass(pass - kDoDPasses))
        FillPattern(WiperGutmann::Pattern(pass - kDoDPasses), 3);
}

uint8_t* WiperDoD5220Gutmann::GetBlock(int64_t&, int32_t& count, int64_t&)
{
    bool random = pass == 2 || (pass >= kDoDPasses && WiperGutmann::IsRandomPass(pass - kDoDPasses));
    return random ? RandomBlock(count) : PatternBlock();
}

PassContent WiperDoD5220Gutmann::DescribePass(int32_t index) const
{
    if (index < 2)
        return PassContent::Fixed({static_cast<uint8_t>(index == 0 ? 0x00 : 0xFF)});
    return index < kDoDPasses ? PassContent::Of(PassContent::Random) : WiperGutmann::Describe(index - kDoDPasses);
}
