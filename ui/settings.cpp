#include "ui/settings.h"

#include <QSettings>

namespace relperm::ui {

namespace {

// One store for the suite, under the user's configuration folder.
constexpr const char* organisation = "relperm";
constexpr const char* application = "relperm";

} // namespace

std::optional<QString> Settings::value(const QString& key) {
    const QVariant stored = QSettings(organisation, application).value(key);
    if (!stored.isValid())
        return std::nullopt;
    return stored.toString();
}

void Settings::setValue(const QString& key, const QString& value) {
    QSettings(organisation, application).setValue(key, value);
}

void Settings::remove(const QString& key) {
    QSettings(organisation, application).remove(key);
}

} // namespace relperm::ui
