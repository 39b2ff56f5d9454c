// Starting another program of the suite as an independent process: found first beside the
// running program, then as the platform resolves a bare name; not waited for, and left
// running when the starter ends. Tests stand in for it.
#pragma once

#include <QString>

#include <optional>

namespace relperm::ui {

class ProcessStarter {
  public:
    virtual ~ProcessStarter() = default;
    // Starts `program` (a bare name such as "vomar") in the current working folder.
    // Returns nothing on success, or a message naming the program and where it was sought.
    virtual std::optional<QString> start(const QString& program);
};

} // namespace relperm::ui
