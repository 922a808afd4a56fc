#include "common/Statistics.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace bench {

double percentile(std::vector<double> samples, double fraction)
{
    if (samples.empty())
        return 0;
    const auto rank = size_t(std::ceil(fraction * double(samples.size())));
    const size_t index = std::clamp<size_t>(rank, 1, samples.size()) - 1;
    std::nth_element(samples.begin(), samples.begin() + std::ptrdiff_t(index), samples.end());
    return samples[index];
}

} // namespace bench
