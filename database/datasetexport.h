// A measured data set leaving the browser: as import text, which `relperm db import` reads
// back into the same record, as simulator keywords through the one simulator writer, and as
// a plot on either kr axis.
#pragma once

#include "common/refusal.h"
#include "common/scene.h"
#include "common/simulatorfile.h"
#include "database/datafile.h"
#include "database/search.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace relperm {

// The data set on display, as an export takes it.
struct ShownDataSet {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    MeasuredDataSet set;
    UserEndPoints user;    // the end points typed under "Select/Adjust Data"
    bool adjusted = false; // the adjusted table is shown
    int match = 0;         // its number in the last scan; 0 for a set opened from a file
    std::string title;     // the title box
};

// What names the set in the titles of the windows that show it: its system and its number in
// the scan, then the title typed for it ("Water-Oil Data, set 35 (Well 7)"); a set opened
// from a file has no number.
std::string dataSetCaption(const ShownDataSet& shown);

// The set as import text: the comment lines of a dump, the set row and the points with
// their normalized saturations (what import reads), then, as comment lines that import
// skips, the points with the saturations the browser shows, and the adjusted points when
// they are shown.
std::string dataSetImportText(const ShownDataSet& shown);

// The plot of the set as the browser draws it, on the kr axis asked for (the plot view).
Scene dataSetPlotOf(const ShownDataSet& shown, KrAxis axis);

// The set's description as the browser shows it, for the head of a file: one line each,
// indented by two blanks, trailing blanks and empty lines left out.
std::vector<std::string> descriptionLines(TwoPhaseSystem system, const MeasuredDataSet& set);

// The keywords a measured set gives: SWOF (water-oil), SGOF (gas-oil, gas-condensate with
// the condensate as the liquid), SWFN and SGFN (gas-water).
std::vector<Keyword> measuredKeywords(TwoPhaseSystem system);
// Refuses a keyword that is not among measuredKeywords(system), naming those that are; the
// tables of a set, measured or fitted, give no other.
std::optional<Refusal> checkMeasuredKeywords(TwoPhaseSystem system,
                                             const std::vector<Keyword>& keywords);

// The set's points (the adjusted ones with `adjusted`) as simulator keywords. A gas table
// that starts above Sg = 0, or a water-oil table above its Swc, gets a first row there with
// the moving phase still (kr 0) and the other as at the first point; the head of the file
// says so. `options.keywords` must be among measuredKeywords.
std::variant<std::string, Refusal> dataSetSimulatorTables(const ShownDataSet& shown, bool adjusted,
                                                          const std::string& program,
                                                          const SimulatorOptions& options);

} // namespace relperm
