#include "engine/Wiperafssi5020.h"

bool WiperAFSSI5020::VerifiesPass(int32_t index) const
{
    return index == 3;
}

void WiperAFSSI5020::PreparePass()
{
    if (pass < 2)
        FillByte(pass == 0 ? 0x00 : 0xFF);
    else if (pass == 2)
        FillByte(RandomMiddleByte());
}

uint8_t* WiperAFSSI5020::GetBlock(int64_t&, int32_t&, int64_t&)
{
    // The read-back pass gets the buffer unchanged and reads into it.
    return PatternBlock();
}

PassContent WiperAFSSI5020::DescribePass(int32_t index) const
{
    if (index < 2)
        return PassContent::Fixed({static_cast<uint8_t>(index == 0 ? 0x00 : 0xFF)});
    return PassContent::Of(index == 2 ? PassContent::RandomByte : PassContent::Verify);
}
