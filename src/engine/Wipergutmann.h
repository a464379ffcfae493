#pragma once
// Method 12: The 35 passes of the Gutmann sequence.
#include "engine/Wiper.h"

class WiperGutmann : public Wiper {
public:
    WiperGutmann() : Wiper(0, 35) {}
    PassContent DescribePass(int32_t pass) const override;
    // The sequence, shared with the combined method: pass 0 to 34.
    static bool IsRandomPass(int32_t gutmannPass);
    static const uint8_t* Pattern(int32_t gutmannPass);  // three bytes
    static PassContent Describe(int32_t gutmannPass);

protected:
    void PreparePass() override;
    uint8_t* GetBlock(int64_t& start, int32_t& count, int64_t& next) override;
};
