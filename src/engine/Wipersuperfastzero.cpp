#include "engine/Wipersuperfastzero.h"

uint8_t* WiperSuperFastZero::GetBlock(int64_t& start, int32_t& count, int64_t& next)
{
    // One unit of zeros, then two units left alone. The buffer is never written.
    count = 1;
    next = start + 3;
    return GetBuffer(1);
}

PassContent WiperSuperFastZero::DescribePass(int32_t) const
{
    return {PassContent::ZeroEvery, {}, 3};
}
