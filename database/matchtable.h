// The rows of a list of matches held column by column, each column in the type it sorts by:
// the header values as doubles (with a bit for an empty value), the code texts as a small
// number into the few texts the column can show, the number of points as a short integer.
// The match number is the row's place, 1 for the first row. A million rows take about
// 60 bytes each, and no text is made until a cell is shown.
#pragma once

#include "database/datafile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace relperm {

enum class MatchColumn {
    Match,
    Location,
    Lithology,
    Method,
    Wettability,
    Depth,
    Porosity,
    Permeability,
    AbsPermeability,
    Swc,
    Sor,
    Sgc,
    Points
};

// The columns of a system's list in order: the wettability for water-oil data only, the
// depth for all but gas-condensate data, Sor for the two systems with oil, Sgc for the
// three gas systems.
std::vector<MatchColumn> matchColumns(TwoPhaseSystem system);

// The columns that hold texts (the codes) rather than numbers.
bool isTextColumn(MatchColumn column);

// The header field a column shows for `system`: nothing for the match number and the
// number of points.
const HeaderField* matchColumnField(TwoPhaseSystem system, MatchColumn column);

// What text column `column`, whose field is `field`, shows of `set`: the description's text
// for its code (wettability with the strongly water-wet rule, which reads the last point),
// empty where it shows none.
std::string matchColumnText(TwoPhaseSystem system, MatchColumn column, const HeaderField& field,
                            const MeasuredDataSet& set);

// A header value for reading: porosity and end points in percent with one decimal
// (porosity with up to two, as the description shows it), k and kabs with up to two
// decimals, the depth in whole feet.
std::string matchValueText(MatchColumn column, double value);

struct MatchRow {
    int match = 0; // the Show after a count that shows the set: 1, 2, ...
    // The texts the description shows, empty where it shows none (no code, a code outside
    // the table, a string).
    std::string location, lithology, method;
    std::string wettability; // water-oil data only
    // The header values as the search and the description read them, to the last bit:
    // fractions for porosity and the end points, depth in ft ss, k and kabs in md. Nothing
    // for an empty value; a string where a number belongs reads as 0.
    std::optional<double> depth, porosity, k, kabs;
    std::optional<double> swc; // Slc for gas-condensate data
    std::optional<double> sor; // Sorw (water-oil) or Sorg (gas-oil)
    std::optional<double> sgc;
    int points = 0;
    friend bool operator==(const MatchRow&, const MatchRow&) = default;
};

class MatchTable {
  public:
    explicit MatchTable(TwoPhaseSystem system = TwoPhaseSystem::WaterOil);

    // Appends `set` as the next match; a water-oil set needs its points read.
    void add(const MeasuredDataSet& set);

    TwoPhaseSystem system() const { return system_; }
    const std::vector<MatchColumn>& columns() const { return columns_; }
    std::size_t size() const { return points_.size(); }
    bool empty() const { return points_.empty(); }

    // Row `row` (from 0) as a whole.
    MatchRow operator[](std::size_t row) const;

    // A cell as the list shows it: the match number and the number of points as integers,
    // codes as their texts, values as matchValueText gives them; an empty value, and a
    // column the system has not, an empty cell.
    std::string cellText(std::size_t row, MatchColumn column) const;

    // The typed cells the orders read. A header value: nothing when empty.
    std::optional<double> value(std::size_t row, MatchColumn column) const;
    // A text column's cells as numbers into textsOf(column); the same text has one number.
    const std::vector<std::uint8_t>& textNumbers(MatchColumn column) const;
    const std::vector<std::string>& textsOf(MatchColumn column) const;
    int points(std::size_t row) const { return points_[row]; }

    // The same rows: values compared bit for bit, so a file read twice gives equal tables
    // even where it holds a NaN.
    friend bool operator==(const MatchTable& a, const MatchTable& b);

    // The bytes the rows take, for the figures of a benchmark.
    std::size_t heapBytes() const;

  private:
    static constexpr std::size_t valueColumns = 7; // Depth to Sgc
    static constexpr std::size_t textColumns = 4;  // Location to Wettability

    TwoPhaseSystem system_;
    std::vector<MatchColumn> columns_;
    // Indexed by column - Depth; only the system's columns are filled.
    std::array<std::vector<double>, valueColumns> values_;
    std::array<const HeaderField*, valueColumns> valueFields_{};
    // Bit c of a row's byte: value column c is empty.
    std::vector<std::uint8_t> emptyValues_;
    // Indexed by column - Location.
    std::array<std::vector<std::uint8_t>, textColumns> textNumbers_;
    std::array<std::vector<std::string>, textColumns> texts_;
    std::array<const HeaderField*, textColumns> textFields_{};
    std::vector<std::int16_t> points_;
};

} // namespace relperm
