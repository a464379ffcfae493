#include "engine/Wiperbittoggle.h"

void WiperBitToggle::PreparePass()
{
    FillByte(pass % 2 == 0 ? 0xFF : 0x00);
}

uint8_t* WiperBitToggle::GetBlock(int64_t&, int32_t&, int64_t&)
{
    return PatternBlock();
}
