// The one reader of saturation tables in simulator input: an include file as relperm tables
// writes it, or a whole .DATA deck with its INCLUDE files. It keeps the eight saturation
// keywords (SWOF, SGOF, SLGOF, SWFN, SGFN, SOF3, SOF2, SGWFN) and passes over every other
// keyword, so a deck that also holds grids, wells and schedules reads as its tables.
//
// Every row remembers the file and line it came from, so the checks and the conversions
// after this can point the user at the text to change.
//
// The text follows the simulator's rules: `--` starts a comment, a `/` ends a table (and
// what follows it on its line is comment), `3*0.5` repeats a value, `1*` (or `n*`) defaults
// it. A defaulted kr or capillary pressure is interpolated linearly in the saturation
// column between the given rows around it, as the simulator does; a defaulted saturation
// has no such meaning and is refused. A keyword holds the number of tables TABDIMS item 1
// (NTSFUN) gives when the deck has TABDIMS before it, else as many as the file holds.
#pragma once

#include "common/readfile.h"
#include "common/refusal.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace relperm::deck {

enum class SatKeyword { SWOF, SGOF, SLGOF, SWFN, SGFN, SOF3, SOF2, SGWFN };

inline constexpr std::array<SatKeyword, 8> allSatKeywords{
    SatKeyword::SWOF, SatKeyword::SGOF, SatKeyword::SLGOF, SatKeyword::SWFN,
    SatKeyword::SGFN, SatKeyword::SOF3, SatKeyword::SOF2,  SatKeyword::SGWFN};

const char* keywordName(SatKeyword keyword);
std::optional<SatKeyword> satKeyword(std::string_view name);
// The columns of one row: 2 (SOF2), 3 (SWFN, SGFN, SOF3) or 4.
int columnCount(SatKeyword keyword);
// The column names as the manuals name them: "Sw", "krw", "krow", "Pcow" for SWOF.
const char* columnName(SatKeyword keyword, int column);
// 1: SWOF, SGOF, SLGOF; 2: the others.
int family(SatKeyword keyword);

struct Row {
    std::array<double, 4> values{}; // columnCount(keyword) of them are used
    std::uint32_t file = 0;         // index into DeckTables::files
    int line = 0;                   // the line of the row's first value
};

struct Table {
    std::vector<Row> rows;
};

struct KeywordTables {
    SatKeyword keyword{};
    std::uint32_t file = 0; // where the keyword's name stands
    int line = 0;
    std::vector<Table> tables; // SATNUM 1, 2, ... in order
};

struct DeckTables {
    std::vector<std::string> files;      // every file read; the one named first
    std::vector<KeywordTables> keywords; // in the order they first appear
    std::optional<int> ntsfun;           // TABDIMS item 1, when the deck gives it

    const KeywordTables* find(SatKeyword keyword) const;
};

// The text of the file an INCLUDE names, or a refusal (whose message starts with
// "Could not read" when the file is missing or unreadable).
using IncludeLoader =
    std::function<std::variant<std::string, Refusal>(const std::filesystem::path&)>;

struct ReadLimits {
    int includeDepth = 20;                         // INCLUDE within INCLUDE (a cycle ends here)
    std::size_t fileBytes = 256u << 20;            // one file
    std::size_t totalBytes = std::size_t{1} << 30; // every file together
    std::size_t values = 10'000'000;               // the values of every saturation table
};

// Reads `text`, the contents of `name`. INCLUDE paths are taken relative to the folder of
// the file that names them and are read through `load`. The message of a refusal names
// the file, the line and the keyword.
std::variant<DeckTables, Refusal> readDeckText(std::string_view text, const std::string& name,
                                               const IncludeLoader& load,
                                               const ReadLimits& limits = {});

// Reads the file at `path` (a pipe when `pipes` allows) and the files it includes, from disk.
std::variant<DeckTables, Refusal> readDeck(const std::filesystem::path& path,
                                           PipeUse pipes = PipeUse::Refuse,
                                           const ReadLimits& limits = {});

// Why a deck read as `name` that holds no saturation table has nothing to check, convert,
// plot or fit: "NAME holds no saturation table (SWOF, ..., SGWFN)".
std::string noSaturationTable(const std::string& name);

// Where a row stands, for messages: "tables.inc line 12".
std::string rowPlace(const DeckTables& deck, const Row& row);

} // namespace relperm::deck
