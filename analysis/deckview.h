// What the Simulator Tables window shows of a deck: its regions, the curves of one region as
// the deck writes them (each column against its own table's saturation, so a row the
// checks name is found where the file puts it), the findings of the checks marked at their
// rows, and the names and choices its Convert and Fit offer. The window only mirrors these.
#pragma once

#include "common/scene.h"
#include "deck/checks.h"
#include "deck/convert.h"
#include "deck/reader.h"

#include <optional>
#include <string>
#include <vector>

namespace relperm {

// SATNUM 1 up to the most tables any keyword of the deck holds.
int deckRegionCount(const deck::DeckTables& deck);

// The region list: "SATNUM 2", with "(1 check fails)" after it where checks fail in it.
std::vector<std::string> deckRegionLabels(const deck::DeckTables& deck,
                                          const std::vector<deck::Finding>& findings);

// "Every check holds: SWOF 2 tables, SGOF 2 tables." or "3 checks fail in SWOF 2 tables, ...".
std::string checksSummary(const deck::DeckTables& deck, const std::vector<deck::Finding>& findings);

// The finding's line of findingsText, its file named without its folder.
std::string findingLine(const deck::Finding& finding);

// Where the finding's row stands: one point per kr column of the row, as fractions; none for
// a finding of a whole table or deck.
struct DeckMark {
    double saturation = 0;
    double kr = 0;
};
std::vector<DeckMark> findingMarks(const deck::DeckTables& deck, const deck::Finding& finding);

// The kr plot of region `satnum` on `axis`: the frame, every kr column of the region's tables
// against its table's saturation (water and oil tables solid, gas tables dashed, each in the
// colour the tables window gives that column), clipped to the frame; the saturations under
// the axis and a legend above the frame grouped by saturation ("Sw: krw krow  Sg: krg krog");
// then a square at each row of `findings` in this region, the `selected` one larger.
Scene deckKrPlot(const deck::DeckTables& deck, int satnum,
                 const std::vector<deck::Finding>& findings, std::optional<std::size_t> selected,
                 KrAxis axis = KrAxis::Linear);

// Whether any table of the deck gives a capillary pressure other than 0.
bool deckHasPc(const deck::DeckTables& deck);

// The capillary pressure columns of the region that are not 0 throughout, against their
// saturations, on an axis from the lowest to the highest Pc of the region with round ticks;
// "Zero capillary pressure throughout" where every column is 0.
Scene deckPcPlot(const deck::DeckTables& deck, int satnum);

// Where a conversion is offered to go: beside the deck, "tables.DATA" giving
// "tables-family2.inc".
std::string convertedFileName(const std::string& deckPath, deck::TargetFamily family);

// The keywords a region's table can be fitted from (tableDataSet's), among those the deck
// holds: SWOF, SGOF, SLGOF, SWFN, SGFN, SGWFN, in that order. SOF3 and SOF2 are only ever
// the other curve of a family 2 table.
std::vector<deck::SatKeyword> fitKeywords(const deck::DeckTables& deck);

} // namespace relperm
