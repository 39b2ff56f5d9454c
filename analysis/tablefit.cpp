#include "analysis/tablefit.h"

#include "common/linear.h"
#include "common/numbers.h"
#include "deck/convert.h"

#include <algorithm>
#include <cmath>

namespace relperm {

namespace {

using deck::SatKeyword;

// Two curves against one phase saturation S (Sw for water-oil, Sg for the gas systems),
// with the end points that scale S to the set's normalised saturation.
struct Curves {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    std::vector<double> s, rising, falling;
    double swc = 0, sorw = 0, sgc = 0, sorg = 0;
};

const deck::Table* tableAt(const deck::DeckTables& deck, SatKeyword keyword, int satnum) {
    const deck::KeywordTables* k = deck.find(keyword);
    if (!k || satnum < 1 || static_cast<std::size_t>(satnum) > k->tables.size())
        return nullptr;
    return &k->tables[static_cast<std::size_t>(satnum - 1)];
}

// The first saturation of the region's water table: the connate water a gas table ends at.
double connateWater(const deck::DeckTables& deck, int satnum) {
    for (SatKeyword k : {SatKeyword::SWOF, SatKeyword::SWFN})
        if (const deck::Table* t = tableAt(deck, k, satnum); t && !t->rows.empty())
            return t->rows.front().values[0];
    return 0;
}

// The last saturation of the leading rows whose column `c` is 0: where the phase starts
// to flow.
double lastZero(const deck::Table& t, int c) {
    double s = t.rows.front().values[0];
    for (const deck::Row& r : t.rows) {
        if (r.values[static_cast<std::size_t>(c)] > 0)
            break;
        s = r.values[0];
    }
    return s;
}

// The first saturation at which column `c` reaches 0 (the last row's when it never does).
double firstZero(const deck::Table& t, int c) {
    for (const deck::Row& r : t.rows)
        if (r.values[static_cast<std::size_t>(c)] <= 0)
            return r.values[0];
    return t.rows.back().values[0];
}

// SWOF, or SGOF with the region's Swc: saturation, the rising kr, the falling kr.
Curves family1Curves(const deck::Table& t, bool water, double swc) {
    Curves c;
    c.system = water ? TwoPhaseSystem::WaterOil : TwoPhaseSystem::GasOil;
    for (const deck::Row& r : t.rows) {
        c.s.push_back(r.values[0]);
        c.rising.push_back(r.values[1]);
        c.falling.push_back(r.values[2]);
    }
    if (water) {
        c.swc = t.rows.front().values[0];
        c.sorw = 1 - firstZero(t, 2);
    } else {
        c.swc = swc;
        c.sgc = lastZero(t, 1);
        c.sorg = 1 - swc - firstZero(t, 2);
    }
    return c;
}

// A gas-water region (SGFN and SWFN, or SGWFN): krg rising and krw falling in Sg, at the
// saturations of both tables.
Curves gasWaterCurves(const deck::DeckTables& deck, int satnum) {
    Curves c;
    c.system = TwoPhaseSystem::GasWater;
    if (const deck::Table* t = tableAt(deck, SatKeyword::SGWFN, satnum)) {
        for (const deck::Row& r : t->rows) {
            c.s.push_back(r.values[0]);
            c.rising.push_back(r.values[1]);
            c.falling.push_back(r.values[2]);
        }
        c.sgc = lastZero(*t, 1);
        c.swc = 1 - t->rows.back().values[0];
        return c;
    }
    const deck::Table& gas = *tableAt(deck, SatKeyword::SGFN, satnum);
    const deck::Table& water = *tableAt(deck, SatKeyword::SWFN, satnum);
    std::vector<double> sg, krg, sw, krw;
    for (const deck::Row& r : gas.rows) {
        sg.push_back(r.values[0]);
        krg.push_back(r.values[1]);
    }
    for (const deck::Row& r : water.rows) {
        sw.push_back(r.values[0]);
        krw.push_back(r.values[1]);
    }
    std::vector<double> nodes = sg;
    for (double w : sw)
        nodes.push_back(generalValue(1 - w));
    std::sort(nodes.begin(), nodes.end());
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
    for (double s : nodes) {
        c.s.push_back(s);
        c.rising.push_back(linearAt(sg, krg, s, krg.front(), krg.back()));
        const double w = generalValue(1 - s);
        c.falling.push_back(linearAt(sw, krw, w, krw.front(), krw.back()));
    }
    c.swc = sw.front();
    c.sgc = lastZero(gas, 1);
    return c;
}

Refusal refused(const std::string& message) {
    return Refusal{"table", message};
}

} // namespace

std::variant<ShownDataSet, Refusal> tableDataSet(const deck::DeckTables& deck, SatKeyword keyword,
                                                 int satnum) {
    const std::string name = std::string(deck::keywordName(keyword)) + " table " +
                             std::to_string(satnum) + " of " +
                             (deck.files.empty() ? std::string("the deck") : deck.files.front());
    const deck::KeywordTables* k = deck.find(keyword);
    if (!k)
        return refused("The deck has no " + std::string(deck::keywordName(keyword)) + ".");
    if (satnum < 1 || static_cast<std::size_t>(satnum) > k->tables.size())
        return refused("The deck's " + std::string(deck::keywordName(keyword)) + " has " +
                       std::to_string(k->tables.size()) +
                       (k->tables.size() == 1 ? " table" : " tables") + "; there is no table " +
                       std::to_string(satnum) + ".");
    if (keyword == SatKeyword::SOF3 || keyword == SatKeyword::SOF2)
        return refused("The oil's table is fitted with the water or gas table it goes with: "
                       "name SWFN or SGFN.");

    Curves curves;
    const bool gasWater = keyword == SatKeyword::SGWFN ||
                          ((keyword == SatKeyword::SWFN || keyword == SatKeyword::SGFN) &&
                           deck.find(SatKeyword::SWFN) && deck.find(SatKeyword::SGFN) &&
                           !deck.find(SatKeyword::SOF3) && !deck.find(SatKeyword::SOF2));
    if (gasWater) {
        curves = gasWaterCurves(deck, satnum);
    } else {
        // Every other keyword as its family 1 table: SWFN and SGFN with their oil column,
        // SLGOF in gas saturation.
        auto family1 = deck::convertTables(deck, deck::TargetFamily::Family1);
        if (auto* r = std::get_if<Refusal>(&family1))
            return refused("The deck's " + std::string(deck::keywordName(keyword)) +
                           " cannot be fitted: " + r->message + ".");
        const auto& tables = std::get<deck::DeckTables>(family1);
        const bool water = keyword == SatKeyword::SWOF || keyword == SatKeyword::SWFN;
        const deck::Table* t = tableAt(tables, water ? SatKeyword::SWOF : SatKeyword::SGOF, satnum);
        if (!t)
            return refused("The deck's " + std::string(deck::keywordName(keyword)) +
                           " has no table " + std::to_string(satnum) + ".");
        curves = family1Curves(*t, water, connateWater(deck, satnum));
    }

    // The set's saturation scale, as the browser shows a measured set of the system.
    ShownDataSet shown;
    shown.system = curves.system;
    shown.title = name;
    MeasuredDataSet& set = shown.set;
    set.connateWater = TaggedValue::of(curves.swc);
    set.criticalGas = TaggedValue::of(curves.sgc);
    set.residualOilToWater = TaggedValue::of(curves.sorw);
    set.residualOilToGas = TaggedValue::of(curves.sorg);
    const double lower = curves.system == TwoPhaseSystem::WaterOil ? curves.swc : curves.sgc;
    const double upper = curves.system == TwoPhaseSystem::WaterOil ? 1 - curves.sorw
                         : curves.system == TwoPhaseSystem::GasOil ? 1 - curves.swc - curves.sorg
                                                                   : 1 - curves.swc;
    if (!(upper - lower > 1e-9))
        return refused(name + " leaves no saturation range between its end points (from " +
                       formatGeneral(lower) + " to " + formatGeneral(upper) + ").");
    std::vector<std::size_t> within;
    for (std::size_t i = 0; i < curves.s.size(); ++i)
        if (curves.s[i] >= lower - 1e-12 && curves.s[i] <= upper + 1e-12)
            within.push_back(i);
    // A measured set holds up to maxPoints points: a longer table gives that many rows,
    // spread evenly over it from its first to its last.
    std::vector<std::size_t> chosen = within;
    if (within.size() > static_cast<std::size_t>(maxPoints)) {
        chosen.clear();
        for (int p = 0; p < maxPoints; ++p)
            chosen.push_back(within[static_cast<std::size_t>(
                std::lround(static_cast<double>(p) * static_cast<double>(within.size() - 1) /
                            (maxPoints - 1)))]);
        shown.title += " (" + std::to_string(maxPoints) + " of its " +
                       std::to_string(within.size()) + " rows)";
    }
    set.pointCount = static_cast<std::int16_t>(chosen.size());
    for (std::size_t p = 0; p < chosen.size(); ++p) {
        const std::size_t i = chosen[p];
        set.normSat[p + 1] = std::clamp((curves.s[i] - lower) / (upper - lower), 0.0, 1.0);
        set.krAxis[p + 1] = curves.rising[i];
        set.krOther[p + 1] = curves.falling[i];
    }
    return shown;
}

} // namespace relperm
