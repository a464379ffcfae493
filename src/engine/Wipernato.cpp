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

PassContent WiperNATO::DescribePass(int32_t index) const
{
    if (index < 6)
        return PassContent::Fixed({static_cast<uint8_t>(index % 2 == 0 ? 0x00 : 0xFF)});
    return PassContent::Of(PassContent::RandomByte);
}
