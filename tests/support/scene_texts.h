// The texts of a scene (labels, ticks, legend, notes), as the window tests look for them.
#pragma once

#include "common/scene.h"

#include <QStringList>

namespace relperm::testing {

inline QStringList texts(const Scene& scene) {
    QStringList out;
    for (const SceneText& text : scene.all<SceneText>())
        out << QString::fromStdString(text.text);
    return out;
}

} // namespace relperm::testing
