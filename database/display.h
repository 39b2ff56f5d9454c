// What the browser shows for the data set in memory, without a screen: the grid texts of
// "Data as Input" (and the row layout the adjusted grid shares), the data-set number
// caption, and the description of the sample printed in the box `Picture1`.
//
// The description box prints items one after another and can move the print position to a
// character column ("column 18" before the right-hand texts, "column 8" before the method).
// A line keeps those moves as data (DescriptionItem::column) so a window can place the
// right-hand column in its own font; renderDescription turns them into blanks for text
// output.
#pragma once

#include "common/gridtext.h"
#include "common/scene.h"
#include "database/datafile.h"

#include <array>
#include <string>
#include <vector>

namespace relperm {

// Row 0 of either grid: "Sw" "krow" "krw" (water-oil), "Sg" "krog" "krg" (gas-oil and
// gas-condensate), "Sg" "krw" "krg" (gas-water). Column 1 is krOther, column 2 krAxis.
std::vector<std::string> gridHeader(TwoPhaseSystem system);

// One grid row: the saturation with "#.0##", the two kr values with "#.0###".
std::vector<std::string> gridRow(double saturation, double krOther, double krAxis);

// The column widths of both grids: gridColumnWidths in common/gridtext.h.

// The data set's own end points: lower end point and width of the movable range, so a
// point's saturation is lower + range x normSat.
struct SaturationScale {
    double lower = 0;
    double range = 0;
};
SaturationScale ownSaturationScale(TwoPhaseSystem system, const MeasuredDataSet& set);

// Fills `satAsInput` for the points and returns the "Data as Input" grid.
GridText asInputTable(TwoPhaseSystem system, MeasuredDataSet& set);

// "Data Set #" and the match number after one blank: "Data Set # 3".
std::string dataSetCaption(int matchCount);

// The wettability text of a water-oil data set, with "Strongly Water-Wet" for code 1 when
// Swc >= 0.15 and the last point's krw <= 0.07; a single blank for the gas systems.
std::string wettabilityText(TwoPhaseSystem system, const MeasuredDataSet& set);

inline constexpr Rgb noticeRed{255, 0, 0};

// An item of a description line. A column above 0 first moves the print position to that
// character column (1-based), or to that column of the next line when the line is already
// past it.
struct DescriptionItem {
    int column = 0;
    std::string text;
    friend bool operator==(const DescriptionItem&, const DescriptionItem&) = default;
};

struct DescriptionLine {
    std::vector<DescriptionItem> items;
    Rgb colour = black;
};

// The full description of a data set (up to nine lines: end points with the wettability,
// lithology and location on the right, k, porosity, depth, and the method last).
std::vector<DescriptionLine> describeDataSet(TwoPhaseSystem system, const MeasuredDataSet& set);

// The short summary printed after a matching search: depth, porosity, k, Swc and the end
// points of `system`, the system selected after the search.
std::vector<DescriptionLine> matchSummary(TwoPhaseSystem system, const MeasuredDataSet& set);

// A line as text: column moves become blanks (a line end and blanks when the line is past
// the column); every line ends with a line feed and keeps its trailing blanks.
std::string renderDescription(const std::vector<DescriptionLine>& lines);

} // namespace relperm
