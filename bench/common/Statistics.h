// Summaries of repeated timings.
#pragma once

#include <vector>

namespace bench {

// The value below which `fraction` of the samples lie (nearest rank); 0 for no samples.
double percentile(std::vector<double> samples, double fraction);
inline double median(const std::vector<double>& samples) { return percentile(samples, 0.5); }

} // namespace bench
