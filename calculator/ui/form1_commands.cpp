// The calculator's menu, toolbar and file commands: Open, Save As, Export, Print, Exit, and
// the tables of a parameter table beyond them.
#include "calculator/exportfile.h"
#include "calculator/runfile.h"
#include "calculator/simulator.h"
#include "calculator/ui/form1.h"
#include "common/csv.h"
#include "common/filewrite.h"
#include "common/quotedtext.h"
#include "common/readfile.h"
#include "ui/filedialog.h"
#include "ui/keyedtoolbar.h"
#include "ui/messages.h"
#include "ui/text.h"

#include <QLabel>
#include <QMenuBar>

namespace relperm::calculatorui {

namespace {

using ui::qs;

} // namespace

void Form1::buildMenu() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("a1");
    QAction* open = ui::addMenuItem(file, "a2", "&Open");
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &Form1::Open);
    // Save As is the calculator's only save, so it takes the save key.
    QAction* saveAs = ui::addMenuItem(file, "a3", "&Save As..");
    saveAs->setShortcut(QKeySequence::Save);
    connect(saveAs, &QAction::triggered, this, &Form1::SaveAs);
    connect(ui::addMenuItem(file, "ex", "&Export"), &QAction::triggered, this, &Form1::Export);
    connect(ui::addMenuItem(file, "sim", "Simulator &Tables..."), &QAction::triggered, this,
            &Form1::SimulatorTables);
    // "Print" and "Exit" stand on the bar itself and act when clicked.
    QAction* print = ui::addMenuItem(bar, "a4", "&Print");
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &Form1::Print);
    QAction* exit = ui::addMenuItem(bar, "a5", "E&xit");
    // Not QKeySequence::Quit: Windows has no standard quit key.
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    QMenu* version = bar->addMenu("&Version");
    version->setObjectName("a9");
    ui::addMenuItem(version, "a11", "&14302");
    // The plots in windows of their own come after the calculator's own menu.
    // Alt+V opens Version, which keeps the key the form gave it.
    QMenu* view = bar->addMenu("Vie&w");
    view->setObjectName("view");
    connect(ui::addMenuItem(view, "waterOilPlot", "&Water-Oil Plot"), &QAction::triggered, this,
            &Form1::openWaterOilPlot);
    connect(ui::addMenuItem(view, "gasPlot", "&Gas Plot"), &QAction::triggered, this,
            &Form1::openGasPlot);
    tools_ = bar->addMenu("&Tools");
    tools_->setObjectName("tools");
}

void Form1::Toolbar1_ButtonClick(const QString& key) {
    if (key == "Open")
        Open();
    else if (key == "Save")
        SaveAs();
    else if (key == "Print")
        Print();
    else if (key == "Exit")
        close();
}

bool Form1::writeFile(const QString& path, const std::string& bytes) {
    if (auto failure = writeFileAtomically(path.toStdString(), bytes)) {
        services_.messages->warn(this, windowTitle(), qs(*failure));
        return false;
    }
    return true;
}

void Form1::Open() {
    const std::optional<QString> path =
        services_.fileDialog->choose(this, ui::FileDialog::Mode::Open);
    if (path)
        openRunFile(*path);
}

void Form1::openRunFile(const QString& path) {
    // Save As then offers this file, whether it came from the dialog or the command line.
    services_.fileDialog->remember(path);
    // Only a regular file: a pipe named would hang the window on its open.
    FileStart start;
    if (auto failure =
            readFileStart(path.toStdString(), PipeUse::Refuse, runFileReadLimit, start)) {
        services_.messages->warn(
            this, windowTitle(),
            QString("Could not open %1: %2").arg(qs(quotedName(path.toStdString())), qs(*failure)));
        return;
    }
    auto parsed = parseRunFileStart(start);
    std::optional<std::string> problem;
    if (const auto* error = std::get_if<std::string>(&parsed))
        problem = *error;
    else
        problem = applyRunFile(std::get<RunFile>(parsed), form_, state_.inputs);
    if (problem) {
        services_.messages->warn(this, windowTitle(),
                                 QString("%1 is not a run file that can be opened: %2")
                                     .arg(qs(quotedName(path.toStdString())), qs(*problem)));
        return;
    }
    showModel();
}

void Form1::SaveAs() {
    const std::optional<QString> path =
        services_.fileDialog->choose(this, ui::FileDialog::Mode::Save);
    if (!path)
        return;
    if (!writeFile(*path, runFileText(runFileOf(form_, state_.inputs))))
        return;
    if (containsQuote(form_.title))
        services_.messages->inform(this, windowTitle(),
                                   "The run file cannot hold a double quote, so the title was "
                                   "saved with apostrophes in its place.");
}

void Form1::Export() {
    const std::optional<QString> path =
        services_.fileDialog->choose(this, ui::FileDialog::Mode::Save);
    if (path)
        writeFile(*path, exportFileText(state_.tables));
}

void Form1::SimulatorTables() {
    const SimulatorRun run{"vomar", generatedTitle_, generatedFrom_};
    const auto make = [&](bool repair) {
        SimulatorOptions options{keywordsFor(state_.fluidSystem)};
        options.repair = repair;
        return simulatorTables(state_, run, options);
    };
    // Before a generation there are no tables a repair could mend.
    const auto made = state_.tables.nGasLiquid == 0
                          ? std::optional(make(false))
                          : ui::offerRepair(this, *services_.messages, make);
    if (made)
        ui::saveMadeFile(this, services_, *made, ui::fileKinds::include,
                         qs(generationCaption(generatedFrom_, generatedTitle_)));
}

void Form1::Print() {
    ui::printClientArea(this, toolbar_, label10_, {vomar_, krl2_}, services_);
}

} // namespace relperm::calculatorui
