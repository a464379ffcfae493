#pragma once
// Method 3: One random pass.
#include "engine/Wiper.h"

class WiperRandom : public Wiper {
public:
    WiperRandom() : Wiper(0, 1) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
