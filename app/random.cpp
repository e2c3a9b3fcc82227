#include "random.h"

namespace {

// Unsigned so the multiply wraps modulo 2^32 exactly as the runtime's generator does.
std::uint32_t randomState = 1;

}  // namespace

int DrawRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7fffu);
}

void ResetRandom()
{
    randomState = 1;
}
