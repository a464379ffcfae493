#pragma once
// Method 1: One pass of zeros over every second unit.
#include "engine/Wiper.h"

class WiperFastZero : public Wiper {
public:
    WiperFastZero() : Wiper(0, 1) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
