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
