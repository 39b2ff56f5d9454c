#include "ui/keyedtoolbar.h"

#include "ui/icons.h"

#include <QAction>

namespace relperm::ui {

KeyedToolbar::KeyedToolbar(const std::vector<ToolbarButton>& buttons, QWidget* parent)
    : QToolBar(parent) {
    setIconSize(QSize(32, 32));
    setMovable(false);
    for (const ToolbarButton& button : buttons) {
        QAction* action = addAction(svgIcon(button.icon), button.tooltip);
        action->setObjectName(button.key);
        action->setToolTip(button.tooltip);
        connect(action, &QAction::triggered, this,
                [this, key = button.key] { emit buttonClicked(key); });
    }
    adjustSize();
}

} // namespace relperm::ui
