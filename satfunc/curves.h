// Relative permeability curves of one saturation region, as pyscal defines them from end
// points and Corey or LET exponents: the water-oil table, the gas-oil table, and the
// gas-water pair (a water table and a gas table).
#pragma once

#include "common/refusal.h"
#include "satfunc/capillary.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace relperm::satfunc {

// A curve's shape over its normalised saturation x, 0 to 1: Corey x^n, or LET
// x^L / (x^L + E (1 - x)^T).
struct Shape {
    bool let = false;
    double n = 0; // Corey
    double l = 0, e = 0, t = 0;
};
double shapeValue(const Shape& shape, double x);
std::string shapeText(const Shape& shape, const std::string& kr);

struct WaterOilParameters {
    double swirr = 0, swl = 0, swcr = 0, sorw = 0;
    std::optional<double> socr = std::nullopt;
    double h = 0.01;
    Shape water = {}, oil = {};
    double krwend = 1, krwmax = 1, kroend = 1;
    Capillary pc = {};
};

struct GasOilParameters {
    double swirr = 0, swl = 0, sgcr = 0, sorg = 0, sgro = 0;
    bool anchoredToSorg = true; // krgend at 1 - swl - sorg, krgmax at 1 - swl
    double h = 0.01;
    Shape gas = {}, oil = {};
    double krgend = 1, krgmax = 1, kroend = 1;
    std::optional<double> kromax = std::nullopt;
};

struct GasWaterParameters {
    double swirr = 0, swl = 0, swcr = 0, sgrw = 0, sgcr = 0;
    double h = 0.01;
    Shape water = {}, gas = {};
    double krwend = 1, krwmax = 1, krgend = 1, krgmax = 1;
    Capillary pc = {};
};

// The end points a table was built with, after the adjustments pyscal makes (a socr next
// to sorw taken as sorw, swcr just above swl taken as swl, tiny residuals taken as 0).
struct WaterOilTable {
    double swirr = 0, swl = 0, swcr = 0, sorw = 0, socr = 0;
    std::vector<double> sw, krw, krow, pc;
    std::vector<std::string> comment; // the parameters, for the table's head
};

struct GasOilTable {
    double swl = 0, sgcr = 0, sorg = 0, sgro = 0;
    std::vector<double> sg, krg, krog, pc;
    std::vector<std::string> comment;
};

std::variant<WaterOilTable, Refusal> waterOilTable(const WaterOilParameters& p);
std::variant<GasOilTable, Refusal> gasOilTable(const GasOilParameters& p);

struct GasWaterTables {
    WaterOilTable water; // Sw, krw, Pc; its oil column is no curve
    GasOilTable gas;     // Sg, krg; its oil column is no curve
};
std::variant<GasWaterTables, Refusal> gasWaterTables(const GasWaterParameters& p);

// The end rules of the water curve, applied to krw on its rows: 0 below swcr, krwend at
// 1 - sorw, straight to krwmax at Sw = 1 (only krwend there when sorw is 0).
void applyWaterEnds(const std::vector<double>& sw, std::vector<double>& krw, double swcr,
                    double sorw, double krwend, double krwmax);
// The end rules of the oil curve in water: 0 from 1 - sorw (and beyond 1 - socr), at most
// kroend.
void applyOilInWaterEnds(const std::vector<double>& sw, std::vector<double>& krow, double sorw,
                         double socr, double kroend);
// The end rules of the gas curve: 0 up to sgcr, then krgend and krgmax at the end rows.
void applyGasEnds(const std::vector<double>& sg, std::vector<double>& krg, double swl, double sgcr,
                  double sorg, bool anchored, double krgend, double krgmax);
// The end rules of the oil curve in gas: 0 where gas leaves only sorg, at most kromax,
// kromax at Sg = 0.
void applyOilInGasEnds(const std::vector<double>& sg, std::vector<double>& krog, double swl,
                       double sorg, double kromax);

} // namespace relperm::satfunc
