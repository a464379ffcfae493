#include "engine/Wiperrandomrandomzero.h"

void WiperRandomRandomZero::PreparePass()
{
    if (pass == 2)
        FillByte(0x00);
}

uint8_t* WiperRandomRandomZero::GetBlock(int64_t&, int32_t& count, int64_t&)
{
    return pass < 2 ? RandomBlock(count) : PatternBlock();
}

PassContent WiperRandomRandomZero::DescribePass(int32_t index) const
{
    return index < 2 ? PassContent::Of(PassContent::Random) : PassContent::Fixed({0x00});
}
