#include "common/gridtext.h"

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

std::string tabSeparated(const GridText& grid) {
    std::string out;
    appendRow(out, grid.header);
    for (const auto& row : grid.rows)
        appendRow(out, row);
    return out;
}

} // namespace relperm
