// Corey and LET curves fitted to a measured data set: the smooth family with a few
// parameters a simulator deck is built from, named as pyscal names them so a parameter
// file we write is one pyscal reads.
//
// Both curves of a set are functions of its own normalised saturation S (the stored normSat,
// 0 at the lower end point, 1 at the upper): the rising curve is the displacing phase's kr
// (krw in water-oil data, krg in the gas systems), the falling one the other phase's (krow,
// krog, krcg, or krw in gas-water data).
//   Corey: rising = end * S^n,                         falling = end * (1 - S)^n
//   LET:   rising = end * S^L / (S^L + E (1 - S)^T),   falling = the same in 1 - S
// The end points are the set's; the exponents and the two end kr values are fitted.
#pragma once

#include "common/csv.h"
#include "common/refusal.h"
#include "common/simulatorfile.h"
#include "database/datafile.h"
#include "database/search.h"

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace relperm {

enum class FitModel { Corey, Let };

// "corey" or "let", as the command line names them; nothing else is a model.
std::optional<FitModel> fitModelNamed(const std::string& name);
// The model as the windows, legends and files name it: "Corey", "LET".
std::string fitModelName(FitModel model);

// One curve's parameters: Corey uses n; LET uses l, e, t. `end` is kr at the curve's end
// (S = 1 for the rising curve, S = 0 for the falling one).
struct CurveParameters {
    double n = 0;
    double l = 0;
    double e = 0;
    double t = 0;
    double end = 0;
};

// The saturation end points of a set as fractions, from its header: swl (= swcr = Swc, or
// Slc in gas-condensate data), sorw (water-oil), sgcr and sorg (gas-oil; sorg 0 for
// gas-water and gas-condensate, whose sets carry none).
struct FitEndPoints {
    double swl = 0;
    double sorw = 0;
    double sgcr = 0;
    double sorg = 0;
};

// What the fit minimises: the misfit of kr itself (every point weighs alike, so the
// high-kr part of a curve dominates), or of log10 kr above a floor of 1e-4 (kr below it
// counts as the floor), which weighs the low-kr ends that control breakthrough and the
// residual oil.
enum class FitWeight { Kr, Log };
// "kr" or "log", as the command line names them.
std::optional<FitWeight> fitWeightNamed(const std::string& name);

struct FitOptions {
    FitWeight weight = FitWeight::Kr;
};

struct FittedSet {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    FitModel model = FitModel::Corey;
    FitEndPoints ends;
    CurveParameters rising;
    CurveParameters falling;
    double rms = 0; // root-mean-square misfit of kr over both curves' points
    int points = 0;
    // The parameters that ended on a bound of their range, pyscal-named with the bound:
    // "nw at its upper bound 10". An exponent there says the model could not follow the
    // data, and the value is the bound's, not the data's.
    std::vector<std::string> onBounds = {};
};

// Fits `model` to the set's points by bounded nonlinear least squares on kr (Corey
// exponents and LET L, T in 0.5 to 10, E in 0.01 to 100, end kr in 0 to 1), started from a
// closed-form guess. A set with fewer points than the model has parameters on a curve, or
// whose end points leave no saturation range, is refused with the reason.
std::variant<FittedSet, Refusal> fitDataSet(TwoPhaseSystem system, const MeasuredDataSet& set,
                                            FitModel model, const FitOptions& options = {});

// kr of the fitted curves at normalised saturation `s` (taken into 0..1).
double risingKr(FitModel model, const CurveParameters& curve, double s);
double fallingKr(FitModel model, const CurveParameters& curve, double s);

// The parameter file: "satnum," then the names pyscal gives the model's parameters for the
// set's system, then "rms"; one row per fit (satnum 1, 2, ...). Fits of one system and model.
std::string fitParametersCsv(const std::vector<FittedSet>& fits, LineEnd lineEnd = LineEnd::CrLf);
// The column names of that file after satnum, rms included.
std::vector<std::string> fitParameterNames(TwoPhaseSystem system, FitModel model);
// The values in the order of fitParameterNames.
std::vector<double> fitParameterValues(const FittedSet& fit);

// The fitted curves as simulator tables: rows at the lower end point, at every multiple of
// `spacingPercent` of saturation between, and at the upper end point (gas tables start at
// Sg = 0). The simulator writer adds the end rows.
SaturationTables fittedTables(const FittedSet& fit, double spacingPercent);
// The same rows for any pair of curves on normalised saturation between `ends`.
SaturationTables curveTables(TwoPhaseSystem system, const FitEndPoints& ends, double spacingPercent,
                             const std::function<double(double)>& rising,
                             const std::function<double(double)>& falling);

} // namespace relperm
