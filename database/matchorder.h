// The orders a list of matches is shown in: by any column, up or down. Numbers sort as
// numbers, an empty value before every number (after every number going down); texts sort
// ignoring case, an empty text first. Rows that sort alike stay in the order of their
// matches, going up and going down.
#pragma once

#include "database/matchtable.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace relperm {

enum class SortDirection { Ascending, Descending };

// The rows of `table` (from 0) in the order of `column`: element i is the row shown i-th.
std::vector<std::uint32_t> matchOrder(const MatchTable& table, MatchColumn column,
                                      SortDirection direction);

// Texts as the list orders them: letter by letter ignoring case; a text before every text it
// begins. Negative, zero or positive as `a` comes before, with or after `b`.
int compareIgnoringCase(std::string_view a, std::string_view b);

} // namespace relperm
