#pragma once
// Method 2: One pass of zeros.
#include "engine/Wiper.h"

class WiperZero : public Wiper {
public:
    WiperZero() : Wiper(0, 1) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
