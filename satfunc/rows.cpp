#include "satfunc/rows.h"

#include "common/simulatorfile.h"

#include <cmath>

namespace relperm::satfunc {

bool close(double a, double b) {
    return std::abs(a - b) <= 1e-8 + 1e-5 * std::abs(b);
}

std::vector<double> stepGrid(double start, double stop, double h) {
    std::vector<double> grid;
    const double n = std::ceil((stop - start) / h);
    if (!(n > 0))
        return grid;
    const double step = (start + h) - start;
    for (long i = 0; i < static_cast<long>(n); ++i)
        grid.push_back(start + static_cast<double>(i) * step);
    return grid;
}

std::size_t nearest(const std::vector<double>& values, double target) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < values.size(); ++i)
        if (std::abs(values[i] - target) < std::abs(values[best] - target))
            best = i;
    return best;
}

namespace {

void placeExactly(std::vector<double>& rows, double value) {
    if (!rows.empty())
        rows[nearest(rows, value)] = value;
}

} // namespace

std::vector<double> waterRows(double swl, double swcr, double sorw, double socr, double h) {
    std::vector<double> rows = stepGrid(swl, 1, h);
    rows.insert(rows.end(), {swcr, 1 - sorw, 1 - socr, 1});
    rows = distinctSaturations(rows);
    placeExactly(rows, 1 - sorw);
    placeExactly(rows, 1 - socr);
    placeExactly(rows, swcr);
    if (!close(rows.back(), 1))
        rows.push_back(1);
    return rows;
}

std::vector<double> gasRows(double swl, double sgcr, double sorg, double h) {
    std::vector<double> rows{0, sgcr};
    const std::vector<double> grid = stepGrid(sgcr + h, 1 - sorg - swl, h);
    rows.insert(rows.end(), grid.begin(), grid.end());
    rows.insert(rows.end(), {1 - sorg - swl, 1 - swl});
    rows = distinctSaturations(rows);
    placeExactly(rows, 1 - sorg - swl);
    placeExactly(rows, sgcr);
    return rows;
}

} // namespace relperm::satfunc
