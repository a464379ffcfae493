#include "engine/Wiperfastzero.h"

uint8_t* WiperFastZero::GetBlock(int64_t& start, int32_t& count, int64_t& next)
{
    // One unit of zeros, then one unit left alone. The buffer is never written.
    count = 1;
    next = start + 2;
    return GetBuffer(1);
}

PassContent WiperFastZero::DescribePass(int32_t) const
{
    return {PassContent::ZeroEvery, {}, 2};
}
