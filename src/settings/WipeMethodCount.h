#pragma once
// Wipe methods are known everywhere by their number, 0 to 13: the user picks
// one, the configuration stores it with its rounds, the language files name
// and describe it, and the engine creates it.
#include <cstdint>

constexpr int32_t kWipeMethodCount = 14;
