// The curves of a kr plot, as tests look for them.
#pragma once

#include "common/scene.h"

#include <vector>

namespace relperm::testing {

// The curves drawn in `colour`, in drawing order (a legend's samples are lines, not curves).
inline std::vector<ScenePath> curvePaths(const Scene& scene, Rgb colour) {
    std::vector<ScenePath> out;
    for (const ScenePath& path : scene.all<ScenePath>())
        if (path.colour == colour)
            out.push_back(path);
    return out;
}

// The straight pieces of the curves drawn in `colour`: a line from each point of a curve to
// the next, in drawing order, with the curve's pen and style.
inline std::vector<SceneLine> curveLines(const Scene& scene, Rgb colour) {
    std::vector<SceneLine> out;
    for (const ScenePath& path : curvePaths(scene, colour))
        for (std::size_t i = 1; i < path.points.size(); ++i)
            out.push_back({path.points[i - 1].x, path.points[i - 1].y, path.points[i].x,
                           path.points[i].y, path.colour, path.penWidth, path.style});
    return out;
}

// Whether every curve of the scene lies inside the kr plot's frame.
inline bool curvesInsideFrame(const Scene& scene) {
    for (const ScenePath& path : scene.all<ScenePath>())
        for (const ScenePoint& p : path.points)
            if (!krPlotFrame.contains(p))
                return false;
    return true;
}

// The dots that stand outside the frame: a legend's samples, and nothing else.
inline std::vector<SceneDot> dotsOutsideFrame(const Scene& scene) {
    std::vector<SceneDot> out;
    for (const SceneDot& dot : scene.all<SceneDot>())
        if (!krPlotFrame.contains({dot.x, dot.y}))
            out.push_back(dot);
    return out;
}

} // namespace relperm::testing
