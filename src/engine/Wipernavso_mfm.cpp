#include "engine/Wipernavso_mfm.h"

bool WiperNAVSO_MFM::VerifiesPass(int32_t index) const
{
    return index == 3;
}

void WiperNAVSO_MFM::PreparePass()
{
    static const uint8_t group[4] = {0xBF, 0xFF, 0xFF, 0xFF};
    if (pass == 0)
        FillByte(0xFF);
    else if (pass == 1)
        FillPattern(group, 4);
}

uint8_t* WiperNAVSO_MFM::GetBlock(int64_t&, int32_t& count, int64_t&)
{
    // Pass 3 is random; the read-back pass gets the buffer unchanged and reads into it.
    return pass == 2 ? RandomBlock(count) : PatternBlock();
}

PassContent WiperNAVSO_MFM::DescribePass(int32_t index) const
{
    static const uint8_t group[4] = {0xBF, 0xFF, 0xFF, 0xFF};
    switch (index) {
    case 0: return PassContent::Fixed({0xFF});
    case 1: return PassContent::Fixed({group, group + 4});
    case 2: return PassContent::Of(PassContent::Random);
    default: return PassContent::Of(PassContent::Verify);
    }
}
