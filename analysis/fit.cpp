#include "analysis/fit.h"

#include "common/csv.h"
#include "common/numbers.h"
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
// optimiser takes and leaves the least-squares problem smooth. The map is flat at the
// bounds themselves, so a start is taken a little inside them, and a parameter the optimiser
// drives towards a bound is then held on it while the others are fitted again (below).
double bounded(double u, Bounds b) {
    return b.low + (b.high - b.low) * (1 + std::sin(u)) / 2;
}

double unbounded(double p, Bounds b) {
    const double x = std::clamp(2 * (p - b.low) / (b.high - b.low) - 1, -1.0, 1.0);
    return std::asin(x);
}

// How far inside its bounds a start is taken, and how near a bound a fitted value must be
// to be tried on it: a thousandth of the range.
double margin(Bounds b) {
    return 1e-3 * (b.high - b.low);
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

// The model's parameters in the order of boundsOf: Corey n, end; LET L, E, T, end.
std::vector<double*> fieldsOf(FitModel model, CurveParameters& c) {
    if (model == FitModel::Corey)
        return {&c.n, &c.end};
    return {&c.l, &c.e, &c.t, &c.end};
}

double modelKr(FitModel model, const CurveParameters& c, double s) {
    return model == FitModel::Corey ? coreyKr(c, s) : letKr(c, s);
}

// kr below this counts as this in a log misfit: measurements do not resolve less, and the
// log of 0 has no value.
constexpr double logFloor = 1e-4;

// One curve's least-squares problem.
struct CurveProblem {
    const CurvePoints* points;
    FitModel model;
    FitWeight weight;

    double residual(const CurveParameters& c, std::size_t i) const {
        const double kr = modelKr(model, c, points->s[i]);
        if (weight == FitWeight::Kr)
            return kr - points->kr[i];
        return std::log10(std::max(kr, logFloor)) - std::log10(std::max(points->kr[i], logFloor));
    }
    double misfit(const CurveParameters& c) const {
        double sum = 0;
        for (std::size_t i = 0; i < points->s.size(); ++i) {
            const double r = residual(c, i);
            sum += r * r;
        }
        return sum;
    }
};

// The residuals of one curve in the form Eigen's optimiser asks for: the parameters not held
// on a bound, each through the sine map.
struct CurveResiduals {
    using Scalar = double;
    using InputType = Eigen::VectorXd;
    using ValueType = Eigen::VectorXd;
    using JacobianType = Eigen::MatrixXd;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };

    const CurveProblem* problem;
    CurveParameters held;          // the values of the held parameters
    std::vector<std::size_t> free; // indices into boundsOf of the fitted ones

    CurveParameters parameters(const Eigen::VectorXd& u) const {
        CurveParameters c = held;
        const std::vector<Bounds> b = boundsOf(problem->model);
        const std::vector<double*> fields = fieldsOf(problem->model, c);
        for (std::size_t k = 0; k < free.size(); ++k)
            *fields[free[k]] = bounded(u[static_cast<Eigen::Index>(k)], b[free[k]]);
        return c;
    }
    int inputs() const { return static_cast<int>(free.size()); }
    int values() const { return static_cast<int>(problem->points->s.size()); }
    int operator()(const Eigen::VectorXd& u, Eigen::VectorXd& residuals) const {
        const CurveParameters c = parameters(u);
        for (std::size_t i = 0; i < problem->points->s.size(); ++i)
            residuals[static_cast<Eigen::Index>(i)] = problem->residual(c, i);
        return 0;
    }
};

// The least-squares optimum from `start` with the parameters marked in `held` kept as they
// are.
CurveParameters minimise(const CurveProblem& problem, CurveParameters start,
                         const std::vector<bool>& held) {
    const std::vector<Bounds> b = boundsOf(problem.model);
    CurveResiduals residuals{&problem, start, {}};
    for (std::size_t i = 0; i < b.size(); ++i)
        if (!held[i])
            residuals.free.push_back(i);
    if (residuals.free.empty())
        return start;
    const std::vector<double*> fields = fieldsOf(problem.model, start);
    Eigen::VectorXd u(static_cast<Eigen::Index>(residuals.free.size()));
    for (std::size_t k = 0; k < residuals.free.size(); ++k) {
        const Bounds bk = b[residuals.free[k]];
        const double inside =
            std::clamp(*fields[residuals.free[k]], bk.low + margin(bk), bk.high - margin(bk));
        u[static_cast<Eigen::Index>(k)] = unbounded(inside, bk);
    }
    Eigen::NumericalDiff<CurveResiduals> withJacobian(residuals);
    Eigen::LevenbergMarquardt<Eigen::NumericalDiff<CurveResiduals>> optimiser(withJacobian);
    optimiser.parameters.maxfev = 2000;
    optimiser.minimize(u);
    return residuals.parameters(u);
}

// The bounded optimum from `start`. Through the sine map a bound is reached only in the
// limit (an end kr of .99998 where the data say 1, which the simulator then finds differs
// from the other table's 1; an exponent short of the bound it wants), so a parameter that
// ends near a bound is held on it and the others are fitted again; the result is kept when
// it fits as well, to a part in a thousand.
CurveParameters solve(const CurveProblem& problem, const CurveParameters& start) {
    const std::vector<Bounds> b = boundsOf(problem.model);
    std::vector<bool> held(b.size(), false);
    CurveParameters best = minimise(problem, start, held);
    double bestMisfit = problem.misfit(best);
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < b.size(); ++i) {
            if (held[i])
                continue;
            CurveParameters onBound = best;
            double& value = *fieldsOf(problem.model, onBound)[i];
            if (value - b[i].low < margin(b[i]))
                value = b[i].low;
            else if (b[i].high - value < margin(b[i]))
                value = b[i].high;
            else
                continue;
            std::vector<bool> holding = held;
            holding[i] = true;
            const CurveParameters refitted = minimise(problem, onBound, holding);
            const double misfit = problem.misfit(refitted);
            if (std::sqrt(misfit) <= std::sqrt(bestMisfit) * (1 + 1e-3) + 1e-12) {
                best = refitted;
                bestMisfit = misfit;
                held = holding;
                changed = true;
            }
        }
    }
    return best;
}

// The end kr that fits best for exponent n, in closed form (kr is linear in it), within its
// bounds.
double coreyEnd(const CurvePoints& points, double n) {
    double fk = 0, ff = 0;
    for (std::size_t i = 0; i < points.s.size(); ++i) {
        const double f = std::pow(clamp01(points.s[i]), n);
        fk += f * points.kr[i];
        ff += f * f;
    }
    return ff > 0 ? std::clamp(fk / ff, endBounds.low, endBounds.high) : endBounds.high;
}

// Corey starts: the exponent of a scan over its range (each with its best end kr), and the
// straight line through the points on log-log axes (slope n, end kr its value at S = 1).
// The scan finds the valley a single guess can miss (a log-log slope that puts the end kr
// past 1, clamped there, is a poor start).
std::vector<CurveParameters> coreyStarts(const CurveProblem& problem) {
    const CurvePoints& points = *problem.points;
    std::vector<CurveParameters> starts;
    CurveParameters scanned;
    double scannedMisfit = std::numeric_limits<double>::infinity();
    constexpr int steps = 24;
    for (int k = 0; k <= steps; ++k) {
        CurveParameters c;
        c.n = exponentBounds.low *
              std::pow(exponentBounds.high / exponentBounds.low, static_cast<double>(k) / steps);
        c.end = coreyEnd(points, c.n);
        const double misfit = problem.misfit(c);
        if (misfit < scannedMisfit) {
            scannedMisfit = misfit;
            scanned = c;
        }
    }
    starts.push_back(scanned);

    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < points.s.size(); ++i) {
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
    const double spread = n * sxx - sx * sx;
    if (n >= 2 && spread > 0) {
        CurveParameters line;
        const double slope = (n * sxy - sx * sy) / spread;
        line.n = std::clamp(slope, exponentBounds.low, exponentBounds.high);
        line.end = std::clamp(std::exp((sy - slope * sx) / n), endBounds.low, endBounds.high);
        starts.push_back(line);
    }
    return starts;
}

CurveParameters fitCurve(FitModel model, FitWeight weight, const CurvePoints& points) {
    const CurveProblem coreyProblem{&points, FitModel::Corey, weight};
    CurveParameters corey;
    double coreyMisfit = std::numeric_limits<double>::infinity();
    for (const CurveParameters& start : coreyStarts(coreyProblem)) {
        const CurveParameters fitted = solve(coreyProblem, start);
        const double misfit = coreyProblem.misfit(fitted);
        if (misfit < coreyMisfit) {
            coreyMisfit = misfit;
            corey = fitted;
        }
    }
    if (model == FitModel::Corey)
        return corey;
    // LET has shallow valleys in which one start can stall; a few starts around the Corey
    // curve (LET with E = 1, T = 1 and L = n is close to it for small S) cost little.
    const CurveProblem letProblem{&points, FitModel::Let, weight};
    CurveParameters best;
    double bestMisfit = std::numeric_limits<double>::infinity();
    for (const std::array<double, 3>& let :
         {std::array<double, 3>{corey.n, 1, 1}, {corey.n, 1, 2}, {2, 10, 1}, {2, 0.1, 3}}) {
        CurveParameters start;
        start.l = std::clamp(let[0], lBounds.low, lBounds.high);
        start.e = let[1];
        start.t = let[2];
        start.end = corey.end;
        const CurveParameters fitted = solve(letProblem, start);
        const double misfit = letProblem.misfit(fitted);
        if (misfit < bestMisfit) {
            bestMisfit = misfit;
            best = fitted;
        }
    }
    return best;
}

double sumOfSquares(FitModel model, const CurveParameters& c, const CurvePoints& points) {
    return CurveProblem{&points, model, FitWeight::Kr}.misfit(c);
}

// Why a curve's points cannot determine the model's parameters, or nothing: a curve of
// zeros (its end kr would be 0, which no simulator takes), or points at too few saturations
// above the curve's start (S = 0, where every curve is 0): each exponent needs a saturation
// between the start and the end besides the one the end kr can be read at.
std::optional<std::string> undetermined(FitModel model, const CurvePoints& points,
                                        const std::string& name) {
    if (std::none_of(points.kr.begin(), points.kr.end(), [](double kr) { return kr > 0; }))
        return name + " is 0 at every point, so no curve can be fitted to it (its end kr "
                      "would be 0).";
    std::vector<double> above;
    for (double s : points.s)
        if (s > 0)
            above.push_back(std::min(s, 1.0));
    std::sort(above.begin(), above.end());
    above.erase(std::unique(above.begin(), above.end()), above.end());
    const std::size_t interior = static_cast<std::size_t>(
        std::count_if(above.begin(), above.end(), [](double s) { return s < 1; }));
    const std::size_t parameters = boundsOf(model).size();
    if (above.size() >= parameters && interior + 1 >= parameters)
        return std::nullopt;
    return name + " has points at " + std::to_string(interior) +
           (interior == 1 ? " saturation" : " saturations") + " between its start and its end; a " +
           fitModelName(model) + " curve needs " + std::to_string(parameters - 1) +
           " to determine its " + (model == FitModel::Corey ? "exponent" : "L, E and T") +
           " besides its end kr.";
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

// The kr each curve is, as messages name it.
struct CurveKrNames {
    std::string rising, falling;
};

CurveKrNames curveKrNames(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {"krw", "krow"};
    case TwoPhaseSystem::GasWater:
        return {"krg", "krw"};
    case TwoPhaseSystem::GasCondensate:
        return {"krg", "krcg"};
    case TwoPhaseSystem::GasOil:
        break;
    }
    return {"krg", "krog"};
}

// The shape parameters (Corey n; LET L, E, T) that ended on a bound of their range.
std::vector<std::string> shapeOnBounds(const FittedSet& fit) {
    const CurveNames names = curveNames(fit.system);
    const std::vector<Bounds> bounds = boundsOf(fit.model);
    const std::vector<std::string> prefixes = fit.model == FitModel::Corey
                                                  ? std::vector<std::string>{"n"}
                                                  : std::vector<std::string>{"l", "e", "t"};
    std::vector<std::string> out;
    for (const auto& [curve, letter] :
         {std::pair{fit.rising, names.rising}, {fit.falling, names.falling}}) {
        CurveParameters c = curve;
        const std::vector<double*> fields = fieldsOf(fit.model, c);
        for (std::size_t i = 0; i < prefixes.size(); ++i) {
            const Bounds b = bounds[i];
            const double v = *fields[i];
            const double near = 1e-6 * (b.high - b.low);
            if (std::abs(v - b.low) <= near)
                out.push_back(prefixes[i] + letter + " at its lower bound " + formatGeneral(b.low));
            else if (std::abs(v - b.high) <= near)
                out.push_back(prefixes[i] + letter + " at its upper bound " +
                              formatGeneral(b.high));
        }
    }
    return out;
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

    const CurveKrNames kr = curveKrNames(system);
    for (const auto& [points, name] : {std::pair{&rising, kr.rising}, {&falling, kr.falling}})
        if (auto why = undetermined(model, *points, name))
            return Refusal{"points", "The data set cannot be fitted: " + *why};

    FittedSet fit;
    fit.system = system;
    fit.model = model;
    fit.ends = endPointsOf(system, set);
    fit.points = set.pointCount;
    fit.rising = fitCurve(model, options.weight, rising);
    fit.falling = fitCurve(model, options.weight, falling);
    const double sum =
        sumOfSquares(model, fit.rising, rising) + sumOfSquares(model, fit.falling, falling);
    fit.rms = std::sqrt(sum / (2.0 * set.pointCount));
    fit.onBounds = shapeOnBounds(fit);
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

std::string fitParametersCsv(const std::vector<FittedSet>& fits, LineEnd lineEnd) {
    CsvWriter csv(lineEnd);
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
