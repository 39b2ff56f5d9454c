#include "satfunc/tablespreview.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace relperm::satfunc {

namespace {

// What the file holds, read from the text the writer laid out: a keyword's name on a line of
// its own, then per region its comment lines, its rows (indented) and "/". Read from the text,
// so the finding says what is written, whatever decided it.
struct Written {
    std::vector<std::string> keywords;
    std::vector<std::size_t> rows; // of every table
};

Written written(const std::string& file) {
    static const std::vector<Keyword> all{Keyword::SWOF, Keyword::SGOF, Keyword::SLGOF,
                                          Keyword::SWFN, Keyword::SGFN, Keyword::SOF3};
    Written out;
    std::istringstream lines(file);
    std::string line;
    std::size_t count = 0;
    while (std::getline(lines, line)) {
        if (line == "/") {
            out.rows.push_back(count);
            count = 0;
        } else if (line.starts_with("   ")) {
            ++count;
        } else if (std::any_of(all.begin(), all.end(),
                               [&](Keyword k) { return line == keywordName(k); })) {
            out.keywords.push_back(line);
        }
    }
    return out;
}

std::string keywordList(const std::vector<std::string>& keywords) {
    std::string out;
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        if (i > 0)
            out += i + 1 == keywords.size() ? " and " : ", ";
        out += keywords[i];
    }
    return out;
}

std::string passed(const std::vector<RegionCurves>& regions, const std::string& file) {
    const Written w = written(file);
    const auto [fewest, most] = std::minmax_element(w.rows.begin(), w.rows.end());
    const std::size_t n = regions.size();
    std::string out = "The tables pass the simulator checks. The file holds " +
                      keywordList(w.keywords) + (w.keywords.size() == 1 ? ", " : ", each ") +
                      (n == 1 ? std::string("one table") : std::to_string(n) + " tables") +
                      " (SATNUM " + std::to_string(regions.front().satnum) +
                      (n == 1 ? "" : " to " + std::to_string(regions.back().satnum)) + ") of ";
    if (w.rows.empty())
        return out + "no rows.";
    if (*fewest == *most)
        return out + std::to_string(*most) + " rows.";
    return out + std::to_string(*fewest) + " to " + std::to_string(*most) + " rows.";
}

} // namespace

std::vector<RegionEntry> regionEntries(const ParameterTable& table) {
    std::vector<RegionEntry> entries;
    for (const ParameterRow& row : table.rows) {
        if (entries.empty() || entries.back().satnum != row.satnum)
            entries.push_back({row.satnum, "SATNUM " + std::to_string(row.satnum)});
        std::string& label = entries.back().label;
        if (!row.tag.empty() && label.find(" " + row.tag) == std::string::npos)
            label += " " + row.tag;
    }
    return entries;
}

TablesPreview previewTables(const ParameterTable& table, const TablesOptions& options) {
    TablesPreview preview;
    auto regions = regionCurves(table, options);
    if (auto* r = std::get_if<Refusal>(&regions)) {
        preview.finding = r->message;
        return preview;
    }
    preview.regions = std::get<std::vector<RegionCurves>>(std::move(regions));
    auto file = includeFile(table, preview.regions, options);
    if (auto* r = std::get_if<Refusal>(&file)) {
        preview.finding = r->message;
        return preview;
    }
    preview.file = std::get<std::string>(std::move(file));
    preview.finding = passed(preview.regions, *preview.file);
    return preview;
}

std::string includeFileName(const std::string& tableFile) {
    std::filesystem::path name(tableFile);
    if (name.filename().empty())
        name = "tables";
    return name.replace_extension(".inc").string();
}

} // namespace relperm::satfunc
