#include "engine/Wipernato.h"

void WiperNATO::PreparePass()
{
    if (pass < 6)
        FillByte(pass % 2 == 0 ? 0x00 : 0xFF);
    else
        FillByte(RandomMiddleByte());
}

uint8_t* WiperNATO::GetBlock(int64_t&, int32_t&, int64_t&)
{
    return PatternBlock();
}
