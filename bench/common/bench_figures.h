// The figures a benchmark prints for a series of timed samples. No figure is ever judged: the
// benchmarks print and never fail.
#pragma once

#include <cstddef>
#include <vector>

struct Figures {
    double median = 0;
    double p99 = 0; // nearest rank
    double mean = 0;
    std::size_t count = 0;
};

Figures FiguresOf(std::vector<double> samples);
