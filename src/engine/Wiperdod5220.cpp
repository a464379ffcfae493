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

PassContent WiperDoD5220::DescribePass(int32_t index) const
{
    if (index < 2)
        return PassContent::Fixed({static_cast<uint8_t>(index == 0 ? 0x00 : 0xFF)});
    return PassContent::Of(PassContent::Random);
}
