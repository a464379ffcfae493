#pragma once
// Method 10: 00, FF, one random byte repeated, then a read-back.
#include "engine/Wiper.h"

class WiperAFSSI5020 : public Wiper {
public:
    WiperAFSSI5020() : Wiper(1, 3) {}
    PassContent DescribePass(int32_t pass) const override;

protected:
    bool VerifiesPass(int32_t index) const override;
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
