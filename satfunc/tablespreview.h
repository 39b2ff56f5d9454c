// What the tables window shows of a parameter table under the options chosen: its regions,
// their curves, the include file `relperm tables` would write with the same options, and the
// finding of the simulator checks in words. The window holds none of it; it mirrors this.
#pragma once

#include "satfunc/includefile.h"

#include <optional>
#include <string>
#include <vector>

namespace relperm::satfunc {

// A region as the list names it: "SATNUM 2 shale", the tags of a SCAL recommendation's cases
// after it, each once.
struct RegionEntry {
    int satnum = 0;
    std::string label;
};

// Every SATNUM of the table in its order, also when its rows cannot give curves, so the
// engineer sees which regions the table holds while a finding names the row at fault.
std::vector<RegionEntry> regionEntries(const ParameterTable& table);

struct TablesPreview {
    std::vector<RegionCurves> regions; // in SATNUM order; empty when the curves were refused
    std::optional<std::string> file;   // the include file; nothing when anything was refused
    // The refusal of regionCurves or includeFile, naming the row and the column; or which
    // keywords the file holds, for how many regions, and how many rows its tables have.
    std::string finding;
};

// regionCurves and includeFile, as `relperm tables` calls them.
TablesPreview previewTables(const ParameterTable& table, const TablesOptions& options);

// The name the include file of `tableFile` is offered under: its name with ".inc" in place of
// its ending, in its folder ("d/regions.csv" -> "d/regions.inc").
std::string includeFileName(const std::string& tableFile);

} // namespace relperm::satfunc
