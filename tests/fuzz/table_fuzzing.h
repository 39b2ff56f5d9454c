// What the fuzz targets whose inputs end in simulator tables share: any double from the
// input, and include files read back as a simulator reads them, every table passing the
// rules the simulator applies.
#pragma once

#include "common/numbers.h"
#include "common/simulatorfile.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace relperm::fuzz {

// Any double at all, NaN and infinities included, from the next bytes of the input.
inline double anyDouble(FuzzedDataProvider& in) {
    double raw = 0;
    const std::vector<std::uint8_t> bytes = in.ConsumeBytes<std::uint8_t>(sizeof raw);
    if (!bytes.empty())
        std::memcpy(&raw, bytes.data(), bytes.size());
    return raw;
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline std::vector<double> numbersOf(const std::string& line) {
    std::vector<double> values;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        const std::optional<double> v = parseNumber(word);
        require(v.has_value(), "a table row holds numbers only", line);
        values.push_back(*v);
    }
    return values;
}

// The rules a simulator applies to one table read back from the file.
inline void passesSimulatorRules(Keyword keyword, const std::vector<std::vector<double>>& rows,
                                 double swc, const std::string& file) {
    const bool water = keyword == Keyword::SWOF || keyword == Keyword::SWFN;
    const bool twoKr = keyword == Keyword::SWOF || keyword == Keyword::SGOF;
    require(!rows.empty(), "a table has rows", file);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<double>& r = rows[i];
        require(r.size() == (twoKr ? 4u : 3u), "a row has a value in every column", file);
        require(r[0] >= 0 && r[0] <= 1, "saturations lie in [0, 1]", file);
        for (std::size_t c = 1; c < r.size(); ++c)
            require(r[c] >= 0 && r[c] <= 1, "kr lies in [0, 1]", file);
        require(r.back() == 0, "capillary pressure is 0", file);
        if (i == 0)
            continue;
        require(r[0] > rows[i - 1][0], "saturations rise from row to row", file);
        require(r[1] >= rows[i - 1][1], "the moving phase's kr never falls", file);
        if (twoKr)
            require(r[2] <= rows[i - 1][2], "the other phase's kr never rises", file);
    }
    require(rows.front()[1] == 0, "the moving phase starts at kr 0", file);
    require(rows.size() >= 2, "a table has two rows or more", file);
    for (std::size_t c = 1; c + 1 < rows.front().size(); ++c) {
        bool flows = false;
        for (const std::vector<double>& r : rows)
            flows = flows || r[c] > 0;
        require(flows, "every phase flows somewhere in its table", file);
    }
    if (!water)
        require(rows.front()[0] == 0, "a gas table starts at Sg = 0", file);
    const double largest = water ? 1.0 : 1 - swc;
    require(std::abs(rows.back()[0] - largest) <= 1e-9,
            "a table reaches the largest saturation of its phase", file);
}

// Reads an include file back as a simulator would and checks it holds `keywords`, in order.
inline void readsBackAsTables(const std::string& file, const std::vector<Keyword>& keywords,
                              double swc) {
    std::vector<Keyword> found;
    std::vector<std::vector<double>> rows;
    bool inTable = false;
    for (const std::string& line : linesOf(file)) {
        if (line.empty() || line.rfind("--", 0) == 0)
            continue;
        if (inTable && line == "/") {
            passesSimulatorRules(found.back(), rows, swc, file);
            rows.clear();
            inTable = false;
        } else if (inTable) {
            rows.push_back(numbersOf(line));
        } else {
            bool keyword = false;
            for (Keyword k : {Keyword::SWOF, Keyword::SGOF, Keyword::SWFN, Keyword::SGFN})
                if (line == keywordName(k)) {
                    found.push_back(k);
                    keyword = true;
                }
            require(keyword, "outside comments only keywords begin tables", file);
            inTable = true;
        }
    }
    require(!inTable, "every table ends with a slash", file);
    require(found == keywords, "the file holds the keywords asked for, in order", file);
}

} // namespace relperm::fuzz
