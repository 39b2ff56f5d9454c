// The calculator's correlations set beside a measured data set: each one that applies to the
// set's system, evaluated at the set's own end points, porosity and permeability (with the
// wettability and formation its header gives), and its misfit to the measured points, so an
// engineer sees which correlation describes the rock.
#pragma once

#include "database/datafile.h"
#include "database/search.h"

#include <string>
#include <vector>

namespace relperm {

struct CorrelationComparison {
    std::string correlation; // as the calculator's list names it: "Corey", "Wyllie", ...
    std::string refusal;     // why it could not be evaluated here; empty when it was
    // The correlation's rows on the set's normalised saturation (0..1), and its two curves
    // as the fit names them (rising: krw or krg; falling: krow, krog, krcg or krw).
    std::vector<double> saturation;
    std::vector<double> rising;
    std::vector<double> falling;
    double rms = 0; // root-mean-square misfit of kr at the measured points, both curves
};

// One entry for every correlation of the calculator that applies to `system`, in the
// calculator's list order.
std::vector<CorrelationComparison> compareCorrelations(TwoPhaseSystem system,
                                                       const MeasuredDataSet& set);

} // namespace relperm
