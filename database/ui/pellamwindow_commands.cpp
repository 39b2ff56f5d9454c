// The browser's menu, toolbar and file commands: Open, Save, Print, Exit.
#include "database/ui/pellamwindow.h"
#include "ui/filedialog.h"
#include "ui/keyedtoolbar.h"
#include "ui/messages.h"

#include <QMenuBar>

namespace relperm::databaseui {

void PellamWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("a1");
    connect(ui::addMenuItem(file, "a5", "&Open"), &QAction::triggered, this,
            &PellamWindow::a5_Click);
    connect(ui::addMenuItem(file, "a6", "&Save"), &QAction::triggered, this,
            &PellamWindow::a6_Click);
    // "Print" and "Exit" stand on the bar itself and act when clicked.
    connect(ui::addMenuItem(bar, "a2", "&Print"), &QAction::triggered, this,
            &PellamWindow::a2_Click);
    connect(ui::addMenuItem(bar, "a3", "E&xit"), &QAction::triggered, this, &QWidget::close);
    QMenu* version = bar->addMenu("&Version");
    version->setObjectName("a44");
    ui::addMenuItem(version, "a12", "02030");
}

void PellamWindow::Toolbar1_ButtonClick(const QString& key) {
    if (key == "Open")
        a5_Click();
    else if (key == "Save")
        a6_Click();
    else if (key == "Print")
        a2_Click();
    else if (key == "Exit")
        close();
}

void PellamWindow::a5_Click() {
    const std::optional<QString> path =
        services_.fileDialog->choose(this, ui::FileDialog::Mode::Open);
    if (!path)
        return;
    if (auto failure = browser_.open(path->toStdString())) {
        services_.messages->warn(this, windowTitle(), QString::fromStdString(*failure));
        return;
    }
    // The window becomes active again as the dialog closes, and shows the set read.
    browser_.windowActivated();
    showModel();
}

void PellamWindow::a6_Click() {
    const std::optional<QString> path =
        services_.fileDialog->choose(this, ui::FileDialog::Mode::Save);
    if (!path)
        return;
    if (auto failure = browser_.save(path->toStdString()))
        services_.messages->warn(this, windowTitle(), QString::fromStdString(*failure));
}

void PellamWindow::a2_Click() {
    ui::printClientArea(this, toolbar_, centralWidget()->findChild<QWidget*>("Label10"), {vomar_},
                        services_);
}

} // namespace relperm::databaseui
