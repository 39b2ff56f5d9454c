#include "analysis/fit.h"

#include "common/csv.h"
#include "database/computableset.h"
#include "database/display.h"

#include <Eigen/Core>
#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace relperm {

namespace {

struct Bounds {
    double low;
    double high;
};

constexpr Bounds exponentBounds{0.5, 10};
constexpr Bounds lBounds{0.5, 10};
constexpr Bounds eBounds{0.01, 100};
constexpr Bounds tBounds{0.5, 10};
constexpr Bounds endBounds{0, 1};

// Eigen's Levenberg-Marquardt has no bounds, so each parameter is fitted through
// p = low + (high - low) (1 + sin u) / 2, which stays within its bounds whatever u the
// optimiser takes and leaves the least-squares problem smooth.
double bounded(double u, Bounds b) {
    return b.low + (b.high - b.low) * (1 + std::sin(u)) / 2;
}

double unbounded(double p, Bounds b) {
    const double x = std::clamp(2 * (p - b.low) / (b.high - b.low) - 1, -1.0, 1.0);
    return std::asin(x);
}

double clamp01(double s) {
    return std::clamp(s, 0.0, 1.0);
}

double coreyKr(const CurveParameters& c, double s) {
    return c.end * std::pow(clamp01(s), c.n);
}

double letKr(const CurveParameters& c, double s) {
    s = clamp01(s);
    const double rise = std::pow(s, c.l);
    const double fall = c.e * std::pow(1 - s, c.t);
    return rise + fall > 0 ? c.end * rise / (rise + fall) : 0.0;
}

// One curve's points, its saturation measured from the curve's zero (S for the rising
// curve, 1 - S for the falling one), so both curves are fitted as rising.
struct CurvePoints {
    std::vector<double> s;
    std::vector<double> kr;
};

std::vector<Bounds> boundsOf(FitModel model) {
    if (model == FitModel::Corey)
        return {exponentBounds, endBounds};
    return {lBounds, eBounds, tBounds, endBounds};
}

CurveParameters parametersOf(FitModel model, const Eigen::VectorXd& u) {
    const std::vector<Bounds> b = boundsOf(model);
    CurveParameters c;
    if (model == FitModel::Corey) {
        c.n = bounded(u[0], b[0]);
        c.end = bounded(u[1], b[1]);
    } else {
        c.l = bounded(u[0], b[0]);
        c.e = bounded(u[1], b[1]);
        c.t = bounded(u[2], b[2]);
        c.end = bounded(u[3], b[3]);
    }
    return c;
}

Eigen::VectorXd unboundedOf(FitModel model, const CurveParameters& c) {
    const std::vector<Bounds> b = boundsOf(model);
    Eigen::VectorXd u(static_cast<Eigen::Index>(b.size()));
    if (model == FitModel::Corey) {
        u << unbounded(c.n, b[0]), unbounded(c.end, b[1]);
    } else {
        u << unbounded(c.l, b[0]), unbounded(c.e, b[1]), unbounded(c.t, b[2]),
            unbounded(c.end, b[3]);
    }
    return u;
}

double modelKr(FitModel model, const CurveParameters& c, double s) {
    return model == FitModel::Corey ? coreyKr(c, s) : letKr(c, s);
}

// The residuals of one curve in the form Eigen's optimiser asks for.
struct CurveResiduals {
    using Scalar = double;
    using InputType = Eigen::VectorXd;
    using ValueType = Eigen::VectorXd;
    using JacobianType = Eigen::MatrixXd;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };

    const CurvePoints* points;
    FitModel model;

    int inputs() const { return model == FitModel::Corey ? 2 : 4; }
    int values() const { return static_cast<int>(points->s.size()); }

    int operator()(const Eigen::VectorXd& u, Eigen::VectorXd& residuals) const {
        const CurveParameters c = parametersOf(model, u);
        for (std::size_t i = 0; i < points->s.size(); ++i)
            residuals[static_cast<Eigen::Index>(i)] =
                modelKr(model, c, points->s[i]) - points->kr[i];
        return 0;
    }
};

double sumOfSquares(FitModel model, const CurveParameters& c, const CurvePoints& points) {
    double sum = 0;
    for (std::size_t i = 0; i < points.s.size(); ++i) {
        const double r = modelKr(model, c, points.s[i]) - points.kr[i];
        sum += r * r;
    }
    return sum;
}

// The Corey guess in closed form: a straight line through the points on log-log axes gives
// the exponent as its slope and the end kr from its value at S = 1.
CurveParameters coreyGuess(const CurvePoints& points) {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    double largest = 0;
    for (std::size_t i = 0; i < points.s.size(); ++i) {
        largest = std::max(largest, points.kr[i]);
        if (points.s[i] <= 0 || points.s[i] >= 1 || points.kr[i] <= 0)
            continue;
        const double x = std::log(points.s[i]);
        const double y = std::log(points.kr[i]);
        n += 1;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    CurveParameters c;
    c.n = 2;
    c.end = std::clamp(largest, endBounds.low, endBounds.high);
    const double spread = n * sxx - sx * sx;
    if (n >= 2 && spread > 0) {
        const double slope = (n * sxy - sx * sy) / spread;
        const double intercept = (sy - slope * sx) / n;
        c.n = std::clamp(slope, exponentBounds.low, exponentBounds.high);
        c.end = std::clamp(std::exp(intercept), endBounds.low, endBounds.high);
    }
    return c;
}

// Through the sine the optimiser reaches a bound only in the limit, leaving an end kr of
// .99998 where the data say 1, which the simulator then finds differs from the other
// table's 1. A parameter that close to a bound is put on it when the misfit grows by less
// than kr is ever measured to (1E-05).
CurveParameters ontoBounds(FitModel model, const CurvePoints& points, CurveParameters fit) {
    const std::vector<Bounds> bounds = boundsOf(model);
    std::vector<double*> values = model == FitModel::Corey
                                      ? std::vector<double*>{&fit.n, &fit.end}
                                      : std::vector<double*>{&fit.l, &fit.e, &fit.t, &fit.end};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Bounds b = bounds[i];
        const double near = 1e-4 * (b.high - b.low);
        for (double bound : {b.low, b.high}) {
            if (std::fabs(*values[i] - bound) >= near || *values[i] == bound)
                continue;
            const auto rms = [&] {
                return std::sqrt(sumOfSquares(model, fit, points) /
                                 static_cast<double>(points.s.size()));
            };
            const double before = rms();
            const double kept = *values[i];
            *values[i] = bound;
            if (rms() > before + 1e-5)
                *values[i] = kept;
        }
    }
    return fit;
}

CurveParameters refine(FitModel model, const CurvePoints& points, const CurveParameters& start) {
    CurveResiduals residuals{&points, model};
    Eigen::NumericalDiff<CurveResiduals> withJacobian(residuals);
    Eigen::LevenbergMarquardt<Eigen::NumericalDiff<CurveResiduals>> optimiser(withJacobian);
    optimiser.parameters.maxfev = 2000;
    Eigen::VectorXd u = unboundedOf(model, start);
    optimiser.minimize(u);
    return ontoBounds(model, points, parametersOf(model, u));
}

CurveParameters fitCurve(FitModel model, const CurvePoints& points) {
    const CurveParameters corey = refine(FitModel::Corey, points, coreyGuess(points));
    if (model == FitModel::Corey)
        return corey;
    // LET has shallow valleys in which one start can stall; a few starts around the Corey
    // curve (LET with E = 1, T = 1 and L = n is close to it for small S) cost little.
    CurveParameters best;
    double bestSum = std::numeric_limits<double>::infinity();
    for (const std::array<double, 3>& let :
         {std::array<double, 3>{corey.n, 1, 1}, {corey.n, 1, 2}, {2, 10, 1}, {2, 0.1, 3}}) {
        CurveParameters start;
        start.l = std::clamp(let[0], lBounds.low, lBounds.high);
        start.e = let[1];
        start.t = let[2];
        start.end = corey.end;
        const CurveParameters fitted = refine(FitModel::Let, points, start);
        const double sum = sumOfSquares(FitModel::Let, fitted, points);
        if (sum < bestSum) {
            bestSum = sum;
            best = fitted;
        }
    }
    return best;
}

FitEndPoints endPointsOf(TwoPhaseSystem system, const MeasuredDataSet& set) {
    FitEndPoints ends;
    ends.swl = set.connateWater.value();
    if (system == TwoPhaseSystem::WaterOil) {
        ends.sorw = set.residualOilToWater.value();
        return ends;
    }
    ends.sgcr = set.criticalGas.value();
    if (system == TwoPhaseSystem::GasOil)
        ends.sorg = set.residualOilToGas.value();
    return ends;
}

// The first letter pyscal gives the rising and the falling curve's parameters, and the names
// of their end kr values.
struct CurveNames {
    std::string rising, falling, risingEnd, fallingEnd;
};

CurveNames curveNames(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {"w", "ow", "krwend", "kroend"};
    case TwoPhaseSystem::GasWater:
        return {"g", "w", "krgend", "krwend"};
    case TwoPhaseSystem::GasOil:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {"g", "og", "krgend", "kroend"};
}

} // namespace

std::optional<FitModel> fitModelNamed(const std::string& name) {
    if (name == "corey")
        return FitModel::Corey;
    if (name == "let")
        return FitModel::Let;
    return std::nullopt;
}

std::string fitModelName(FitModel model) {
    return model == FitModel::Corey ? "Corey" : "LET";
}

double risingKr(FitModel model, const CurveParameters& curve, double s) {
    return modelKr(model, curve, s);
}

double fallingKr(FitModel model, const CurveParameters& curve, double s) {
    return modelKr(model, curve, 1 - clamp01(s));
}

std::optional<FitWeight> fitWeightNamed(const std::string& name) {
    if (name == "kr")
        return FitWeight::Kr;
    if (name == "log")
        return FitWeight::Log;
    return std::nullopt;
}

std::variant<FittedSet, Refusal> fitDataSet(TwoPhaseSystem system, const MeasuredDataSet& set,
                                            FitModel model, const FitOptions& options) {
    const int needed = model == FitModel::Corey ? 2 : 4;
    if (set.pointCount < needed)
        return Refusal{"points", "The data set has " + std::to_string(set.pointCount) +
                                     (set.pointCount == 1 ? " point" : " points") + "; a " +
                                     fitModelName(model) + " fit needs at least " +
                                     std::to_string(needed) + "."};
    if (auto refusal = checkSetValues(system, set))
        return *refusal;

    CurvePoints rising;
    CurvePoints falling;
    for (int i = 1; i <= set.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const double s = clamp01(set.normSat[at]);
        rising.s.push_back(s);
        rising.kr.push_back(set.krAxis[at]);
        falling.s.push_back(1 - s);
        falling.kr.push_back(set.krOther[at]);
    }

    FittedSet fit;
    fit.system = system;
    fit.model = model;
    fit.ends = endPointsOf(system, set);
    fit.points = set.pointCount;
    fit.rising = fitCurve(model, rising);
    fit.falling = fitCurve(model, falling);
    const double sum =
        sumOfSquares(model, fit.rising, rising) + sumOfSquares(model, fit.falling, falling);
    fit.rms = std::sqrt(sum / (2.0 * set.pointCount));
    return fit;
}

std::vector<std::string> fitParameterNames(TwoPhaseSystem system, FitModel model) {
    const CurveNames c = curveNames(system);
    std::vector<std::string> names = {"swl"};
    if (system == TwoPhaseSystem::WaterOil)
        names.insert(names.end(), {"swcr", "sorw"});
    else if (system == TwoPhaseSystem::GasWater)
        names.insert(names.end(), {"sgcr", "sgrw"});
    else
        names.insert(names.end(), {"sgcr", "sorg", "sgro"});
    // pyscal lists the water curve first in gas-water tables.
    const bool waterFirst = system == TwoPhaseSystem::GasWater;
    const std::string& first = waterFirst ? c.falling : c.rising;
    const std::string& second = waterFirst ? c.rising : c.falling;
    if (model == FitModel::Corey) {
        names.insert(names.end(), {"n" + first, "n" + second});
    } else {
        for (const std::string& curve : {first, second})
            names.insert(names.end(), {"l" + curve, "e" + curve, "t" + curve});
    }
    names.insert(names.end(), {waterFirst ? c.fallingEnd : c.risingEnd,
                               waterFirst ? c.risingEnd : c.fallingEnd, "rms"});
    return names;
}

std::vector<double> fitParameterValues(const FittedSet& fit) {
    std::vector<double> values = {fit.ends.swl};
    // Our curves of the gas systems are functions of S alone, so the falling one is flat
    // at its end kr below Sgcr (krog) or from 1 - Sgcr (krw). pyscal normalises krog from
    // Sg = 0 unless sgro says Sgcr, and krw up to Sw = 1 unless sgrw says 1 - Sgcr; with
    // both at Sgcr its curves are ours.
    if (fit.system == TwoPhaseSystem::WaterOil)
        values.insert(values.end(), {fit.ends.swl, fit.ends.sorw});
    else if (fit.system == TwoPhaseSystem::GasWater)
        values.insert(values.end(), {fit.ends.sgcr, fit.ends.sgcr});
    else
        values.insert(values.end(), {fit.ends.sgcr, fit.ends.sorg, fit.ends.sgcr});
    const bool waterFirst = fit.system == TwoPhaseSystem::GasWater;
    const CurveParameters& first = waterFirst ? fit.falling : fit.rising;
    const CurveParameters& second = waterFirst ? fit.rising : fit.falling;
    if (fit.model == FitModel::Corey) {
        values.insert(values.end(), {first.n, second.n});
    } else {
        for (const CurveParameters* curve : {&first, &second})
            values.insert(values.end(), {curve->l, curve->e, curve->t});
    }
    values.insert(values.end(), {first.end, second.end, fit.rms});
    return values;
}

std::string fitParametersCsv(const std::vector<FittedSet>& fits) {
    CsvWriter csv;
    if (fits.empty())
        return csv.str();
    // Unquoted: pyscal matches its parameter columns by these names.
    csv.name("satnum");
    for (const std::string& name : fitParameterNames(fits.front().system, fits.front().model))
        csv.name(name);
    csv.endLine();
    std::int64_t satnum = 0;
    for (const FittedSet& fit : fits) {
        csv.integer(++satnum);
        for (double value : fitParameterValues(fit))
            csv.number(value);
        csv.endLine();
    }
    return csv.str();
}

SaturationTables curveTables(TwoPhaseSystem system, const FitEndPoints& e, double spacingPercent,
                             const std::function<double(double)>& risingAt,
                             const std::function<double(double)>& fallingAt) {
    const bool water = system == TwoPhaseSystem::WaterOil;
    const double lower = water ? e.swl : e.sgcr;
    const double upper = water ? 1 - e.sorw : 1 - e.swl - e.sorg;
    const double spacing = spacingPercent / 100;
    // The saturations: the lower end point, every multiple of the spacing between (the
    // calculator's rows), the upper end point; gas tables start at Sg = 0. The multiples
    // are counted within 0 to 1 whatever the end points, so no value can make the table
    // grow without end; end points outside that range reach the writer, which refuses them.
    std::vector<double> saturations;
    if (!water && lower > 0)
        saturations.push_back(0);
    saturations.push_back(lower);
    if (spacing > 0) {
        // Written so that NaN, which std::clamp passes through, gives the whole range.
        const double from = lower > 0 ? std::min(lower, 1.0) : 0.0;
        const double to = upper < 1 ? std::max(upper, 0.0) : 1.0;
        const int last = static_cast<int>(std::min(std::ceil(1 / spacing), 1e6));
        for (int k = static_cast<int>(std::floor(from / spacing)) + 1; k <= last; ++k) {
            const double s = k * spacing;
            if (s >= to - 1e-12)
                break;
            if (s > lower + 1e-12)
                saturations.push_back(s);
        }
    }
    saturations.push_back(upper);

    SaturationTables tables;
    tables.swc = e.swl;
    tables.liquid = system == TwoPhaseSystem::GasCondensate ? "krcg" : "krog";
    if (system == TwoPhaseSystem::GasWater)
        tables.liquid = "krw";
    for (double saturation : saturations) {
        const double s = (saturation - lower) / (upper - lower);
        const double rising = risingAt(s);
        const double falling = fallingAt(s);
        if (water)
            tables.waterOil.push_back({saturation, rising, falling});
        else
            tables.gas.push_back({saturation, falling, rising});
    }
    return tables;
}

SaturationTables fittedTables(const FittedSet& fit, double spacingPercent) {
    return curveTables(
        fit.system, fit.ends, spacingPercent,
        [&](double s) { return risingKr(fit.model, fit.rising, s); },
        [&](double s) { return fallingKr(fit.model, fit.falling, s); });
}

} // namespace relperm
