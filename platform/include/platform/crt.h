#pragma once

// The platform's C runtime pieces that the program relies on bit for bit.
//
// The generator lives in its own namespace because the host C library has a
// ::rand of its own with a different sequence; program code brings this one
// in with a block-scope `using crt::rand;`, which hides ::rand for the rest
// of that block.
namespace crt {

// Largest value rand() returns.
inline constexpr int kRandMax = 0x7FFF;

// Linear congruential generator: state = state * 214013 + 2531011 (mod 2^32),
// result (state >> 16) & 0x7FFF. One state for the whole process, 1 at start.
int rand();

// Sets the process-wide state; srand(1) restores the start-up sequence.
void srand(unsigned int seed);

} // namespace crt
