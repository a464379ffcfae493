#include "engine/Wiperbittoggle.h"

void WiperBitToggle::PreparePass()
{
    FillByte(pass % 2 == 0 ? 0xFF : 0x00);
}

uint8_t* WiperBitToggle::GetBlock(int64_t&, int32_t&, int64_t&)
{
    return PatternBlock();
}

PassContent WiperBitToggle::DescribePass(int32_t index) const
{
    return PassContent::Fixed({static_cast<uint8_t>(index % 2 == 0 ? 0xFF : 0x00)});
}
