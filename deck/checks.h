// The checks a simulator makes of saturation tables before it runs, made ahead of the run
// so that a deck's author hears of a bad table with its keyword, SATNUM and row rather than
// from a simulator that stops (or, worse, from one that carries on with a table it read
// differently from what was meant).
#pragma once

#include "common/csv.h"
#include "deck/reader.h"

#include <string>
#include <vector>

namespace relperm::deck {

struct Finding {
    SatKeyword keyword{};
    int satnum = 0; // the table's SATNUM (index + 1); 0 for the deck as a whole
    int row = 0;    // 1-based row of the table; 0 for the table (or deck) as a whole
    std::string file;
    int line = 0;
    std::string check;  // a short name scripts can match: "kr-direction", "first-kr-zero", ...
    std::string detail; // what is wrong, with the values
};

// Every finding of every table, table by table in the order of the deck, rows in order.
std::vector<Finding> checkTables(const DeckTables& deck);

// "SWOF 3 tables, SGOF 3 tables"
std::string tablesSummary(const DeckTables& deck);

// One line per finding: "FILE line 12: SWOF table 2 (SATNUM 2), row 5: krw falls ...".
std::string findingsText(const std::vector<Finding>& findings);

// keyword,satnum,row,file,line,check,detail: a header and one line per finding.
std::string findingsCsv(const std::vector<Finding>& findings, LineEnd lineEnd = LineEnd::CrLf);

} // namespace relperm::deck
