#include "database/matchorder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

namespace relperm {

namespace {

// A number's place in the order: an empty value, and one that is no number, before every
// number (a NaN compares with nothing, so it would leave the order undefined).
double sortNumber(std::optional<double> value) {
    if (!value || std::isnan(*value))
        return -std::numeric_limits<double>::infinity();
    return *value;
}

// Each text of a column's table by its place among them, texts equal but for case alike.
std::vector<double> textRanks(const std::vector<std::string>& texts) {
    std::vector<std::size_t> byText(texts.size());
    std::iota(byText.begin(), byText.end(), std::size_t{0});
    std::sort(byText.begin(), byText.end(), [&](std::size_t a, std::size_t b) {
        return compareIgnoringCase(texts[a], texts[b]) < 0;
    });
    std::vector<double> ranks(texts.size());
    double rank = 0;
    for (std::size_t i = 0; i < byText.size(); ++i) {
        if (i > 0 && compareIgnoringCase(texts[byText[i - 1]], texts[byText[i]]) != 0)
            ++rank;
        ranks[byText[i]] = rank;
    }
    return ranks;
}

unsigned char folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

} // namespace

int compareIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (folded(a[i]) != folded(b[i]))
            return folded(a[i]) < folded(b[i]) ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::vector<std::uint32_t> matchOrder(const MatchTable& table, MatchColumn column,
                                      SortDirection direction) {
    const std::size_t rows = table.size();
    // Each row's key, negated going down, beside its row: sorting the pairs puts equal keys
    // in the order of their rows, which is the order of their matches.
    std::vector<std::pair<double, std::uint32_t>> keyed(rows);
    const double sign = direction == SortDirection::Descending ? -1.0 : 1.0;
    if (isTextColumn(column)) {
        const std::vector<double> ranks = textRanks(table.textsOf(column));
        const std::vector<std::uint8_t>& numbers = table.textNumbers(column);
        for (std::size_t row = 0; row < rows; ++row)
            keyed[row] = {sign * (numbers.empty() ? 0.0 : ranks[numbers[row]]),
                          static_cast<std::uint32_t>(row)};
    } else {
        for (std::size_t row = 0; row < rows; ++row) {
            double key = static_cast<double>(row);
            if (column == MatchColumn::Points)
                key = table.points(row);
            else if (column != MatchColumn::Match)
                key = sortNumber(table.value(row, column));
            keyed[row] = {sign * key, static_cast<std::uint32_t>(row)};
        }
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::uint32_t> order(rows);
    for (std::size_t i = 0; i < rows; ++i)
        order[i] = keyed[i].second;
    return order;
}

} // namespace relperm
