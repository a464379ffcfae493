#include "engine/Wiperrandomzero.h"

void WiperRandomZero::PreparePass()
{
    if (pass == 1)
        FillByte(0x00);
}

uint8_t* WiperRandomZero::GetBlock(int64_t&, int32_t& count, int64_t&)
{
    return pass == 0 ? RandomBlock(count) : PatternBlock();
}

PassContent WiperRandomZero::DescribePass(int32_t index) const
{
    return index == 0 ? PassContent::Of(PassContent::Random) : PassContent::Fixed({0x00});
}
