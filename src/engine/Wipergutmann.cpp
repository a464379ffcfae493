#include "engine/Wipergutmann.h"

namespace {
struct GutmannPattern {
    bool random;
    uint8_t a, b, c;
};

const GutmannPattern kPasses[35] = {
    {true, 0, 0, 0},          {true, 0, 0, 0},          {true, 0, 0, 0},          {true, 0, 0, 0},
    {false, 0x55, 0x55, 0x55}, {false, 0xAA, 0xAA, 0xAA}, {false, 0x92, 0x49, 0x24}, {false, 0x49, 0x24, 0x92},
    {false, 0x24, 0x92, 0x49}, {false, 0x00, 0x00, 0x00}, {false, 0x11, 0x11, 0x11}, {false, 0x22, 0x22, 0x22},
    {false, 0x33, 0x33, 0x33}, {false, 0x44, 0x44, 0x44}, {false, 0x55, 0x55, 0x55}, {false, 0x66, 0x66, 0x66},
    {false, 0x77, 0x77, 0x77}, {false, 0x88, 0x88, 0x88}, {false, 0x99, 0x99, 0x99}, {false, 0xAA, 0xAA, 0xAA},
    {false, 0xBB, 0xBB, 0xBB}, {false, 0xCC, 0xCC, 0xCC}, {false, 0xDD, 0xDD, 0xDD}, {false, 0xEE, 0xEE, 0xEE},
    {false, 0xFF, 0xFF, 0xFF}, {false, 0x92, 0x49, 0x24}, {false, 0x49, 0x24, 0x92}, {false, 0x24, 0x92, 0x49},
    {false, 0x6D, 0xB6, 0xDB}, {false, 0xB6, 0xDB, 0x6D}, {false, 0xDB, 0x6D, 0xB6}, {true, 0, 0, 0},
    {true, 0, 0, 0},          {true, 0, 0, 0},          {true, 0, 0, 0},
};
}  // namespace

bool WiperGutmann::IsRandomPass(int32_t gutmannPass)
{
    return kPasses[gutmannPass].random;
}

const uint8_t* WiperGutmann::Pattern(int32_t gutmannPass)
{
    return &kPasses[gutmannPass].a;
}

PassContent WiperGutmann::Describe(int32_t gutmannPass)
{
    if (IsRandomPass(gutmannPass))
        return PassContent::Of(PassContent::Random);
    const uint8_t* group = Pattern(gutmannPass);
    return PassContent::Fixed({group, group + 3});
}

void WiperGutmann::PreparePass()
{
    if (!kPasses[pass].random)
        FillTriplet(kPasses[pass].a, kPasses[pass].b, kPasses[pass].c);
}

uint8_t* WiperGutmann::GetBlock(int64_t&, int32_t& count, int64_t&)
{
    return IsRandomPass(pass) ? RandomBlock(count) : PatternBlock();
}

PassContent WiperGutmann::DescribePass(int32_t index) const
{
    return Describe(index);
}
