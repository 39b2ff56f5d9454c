#include "satfunc/interpolation.h"

#include "common/linear.h"
#include "common/numbers.h"
#include "satfunc/rows.h"

#include <algorithm>
#include <cmath>

namespace relperm::satfunc {

namespace {

std::string n(double v) {
    return formatGeneral(v);
}

double largest(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

double smallest(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

// A table's column as a function of the normalised saturation s, its saturations running
// from `from` over `span`: 0 below the table, its largest value above.
struct Normalised {
    std::vector<double> at, values;
    double from = 0, span = 1;
    double operator()(double s) const {
        return linearAt(at, values, from + s * span, 0, largest(values));
    }
};

// Against the other phase's saturation (1 - S), read from the table's end.
Normalised reversed(const std::vector<double>& sat, const std::vector<double>& values,
                    double shift) {
    Normalised f;
    for (std::size_t i = sat.size(); i-- > 0;) {
        f.at.push_back(1 - sat[i] - shift);
        f.values.push_back(values[i]);
    }
    return f;
}

// Pc of a case at the fraction x of its saturation range, held at its largest and smallest
// value outside it.
double pcAt(const std::vector<double>& sat, const std::vector<double>& pc, double x) {
    const double s = sat.front() + x * (sat.back() - sat.front());
    return linearAt(sat, pc, s, largest(pc), smallest(pc));
}

struct Mix {
    double p; // |t|
    double operator()(double a, double b) const { return (1 - p) * a + p * b; }
};

std::optional<Refusal> checkT(double t) {
    if (!(std::abs(t) <= 1))
        return Refusal{"int-param", "The interpolation parameter must lie from -1 (low) to 1 "
                                    "(high); it is " +
                                        n(t) + "."};
    return std::nullopt;
}

// A t within rounding of -1, 0 or 1 stands for that case, whose own table (on its own rows)
// is taken as it is; nothing for a t between.
template <class Cases> auto caseAt(const Cases& cases, double t) -> decltype(cases.base) {
    if (std::abs(t) <= 1e-8)
        return cases.base;
    if (std::abs(t + 1) <= 1.001e-5)
        return cases.low;
    if (std::abs(t - 1) <= 1.001e-5)
        return cases.high;
    return nullptr;
}

std::string caseNote(double t) {
    return "SCAL recommendation interpolation to " + n(t);
}

} // namespace

std::variant<WaterOilTable, Refusal> interpolateWaterOil(const CaseTables& cases, double t,
                                                         double h) {
    if (auto r = checkT(t))
        return *r;
    if (const WaterOilTable* copy = caseAt(cases, t))
        return *copy;
    const WaterOilTable& a = *cases.base;
    const WaterOilTable& b = t < 0 ? *cases.low : *cases.high;
    const Mix mix{std::abs(t)};

    // The new end points, prepared as any table's are, laid out on their own rows.
    WaterOilParameters ends{.swirr = 0,
                            .swl = mix(a.swl, b.swl),
                            .swcr = mix(a.swcr, b.swcr),
                            .sorw = mix(a.sorw, b.sorw),
                            .socr = mix(a.socr, b.socr),
                            .h = h,
                            .water = {.n = 1},
                            .oil = {.n = 1}};
    auto prepared = waterOilTable(ends);
    if (auto* r = std::get_if<Refusal>(&prepared))
        return *r;
    WaterOilTable out = std::get<WaterOilTable>(std::move(prepared));

    const auto water = [](const WaterOilTable& c) {
        return Normalised{c.sw, c.krw, c.swcr, 1 - c.swcr - c.sorw};
    };
    const auto oil = [](const WaterOilTable& c) {
        Normalised f = reversed(c.sw, c.krow, 0);
        f.from = c.socr;
        f.span = 1 - c.socr - c.swl;
        return f;
    };
    const Normalised wa = water(a), wb = water(b), oa = oil(a), ob = oil(b);
    for (std::size_t i = 0; i < out.sw.size(); ++i) {
        const double swn = (out.sw[i] - out.swcr) / (1 - out.swcr - out.sorw);
        const double son = (1 - out.sw[i] - out.socr) / (1 - out.swl - out.socr);
        out.krw[i] = mix(wa(swn), wb(swn));
        out.krow[i] = mix(oa(son), ob(son));
    }
    const double krwend = mix(wa(1), wb(1));
    const double krwmax = mix(largest(a.krw), largest(b.krw));
    const double kroend = mix(oa(1), ob(1));
    applyWaterEnds(out.sw, out.krw, out.swcr, out.sorw, krwend, krwmax);
    applyOilInWaterEnds(out.sw, out.krow, out.sorw, out.socr, kroend);

    const double first = out.sw.front(), last = out.sw.back();
    for (std::size_t i = 0; i < out.sw.size(); ++i) {
        const double x = (out.sw[i] - first) / (last - first);
        out.pc[i] = mix(pcAt(a.sw, a.pc, x), pcAt(b.sw, b.pc, x));
    }
    out.comment = {caseNote(t), out.comment[0],
                   "krwend=" + n(krwend) + " krwmax=" + n(krwmax) + " kroend=" + n(kroend)};
    return out;
}

std::variant<GasOilTable, Refusal> interpolateGasOil(const GasCaseTables& cases, double t,
                                                     double h) {
    if (auto r = checkT(t))
        return *r;
    if (const GasOilTable* copy = caseAt(cases, t))
        return *copy;
    const GasOilTable& a = *cases.base;
    const GasOilTable& b = t < 0 ? *cases.low : *cases.high;
    const Mix mix{std::abs(t)};

    const double sgcr = mix(a.sgcr, b.sgcr);
    const double sgro = mix(a.sgro, b.sgro);
    if (!close(sgro, 0) && !close(sgro, sgcr))
        return Refusal{"sgro", "Between the cases sgro (" + n(sgro) + ") is neither 0 nor sgcr (" +
                                   n(sgcr) +
                                   "): give every case sgro 0, or every case sgro = sgcr."};
    GasOilParameters ends{.swl = mix(a.swl, b.swl),
                          .sgcr = sgcr,
                          .sorg = mix(a.sorg, b.sorg),
                          .sgro = sgro,
                          .h = h,
                          .gas = {.n = 1},
                          .oil = {.n = 1}};
    auto prepared = gasOilTable(ends);
    if (auto* r = std::get_if<Refusal>(&prepared))
        return *r;
    GasOilTable out = std::get<GasOilTable>(std::move(prepared));

    const auto gas = [](const GasOilTable& c) {
        return Normalised{c.sg, c.krg, c.sgcr, 1 - c.swl - c.sgcr - c.sorg};
    };
    const auto oil = [](const GasOilTable& c) {
        Normalised f = reversed(c.sg, c.krog, 0);
        f.from = c.swl + c.sorg;
        f.span = 1 - c.swl - c.sorg - c.sgro;
        return f;
    };
    const Normalised ga = gas(a), gb = gas(b), oa = oil(a), ob = oil(b);
    const bool anchored = out.sorg > 0;
    const double range = anchored ? 1 - out.swl - out.sgcr - out.sorg : 1 - out.swl - out.sgcr;
    for (std::size_t i = 0; i < out.sg.size(); ++i) {
        const double sgn = (out.sg[i] - out.sgcr) / range;
        const double son =
            (1 - out.sg[i] - out.sorg - out.swl) / (1 - out.sorg - out.swl - out.sgro);
        out.krg[i] = mix(ga(sgn), gb(sgn));
        out.krog[i] = mix(oa(son), ob(son));
    }
    const double krgend = mix(ga(1), gb(1));
    const double krgmax = mix(largest(a.krg), largest(b.krg));
    const double kroend = mix(oa(1), ob(1));
    double kromax = mix(largest(a.krog), largest(b.krog));
    if (close(out.sgro, 0))
        kromax = kroend;
    applyOilInGasEnds(out.sg, out.krog, out.swl, out.sorg, kromax);
    applyGasEnds(out.sg, out.krg, out.swl, out.sgcr, out.sorg, anchored, krgend, krgmax);

    const double first = out.sg.front(), last = out.sg.back();
    for (std::size_t i = 0; i < out.sg.size(); ++i) {
        const double x = (out.sg[i] - first) / (last - first);
        out.pc[i] = mix(pcAt(a.sg, a.pc, x), pcAt(b.sg, b.pc, x));
    }
    out.comment = {caseNote(t), out.comment[0],
                   "krgend=" + n(krgend) + " krgmax=" + n(krgmax) + " kroend=" + n(kroend) +
                       " kromax=" + n(kromax)};
    return out;
}

} // namespace relperm::satfunc
