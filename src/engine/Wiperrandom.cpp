#include "engine/Wiperrandom.h"

uint8_t* WiperRandom::GetBlock(int64_t&, int32_t& count, int64_t&)
{
    return RandomBlock(count);
}

PassContent WiperRandom::DescribePass(int32_t) const
{
    return PassContent::Of(PassContent::Random);
}
