#include "common/scene.h"

#include "common/numbers.h"

namespace relperm {

void addKrPlotFrame(Scene& scene) {
    scene.add(SceneLine{0, 0, 0, 100, black});
    scene.add(SceneLine{0, 0, 100, 0, black});
    scene.add(SceneLine{100, 0, 100, 100, black});

    // The tick value is accumulated, so the eleventh is just below 1; its label, written
    // to 15 significant digits, still reads " 1".
    int counter = 0;
    for (double t = 0; t <= 1; t = t + 0.1) {
        scene.add(SceneLine{100 * t, -1, 100 * t, 1, black});
        if (counter == 0)
            scene.add(SceneText{100 * t - 2, -2, formatGeneral(t, SignPlace::Blank), black});
        counter = counter + 1 == 2 ? 0 : counter + 1;
    }
    counter = 0;
    for (double t = 0; t <= 1; t = t + 0.1) {
        scene.add(SceneLine{-1, 100 * t, 1, 100 * t, black});
        if (counter == 0)
            scene.add(SceneText{-10, 100 * t + 2, formatGeneral(t, SignPlace::Blank), black});
        counter = counter + 1 == 2 ? 0 : counter + 1;
    }
}

void addKrCurve(Scene& scene, const std::vector<double>& x, const std::vector<double>& y,
                Rgb colour, LineStyle lines) {
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        scene.add(SceneDot{100 * x[i], 100 * y[i], colour, 3});
        if (i > 0)
            scene.add(SceneLine{100 * x[i - 1], 100 * y[i - 1], 100 * x[i], 100 * y[i], colour, 1,
                                lines});
    }
}

} // namespace relperm
