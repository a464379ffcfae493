#include "engine/Wiperdod5220.h"

void WiperDoD5220::PreparePass()
{
    if (pass < 2)
        FillByte(pass == 0 ? 0x00 : 0xFF);
}

uint8_t* WiperDoD5220::GetBlock(int64_t&, int32_t& count, int64_t&)
{
    return pass == 2 ? RandomBlock(count) : PatternBlock();
}
