// A table of a deck as a measured data set, so that everything done with a measured set -
// a Corey or LET fit, its parameter file, its simulator tables, the calculator's
// correlations beside it - is done with the tables an engineer already has.
//
// SWOF gives a water-oil set (krw rising, krow falling); SGOF and SLGOF a gas-oil set (krg,
// krog); SWFN and SGFN take the oil column of the region's SOF3 or SOF2 (krow, krog) as
// their other curve, or, in a gas-water deck without oil, each other's (a gas-water set).
// The end points are the table's: Swc its first water saturation (the region's water table
// for a gas table), Sorw and Sorg where the oil stops flowing, Sgc the last gas saturation
// at which krg is 0. The rows between the end points are the set's points.
#pragma once

#include "common/refusal.h"
#include "database/datasetexport.h"
#include "deck/reader.h"

#include <string>
#include <variant>

namespace relperm {

// The set of table `satnum` (from 1) of `keyword`, titled "SWOF table 2 of FILE" (FILE the
// deck's first file name). Refused, with the reason, when the deck has no such table, when
// the table's curves leave no saturation range between their end points, or when the other
// curve the keyword needs is not in the deck.
std::variant<ShownDataSet, Refusal> tableDataSet(const deck::DeckTables& deck,
                                                 deck::SatKeyword keyword, int satnum);

} // namespace relperm
