// The deck reader and the checks over any text: an include file, or a deck whose INCLUDE
// files come from the same input (split at a line "~~~~": the parts are a.inc, b.inc, ...,
// so a deck can include itself or another part, cycles too).
//
// Checks: the reader either gives tables or refuses with a message that names a file of
// the input and a line; every table it gives has whole rows, each from a line the file has,
// with finite values (defaults are interpolated, never left as holes); and the checks run
// over whatever the reader gives, every finding naming a keyword the deck holds and a row
// of its table.
#include "deck/checks.h"
#include "fuzz_check.h"

#include <cmath>
#include <map>

using namespace relperm;
using relperm::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::textOf(data, size));
    std::map<std::string, std::string> parts;
    std::size_t at = 0;
    char name = 'a';
    while (true) {
        const std::size_t cut = text.find("\n~~~~\n", at);
        parts[std::string(1, name) + ".inc"] =
            text.substr(at, cut == std::string::npos ? std::string::npos : cut - at);
        if (cut == std::string::npos || name == 'z')
            break;
        at = cut + 6;
        ++name;
    }
    const deck::IncludeLoader load =
        [&](const std::filesystem::path& p) -> std::variant<std::string, Refusal> {
        auto found = parts.find(p.string());
        if (found == parts.end())
            return Refusal{p.string(), "Could not read \"" + p.string() + "\": not a part"};
        return found->second;
    };
    deck::ReadLimits limits;
    limits.values = 100'000; // keeps each run fast; the bound itself is what is tried
    limits.includeDepth = 8;
    auto read = deck::readDeckText(parts["a.inc"], "a.inc", load, limits);
    if (auto* r = std::get_if<Refusal>(&read)) {
        require(!r->message.empty(), "a refusal says why", text);
        require(r->message.find(".inc") != std::string::npos, "a refusal names a file", r->message);
        return 0;
    }
    const auto& tables = std::get<deck::DeckTables>(read);
    for (const auto& k : tables.keywords) {
        require(!k.tables.empty(), "a keyword read holds a table", text);
        const int columns = deck::columnCount(k.keyword);
        for (const auto& t : k.tables) {
            require(!t.rows.empty(), "a table read holds a row", text);
            for (const auto& row : t.rows) {
                require(row.file < tables.files.size(), "a row names a file read", text);
                require(row.line >= 1, "a row names a line", text);
                for (int c = 0; c < columns; ++c)
                    require(std::isfinite(row.values[static_cast<std::size_t>(c)]),
                            "every value of a table read is finite", text);
            }
        }
    }
    for (const auto& f : deck::checkTables(tables)) {
        const auto* k = tables.find(f.keyword);
        require(k != nullptr, "a finding names a keyword of the deck", f.detail);
        require(f.satnum >= 0 && static_cast<std::size_t>(f.satnum) <= k->tables.size(),
                "a finding names a table of its keyword", f.detail);
        if (f.satnum > 0)
            require(f.row >= 0 && static_cast<std::size_t>(f.row) <=
                                      k->tables[static_cast<std::size_t>(f.satnum - 1)].rows.size(),
                    "a finding names a row of its table", f.detail);
        require(!f.detail.empty() && !f.check.empty(), "a finding says what fails", f.detail);
    }
    (void)deck::findingsText(deck::checkTables(tables));
    (void)deck::findingsCsv(deck::checkTables(tables));
    return 0;
}
