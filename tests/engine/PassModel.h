#pragma once
// An independent description of what every method writes, used to predict
// the exact bytes of every pass.
#include <cstdint>
#include <string>
#include <vector>

struct PlannedPass {
    enum Kind { Pattern, Random, MiddleByte, Verify, ZeroEvery } kind;
    std::string group;   // Pattern: the repeating bytes
    int step = 0;        // ZeroEvery: one unit of zeros every `step` units
};

std::vector<PlannedPass> MethodPasses(int method);

// The reference generator: one output per step.
struct ReferenceRandom {
    uint32_t state = 1;
    uint16_t Next()
    {
        state = state * 22695477u + 1u;
        return static_cast<uint16_t>((state >> 16) & 0x7FFF);
    }
};

// A target image of `units` units; `length` is how far it has been written
// (or its original size, whichever is larger).
struct TargetModel {
    std::string image;
    size_t length = 0;
    int unitSize = 0;
    int64_t units = 0;
    int blockUnits = 0;

    // Applies one pass; verification passes change nothing.
    void Apply(const PlannedPass& pass, ReferenceRandom& random);
};
