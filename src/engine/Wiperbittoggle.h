#pragma once
// Method 7: FF, 00, FF, 00.
#include "engine/Wiper.h"

class WiperBitToggle : public Wiper {
public:
    WiperBitToggle() : Wiper(0, 4) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
