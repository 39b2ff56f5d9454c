// The curves of a kr plot, as tests look for them.
#pragma once

#include "common/scene.h"

#include <vector>

namespace relperm::testing {

// The lines of `colour` that draw curves: after the plot's frame (black, as some curves
// are), and inside it, below the legend's samples.
inline std::vector<SceneLine> curveLines(const Scene& scene, Rgb colour) {
    Scene frame;
    addKrPlotFrame(frame);
    std::vector<SceneLine> out;
    for (std::size_t i = frame.items.size(); i < scene.items.size(); ++i)
        if (const auto* line = std::get_if<SceneLine>(&scene.items[i]))
            if (line->colour == colour && line->y1 <= 100)
                out.push_back(*line);
    return out;
}

} // namespace relperm::testing
