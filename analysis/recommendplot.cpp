#include "analysis/recommendplot.h"

#include "database/datafile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace relperm {

namespace {

// The fits are many and only a backdrop: fewer points still read as smooth curves there.
constexpr int fitPoints = 30;
// The cases are read against each other, exponents up to 10 included.
constexpr int casePoints = 60;
// The count of fits drawn stands under the frame, left of the saturation's name.
constexpr double fitsCountLeft = -20;

void addCurve(Scene& scene, const std::function<double(double)>& kr, int points, Rgb colour,
              int penWidth, LineStyle style, KrAxis axis) {
    std::vector<ScenePoint> curve;
    for (int i = 0; i < points; ++i) {
        const double s = static_cast<double>(i) / (points - 1);
        curve.push_back({100 * s, krHeight(kr(s), axis)});
    }
    addClippedPath(scene, curve, colour, penWidth, style);
}

void addCase(Scene& scene, const ScalRecommendation& rec, double t, Rgb colour, LineStyle style,
             KrAxis axis) {
    addCurve(
        scene, [&](double s) { return scalRisingKr(rec, t, s); }, casePoints, colour, 2, style,
        axis);
    addCurve(
        scene, [&](double s) { return scalFallingKr(rec, t, s); }, casePoints, colour, 2, style,
        axis);
}

} // namespace

Rgb scalCaseColour(ScalCase which) {
    switch (which) {
    case ScalCase::Low:
        return {210, 0, 0};
    case ScalCase::High:
        return {0, 70, 220};
    case ScalCase::Base:
        break;
    }
    return black;
}

std::vector<std::size_t> drawnFits(std::size_t fits) {
    const std::size_t count = std::min(fits, maxFitsDrawn);
    std::vector<std::size_t> drawn(count);
    // i * fits / count stays far inside 64 bits for any number of sets a file can hold.
    for (std::size_t i = 0; i < count; ++i)
        drawn[i] = i * fits / count;
    return drawn;
}

std::string scalTText(double t) {
    char text[32];
    std::snprintf(text, sizeof text, "t = %.2f", t);
    std::string out = text;
    // A t a hair below 0 is the base case, not a case of its own.
    if (out == "t = -0.00")
        out = "t = 0.00";
    return out;
}

Scene recommendationPlot(const ScalRecommendation& recommendation, std::optional<double> t,
                         KrAxis axis, const PlotTextSize& text) {
    const std::pair<ScalCase, double> cases[] = {
        {ScalCase::Low, -1}, {ScalCase::Base, 0}, {ScalCase::High, 1}};
    // At -1, 0 and 1 the case at t is that case: drawn over it, it would hide the case's
    // colour; the legend names t beside the case instead.
    const auto onCase = [&](double at) { return t && std::abs(*t - at) < 1e-9; };
    const bool tOnACase = std::any_of(std::begin(cases), std::end(cases),
                                      [&](const auto& c) { return onCase(c.second); });

    std::vector<LegendUnit> legend{{{"fits", fittedSetColour, LegendSample::Line}}};
    for (const auto& [which, at] : cases)
        legend.push_back({{scalCaseName(which) + (onCase(at) ? " (" + scalTText(*t) + ")" : ""),
                           scalCaseColour(which), LegendSample::Line}});
    if (t && !tOnACase)
        legend.push_back({{scalTText(*t), scalTColour, LegendSample::Line, LineStyle::Dashed}});
    Scene scene;
    addKrPlotFrameAndLegend(scene, legend, text, axis);

    const std::vector<std::size_t> drawn = drawnFits(recommendation.fits.size());
    for (std::size_t index : drawn) {
        const FittedSet& fit = recommendation.fits[index];
        addCurve(
            scene, [&](double s) { return risingKr(fit.model, fit.rising, s); }, fitPoints,
            fittedSetColour, 1, LineStyle::Solid, axis);
        addCurve(
            scene, [&](double s) { return fallingKr(fit.model, fit.falling, s); }, fitPoints,
            fittedSetColour, 1, LineStyle::Solid, axis);
    }
    // Under the cases, so the three stay in sight wherever t crosses them.
    if (t && !tOnACase)
        addCase(scene, recommendation, *t, scalTColour, LineStyle::Dashed, axis);
    for (const auto& [which, at] : cases)
        addCase(scene, recommendation, at, scalCaseColour(which), LineStyle::Solid, axis);

    addKrAxisNames(scene, std::string(pointColumnNames(recommendation.system)[0]), axis);
    if (drawn.size() < recommendation.fits.size())
        scene.add(SceneText{fitsCountLeft, -10,
                            "fits: " + std::to_string(drawn.size()) + " of " +
                                std::to_string(recommendation.fits.size()),
                            fittedSetColour});
    return scene;
}

} // namespace relperm
