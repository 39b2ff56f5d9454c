#include "analysis/deckview.h"

#include "common/numbers.h"
#include "satfunc/tablesplot.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace relperm {

namespace {

using deck::SatKeyword;

// The legend and tick labels are the tables window's, so the two windows read alike.
constexpr double characterWidth = 2.8;
constexpr double legendLeft = -20;
constexpr double legendTop = 109;
// No curve takes this colour, so a mark never reads as part of one.
constexpr Rgb markColour{200, 0, 200};
constexpr double markHalf = 1.6;
constexpr double selectedHalf = 3.2;

// One column of a region's table, drawn against the table's saturation.
struct Column {
    const deck::Table* table;
    int column;
    std::string name;       // "krw", "Pcog", ...
    std::string saturation; // "Sw", "Sg", "Sl", "So"
    LineStyle style;
};

bool gasTable(SatKeyword keyword) {
    return keyword == SatKeyword::SGOF || keyword == SatKeyword::SLGOF ||
           keyword == SatKeyword::SGFN || keyword == SatKeyword::SGWFN;
}

const deck::Table* regionTable(const deck::KeywordTables& k, int satnum) {
    if (satnum < 1 || static_cast<std::size_t>(satnum) > k.tables.size())
        return nullptr;
    return &k.tables[static_cast<std::size_t>(satnum - 1)];
}

// The columns whose name starts with `kind` ("kr" or "Pc") of every table of the region.
std::vector<Column> columns(const deck::DeckTables& deck, int satnum, std::string_view kind) {
    std::vector<Column> out;
    for (const deck::KeywordTables& k : deck.keywords) {
        const deck::Table* table = regionTable(k, satnum);
        if (!table || table->rows.empty())
            continue;
        for (int c = 1; c < deck::columnCount(k.keyword); ++c) {
            const std::string name = deck::columnName(k.keyword, c);
            if (name.starts_with(kind))
                out.push_back({table, c, name, deck::columnName(k.keyword, 0),
                               gasTable(k.keyword) ? LineStyle::Dashed : LineStyle::Solid});
        }
    }
    return out;
}

// A kr above 1 or a saturation outside 0 to 1 is a finding of the checks: clipped to the
// frame, its curve does not run over the labels.
void addColumn(Scene& scene, const Column& c, const auto& height) {
    const auto at = static_cast<std::size_t>(c.column);
    std::vector<ScenePoint> points;
    for (const deck::Row& row : c.table->rows)
        points.push_back({100 * row.values[0], height(row.values[at])});
    addClippedPath(scene, points, satfunc::tablesCurveColour(c.name), 2, c.style);
}

// One group of the legend per saturation, in the order the deck gives the tables; a column
// of the same name and style in two tables (SWOF and SWFN in one deck) is named once.
void addColumnLegend(Scene& scene, const std::vector<Column>& shown) {
    std::vector<std::pair<std::string, std::vector<LegendEntry>>> groups;
    for (const Column& c : shown) {
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const auto& g) { return g.first == c.saturation; });
        if (group == groups.end())
            group = groups.insert(groups.end(), {c.saturation, {}});
        const bool named =
            std::any_of(group->second.begin(), group->second.end(),
                        [&](const auto& e) { return e.name == c.name && e.style == c.style; });
        if (!named)
            group->second.push_back({c.name, satfunc::tablesCurveColour(c.name), c.style});
    }
    double x = legendLeft;
    for (const auto& [saturation, entries] : groups)
        x = addLegend(scene, x, legendTop, entries, saturation + ":", characterWidth) +
            characterWidth;
}

// "Sw, Sg, So": the saturations the curves stand on, under the axis.
std::string saturationNames(const std::vector<Column>& shown) {
    std::vector<std::string> names;
    for (const Column& c : shown)
        if (std::find(names.begin(), names.end(), c.saturation) == names.end())
            names.push_back(c.saturation);
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

void addSquare(Scene& scene, double x, double y, double half, int pen) {
    x = std::clamp(x, 0.0, 100.0);
    y = std::clamp(y, 0.0, 100.0);
    scene.add(SceneLine{x - half, y - half, x + half, y - half, markColour, pen});
    scene.add(SceneLine{x + half, y - half, x + half, y + half, markColour, pen});
    scene.add(SceneLine{x + half, y + half, x - half, y + half, markColour, pen});
    scene.add(SceneLine{x - half, y + half, x - half, y - half, markColour, pen});
}

bool failsIn(const deck::Finding& f, int satnum) {
    return f.satnum == satnum;
}

} // namespace

int deckRegionCount(const deck::DeckTables& deck) {
    std::size_t most = 0;
    for (const deck::KeywordTables& k : deck.keywords)
        most = std::max(most, k.tables.size());
    return static_cast<int>(most);
}

std::vector<std::string> deckRegionLabels(const deck::DeckTables& deck,
                                          const std::vector<deck::Finding>& findings) {
    std::vector<std::string> labels;
    for (int satnum = 1; satnum <= deckRegionCount(deck); ++satnum) {
        std::string label = "SATNUM " + std::to_string(satnum);
        const auto failing =
            std::count_if(findings.begin(), findings.end(),
                          [&](const deck::Finding& f) { return failsIn(f, satnum); });
        if (failing > 0)
            label +=
                " (" + std::to_string(failing) + (failing == 1 ? " check fails)" : " checks fail)");
        labels.push_back(label);
    }
    return labels;
}

std::string checksSummary(const deck::DeckTables& deck,
                          const std::vector<deck::Finding>& findings) {
    const std::string tables = deck::tablesSummary(deck);
    if (findings.empty())
        return "Every check holds: " + tables + ".";
    return std::to_string(findings.size()) +
           (findings.size() == 1 ? " check fails in " : " checks fail in ") + tables + ".";
}

std::string findingLine(const deck::Finding& finding) {
    deck::Finding named = finding;
    // The list is narrow; the folder is in the window's heading and in the item's tip.
    named.file = std::filesystem::path(finding.file).filename().string();
    std::string line = deck::findingsText({named});
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    return line;
}

std::vector<DeckMark> findingMarks(const deck::DeckTables& deck, const deck::Finding& finding) {
    std::vector<DeckMark> marks;
    const deck::KeywordTables* k = deck.find(finding.keyword);
    if (!k || finding.row < 1)
        return marks;
    const deck::Table* table = regionTable(*k, finding.satnum);
    if (!table || static_cast<std::size_t>(finding.row) > table->rows.size())
        return marks;
    const deck::Row& row = table->rows[static_cast<std::size_t>(finding.row - 1)];
    for (int c = 1; c < deck::columnCount(k->keyword); ++c)
        if (std::string_view(deck::columnName(k->keyword, c)).starts_with("kr"))
            marks.push_back({row.values[0], row.values[static_cast<std::size_t>(c)]});
    return marks;
}

Scene deckKrPlot(const deck::DeckTables& deck, int satnum,
                 const std::vector<deck::Finding>& findings, std::optional<std::size_t> selected,
                 KrAxis axis) {
    Scene scene;
    scene.coordinates = krPlotCoordinates;
    addKrPlotFrame(scene, axis);
    const std::vector<Column> shown = columns(deck, satnum, "kr");
    if (shown.empty()) {
        // A frame alone would read as curves of 0 throughout.
        scene.add(SceneText{30, 60, "No table of SATNUM " + std::to_string(satnum), black});
        return scene;
    }
    const auto height = [axis](double kr) { return krHeight(kr, axis); };
    for (const Column& c : shown)
        addColumn(scene, c, height);
    addKrAxisNames(scene, saturationNames(shown), axis);
    addColumnLegend(scene, shown);
    for (std::size_t i = 0; i < findings.size(); ++i)
        if (failsIn(findings[i], satnum) && i != selected)
            for (const DeckMark& m : findingMarks(deck, findings[i]))
                addSquare(scene, 100 * m.saturation, height(m.kr), markHalf, 2);
    // Last, so no other mark hides the one the engineer picked.
    if (selected && *selected < findings.size() && failsIn(findings[*selected], satnum))
        for (const DeckMark& m : findingMarks(deck, findings[*selected]))
            addSquare(scene, 100 * m.saturation, height(m.kr), selectedHalf, 3);
    return scene;
}

bool deckHasPc(const deck::DeckTables& deck) {
    for (int satnum = 1; satnum <= deckRegionCount(deck); ++satnum)
        for (const Column& c : columns(deck, satnum, "Pc"))
            for (const deck::Row& row : c.table->rows)
                if (row.values[static_cast<std::size_t>(c.column)] != 0)
                    return true;
    return false;
}

Scene deckPcPlot(const deck::DeckTables& deck, int satnum) {
    Scene scene;
    scene.coordinates = krPlotCoordinates;
    // A column of zeros says only that the table has no Pc: a line along the axis would hide
    // the axis, and a legend entry would promise a curve.
    std::vector<Column> shown = columns(deck, satnum, "Pc");
    std::erase_if(shown, [](const Column& c) {
        return std::all_of(c.table->rows.begin(), c.table->rows.end(), [&](const deck::Row& row) {
            return row.values[static_cast<std::size_t>(c.column)] == 0;
        });
    });
    double low = 0, high = 0;
    for (const Column& c : shown)
        for (const deck::Row& row : c.table->rows) {
            low = std::min(low, row.values[static_cast<std::size_t>(c.column)]);
            high = std::max(high, row.values[static_cast<std::size_t>(c.column)]);
        }
    // The deck's own unit: a reader of the tables alone does not know whether it is bar or psi.
    const satfunc::PcTicks ticks = satfunc::addPcFrame(scene, low, high, "Pc");
    const auto height = [&](double pc) {
        return 100 * (pc - ticks.bottom) / (ticks.top - ticks.bottom);
    };
    if (shown.empty()) {
        scene.add(SceneText{30, 60, "Zero capillary pressure throughout", black});
        return scene;
    }
    scene.add(SceneText{40, -10, saturationNames(shown), black});
    for (const Column& c : shown)
        addColumn(scene, c, height);
    addColumnLegend(scene, shown);
    return scene;
}

std::string convertedFileName(const std::string& deckPath, deck::TargetFamily family) {
    const std::filesystem::path path(deckPath);
    const std::string name = path.stem().string() + "-" + deck::targetFamilyName(family) + ".inc";
    return (path.parent_path() / name).string();
}

std::vector<deck::SatKeyword> fitKeywords(const deck::DeckTables& deck) {
    std::vector<SatKeyword> out;
    for (SatKeyword k : {SatKeyword::SWOF, SatKeyword::SGOF, SatKeyword::SLGOF, SatKeyword::SWFN,
                         SatKeyword::SGFN, SatKeyword::SGWFN})
        if (deck.find(k))
            out.push_back(k);
    return out;
}

} // namespace relperm
