// A grid as the user sees it: one fixed header row and the cell texts of each row.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace relperm {

struct GridText {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// Column widths of both programs' three-column grids, `width` wide: width / 4.5, then
// width / 3 twice, each rounded to the nearest whole unit (2655 gives 590, 885, 885).
std::array<int, 3> gridColumnWidths(int width);

// Cells separated by one tab, rows ended by a line feed, the header row first.
std::string tabSeparated(const GridText& grid);

} // namespace relperm
