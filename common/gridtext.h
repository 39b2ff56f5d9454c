// A grid as the user sees it: one fixed header row and the cell texts of each row.
#pragma once

#include <string>
#include <vector>

namespace relperm {

struct GridText {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// Cells separated by one tab, rows ended by a line feed, the header row first.
std::string tabSeparated(const GridText& grid);

} // namespace relperm
