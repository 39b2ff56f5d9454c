#include "database/datasetexport.h"

#include "common/csv.h"
#include "common/numbers.h"
#include "common/version.h"
#include "database/adjust.h"
#include "database/computableset.h"
#include "database/display.h"
#include "database/importfile.h"
#include "database/plot.h"

#include <algorithm>
#include <cmath>

namespace relperm {

namespace {

std::string num(double v) {
    return formatGeneral(v);
}

// How far beyond 0 or its largest saturation a measured point may lie and still be taken as
// standing there: far below what any laboratory measures, and above the rounding of a
// normalised saturation given to four decimals.
constexpr double pointOnBound = 1e-4;

// The derived columns of a copy of the set: the shown saturations, and the adjusted points
// with the user's end points.
MeasuredDataSet withDerivedColumns(const ShownDataSet& shown, bool adjusted) {
    MeasuredDataSet set = shown.set;
    asInputTable(shown.system, set);
    if (adjusted)
        MakeAdjustedTable(shown.system, shown.user, set);
    return set;
}

// A comment block of points: "# Sw,krow,krw" (the grid's columns), then one line a point.
std::string pointComments(const std::string& heading, TwoPhaseSystem system,
                          const PointColumn& saturation, const PointColumn& krOther,
                          const PointColumn& krAxis, int count) {
    const std::vector<std::string> columns = gridHeader(system);
    std::string text =
        "# " + heading + ": " + columns[0] + "," + columns[1] + "," + columns[2] + "\r\n";
    for (int i = 1; i <= count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        text +=
            "# " + num(saturation[at]) + "," + num(krOther[at]) + "," + num(krAxis[at]) + "\r\n";
    }
    return text;
}

std::string percent(const std::optional<double>& value) {
    return num(100 * value.value_or(0)) + "%";
}

// The user's end points the adjustment used, by system.
std::string adjustedTo(const ShownDataSet& shown) {
    const UserEndPoints& u = shown.user;
    switch (shown.system) {
    case TwoPhaseSystem::WaterOil:
        return "Swc " + percent(u.swc) + ", Sorw " + percent(u.sor);
    case TwoPhaseSystem::GasOil:
        return "Swc " + percent(u.swc) + ", Sorg " + percent(u.sor) + ", Sgc " + percent(u.sgc);
    case TwoPhaseSystem::GasWater:
        return "Swc " + percent(u.swc) + ", Sgc " + percent(u.sgc);
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return "Slc " + percent(u.swc) + ", Sgc " + percent(u.sgc);
}

} // namespace

std::string dataSetCaption(const ShownDataSet& shown) {
    std::string caption(systemListText(shown.system));
    if (shown.match > 0)
        caption += ", set " + std::to_string(shown.match);
    if (shown.title.find_first_not_of(" \t") != std::string::npos)
        caption += " (" + shown.title + ")";
    return caption;
}

std::string dataSetImportText(const ShownDataSet& shown) {
    const MeasuredDataSet set = withDerivedColumns(shown, shown.adjusted);
    CsvWriter w;
    writeImportSet(w, shown.system, set);
    std::string text = importFileComment(shown.system);
    if (!shown.title.empty())
        text += "# Title: " + shown.title + "\r\n";
    text += w.str();
    text += pointComments("Data as Input", shown.system, set.satAsInput, set.krOther, set.krAxis,
                          set.pointCount);
    if (shown.adjusted)
        text +=
            pointComments("Adjusted Data (" + adjustedTo(shown) + ")", shown.system,
                          set.satAdjusted, set.krOtherAdjusted, set.krAxisAdjusted, set.pointCount);
    return text;
}

Scene dataSetPlotOf(const ShownDataSet& shown, KrAxis axis) {
    return dataSetPlot(shown.system, withDerivedColumns(shown, shown.adjusted), shown.adjusted,
                       axis);
}

std::vector<std::string> descriptionLines(TwoPhaseSystem system, const MeasuredDataSet& set) {
    std::vector<std::string> lines;
    const std::string description = renderDescription(describeDataSet(system, set));
    for (std::size_t start = 0, end; (end = description.find('\n', start)) != std::string::npos;
         start = end + 1) {
        std::string line = description.substr(start, end - start);
        line.erase(line.find_last_not_of(' ') + 1);
        if (!line.empty())
            lines.push_back("  " + line);
    }
    return lines;
}

std::vector<Keyword> measuredKeywords(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {Keyword::SWOF};
    case TwoPhaseSystem::GasWater:
        return {Keyword::SWFN, Keyword::SGFN};
    case TwoPhaseSystem::GasOil:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {Keyword::SGOF};
}

std::optional<Refusal> checkMeasuredKeywords(TwoPhaseSystem system,
                                             const std::vector<Keyword>& keywords) {
    const std::vector<Keyword> fitting = measuredKeywords(system);
    for (Keyword k : keywords)
        if (std::find(fitting.begin(), fitting.end(), k) == fitting.end()) {
            std::string takes;
            for (Keyword f : fitting)
                takes += (takes.empty() ? "" : " and ") + std::string(keywordName(f));
            return Refusal{"wetpk", std::string(keywordName(k)) + " does not fit " +
                                        std::string(systemListText(system)) + "; it takes " +
                                        takes + "."};
        }
    return std::nullopt;
}

std::variant<std::string, Refusal> dataSetSimulatorTables(const ShownDataSet& shown, bool adjusted,
                                                          const std::string& program,
                                                          const SimulatorOptions& options) {
    if (auto refusal = checkMeasuredKeywords(shown.system, options.keywords))
        return *refusal;
    if (shown.set.pointCount <= 0)
        return Refusal{"Command1", "No data set is shown: show one first."};
    if (auto refusal = checkSetValues(shown.system, shown.set))
        return *refusal;

    // The adjustment works on the points as measured; the table takes them in the order of
    // the saturations it writes, so a set listed with falling saturation keeps every row.
    const MeasuredDataSet set =
        inSaturationOrder(withDerivedColumns(shown, adjusted),
                          adjusted ? &MeasuredDataSet::satAdjusted : &MeasuredDataSet::satAsInput);
    const PointColumn& saturation = adjusted ? set.satAdjusted : set.satAsInput;
    const PointColumn& krOther = adjusted ? set.krOtherAdjusted : set.krOther;
    const PointColumn& krAxis = adjusted ? set.krAxisAdjusted : set.krAxis;
    const double swc = adjusted ? shown.user.swc.value_or(0) : set.connateWater.value();

    std::vector<std::string> lines{"Relative permeability tables written by " + program + " " +
                                   suiteVersion + " (Relative Permeability Suite)."};
    lines.push_back("Measured data set: " + std::string(systemListText(shown.system)) +
                    (shown.match > 0 ? ", data set # " + std::to_string(shown.match) : ""));
    lines.push_back("Title:" + (shown.title.empty() ? "" : " " + shown.title));
    const std::vector<std::string> description = descriptionLines(shown.system, set);
    lines.insert(lines.end(), description.begin(), description.end());
    lines.push_back(adjusted ? "Adjusted to " + adjustedTo(shown) + "."
                             : "The data as input, at the data set's own end points.");

    SaturationTables tables;
    tables.swc = swc;
    tables.liquid = shown.system == TwoPhaseSystem::GasCondensate ? "krcg" : "krog";
    std::vector<SaturationRow> rows;
    for (int i = 1; i <= set.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        rows.push_back(shown.system == TwoPhaseSystem::WaterOil
                           ? SaturationRow{saturation[at], krAxis[at], krOther[at]}
                           : SaturationRow{saturation[at], krOther[at], krAxis[at]});
    }
    const bool water = shown.system == TwoPhaseSystem::WaterOil;
    // Laboratories give the saturation of a point normalised, to a few decimals, so the
    // point measured at no gas (or at the largest saturation) computes to a few 1E-05
    // beyond it. Such a point stands at the bound, said so in the head; a point further
    // out is a saturation no phase can have, which the writer refuses.
    const double highest = water ? 1.0 : 1 - swc;
    for (SaturationRow& row : rows) {
        const double bound = row.saturation < 0 ? 0.0 : highest;
        if ((row.saturation < 0 || row.saturation > highest) &&
            std::abs(row.saturation - bound) <= pointOnBound) {
            tables.changes.push_back(std::string("The point at ") + (water ? "Sw " : "Sg ") +
                                     num(row.saturation) + " is written at " + num(bound) +
                                     ", the bound it lies beyond by less than " +
                                     num(pointOnBound) + " of saturation.");
            row.saturation = bound;
        }
    }
    // Below the first measured point the moving phase does not flow; the simulator still
    // needs the table to start at connate water (water-oil) or at no gas.
    const double start = water ? swc : 0.0;
    if (!rows.empty() && rows.front().saturation > start + 1e-12) {
        const SaturationRow first = rows.front();
        rows.insert(rows.begin(), water ? SaturationRow{start, 0, first.second}
                                        : SaturationRow{start, first.first, 0});
        lines.push_back(std::string("A first row is added at ") + (water ? "Sw " : "Sg ") +
                        num(start) + ", below the first point (" + num(first.saturation) +
                        "): " + (water ? "krw 0" : "krg 0") + ", the other kr as at that point.");
    }
    (water ? tables.waterOil : tables.gas) = rows;
    lines.push_back("Capillary pressure is 0 throughout.");
    return simulatorFile(tables, lines, options);
}

} // namespace relperm
