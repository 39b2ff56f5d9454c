// Linear interpolation in a table, as a simulator reads between the rows of its tables.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace relperm {

// y at x on the points (xs rising, ys): `below` left of the first point and `above` right of
// the last (and `below` for no points or a NaN x).
inline double linearAt(const std::vector<double>& xs, const std::vector<double>& ys, double x,
                       double below, double above) {
    if (xs.empty() || std::isnan(x) || x < xs.front())
        return below;
    if (x > xs.back())
        return above;
    const auto at = std::lower_bound(xs.begin(), xs.end(), x);
    const std::size_t i = static_cast<std::size_t>(at - xs.begin());
    if (xs[i] == x)
        return ys[i];
    const double f = (x - xs[i - 1]) / (xs[i] - xs[i - 1]);
    return ys[i - 1] + f * (ys[i] - ys[i - 1]);
}

} // namespace relperm
