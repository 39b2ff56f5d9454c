// Capillary pressure of the water table, in the models pyscal offers, in bar (the LET and
// Skjaeveland models in the units of their own constants).
#pragma once

#include "common/refusal.h"

#include <string>
#include <variant>
#include <vector>

namespace relperm::satfunc {

// J = a Swn^b, Pc = J sqrt(poro_ref / perm_ref) drho g / 1e5 (perm in mD, drho in kg/m3).
// The petrophysical form gives J = (Swn / a)^(1 / b) and is turned into this one.
struct SimpleJ {
    double a = 0, b = 0, poroRef = 0, permRef = 0, drho = 0, g = 9.81;
    bool petrophysical = false; // a and b as a_petro and b_petro
};

// Pc = (Swn / a)^(1 / b) / sqrt(k / poro) sigma_costau / 1000 / 1e5, k in m2 from mD.
struct NormalisedJ {
    double a = 0, b = 0, poro = 0, perm = 0, sigmaCostau = 0;
};

// Primary drainage: from pcmax at swcr down to 0 at Sw = 1, pct the threshold.
struct LetDrainage {
    double lp = 0, ep = 0, tp = 0, lt = 0, et = 0, tt = 0, pcmax = 0, pct = 0;
};

// Imbibition: from pcmax at swirr to pcmin at 1 - sorw.
struct LetImbibition {
    double ls = 0, es = 0, ts = 0, lf = 0, ef = 0, tf = 0, pcmax = 0, pcmin = 0, pct = 0;
};

// Pc = cw / u^aw + co / v^ao, u and v the water and oil saturations normalised to swirr and
// sorw.
struct Skjaeveland {
    double cw = 0, co = 0, aw = 0, ao = 0;
};

using Capillary =
    std::variant<std::monostate, SimpleJ, NormalisedJ, LetDrainage, LetImbibition, Skjaeveland>;

// The end points a model reads besides its own constants.
struct CapillaryEnds {
    double swirr = 0, swl = 0, swcr = 0, sorw = 0;
};

// Pc on the rows `sw` (0 for no model), or the refusal of a model its constants or end
// points rule out, or of a Pc that is not finite.
std::variant<std::vector<double>, Refusal>
capillaryPressure(const Capillary& model, const std::vector<double>& sw, const CapillaryEnds& ends);

// The model and its constants, for the table's head.
std::string capillaryText(const Capillary& model);

} // namespace relperm::satfunc
