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
    // "kr outside 0..1 (krow up to 22.8)" when a curve of the correlation leaves 0..1 on its
    // rows at the set's end points; empty when both stay inside. Such a correlation was
    // evaluated and can be drawn, but no rock has such a kr: its rms is no measure of how
    // well it describes this one, so it is not ranked with the others.
    std::string krOutside;
};

// The comparison in a line, as the fit window lists it: "Corey    rms .221" for one ranked
// by its misfit; the correlation and krOutside for one whose kr leaves 0..1; the refusal for
// one that could not be evaluated, after the correlation's name unless it names it already,
// so the name is said once.
std::string comparisonSummary(const CorrelationComparison& c);

// One entry for every correlation of the calculator that applies to `system`, in the
// calculator's list order.
std::vector<CorrelationComparison> compareCorrelations(TwoPhaseSystem system,
                                                       const MeasuredDataSet& set);

} // namespace relperm
