#include "bench/common/bench_figures.h"

#include <algorithm>
#include <cmath>
#include <numeric>

Figures FiguresOf(std::vector<double> samples) {
    Figures f;
    f.count = samples.size();
    if (samples.empty()) return f;
    std::sort(samples.begin(), samples.end());
    f.median = samples[samples.size() / 2];
    const auto rank = std::size_t(std::ceil(0.99 * double(samples.size())));
    f.p99 = samples[std::max<std::size_t>(rank, 1) - 1];
    f.mean = std::accumulate(samples.begin(), samples.end(), 0.0) / double(samples.size());
    return f;
}
