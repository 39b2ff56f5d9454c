#include "analysis/ui/fitwindow.h"

#include "analysis/ui/panelparts.h"
#include "analysis/ui/tableswindow.h"

#include "analysis/fitexport.h"
#include "analysis/fitplot.h"
#include "common/filewrite.h"
#include "ui/filedialog.h"
#include "ui/icons.h"
#include "ui/messages.h"
#include "ui/plotview.h"
#include "ui/text.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace relperm::analysisui {

namespace {

using ui::qs;

// The fit window is the browser's: its files say so.
constexpr const char* program = "pellam";

QColor toColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

} // namespace

FitWindow::FitWindow(FitModel model, ui::WindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), model_(model), services_(std::move(services)) {
    setObjectName(model == FitModel::Corey ? "fitCoreyWindow" : "fitLetWindow");
    setWindowIcon(ui::browserIcon());
    setAttribute(Qt::WA_DeleteOnClose);

    plot_ = new ui::PlotView(
        [this](KrAxis axis, const PlotTextSize& text) {
            return fitPlot(shown_.system, shown_.set, fit_, comparisons_, chosenOverlays(), axis,
                           text);
        },
        services_.imageDialog, services_.messages, this);
    plot_->setObjectName("fitPlot");
    plot_->layout()->setContentsMargins(0, 0, 0, 0);

    heading_ = headingLabel("fitHeading", this);
    note_ = wrappingLabel("fitNote", this);

    const ParameterBox fitted = parameterBox("Fitted Parameters", {"Parameter", "Value"},
                                             "fitRefusal", "&Copy Parameters", this, true);
    parameters_ = fitted.table;
    parameters_->setToolTip("The parameters as pyscal names them: the end points are the set's "
                            "own; the curves' shapes and end kr values are fitted");
    refusal_ = fitted.refusal;
    misfit_ = fitted.misfit;
    copy_ = fitted.copy;
    copy_->setToolTip("Put the parameters on the clipboard as a CSV header and row, as pyscal "
                      "reads them");
    connect(copy_, &QPushButton::clicked, this, &FitWindow::copyParameters);
    write_ = fitted.write;
    write_->setToolTip("Write the fitted curves as an include file of simulator keywords");
    connect(write_, &QPushButton::clicked, this, &FitWindow::writeSimulatorTables);
    tables_ = fitted.tables;
    tables_->setToolTip("Open the parameters in the tables window: other keywords, rows or "
                        "capillary pressure");
    connect(tables_, &QPushButton::clicked, this, &FitWindow::openInTables);

    auto* compared = new QGroupBox("Correlations at the Set's End Points", this);
    overlays_ = new QListWidget(compared);
    overlays_->setObjectName("overlays");
    // Refusals are sentences: they wrap rather than scroll out of sight.
    overlays_->setWordWrap(true);
    overlays_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The room the panel leaves, three lines at the least, the list scrolling beyond them: a
    // list's usual height would make a short window scroll the whole panel first.
    overlays_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    overlays_->setMinimumHeight(3 * overlays_->fontMetrics().height());
    overlays_->setToolTip("Tick a correlation to draw it dashed over the points; its rms is its "
                          "misfit to the same points");
    connect(overlays_, &QListWidget::itemChanged, plot_, &ui::PlotView::refresh);
    auto* comparedLayout = new QVBoxLayout(compared);
    comparedLayout->addWidget(overlays_);

    auto* side = new QVBoxLayout;
    side->addWidget(heading_);
    side->addWidget(note_);
    side->addWidget(fitted.box);
    side->addWidget(compared, 1);
    auto* sidePanel = new QWidget;
    sidePanel->setLayout(side);
    side->setContentsMargins(0, 0, 0, 0);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(plot_, 1);
    layout->addWidget(scrollingPanel(sidePanel, "fitPanel", 340, 420, this));
    resize(1080, 700);
}

void FitWindow::showFit(ShownDataSet shown) {
    shown_ = std::move(shown);
    std::variant<FittedSet, Refusal> result = fitDataSet(shown_.system, shown_.set, model_);
    if (auto* fitted = std::get_if<FittedSet>(&result)) {
        fit_ = *fitted;
        refusal_->clear();
    } else {
        fit_.reset();
        refusal_->setText(qs(std::get<Refusal>(result).message));
    }
    comparisons_ = compareCorrelations(shown_.system, shown_.set);

    setWindowTitle(
        ui::windowTitleOf(qs(dataSetCaption(shown_)), "Fit " + qs(fitModelName(model_))));
    heading_->setText(qs(dataSetName(shown_)));
    QString note = "Fitted to the points as measured, on the set's normalised saturation "
                   "between its own end points.";
    if (shown_.adjusted)
        note += " The end points typed in the browser do not enter the fit.";
    note_->setText(note);
    showParameters();
    showComparisons();
    plot_->refresh();
}

void FitWindow::showParameters() {
    parameters_->setVisible(fit_.has_value());
    refusal_->setVisible(!fit_);
    misfit_->setVisible(fit_.has_value());
    copy_->setEnabled(fit_.has_value());
    write_->setEnabled(fit_.has_value());
    tables_->setEnabled(fit_.has_value());
    parameters_->setRowCount(0);
    if (!fit_)
        return;
    const std::vector<std::string> names = fitParameterNames(fit_->system, fit_->model);
    const std::vector<double> values = fitParameterValues(*fit_);
    for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
        // The misfit is no parameter: it stands under the table in words.
        if (names[i] == "rms")
            continue;
        const int row = parameters_->rowCount();
        parameters_->insertRow(row);
        parameters_->setItem(row, 0, new QTableWidgetItem(qs(names[i])));
        auto* value = new QTableWidgetItem(qs(fitValueText(values[i])));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // A value on its bound is the bound's, not the data's: marked so it is not read as
        // measured.
        for (const std::string& bound : fit_->onBounds)
            if (bound.rfind(names[i] + " at", 0) == 0) {
                QFont font = value->font();
                font.setBold(true);
                value->setFont(font);
                value->setText(value->text() + " *");
                value->setToolTip(qs(bound));
            }
        parameters_->setItem(row, 1, value);
    }
    parameters_->resizeRowsToContents();
    fitHeightToRows(parameters_);
    QString misfit = QString("Misfit: rms %1 of kr over both curves (%2 points).")
                         .arg(qs(fitValueText(fit_->rms)))
                         .arg(fit_->points);
    for (const std::string& bound : fit_->onBounds)
        misfit += "\n* " + qs(bound) + ": the curve wants a value beyond it.";
    misfit_->setText(misfit);
}

void FitWindow::showComparisons() {
    const QSignalBlocker quiet(overlays_);
    overlays_->clear();
    for (std::size_t i = 0; i < comparisons_.size(); ++i) {
        const CorrelationComparison& c = comparisons_[i];
        auto* item = new QListWidgetItem(qs(comparisonSummary(c)), overlays_);
        if (c.refusal.empty()) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            item->setForeground(toColor(overlayColour(i)));
            if (!c.krOutside.empty())
                item->setToolTip("At the set's end points its kr leaves 0..1, which no rock's "
                                 "does: its misfit is no measure of how well it describes this "
                                 "one. Tick it to see its curves.");
        } else {
            // Listed all the same, so the engineer sees why it cannot be set beside the points;
            // in the list's own text, to be read, though it cannot be ticked.
            item->setFlags(Qt::ItemIsEnabled);
        }
    }
}

std::vector<std::size_t> FitWindow::chosenOverlays() const {
    std::vector<std::size_t> chosen;
    if (!overlays_)
        return chosen;
    for (int row = 0; row < overlays_->count(); ++row)
        if (overlays_->item(row)->checkState() == Qt::Checked)
            chosen.push_back(static_cast<std::size_t>(row));
    return chosen;
}

void FitWindow::copyParameters() {
    if (fit_)
        QApplication::clipboard()->setText(qs(fitParametersCsv({*fit_})));
}

void FitWindow::writeSimulatorTables() {
    if (!fit_)
        return;
    ui::saveMadeFile(this, services_, fitSimulatorTables(shown_, *fit_, program));
}

TablesWindow* FitWindow::openInTables() {
    if (!fit_)
        return nullptr;
    // The browser's child, not this window's: it outlives the fit it was opened from.
    if (!tablesWindow_)
        tablesWindow_ = new TablesWindow(services_, program, parentWidget());
    tablesWindow_->showParameters(fitParametersCsv({*fit_}),
                                  fitModelName(model_) + " fit of " + dataSetName(shown_));
    tablesWindow_->show();
    tablesWindow_->raise();
    tablesWindow_->activateWindow();
    return tablesWindow_;
}

} // namespace relperm::analysisui
