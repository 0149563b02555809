// A random source that answers from scripts and records what was asked. Answers can be scripted
// for one range only (say every UpTo(500)) or for whatever comes next; when no script applies it
// answers n / 2, the middle of the range, which makes every kick and nudge zero.
#pragma once

#include "balls/random_source.h"

#include <cstddef>
#include <deque>
#include <map>
#include <vector>

class ScriptedRandom : public RandomSource {
  public:
    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<int32_t> answers) : answers_(answers) {}

    // The next answer to any question.
    void Then(int32_t answer) { answers_.push_back(answer); }
    // The next answer to UpTo(n) for this n; these come before the general script.
    void ForRange(int32_t n, int32_t answer) { byRange_[n].push_back(answer); }
    // Every later UpTo(n) for this n answers `answer` once its script has run out.
    void AlwaysForRange(int32_t n, int32_t answer) { fixed_[n] = answer; }

    int32_t UpTo(int32_t n) override;

    // The ranges asked for, in order.
    const std::vector<int32_t>& Asked() const { return asked_; }
    size_t Unused() const { return answers_.size(); }

  private:
    std::deque<int32_t> answers_;
    std::map<int32_t, std::deque<int32_t>> byRange_;
    std::map<int32_t, int32_t> fixed_;
    std::vector<int32_t> asked_;
};

// A deterministic pseudo-random source for longer runs.
class SeededRandom : public RandomSource {
  public:
    explicit SeededRandom(uint32_t seed) : state_(seed) {}
    int32_t UpTo(int32_t n) override;

  private:
    uint64_t state_;
};
