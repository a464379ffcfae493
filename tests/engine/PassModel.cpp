#include "PassModel.h"

#include <algorithm>

namespace {

PlannedPass P(std::initializer_list<uint8_t> bytes)
{
    return {PlannedPass::Pattern, std::string(bytes.begin(), bytes.end())};
}

const PlannedPass R{PlannedPass::Random, ""};
const PlannedPass M{PlannedPass::MiddleByte, ""};
const PlannedPass V{PlannedPass::Verify, ""};

std::vector<PlannedPass> Gutmann()
{
    std::vector<PlannedPass> passes{R, R, R, R, P({0x55}), P({0xAA}), P({0x92, 0x49, 0x24}), P({0x49, 0x24, 0x92}),
                                 P({0x24, 0x92, 0x49})};
    for (int value = 0x00; value <= 0xFF; value += 0x11)
        passes.push_back(P({static_cast<uint8_t>(value)}));
    for (auto group : {P({0x92, 0x49, 0x24}), P({0x49, 0x24, 0x92}), P({0x24, 0x92, 0x49}),
                       P({0x6D, 0xB6, 0xDB}), P({0xB6, 0xDB, 0x6D}), P({0xDB, 0x6D, 0xB6}), R, R, R, R})
        passes.push_back(group);
    return passes;
}

}  // namespace

std::vector<PlannedPass> MethodPasses(int method)
{
    const PlannedPass zero = P({0x00}), ones = P({0xFF});
    switch (method) {
    case 0: return {{PlannedPass::ZeroEvery, "", 3}};
    case 1: return {{PlannedPass::ZeroEvery, "", 2}};
    case 2: return {zero};
    case 3: return {R};
    case 4: return {R, zero};
    case 5: return {ones, P({0xBF, 0xFF, 0xFF, 0xFF}), R, V};
    case 6: return {ones, P({0x27, 0xFF, 0xFF, 0xFF}), R, V};
    case 7: return {ones, zero, ones, zero};
    case 8: return {R, R, zero};
    case 9: return {zero, ones, R};
    case 10: return {zero, ones, M, V};
    case 11: return {zero, ones, zero, ones, zero, ones, M};
    case 12: return Gutmann();
    case 13: {
        std::vector<PlannedPass> passes{zero, ones, R};
        for (const PlannedPass& pass : Gutmann())
            passes.push_back(pass);
        return passes;
    }
    }
    return {};
}

void TargetModel::Apply(const PlannedPass& pass, ReferenceRandom& random)
{
    if (pass.kind == PlannedPass::Verify)
        return;
    size_t total = static_cast<size_t>(units) * unitSize;
    image.resize(std::max(image.size(), total));
    if (pass.kind == PlannedPass::ZeroEvery) {
        for (int64_t unit = 0; unit < units; unit += pass.step) {
            std::fill_n(image.begin() + unit * unitSize, unitSize, '\0');
            length = std::max(length, static_cast<size_t>(unit + 1) * unitSize);
        }
        return;
    }
    uint8_t middle = 0;
    if (pass.kind == PlannedPass::MiddleByte)
        do
            middle = static_cast<uint8_t>(random.Next());
        while (middle == 0x00 || middle == 0xFF);
    size_t blockBytes = static_cast<size_t>(blockUnits) * unitSize;
    for (size_t start = 0; start < total; start += blockBytes) {
        size_t bytes = std::min(blockBytes, total - start);
        for (size_t i = 0; i < bytes; ++i) {
            uint8_t value;
            if (pass.kind == PlannedPass::Pattern)
                value = static_cast<uint8_t>(pass.group[i % pass.group.size()]);
            else if (pass.kind == PlannedPass::MiddleByte)
                value = middle;
            else if (i % 2 == 0) {
                uint16_t word = random.Next();
                value = static_cast<uint8_t>(word);
                if (i + 1 < bytes)
                    image[start + i + 1] = static_cast<char>(word >> 8);
            } else {
                continue;  // written with the even byte
            }
            image[start + i] = static_cast<char>(value);
        }
    }
    length = std::max(length, total);
}
