#pragma once
// Method 13: The three passes of DoD 5220.22-M followed by the Gutmann sequence.
#include "engine/Wiper.h"

class WiperDoD5220Gutmann : public Wiper {
public:
    WiperDoD5220Gutmann() : Wiper(0, 38) {}
    PassContent DescribePass(int32_t pass) const override;
protected:
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
