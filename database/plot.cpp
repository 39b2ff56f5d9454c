#include "database/plot.h"

#include <algorithm>

namespace relperm {

namespace {

std::vector<double> points(const PointColumn& column, int count) {
    return {column.begin() + 1, column.begin() + 1 + count};
}

} // namespace

Scene dataSetPlot(TwoPhaseSystem system, const MeasuredDataSet& set, bool adjusted) {
    Scene scene;
    scene.coordinates = krPlotCoordinates;
    addKrPlotFrame(scene);
    const int n = std::max<int>(set.pointCount, 0);
    const std::vector<double> sat = points(set.satAsInput, n);
    addKrCurve(scene, sat, points(set.krOther, n), krOtherColour);
    addKrCurve(scene, sat, points(set.krAxis, n), krAxisColour);
    scene.add(SceneText{40, -10, isGasSystem(system) ? "Sg" : "Sw", black});
    scene.add(SceneText{-23, 50, "vomar", black});
    if (adjusted) {
        const std::vector<double> satAdjusted = points(set.satAdjusted, n);
        addKrCurve(scene, satAdjusted, points(set.krOtherAdjusted, n), krOtherAdjustedColour,
                   LineStyle::Dashed);
        addKrCurve(scene, satAdjusted, points(set.krAxisAdjusted, n), krAxisAdjustedColour,
                   LineStyle::Dashed);
    }
    return scene;
}

} // namespace relperm
