// The saturations a table is laid out on: every step of the grid from the phase's first
// saturation plus its end points, the way pyscal lays its rows, so that our tables and its
// tables can be compared row by row.
#pragma once

#include <vector>

namespace relperm::satfunc {

inline constexpr double epsilon = 1e-8;

// numpy's isclose: |a - b| <= 1e-8 + 1e-5 |b|.
bool close(double a, double b);

// n = ceil((stop - start) / h) points from `start`, each a step of (start + h) - start.
std::vector<double> stepGrid(double start, double stop, double h);

// The saturations of a water table: the grid from swl up to 1, swcr, 1 - sorw, 1 - socr and
// 1, distinct, with the end points exactly on their rows.
std::vector<double> waterRows(double swl, double swcr, double sorw, double socr, double h);

// The saturations of a gas table: 0, sgcr, the grid from sgcr + h up to 1 - sorg - swl,
// that end, and 1 - swl, distinct, with the end points exactly on their rows.
std::vector<double> gasRows(double swl, double sgcr, double sorg, double h);

// The index of the value nearest to `target` (the first of equals).
std::size_t nearest(const std::vector<double>& values, double target);

} // namespace relperm::satfunc
