#include "satfunc/includefile.h"

#include "common/numbers.h"
#include "common/version.h"
#include "satfunc/interpolation.h"

#include <algorithm>

namespace relperm::satfunc {

namespace {

Refusal atRow(const ParameterTable& table, int line, const Refusal& r) {
    return Refusal{r.input, table.file + " row " + std::to_string(line) + ", column " + r.input +
                                ": " + r.message};
}

// The value of a per-region option for `satnum`: one value for all, or one each.
std::variant<double, Refusal> valueFor(const std::vector<double>& values, int satnum,
                                       std::size_t regions, const char* option) {
    if (values.size() == 1)
        return values.front();
    if (values.size() != regions)
        return Refusal{option, std::string("--") + option + " takes one value or one per SATNUM (" +
                                   std::to_string(regions) + "); it has " +
                                   std::to_string(values.size()) + "."};
    return values[static_cast<std::size_t>(satnum - 1)];
}

template <class Table, class Build>
std::variant<Table, Refusal> built(const ParameterTable& table, const RegionParameters& p,
                                   Build build) {
    auto t = build();
    if (auto* r = std::get_if<Refusal>(&t))
        return atRow(table, p.line, *r);
    return std::get<Table>(std::move(t));
}

// One case's tables with the run's row spacing.
std::variant<RegionCurves, Refusal> curvesOf(const ParameterTable& table, RegionParameters p,
                                             const TablesOptions& options) {
    RegionCurves out{p.satnum, p.tag, p.kind, std::nullopt, std::nullopt};
    if (options.deltaS) {
        for (auto* h : {p.waterOil ? &p.waterOil->h : nullptr, p.gasOil ? &p.gasOil->h : nullptr,
                        p.gasWater ? &p.gasWater->h : nullptr})
            if (h)
                *h = *options.deltaS;
    }
    if (p.gasWater) {
        auto t = built<GasWaterTables>(table, p, [&] { return gasWaterTables(*p.gasWater); });
        if (auto* r = std::get_if<Refusal>(&t))
            return *r;
        out.water = std::get<GasWaterTables>(t).water;
        out.gas = std::get<GasWaterTables>(t).gas;
        return out;
    }
    if (p.waterOil) {
        auto t = built<WaterOilTable>(table, p, [&] { return waterOilTable(*p.waterOil); });
        if (auto* r = std::get_if<Refusal>(&t))
            return *r;
        out.water = std::get<WaterOilTable>(std::move(t));
    }
    if (p.gasOil) {
        auto t = built<GasOilTable>(table, p, [&] { return gasOilTable(*p.gasOil); });
        if (auto* r = std::get_if<Refusal>(&t))
            return *r;
        out.gas = std::get<GasOilTable>(std::move(t));
    }
    return out;
}

std::variant<RegionCurves, Refusal> interpolated(const ParameterTable& table, const Region& region,
                                                 const std::vector<RegionCurves>& cases, double two,
                                                 double tgo, double h) {
    RegionCurves out{region.satnum, "SATNUM " + std::to_string(region.satnum), cases[1].kind,
                     std::nullopt, std::nullopt};
    const int line = region.cases.front().line;
    const auto refusedHere = [&](const Refusal& r) {
        return Refusal{r.input, table.file + " row " + std::to_string(line) + " (SATNUM " +
                                    std::to_string(region.satnum) + "): " + r.message};
    };
    const bool water = cases[0].water && cases[1].water && cases[2].water;
    const bool gas = cases[0].gas && cases[1].gas && cases[2].gas;
    if (water) {
        auto t =
            interpolateWaterOil({&*cases[0].water, &*cases[1].water, &*cases[2].water}, two, h);
        if (auto* r = std::get_if<Refusal>(&t))
            return refusedHere(*r);
        out.water = std::get<WaterOilTable>(std::move(t));
    }
    if (gas) {
        auto t = interpolateGasOil({&*cases[0].gas, &*cases[1].gas, &*cases[2].gas}, tgo, h);
        if (auto* r = std::get_if<Refusal>(&t))
            return refusedHere(*r);
        out.gas = std::get<GasOilTable>(std::move(t));
    }
    if (!water && !gas)
        return refusedHere(Refusal{"case", "its low, base and high cases do not all give the "
                                           "same curves."});
    return out;
}

} // namespace

std::variant<std::vector<RegionCurves>, Refusal> regionCurves(const ParameterTable& table,
                                                              const TablesOptions& options) {
    auto regions = regionsOf(table);
    if (auto* r = std::get_if<Refusal>(&regions))
        return *r;
    const auto& list = std::get<std::vector<Region>>(regions);
    if (table.scal && options.intParamWo.empty())
        return Refusal{"int-param-wo",
                       table.file + " is a SCAL recommendation (it has a CASE column): say where "
                                    "between its cases with --int-param-wo T (-1 low, 0 base, 1 "
                                    "high)."};
    if (!table.scal && !(options.intParamWo.empty() && options.intParamGo.empty()))
        return Refusal{"int-param-wo", "--int-param-wo and --int-param-go choose between the "
                                       "cases of a SCAL recommendation; " +
                                           table.file + " has no CASE column."};
    std::vector<RegionCurves> out;
    for (const Region& region : list) {
        std::vector<RegionCurves> cases;
        for (const RegionParameters& p : region.cases) {
            auto c = curvesOf(table, p, options);
            if (auto* r = std::get_if<Refusal>(&c))
                return *r;
            cases.push_back(std::get<RegionCurves>(std::move(c)));
        }
        if (!table.scal) {
            out.push_back(std::move(cases.front()));
            continue;
        }
        auto two = valueFor(options.intParamWo, region.satnum, list.size(), "int-param-wo");
        if (auto* r = std::get_if<Refusal>(&two))
            return *r;
        auto tgo = options.intParamGo.empty()
                       ? two
                       : valueFor(options.intParamGo, region.satnum, list.size(), "int-param-go");
        if (auto* r = std::get_if<Refusal>(&tgo))
            return *r;
        auto mixed = interpolated(table, region, cases, std::get<double>(two),
                                  std::get<double>(tgo), options.deltaS.value_or(0.01));
        if (auto* r = std::get_if<Refusal>(&mixed))
            return *r;
        RegionCurves curves = std::get<RegionCurves>(std::move(mixed));
        // The cases' own tags after the region's name, each once.
        const std::size_t name = curves.tag.size();
        for (const RegionCurves& c : cases)
            if (c.tag.size() > name && curves.tag.find(c.tag.substr(name)) == std::string::npos)
                curves.tag += c.tag.substr(name);
        out.push_back(std::move(curves));
    }
    return out;
}

std::variant<std::vector<Keyword>, Refusal> keywordsFor(RegionKind kind,
                                                        const TablesOptions& options) {
    switch (kind) {
    case RegionKind::WaterOil:
    case RegionKind::GasOil:
        if (options.family == 2 || options.slgof)
            return Refusal{options.slgof ? "slgof" : "family",
                           std::string("A ") +
                               (kind == RegionKind::WaterOil ? "water-oil" : "gas-oil") +
                               " table of two phases is written as " +
                               (kind == RegionKind::WaterOil ? "SWOF" : "SGOF") +
                               " alone; family 2 and SLGOF need the curves of three phases."};
        return std::vector<Keyword>{kind == RegionKind::WaterOil ? Keyword::SWOF : Keyword::SGOF};
    case RegionKind::WaterOilGas:
        if (options.family == 2) {
            if (options.slgof)
                return Refusal{"slgof", "SLGOF belongs to family 1; family 2 writes SWFN, SGFN "
                                        "and SOF3."};
            return std::vector<Keyword>{Keyword::SWFN, Keyword::SGFN, Keyword::SOF3};
        }
        return std::vector<Keyword>{Keyword::SWOF, options.slgof ? Keyword::SLGOF : Keyword::SGOF};
    case RegionKind::GasWater:
        break;
    }
    if ((options.familyGiven && options.family == 1) || options.slgof)
        return Refusal{"family", "Gas-water tables are written as SWFN and SGFN (family 2) "
                                 "only."};
    return std::vector<Keyword>{Keyword::SWFN, Keyword::SGFN};
}

std::variant<std::string, Refusal> includeFile(const ParameterTable& table,
                                               const std::vector<RegionCurves>& regions,
                                               const TablesOptions& options) {
    if (regions.empty())
        return Refusal{table.file, table.file + " gives no region."};
    // A SCAL recommendation of three phases whose cases all lack one half is a table of the
    // other half alone.
    RegionKind kind = regions.front().kind;
    if (kind == RegionKind::WaterOilGas) {
        const auto count = [&](auto has) {
            return std::count_if(regions.begin(), regions.end(), has);
        };
        const auto water = count([](const RegionCurves& r) { return r.water.has_value(); });
        const auto gas = count([](const RegionCurves& r) { return r.gas.has_value(); });
        const auto all = static_cast<long>(regions.size());
        if ((water > 0 && water < all) || (gas > 0 && gas < all))
            for (const RegionCurves& r : regions)
                if (!r.water || !r.gas)
                    return Refusal{"satnum", table.file + " SATNUM " + std::to_string(r.satnum) +
                                                 ": its cases lack the " +
                                                 (r.water ? "gas-oil" : "water-oil") +
                                                 " curves other regions give."};
        if (gas == 0)
            kind = RegionKind::WaterOil;
        else if (water == 0)
            kind = RegionKind::GasOil;
    }
    auto keywords = keywordsFor(kind, options);
    if (auto* r = std::get_if<Refusal>(&keywords))
        return *r;
    const bool family2 = std::get<std::vector<Keyword>>(keywords).back() == Keyword::SOF3;
    std::vector<RegionTables> deck;
    for (const RegionCurves& region : regions) {
        RegionTables out;
        out.name = table.file + " SATNUM " + std::to_string(region.satnum);
        out.comment.push_back(region.tag);
        SaturationTables& t = out.tables;
        if (region.water) {
            const WaterOilTable& w = *region.water;
            out.waterComment = w.comment;
            for (std::size_t i = 0; i < w.sw.size(); ++i)
                t.waterOil.push_back({w.sw[i], w.krw[i], w.krow[i], w.pc[i]});
            t.swc = w.swl;
        }
        if (region.gas) {
            const GasOilTable& g = *region.gas;
            out.gasComment =
                region.kind == RegionKind::GasWater ? region.water->comment : g.comment;
            for (std::size_t i = 0; i < g.sg.size(); ++i)
                t.gas.push_back({g.sg[i], g.krog[i], g.krg[i], g.pc[i]});
            if (!region.water)
                t.swc = g.swl;
        }
        t.swfnFromWaterOil = true;
        t.oilCurvesMeet = family2;
        if (region.kind == RegionKind::GasWater)
            t.liquid = "krw";
        deck.push_back(std::move(out));
    }
    std::vector<std::string> head{
        "Saturation functions of " + std::to_string(regions.size()) +
            (regions.size() == 1 ? " region" : " regions") + " from the parameter table " +
            table.file + ", written by " + options.program + " " + suiteVersion + ".",
        "Curves as pyscal defines them; capillary pressure in bar unless its model says "
        "otherwise."};
    return simulatorFile(deck, head, {.keywords = std::get<std::vector<Keyword>>(keywords)});
}

} // namespace relperm::satfunc
