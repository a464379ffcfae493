#pragma once
// The random passes use the C runtime's classic linear congruential
// generator (state * 22695477 + 1, output bits 16..30), so that every job
// writes the same stream. Its state belongs to the thread and starts at 1.
#include <cstddef>
#include <cstdint>

// One step of the generator on `state`; returns a value from 0 to 32767.
inline uint16_t NextRandom(uint32_t& state)
{
    state = state * 22695477u + 1u;
    return static_cast<uint16_t>((state >> 16) & 0x7FFF);
}

// Fills `byteCount` bytes as consecutive 16-bit little-endian outputs; an odd
// last byte takes the low 8 bits of one more output. Returns the new state.
// The reference version steps one output at a time; the fast one computes
// independent lanes and produces exactly the same bytes.
uint32_t FillRandomOneStep(uint32_t state, uint8_t* destination, size_t byteCount);
uint32_t FillRandomFast(uint32_t state, uint8_t* destination, size_t byteCount);

// The calling thread's generator.
uint16_t ThreadRandom();
void ThreadFillRandom(void* destination, size_t byteCount);
