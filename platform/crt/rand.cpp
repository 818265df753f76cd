#include <platform/crt.h>

#include <cstdint>

namespace crt {
namespace {

std::uint32_t randState = 1;

} // namespace

int rand() {
    randState = randState * 214013u + 2531011u;
    return static_cast<int>((randState >> 16) & kRandMax);
}

void srand(unsigned int seed) {
    randState = seed;
}

} // namespace crt
