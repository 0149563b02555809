#include "zorbel/scripted_random.h"

#include <stdexcept>

int32_t ScriptedRandom::UpTo(int32_t n) {
    asked_.push_back(n);
    int32_t answer = n / 2;
    auto ranged = byRange_.find(n);
    if (ranged != byRange_.end() && !ranged->second.empty()) {
        answer = ranged->second.front();
        ranged->second.pop_front();
    } else if (auto fixed = fixed_.find(n); fixed != fixed_.end()) {
        answer = fixed->second;
    } else if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    if (answer < 0 || answer > n) throw std::out_of_range("scripted random answer outside 0..n");
    return answer;
}

int32_t SeededRandom::UpTo(int32_t n) {
    if (n <= 0) return 0;
    // 64-bit linear congruential generator (Knuth's MMIX constants), high bits used.
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int32_t>((state_ >> 33) % uint64_t(n + 1));
}
