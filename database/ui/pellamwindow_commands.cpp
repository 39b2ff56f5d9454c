// The browser's menu, toolbar and file commands: Open, Save, Print, Exit.
#include "database/ui/pellamwindow.h"
#include "ui/drawingsurface.h"
#include "ui/filedialog.h"
#include "ui/keyedtoolbar.h"
#include "ui/messages.h"
#include "ui/printing.h"

#include <QLabel>
#include <QMenuBar>

namespace relperm::databaseui {

namespace {

QAction* addItem(QWidget* menu, const char* name, const QString& caption) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(name);
    menu->addAction(action);
    return action;
}

} // namespace

void PellamWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("a1");
    connect(addItem(file, "a5", "&Open"), &QAction::triggered, this, &PellamWindow::a5_Click);
    connect(addItem(file, "a6", "&Save"), &QAction::triggered, this, &PellamWindow::a6_Click);
    // "Print" and "Exit" stand on the bar itself and act when clicked.
    connect(addItem(bar, "a2", "&Print"), &QAction::triggered, this, &PellamWindow::a2_Click);
    connect(addItem(bar, "a3", "E&xit"), &QAction::triggered, this, &QWidget::close);
    QMenu* version = bar->addMenu("&Version");
    version->setObjectName("a44");
    addItem(version, "a12", "02030");
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
    auto* heading = centralWidget()->findChild<QLabel*>("Label10");
    toolbar_->hide();
    heading->show();
    vomar_->fixIntoBackground();
    const QImage page = centralWidget()->grab().toImage();
    heading->hide();
    toolbar_->show();
    ui::printPage(this, page, windowTitle(), *services_.printer, *services_.pdfDialog,
                  *services_.messages);
}

} // namespace relperm::databaseui
