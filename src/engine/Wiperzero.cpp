#include "engine/Wiperzero.h"

uint8_t* WiperZero::GetBlock(int64_t&, int32_t&, int64_t&)
{
    // The buffer is never written, so it holds the zeros it was committed with.
    return PatternBlock();
}

PassContent WiperZero::DescribePass(int32_t) const
{
    return PassContent::Fixed({0x00});
}
