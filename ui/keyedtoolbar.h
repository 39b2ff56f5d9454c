// A toolbar of icon buttons, each known by a key; a click reports the button's key, and
// the window acts on the key alone.
#pragma once

#include <QToolBar>

#include <vector>

namespace relperm::ui {

struct ToolbarButton {
    QString key; // also the button's objectName
    QString tooltip;
    QString icon; // name of an icon in ":/icons"
};

class KeyedToolbar : public QToolBar {
    Q_OBJECT
  public:
    KeyedToolbar(const std::vector<ToolbarButton>& buttons, QWidget* parent);

  signals:
    void buttonClicked(const QString& key);
};

} // namespace relperm::ui
