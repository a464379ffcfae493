#pragma once
// Method 8: Two random passes, then zeros.
#include "engine/Wiper.h"

class WiperRandomRandomZero : public Wiper {
public:
    WiperRandomRandomZero() : Wiper(0, 3) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
