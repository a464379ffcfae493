#pragma once
// Method 5: FF, the group BF FF FF FF, random, then a read-back of the random pass.
#include "engine/Wiper.h"

class WiperNAVSO_MFM : public Wiper {
public:
    WiperNAVSO_MFM() : Wiper(1, 3) {}
    PassContent DescribePass(int32_t pass) const override;

protected:
    bool VerifiesPass(int32_t index) const override;
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
