#include "common/gridtext.h"

#include <cmath>

namespace relperm {

namespace {

void appendRow(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += '\t';
        out += cells[i];
    }
    out += '\n';
}

} // namespace

std::array<int, 3> gridColumnWidths(int width) {
    const int third = static_cast<int>(std::nearbyint(width / 3.0));
    return {static_cast<int>(std::nearbyint(width / 4.5)), third, third};
}

std::string tabSeparated(const GridText& grid) {
    std::string out;
    appendRow(out, grid.header);
    for (const auto& row : grid.rows)
        appendRow(out, row);
    return out;
}

} // namespace relperm
