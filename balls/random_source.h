// The program's one source of random numbers, behind an interface so that tests can script it.
#pragma once

#include <cstdint>

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A number from 0 to n inclusive.
    virtual int32_t UpTo(int32_t n) = 0;
};

// The C runtime's generator: rand() modulo n + 1, seeded once with the current time.
class RuntimeRandom : public RandomSource {
  public:
    // Seeds the runtime's generator with the current time.
    void Seed();
    int32_t UpTo(int32_t n) override;
};
