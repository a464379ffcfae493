#pragma once
// Method 9: 00, FF, random.
#include "engine/Wiper.h"

class WiperDoD5220 : public Wiper {
public:
    WiperDoD5220() : Wiper(0, 3) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
