// The browser's menu, toolbar and file commands: Open, Save, Print, Exit, and the data
// folder, the exports of the shown data set and the models fitted to it.
#include "common/csv.h"
#include "common/filewrite.h"
#include "database/datafolder.h"
#include "database/ui/pellamwindow.h"
#include "ui/filedialog.h"
#include "ui/keyedtoolbar.h"
#include "ui/messages.h"
#include "ui/plotview.h"
#include "ui/settings.h"

#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>

namespace relperm::databaseui {

void PellamWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("a1");
    QAction* open = ui::addMenuItem(file, "a5", "&Open");
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &PellamWindow::a5_Click);
    QAction* save = ui::addMenuItem(file, "a6", "&Save");
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &PellamWindow::a6_Click);
    // Beyond the browser's own two: another data folder, and the shown set for a
    // spreadsheet, another database or a simulator deck.
    file->addSeparator();
    QAction* folder = ui::addMenuItem(file, "openFolder", "Open Data &Folder...");
    folder->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    connect(folder, &QAction::triggered, this, &PellamWindow::openDataFolder);
    connect(ui::addMenuItem(file, "exportSet", "&Export Data Set..."), &QAction::triggered, this,
            &PellamWindow::exportDataSet);
    connect(ui::addMenuItem(file, "simulatorTables", "Simulator &Tables..."), &QAction::triggered,
            this, &PellamWindow::simulatorTables);
    // "Print" and "Exit" stand on the bar itself and act when clicked.
    QAction* print = ui::addMenuItem(bar, "a2", "&Print");
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &PellamWindow::a2_Click);
    QAction* exit = ui::addMenuItem(bar, "a3", "E&xit");
    // Not QKeySequence::Quit: Windows has no standard quit key.
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    QMenu* version = bar->addMenu("&Version");
    version->setObjectName("a44");
    ui::addMenuItem(version, "a12", "&02030");
    // What the browser offers beyond its own menu comes after it, in windows of its own.
    // Alt+V opens Version, which keeps the key the form gave it.
    QMenu* view = bar->addMenu("Vie&w");
    view->setObjectName("view");
    QAction* list = ui::addMenuItem(view, "listMatches", "&List Matching Data Sets...");
    list->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(list, &QAction::triggered, this, &PellamWindow::openMatchList);
    connect(ui::addMenuItem(view, "plotView", "&Plot"), &QAction::triggered, this,
            &PellamWindow::openPlot);
    tools_ = bar->addMenu("&Tools");
    tools_->setObjectName("tools");
}

ui::PlotView* PellamWindow::openPlot() {
    return plotViews_->open(
        "plot",
        [this] {
            const std::optional<ShownDataSet> shown = browser_.shownDataSet();
            return ui::windowTitleOf(shown ? QString::fromStdString(dataSetCaption(*shown)) : "",
                                     "Plot");
        },
        [this](KrAxis axis) {
            const std::optional<ShownDataSet> shown = browser_.shownDataSet();
            return shown ? dataSetPlotOf(*shown, axis) : browser_.plot();
        });
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
    if (auto failure = browser_.save(path->toStdString())) {
        services_.messages->warn(this, windowTitle(), QString::fromStdString(*failure));
        return;
    }
    if (containsQuote(browser_.title()))
        services_.messages->inform(this, windowTitle(),
                                   "The data-set file cannot hold a double quote, so the title "
                                   "was saved with apostrophes in its place.");
}

void PellamWindow::useDataFolder(const std::filesystem::path& folder) {
    // Whatever dialog names a file to save, none may replace the data the window reads.
    protectedData_.emplace(dataFolderInputs(folder));
    if (folder != browser_.dataDirectory()) {
        browser_.setDataDirectory(folder);
        showModel();
    }
    showDataFolder();
    // Said once the window is up, so the message stands in front of it.
    if (!holdsDataFiles(folder))
        QTimer::singleShot(0, this, &PellamWindow::noteMissingData);
}

void PellamWindow::showDataFolder() {
    const std::filesystem::path& folder = browser_.dataDirectory();
    std::error_code ec;
    const bool demo = demo_ && std::filesystem::equivalent(folder, *demo_, ec);
    const QString shown = QDir::toNativeSeparators(QString::fromStdString(folder.string()));
    dataFolder_->setText(demo ? "Demo database: " + shown : shown);
    dataFolder_->setToolTip(demo ? "The demo database, whose data sets were invented for "
                                   "demonstration (File / Open Data Folder to browse your own)"
                                 : "The folder the data files are read from (File / Open "
                                   "Data Folder)");
}

void PellamWindow::noteMissingData() {
    const std::filesystem::path& folder = browser_.dataDirectory();
    std::error_code ec;
    const QString what = std::filesystem::is_directory(folder, ec)
                             ? "holds none of the data files OWBIN, OGBIN, GWBIN and CGBIN"
                             : "does not exist";
    services_.messages->inform(
        this, windowTitle(),
        QString("The folder %1 %2, so there are no data sets to show.\n\nChoose the folder "
                "that holds them with File / Open Data Folder..., or build them from CSV files "
                "with \"relperm db import\" (see relperm db --help).")
            .arg(QDir::toNativeSeparators(QString::fromStdString(folder.string())), what));
}

void PellamWindow::notePassedBy(const std::filesystem::path& remembered) {
    std::error_code ec;
    const QString what = std::filesystem::is_directory(remembered, ec)
                             ? "no longer holds any of the data files OWBIN, OGBIN, GWBIN "
                               "and CGBIN"
                             : "no longer exists";
    const std::filesystem::path& folder = browser_.dataDirectory();
    const QString instead =
        demo_ && std::filesystem::equivalent(folder, *demo_, ec)
            ? QString("the demo database is shown instead: its data sets were invented for "
                      "demonstration and are not yours")
            : QString("the folder %1 is shown instead")
                  .arg(QDir::toNativeSeparators(QString::fromStdString(folder.string())));
    services_.messages->inform(
        this, windowTitle(),
        QString("The data folder %1, chosen last time, %2, so %3.\n\nChoose your data folder "
                "with File / Open Data Folder...")
            .arg(QDir::toNativeSeparators(QString::fromStdString(remembered.string())), what,
                 instead));
}

void PellamWindow::openDataFolder() {
    const std::optional<QString> folder =
        services_.folderDialog->choose(this, ui::FileDialog::Mode::Folder);
    if (!folder)
        return;
    // A folder without data would open with nothing to show at every later start.
    if (holdsDataFiles(folder->toStdString()))
        services_.settings->setValue(dataFolderSetting, *folder);
    useDataFolder(folder->toStdString());
}

StartChoice chooseStartFolder(StartFolders folders, ui::Settings& settings) {
    if (auto remembered = settings.value(dataFolderSetting))
        folders.remembered = remembered->toStdString();
    StartChoice choice = startFolder(folders);
    choice.folder = std::filesystem::weakly_canonical(choice.folder);
    if (choice.demo)
        choice.demo = std::filesystem::weakly_canonical(*choice.demo);
    if (choice.remember)
        settings.setValue(dataFolderSetting, QString::fromStdString(choice.folder.string()));
    if (choice.forgotten)
        settings.remove(dataFolderSetting);
    return choice;
}

void PellamWindow::exportDataSet() {
    const std::optional<ShownDataSet> shown = browser_.shownDataSet();
    if (!shown) {
        services_.messages->warn(this, windowTitle(), "No data set is shown: show one first.");
        return;
    }
    ui::saveMadeFile(this, services_, dataSetImportText(*shown), ui::fileKinds::csv,
                     QString::fromStdString(dataSetCaption(*shown)));
}

void PellamWindow::simulatorTables() {
    const std::optional<ShownDataSet> shown = browser_.shownDataSet();
    if (!shown) {
        services_.messages->warn(this, windowTitle(), "No data set is shown: show one first.");
        return;
    }
    bool adjusted = false;
    if (shown->adjusted) {
        const ui::Messages::Answer answer = services_.messages->askOrCancel(
            this, windowTitle(), "Write the adjusted data? (No writes the data as input.)", true);
        if (answer == ui::Messages::Answer::Cancel)
            return;
        adjusted = answer == ui::Messages::Answer::Yes;
    }
    const auto made = ui::offerRepair(this, *services_.messages, [&](bool repair) {
        SimulatorOptions options{measuredKeywords(shown->system)};
        options.repair = repair;
        return dataSetSimulatorTables(*shown, adjusted, "pellam", options);
    });
    if (made)
        ui::saveMadeFile(this, services_, *made, ui::fileKinds::include,
                         QString::fromStdString(dataSetCaption(*shown)));
}

void PellamWindow::a2_Click() {
    ui::printClientArea(this, toolbar_, centralWidget()->findChild<QWidget*>("Label10"), {vomar_},
                        services_);
}

} // namespace relperm::databaseui
