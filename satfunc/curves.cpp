#include "satfunc/curves.h"

#include "common/numbers.h"
#include "satfunc/rows.h"

#include <algorithm>
#include <cmath>

namespace relperm::satfunc {

namespace {

std::string n(double v) {
    return formatGeneral(v);
}

// pyscal takes a residual below 1e-4 as none.
double truncated(double v) {
    return v < 1e-4 ? 0 : v;
}

Refusal refused(const std::string& input, const std::string& message) {
    return Refusal{input, message};
}

std::optional<Refusal> checkShape(const Shape& s, const std::string& curve, double lowest) {
    const auto within = [](double v, double low) { return v > low && v < 100; };
    if (!s.let) {
        if (!within(s.n, lowest))
            return refused(curve, "The Corey exponent " + curve + " must lie between " + n(lowest) +
                                      " and 100; it is " + n(s.n) + ".");
        return std::nullopt;
    }
    for (auto [name, v] : {std::pair{"L", s.l}, {"E", s.e}, {"T", s.t}})
        if (!within(v, epsilon))
            return refused(curve, std::string("The LET ") + name + " of " + curve +
                                      " must lie between 1e-08 and 100; it is " + n(v) + ".");
    return std::nullopt;
}

std::optional<Refusal> checkEnd(const std::string& name, double v) {
    if (!(v > 0 && v <= 1))
        return refused(name, name + " must lie above 0 and at most 1; it is " + n(v) + ".");
    return std::nullopt;
}

// A curve's largest kr, at the end of its phase's saturation, against its end-point kr.
std::optional<Refusal> checkMax(const std::string& name, const std::string& what, double v,
                                const std::string& endName, double end) {
    if (!(v >= end && v <= 1))
        return refused(name, name + ", " + what + ", must lie from " + endName + " (" + n(end) +
                                 ") to 1; it is " + n(v) + ".");
    return std::nullopt;
}

// A LET curve reaches its end value exactly where x is 1 to rounding.
double curveValue(const Shape& shape, double end, double x) {
    if (shape.let && close(x, 1))
        return end;
    return end * shapeValue(shape, x);
}

} // namespace

double shapeValue(const Shape& shape, double x) {
    if (!shape.let)
        return std::pow(x, shape.n);
    const double xl = std::pow(x, shape.l);
    return xl / (xl + shape.e * std::pow(1 - x, shape.t));
}

std::string shapeText(const Shape& shape, const std::string& kr) {
    if (!shape.let)
        return "Corey " + kr + " n=" + n(shape.n);
    return "LET " + kr + " L=" + n(shape.l) + " E=" + n(shape.e) + " T=" + n(shape.t);
}

void applyWaterEnds(const std::vector<double>& sw, std::vector<double>& krw, double swcr,
                    double sorw, double krwend, double krwmax) {
    std::size_t first = sw.size();
    for (std::size_t i = 0; i < sw.size(); ++i)
        if (sw[i] > 1 - sorw - epsilon) {
            first = i;
            break;
        }
    if (first < sw.size()) {
        krw[first] = krwend;
        const std::size_t last = sw.size() - 1;
        if (last > first) {
            krw[last] = krwmax;
            for (std::size_t i = first + 1; i < last; ++i)
                krw[i] = krwend + (krwmax - krwend) * (sw[i] - sw[first]) / (sw[last] - sw[first]);
        }
    }
    for (std::size_t i = 0; i < sw.size(); ++i)
        if (sw[i] < swcr)
            krw[i] = 0;
}

void applyOilInWaterEnds(const std::vector<double>& sw, std::vector<double>& krow, double sorw,
                         double socr, double kroend) {
    for (std::size_t i = 0; i < sw.size(); ++i) {
        if (sw[i] >= 1 - sorw || sw[i] > 1 - socr - epsilon)
            krow[i] = 0;
        krow[i] = std::isnan(krow[i]) ? krow[i] : std::min(krow[i], kroend);
    }
}

void applyGasEnds(const std::vector<double>& sg, std::vector<double>& krg, double swl, double sgcr,
                  double sorg, bool anchored, double krgend, double krgmax) {
    for (std::size_t i = 0; i < sg.size(); ++i) {
        if (sg[i] <= sgcr)
            krg[i] = 0;
        else if (anchored && sg[i] >= 1 - (sorg + swl + epsilon)) {
            const double u = (sg[i] - (1 - sorg - swl)) / sorg;
            krg[i] = std::clamp((1 - u) * krgend + u * krgmax, 0.0, 1.0);
        } else if (!anchored && sg[i] > 1 - swl - epsilon)
            krg[i] = krgend;
    }
}

void applyOilInGasEnds(const std::vector<double>& sg, std::vector<double>& krog, double swl,
                       double sorg, double kromax) {
    for (std::size_t i = 0; i < sg.size(); ++i) {
        if (sg[i] > 1 - sorg - swl - epsilon)
            krog[i] = 0;
        krog[i] = std::isnan(krog[i]) ? krog[i] : std::min(krog[i], kromax);
        if (sg[i] == 0)
            krog[i] = kromax;
    }
}

std::variant<WaterOilTable, Refusal> waterOilTable(const WaterOilParameters& p) {
    WaterOilTable t;
    t.swirr = p.swirr;
    t.swl = std::max(p.swl, p.swirr);
    t.sorw = truncated(p.sorw);
    t.swcr = p.swcr;
    if (t.swl < t.swcr && t.swcr < t.swl + 1e-5 + epsilon)
        t.swcr = t.swl;
    t.swcr = std::max(t.swcr, t.swl);
    t.socr = p.socr ? truncated(*p.socr) : t.sorw;
    if (t.socr < t.sorw - epsilon)
        return refused("socr",
                       "socr may not be below sorw (" + n(t.sorw) + "); it is " + n(t.socr) + ".");
    if (t.sorw - epsilon < t.socr && t.socr < t.sorw + 1e-5 + epsilon)
        t.socr = t.sorw;
    const double h = std::max(p.h, 1e-4);
    const auto fraction = [](double v) { return v >= -epsilon && v <= 1 + epsilon; };
    for (auto [name, v] :
         {std::pair{"swl", t.swl}, {"swcr", t.swcr}, {"sorw", t.sorw}, {"socr", t.socr}})
        if (!fraction(v))
            return refused(name, std::string(name) + " must be a fraction from 0 to 1; it is " +
                                     n(v) + ".");
    if (!(t.swirr > -1 - epsilon && t.swirr < 1 + epsilon))
        return refused("swirr", "swirr must lie between -1 and 1; it is " + n(t.swirr) + ".");
    for (auto [name, v] : {std::pair{"swl", t.swl}, {"swcr", t.swcr}, {"swirr", t.swirr}})
        if (!(v < 1 - t.sorw))
            return refused(name, std::string(name) + " (" + n(v) + ") must be below 1 - sorw (" +
                                     n(1 - t.sorw) + ").");
    if (auto r = checkShape(p.water, p.water.let ? "the water curve" : "nw", 1e-7))
        return *r;
    if (auto r = checkShape(p.oil, p.oil.let ? "the oil curve" : "now", epsilon))
        return *r;
    if (auto r = checkEnd("kroend", p.kroend))
        return *r;
    if (auto r = checkEnd("krwend", p.krwend))
        return *r;
    if (auto r = checkMax("krwmax", "krw at Sw = 1", p.krwmax, "krwend", p.krwend))
        return *r;

    t.sw = waterRows(t.swl, t.swcr, t.sorw, t.socr, h);
    for (double s : t.sw) {
        const double swn = (s - t.swcr) / (1 - t.swcr - t.sorw);
        const double son = (1 - s - t.socr) / (1 - t.swl - t.socr);
        t.krw.push_back(curveValue(p.water, p.krwend, swn));
        t.krow.push_back(curveValue(p.oil, p.kroend, son));
    }
    applyWaterEnds(t.sw, t.krw, t.swcr, t.sorw, p.krwend, p.krwmax);
    applyOilInWaterEnds(t.sw, t.krow, t.sorw, t.socr, p.kroend);
    auto pc = capillaryPressure(p.pc, t.sw, {t.swirr, t.swl, t.swcr, t.sorw});
    if (auto* r = std::get_if<Refusal>(&pc))
        return *r;
    t.pc = std::get<std::vector<double>>(pc);

    t.comment.push_back("swirr=" + n(t.swirr) + " swl=" + n(t.swl) + " swcr=" + n(t.swcr) +
                        " sorw=" + n(t.sorw) + (t.socr > t.sorw ? " socr=" + n(t.socr) : ""));
    t.comment.push_back(shapeText(p.water, "krw") + ", krwend=" + n(p.krwend) +
                        ", krwmax=" + n(p.krwmax));
    t.comment.push_back(shapeText(p.oil, "krow") + ", kroend=" + n(p.kroend));
    t.comment.push_back(capillaryText(p.pc));
    return t;
}

std::variant<GasOilTable, Refusal> gasOilTable(const GasOilParameters& p) {
    GasOilTable t;
    t.swl = std::max(p.swl, p.swirr);
    t.sorg = truncated(p.sorg);
    t.sgcr = truncated(p.sgcr);
    t.sgro = truncated(p.sgro);
    if (!close(t.sgro, 0) && !close(t.sgro, t.sgcr))
        return refused("sgro",
                       "sgro must be 0 or sgcr (" + n(t.sgcr) + "); it is " + n(t.sgro) + ".");
    const bool anchored = p.anchoredToSorg && t.sorg > 0;
    const double h = std::max(p.h, 1e-4);
    const auto fraction = [](double v) { return v >= -epsilon && v <= 1 + epsilon; };
    for (auto [name, v] : {std::pair{"swl", t.swl}, {"sgcr", t.sgcr}, {"sorg", t.sorg}})
        if (!fraction(v))
            return refused(name, std::string(name) + " must be a fraction from 0 to 1; it is " +
                                     n(v) + ".");
    const double range = anchored ? 1 - t.swl - t.sgcr - t.sorg : 1 - t.swl - t.sgcr;
    if (!(range > 0))
        return refused("sgcr", "The gas curve has no saturation range: 1 - swl - sgcr" +
                                   std::string(anchored ? " - sorg" : "") + " is " + n(range) +
                                   ".");
    if (!(1 - t.sorg - t.swl - t.sgro > 0))
        return refused("sorg", "The oil curve in gas has no saturation range: 1 - swl - sorg - "
                               "sgro is " +
                                   n(1 - t.sorg - t.swl - t.sgro) + ".");
    if (auto r = checkShape(p.gas, p.gas.let ? "the gas curve" : "ng", epsilon))
        return *r;
    if (auto r = checkShape(p.oil, p.oil.let ? "the oil curve in gas" : "nog", epsilon))
        return *r;
    if (auto r = checkEnd("kroend", p.kroend))
        return *r;
    if (auto r = checkEnd("krgend", p.krgend))
        return *r;
    if (auto r = checkMax("krgmax", "krg at Sg = 1 - swl", p.krgmax, "krgend", p.krgend))
        return *r;
    double kromax = p.kromax.value_or(p.kroend);
    if (close(t.sgro, 0))
        kromax = p.kroend;
    else if (auto r = checkMax("kromax", "krog at Sg = 0", kromax, "kroend", p.kroend))
        return *r;

    t.sg = gasRows(t.swl, t.sgcr, t.sorg, h);
    for (double s : t.sg) {
        const double sgn = (s - t.sgcr) / range;
        const double son = (1 - s - t.sorg - t.swl) / (1 - t.sorg - t.swl - t.sgro);
        t.krg.push_back(curveValue(p.gas, p.krgend, sgn));
        t.krog.push_back(curveValue(p.oil, p.kroend, son));
    }
    applyOilInGasEnds(t.sg, t.krog, t.swl, t.sorg, kromax);
    applyGasEnds(t.sg, t.krg, t.swl, t.sgcr, t.sorg, anchored, p.krgend, p.krgmax);
    t.pc.assign(t.sg.size(), 0.0);

    t.comment.push_back("swirr=" + n(p.swirr) + " sgcr=" + n(t.sgcr) + " swl=" + n(t.swl) +
                        " sorg=" + n(t.sorg) + " sgro=" + n(t.sgro) +
                        (anchored ? " krgendanchor=sorg" : ""));
    t.comment.push_back(shapeText(p.gas, "krg") + ", krgend=" + n(p.krgend) +
                        (anchored ? ", krgmax=" + n(p.krgmax) : ""));
    t.comment.push_back(shapeText(p.oil, "krog") + ", kroend=" + n(p.kroend) +
                        (close(t.sgro, 0) ? "" : ", kromax=" + n(kromax)));
    return t;
}

std::variant<GasWaterTables, Refusal> gasWaterTables(const GasWaterParameters& p) {
    const Shape straight{.n = 1};
    WaterOilParameters water{.swirr = p.swirr,
                             .swl = p.swl,
                             .swcr = p.swcr,
                             .sorw = p.sgrw,
                             .h = p.h,
                             .water = p.water,
                             .oil = straight,
                             .krwend = p.krwend,
                             .krwmax = p.krwmax,
                             .pc = p.pc};
    GasOilParameters gas{.swirr = p.swirr,
                         .swl = p.swl,
                         .sgcr = p.sgcr,
                         .anchoredToSorg = false,
                         .h = p.h,
                         .gas = p.gas,
                         .oil = straight,
                         .krgend = p.krgend,
                         .krgmax = p.krgmax};
    auto w = waterOilTable(water);
    if (auto* r = std::get_if<Refusal>(&w))
        return *r;
    auto g = gasOilTable(gas);
    if (auto* r = std::get_if<Refusal>(&g))
        return *r;
    GasWaterTables t{std::get<WaterOilTable>(w), std::get<GasOilTable>(g)};
    t.water.comment = {"swirr=" + n(t.water.swirr) + " swl=" + n(t.water.swl) + " swcr=" +
                           n(t.water.swcr) + " sgrw=" + n(t.water.sorw) + " sgcr=" + n(t.gas.sgcr),
                       t.water.comment[1], shapeText(p.gas, "krg") + ", krgend=" + n(p.krgend),
                       t.water.comment[3]};
    t.gas.comment = t.water.comment;
    return t;
}

} // namespace relperm::satfunc
