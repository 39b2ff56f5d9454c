// What a window remembers from one run to the next (the browser's data folder). The
// windows keep it in the platform's settings store; tests stand in with a map.
#pragma once

#include <QString>

#include <optional>

namespace relperm::ui {

class Settings {
  public:
    virtual ~Settings() = default;
    virtual std::optional<QString> value(const QString& key);
    virtual void setValue(const QString& key, const QString& value);
    virtual void remove(const QString& key);
};

} // namespace relperm::ui
