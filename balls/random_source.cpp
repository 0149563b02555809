#include "balls/random_source.h"

#include <cstdlib>
#include <ctime>

void RuntimeRandom::Seed() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

int32_t RuntimeRandom::UpTo(int32_t n) {
    // A negative range (a virtual screen narrower than 40 pixels plus a ball) would divide by
    // zero or give negative numbers; it has only one sensible answer.
    if (n <= 0) return 0;
    return std::rand() % (n + 1);
}
