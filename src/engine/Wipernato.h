#pragma once
// Method 11: 00 and FF three times each, alternating, then one random byte repeated.
#include "engine/Wiper.h"

class WiperNATO : public Wiper {
public:
    WiperNATO() : Wiper(0, 7) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
