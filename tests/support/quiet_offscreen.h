// The offscreen platform warns on every window operation it cannot perform (raise,
// keyboard grabs); those lines say nothing about the program and bury real warnings.
#pragma once

#include <QtGlobal>

namespace relperm::testing {

inline void quietOffscreenWarnings() {
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type == QtWarningMsg && message.startsWith("This plugin does not support"))
                return;
            previous(type, context, message);
        });
}

} // namespace relperm::testing
