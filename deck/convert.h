// Saturation tables moved from one keyword family to another without changing what the
// simulator computes from them: SWOF and SGOF (family 1), SWFN, SGFN and SOF3 (family 2,
// which three-phase options need), or SWOF and SLGOF.
//
// The simulator interpolates every column linearly in its own table's saturation, so a
// column re-tabulated at the union of the saturations of the tables it meets gives the same
// kr everywhere: SOF3's krow is linear in So = 1 - Sw between SWOF's rows and its krog in
// So = 1 - Swc - Sg between SGOF's, so SOF3 holds both tables' oil saturations. Going back,
// a family 1 table takes the rows of its family 2 table and of those SOF3 rows where its
// oil column bends, so a conversion there and back gives the rows it started from.
// Capillary pressure goes with the water or gas column it stands beside.
#pragma once

#include "common/refusal.h"
#include "deck/reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace relperm::deck {

enum class TargetFamily {
    Family1, // SWOF, SGOF
    Family2, // SWFN, SGFN, SOF3 (SOF2 for two phases)
    Slgof,   // SWOF, SLGOF
};

// "family1", "family2", "slgof": the command line's names.
std::optional<TargetFamily> targetFamilyNamed(std::string_view name);
const char* targetFamilyName(TargetFamily family);

// Every region's tables in the keywords of `to`, in the order SWOF/SWFN, SGOF/SLGOF/SGFN,
// SOF3/SOF2; the rows carry no file or line. Refused, with the reason, when the deck mixes
// families, holds a gas-water system (SGWFN, or SWFN and SGFN without oil) that family 1 has
// no keywords for, asks for SLGOF without a gas table, or gives its keywords different
// numbers of tables. A table whose rows break the simulator's rules is converted as it
// stands: `relperm deck check` is where it is judged.
std::variant<DeckTables, Refusal> convertTables(const DeckTables& deck, TargetFamily to);

// The include file of a conversion: a head saying what was converted, from which file and
// keywords, to which, and the TABDIMS it needs; then each keyword with one table per region.
std::variant<std::string, Refusal> convertedFile(const DeckTables& deck, TargetFamily to);

} // namespace relperm::deck
