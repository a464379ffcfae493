#pragma once
// Method 0: One pass of zeros over every third unit.
#include "engine/Wiper.h"

class WiperSuperFastZero : public Wiper {
public:
    WiperSuperFastZero() : Wiper(0, 1) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
