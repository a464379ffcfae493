#pragma once
// Method 4: A random pass, then zeros.
#include "engine/Wiper.h"

class WiperRandomZero : public Wiper {
public:
    WiperRandomZero() : Wiper(0, 2) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
