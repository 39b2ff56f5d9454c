// The include file of a parameter table: every region's tables in one family of keywords,
// through the one simulator writer.
#pragma once

#include "common/refusal.h"
#include "common/simulatorfile.h"
#include "satfunc/paramtable.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace relperm::satfunc {

struct TablesOptions {
    int family = 1;           // 1: SWOF, SGOF (or SLGOF); 2: SWFN, SGFN, SOF3
    bool familyGiven = false; // gas-water tables have only family 2
    bool slgof = false;
    std::optional<double> deltaS; // the row spacing, overriding each row's h
    // A SCAL recommendation's t, -1 low to 1 high: one value, or one per SATNUM. Gas-oil
    // takes the water-oil values when none are given.
    std::vector<double> intParamWo, intParamGo;
    std::string program = "relperm"; // who wrote the file, for its head
};

// One region's curves as they go into the deck.
struct RegionCurves {
    int satnum = 0;
    std::string tag;
    RegionKind kind = RegionKind::WaterOil;
    std::optional<WaterOilTable> water; // the water-oil table (the water table of gas-water)
    std::optional<GasOilTable> gas;     // the gas-oil table (the gas table of gas-water)
};

// Every region's curves, the cases of a SCAL recommendation interpolated; a refusal names
// the file, the row and the column.
std::variant<std::vector<RegionCurves>, Refusal> regionCurves(const ParameterTable& table,
                                                              const TablesOptions& options);

// The keywords the regions go into, or the refusal of a family they cannot be written in.
std::variant<std::vector<Keyword>, Refusal> keywordsFor(RegionKind kind,
                                                        const TablesOptions& options);

// The include file's text.
std::variant<std::string, Refusal> includeFile(const ParameterTable& table,
                                               const std::vector<RegionCurves>& regions,
                                               const TablesOptions& options);

} // namespace relperm::satfunc
