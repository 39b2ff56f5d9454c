#include "database/plot.h"

#include "database/computableset.h"
#include "database/display.h"

#include <algorithm>

namespace relperm {

namespace {

std::vector<double> points(const PointColumn& column, int count) {
    return {column.begin() + 1, column.begin() + 1 + count};
}

} // namespace

Scene dataSetPlot(TwoPhaseSystem system, const MeasuredDataSet& shown, bool adjusted, KrAxis axis) {
    Scene scene;
    scene.coordinates = krPlotCoordinates;
    addKrPlotFrame(scene, axis);
    if (auto refusal = checkSetValues(system, shown)) {
        addKrAxisNames(scene, isGasSystem(system) ? "Sg" : "Sw", axis);
        // Inside the frame, where the curves would be, in lines short enough to stay in it;
        // the grids still show the values.
        double y = 70;
        std::string line;
        std::size_t start = 0;
        const std::string& text = refusal->message;
        while (start < text.size()) {
            std::size_t end = text.find(' ', start);
            const std::string word = text.substr(start, end - start);
            if (!line.empty() && line.size() + 1 + word.size() > 36) {
                scene.add(SceneText{4, y, line, black});
                y -= 8;
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
            start = end == std::string::npos ? text.size() : end + 1;
        }
        scene.add(SceneText{4, y, line, black});
        return scene;
    }
    // Lines join the points in saturation order, however the set lists them.
    const int n = std::clamp<int>(shown.pointCount, 0, maxPoints);
    MeasuredDataSet set = inSaturationOrder(shown, &MeasuredDataSet::satAsInput);
    const std::vector<double> sat = points(set.satAsInput, n);
    addKrCurve(scene, sat, points(set.krOther, n), krOtherColour, LineStyle::Solid, axis);
    addKrCurve(scene, sat, points(set.krAxis, n), krAxisColour, LineStyle::Solid, axis);
    addKrAxisNames(scene, isGasSystem(system) ? "Sg" : "Sw", axis);
    // The grid's column names are the curves' names: krOther in column 1, krAxis in 2.
    const std::vector<std::string> names = gridHeader(system);
    const std::vector<LegendEntry> measured = {{names[1], krOtherColour}, {names[2], krAxisColour}};
    if (!adjusted) {
        addLegend(scene, legendX, legendY, measured);
    } else {
        // Both keys on the line above the frame, where the browser's plot, larger than the
        // calculator's against its text, has room for them.
        constexpr double characterWidth = 2.6;
        const double end = addLegend(scene, -20, 109, measured, "measured:", characterWidth);
        addLegend(scene, end + 4, 109,
                  {{names[1], krOtherAdjustedColour, LineStyle::Dashed},
                   {names[2], krAxisAdjustedColour, LineStyle::Dashed}},
                  "adjusted:", characterWidth);
        // Last, so the adjusted curves lie over the measured ones.
        set = inSaturationOrder(shown, &MeasuredDataSet::satAdjusted);
        const std::vector<double> satAdjusted = points(set.satAdjusted, n);
        addKrCurve(scene, satAdjusted, points(set.krOtherAdjusted, n), krOtherAdjustedColour,
                   LineStyle::Dashed, axis);
        addKrCurve(scene, satAdjusted, points(set.krAxisAdjusted, n), krAxisAdjustedColour,
                   LineStyle::Dashed, axis);
    }
    return scene;
}

} // namespace relperm
