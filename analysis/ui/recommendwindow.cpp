#include "analysis/ui/recommendwindow.h"

#include "analysis/ui/panelparts.h"
#include "analysis/ui/tableswindow.h"

#include "analysis/fitexport.h"
#include "analysis/fittables.h"
#include "analysis/recommendplot.h"
#include "common/filewrite.h"
#include "common/numbers.h"
#include "common/version.h"
#include "database/datasetexport.h"
#include "ui/filedialog.h"
#include "ui/icons.h"
#include "ui/messages.h"
#include "ui/plotview.h"
#include "ui/text.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace relperm::analysisui {

namespace {

using ui::qs;

constexpr const char* windowKind = "SCAL Recommendation";

// The recommendation window is the browser's: its files say so.
constexpr const char* program = "pellam";
// The slider's steps from -1 to 1: t to two decimals, as its label shows it.
constexpr int stepsPerUnit = 100;
constexpr double tableSpacingPercent = 5;
// The progress bar counts thousandths of the file read.
constexpr int progressSteps = 1000;
// The sets left out that the list shows: enough to see why, few enough that a file of a
// million unfittable sets does not fill the window's memory (relperm recommend lists all).
constexpr std::size_t leftOutListed = 500;

QString setsText(std::size_t count) {
    return QString::number(count) + (count == 1 ? " data set" : " data sets");
}

QString colourName(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue).name();
}

// The case a t stands for when it is one of the three, whose parameters a file can name.
const FittedSet* caseAt(const ScalRecommendation& rec, double t) {
    if (t == -1)
        return &rec.low;
    if (t == 0)
        return &rec.base;
    if (t == 1)
        return &rec.high;
    return nullptr;
}

} // namespace

RecommendWindow::RecommendWindow(ui::WindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(std::move(services)) {
    setObjectName("recommendWindow");
    setWindowIcon(ui::browserIcon());
    setWindowTitle(windowKind);
    setAttribute(Qt::WA_DeleteOnClose);

    plot_ = new ui::PlotView(
        [this](KrAxis axis, const PlotTextSize& text) {
            if (recommendation_)
                return recommendationPlot(*recommendation_, t(), axis, text);
            Scene empty;
            empty.coordinates = krPlotCoordinates;
            addKrPlotFrame(empty, axis);
            return empty;
        },
        services_.imageDialog, services_.messages, this);
    plot_->setObjectName("recommendPlot");
    plot_->layout()->setContentsMargins(0, 0, 0, 0);

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName("t");
    slider_->setRange(-stepsPerUnit, stepsPerUnit);
    slider_->setValue(0);
    slider_->setPageStep(stepsPerUnit / 4);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(stepsPerUnit / 2);
    slider_->setToolTip("The case between low (-1), base (0) and high (1) drawn dashed and "
                        "written as simulator tables");
    connect(slider_, &QSlider::valueChanged, this, &RecommendWindow::tMoved);
    tValue_ = new QLabel(this);
    tValue_->setObjectName("tValue");
    // Wide enough for "t = -1.00", so the slider does not move as the text changes.
    tValue_->setMinimumWidth(tValue_->fontMetrics().horizontalAdvance("t = -1.00 ") + 4);
    auto* low = new QLabel("low", this);
    low->setStyleSheet("color: " + colourName(scalCaseColour(ScalCase::Low)));
    auto* high = new QLabel("high", this);
    high->setStyleSheet("color: " + colourName(scalCaseColour(ScalCase::High)));
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(low);
    sliderRow->addWidget(slider_, 1);
    sliderRow->addWidget(high);
    sliderRow->addSpacing(12);
    sliderRow->addWidget(tValue_);

    auto* plotSide = new QVBoxLayout;
    plotSide->addWidget(plot_, 1);
    plotSide->addLayout(sliderRow);

    heading_ = headingLabel("recommendHeading", this);

    progressRow_ = new QWidget(this);
    progress_ = new QProgressBar(progressRow_);
    progress_->setObjectName("progress");
    progress_->setRange(0, progressSteps);
    progress_->setFormat("Fitting the sets: %p% of the file read");
    progress_->setToolTip("Every matching set is read and fitted, in the order of the file");
    cancel_ = new QPushButton("Ca&ncel", progressRow_);
    cancel_->setObjectName("cancel");
    cancel_->setToolTip("Stop fitting the sets; no cases are made");
    connect(cancel_, &QPushButton::clicked, this, &RecommendWindow::cancel);
    auto* progressLayout = new QHBoxLayout(progressRow_);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(progress_, 1);
    progressLayout->addWidget(cancel_);
    progressRow_->hide();

    run_ = new QFutureWatcher<Outcome>(this);
    connect(run_, &QFutureWatcher<Outcome>::progressValueChanged, progress_,
            &QProgressBar::setValue);
    connect(run_, &QFutureWatcher<Outcome>::finished, this, &RecommendWindow::computationEnded);

    auto* modelBox = new QGroupBox("Model Fitted to Every Set", this);
    corey_ = new QRadioButton("&Corey", modelBox);
    corey_->setObjectName("modelCorey");
    corey_->setChecked(true);
    let_ = new QRadioButton("L&ET", modelBox);
    let_->setObjectName("modelLet");
    auto* models = new QButtonGroup(this);
    models->addButton(corey_);
    models->addButton(let_);
    connect(corey_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setModel(FitModel::Corey);
    });
    connect(let_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setModel(FitModel::Let);
    });
    weight_ = new QComboBox(modelBox);
    weight_->setObjectName("weight");
    weight_->addItem("kr", static_cast<int>(FitWeight::Kr));
    weight_->addItem("log kr", static_cast<int>(FitWeight::Log));
    weight_->setToolTip("What each fit minimises: the misfit of kr itself, or of log10 kr, "
                        "which weighs the low-kr ends");
    connect(weight_, &QComboBox::currentIndexChanged, this, &RecommendWindow::compute);
    maxRms_ = new QDoubleSpinBox(modelBox);
    maxRms_->setObjectName("maxRms");
    // 0 stands for no limit: an rms of 0 is a perfect fit, never a useful limit.
    maxRms_->setRange(0, 1);
    // Fits of measured kr reach an rms of a few thousandths: a step is one of them.
    maxRms_->setDecimals(4);
    maxRms_->setSingleStep(0.001);
    maxRms_->setSpecialValueText("none");
    // Its own size hint leaves the last digit of "0.0100" under the arrows.
    maxRms_->setMinimumWidth(maxRms_->fontMetrics().horizontalAdvance("0.00000") + 40);
    // One fit of every set per value typed, not per keystroke.
    maxRms_->setKeyboardTracking(false);
    maxRms_->setToolTip("Leave out every set whose fit's rms is above this; none keeps every "
                        "set that could be fitted");
    connect(maxRms_, &QDoubleSpinBox::valueChanged, this, &RecommendWindow::compute);
    auto* weightLabel = new QLabel("&Misfit of", modelBox);
    weightLabel->setBuddy(weight_);
    auto* maxRmsLabel = new QLabel("Max &rms", modelBox);
    maxRmsLabel->setBuddy(maxRms_);
    auto* modelLayout = new QGridLayout(modelBox);
    modelLayout->addWidget(corey_, 0, 0);
    modelLayout->addWidget(let_, 0, 1);
    modelLayout->addWidget(weightLabel, 1, 0);
    modelLayout->addWidget(weight_, 1, 1);
    modelLayout->addWidget(maxRmsLabel, 1, 2);
    modelLayout->addWidget(maxRms_, 1, 3);
    modelLayout->setColumnStretch(4, 1);

    const ParameterBox cases = parameterBox("Cases", {"Parameter", "low", "base", "high"},
                                            "recommendRefusal", "Co&py Parameters", this, true);
    parameters_ = cases.table;
    parameters_->horizontalHeaderItem(1)->setForeground(
        QColor(colourName(scalCaseColour(ScalCase::Low))));
    parameters_->horizontalHeaderItem(3)->setForeground(
        QColor(colourName(scalCaseColour(ScalCase::High))));
    // Rows of one height from the font, whether the table is measured before or after the
    // window is first shown.
    parameters_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    parameters_->verticalHeader()->setDefaultSectionSize(parameters_->fontMetrics().height() + 8);
    parameters_->setToolTip("base is the median of each parameter over the fits; low and high "
                            "its 10th or 90th percentile, whichever makes oil flow less (low) "
                            "or more (high)");
    refusalLabel_ = cases.refusal;
    misfit_ = cases.misfit;
    scaled_ = wrappingLabel("scaledCases", cases.box);
    scaled_->setToolTip("Percentiles taken one parameter at a time can leave a case less "
                        "movable saturation than any fitted set; its end points are then "
                        "scaled down to leave the least of the sets");
    // Under the misfit: both speak of the cases in the table above them.
    if (auto* boxLayout = qobject_cast<QVBoxLayout*>(cases.box->layout()))
        boxLayout->insertWidget(boxLayout->indexOf(misfit_) + 1, scaled_);
    copy_ = cases.copy;
    copy_->setToolTip("Put the three cases' parameters on the clipboard as CSV, as pyscal "
                      "reads a SCAL recommendation");
    connect(copy_, &QPushButton::clicked, this, &RecommendWindow::copyParameters);
    write_ = cases.write;
    write_->setToolTip("Write the case at the slider's t as an include file of simulator "
                       "keywords");
    connect(write_, &QPushButton::clicked, this, &RecommendWindow::writeSimulatorTables);
    tables_ = cases.tables;
    tables_->setToolTip("Open the three cases in the tables window at the slider's t: other "
                        "keywords, rows or capillary pressure");
    connect(tables_, &QPushButton::clicked, this, &RecommendWindow::openInTables);

    auto* sets = new QGroupBox("Data Sets", this);
    count_ = wrappingLabel("fitCount", sets);
    leftOut_ = new QListWidget(sets);
    leftOut_->setObjectName("leftOut");
    // Reasons are sentences: they wrap rather than scroll out of sight.
    leftOut_->setWordWrap(true);
    leftOut_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    leftOut_->setToolTip("The matching sets that could not be fitted, by their number in the "
                         "browser's Show order, and why");
    auto* setsLayout = new QVBoxLayout(sets);
    setsLayout->addWidget(count_);
    setsLayout->addWidget(leftOut_, 1);
    // With nothing left out the count stands at the top, not in the middle of the box.
    setsLayout->addStretch(0);

    auto* side = new QVBoxLayout;
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(heading_);
    side->addWidget(progressRow_);
    side->addWidget(modelBox);
    side->addWidget(cases.box);
    side->addWidget(sets, 1);
    auto* sidePanel = new QWidget;
    sidePanel->setLayout(side);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(plotSide, 1);
    layout->addWidget(scrollingPanel(sidePanel, "recommendPanel", 360, 440, this));
    resize(1100, 720);
    tMoved();
}

RecommendWindow::~RecommendWindow() {
    // A run's outcome, once taken, leaves its future neither running nor finished, so only a
    // run still going is waited for.
    if (run_->isRunning()) {
        run_->cancel();
        run_->waitForFinished();
    }
}

double RecommendWindow::t() const {
    return static_cast<double>(slider_->value()) / stepsPerUnit;
}

void RecommendWindow::recommend(std::filesystem::path dataDirectory, MatchSelection selection,
                                QString description) {
    dataDirectory_ = std::move(dataDirectory);
    selection_ = std::move(selection);
    description_ = std::move(description);
    compute();
}

void RecommendWindow::setModel(FitModel model) {
    {
        // The buttons follow a model set from outside without asking for a second fit.
        const QSignalBlocker quietCorey(corey_);
        const QSignalBlocker quietLet(let_);
        corey_->setChecked(model == FitModel::Corey);
        let_->setChecked(model == FitModel::Let);
    }
    if (model == model_)
        return;
    model_ = model;
    compute();
}

void RecommendWindow::compute() {
    if (!selection_)
        return;
    // A run still going is overtaken: cancelled, and the watcher no longer hears of it.
    run_->cancel();
    recommendation_.reset();
    refusal_.clear();
    working_ = true;
    cancelled_ = false;
    progress_->setValue(0);
    run_->setFuture(
        QtConcurrent::run([dataDirectory = dataDirectory_, selection = *selection_, model = model_,
                           options = options()](QPromise<Outcome>& promise) {
            promise.setProgressRange(0, progressSteps);
            const WorkControl control{[&promise](double fraction) {
                                          promise.setProgressValue(
                                              static_cast<int>(progressSteps * fraction));
                                      },
                                      [&promise] { return promise.isCanceled(); }};
            promise.addResult(recommendScal(dataDirectory, selection.system, selection.lists,
                                            {selection.searchPercent, selection.tolerance},
                                            selection.user, model, options, control));
        }));
    showRecommendation();
}

RecommendOptions RecommendWindow::options() const {
    RecommendOptions options;
    options.fit.weight = static_cast<FitWeight>(weight_->currentData().toInt());
    if (maxRms_->value() > 0)
        options.maxRms = maxRms_->value();
    return options;
}

void RecommendWindow::computationEnded() {
    // The watcher hears only of the run started last; cancelled, even after it ended, that
    // run is no longer wanted.
    if (!working_ || run_->isCanceled() || run_->future().resultCount() == 0)
        return;
    working_ = false;
    Outcome outcome = run_->future().takeResult();
    if (auto* made = std::get_if<ScalRecommendation>(&outcome)) {
        recommendation_ = std::move(*made);
        refusal_.clear();
    } else {
        recommendation_.reset();
        refusal_ = qs(std::get<Refusal>(outcome).message);
    }
    showRecommendation();
    emit computed();
}

void RecommendWindow::cancel() {
    if (!working_)
        return;
    run_->cancel();
    working_ = false;
    cancelled_ = true;
    refusal_ = "Cancelled before every matching set was fitted, so there are no cases. Choose "
               "SCAL Recommendation in the browser's Tools menu, or the other model here, to "
               "fit the sets again.";
    showRecommendation();
}

void RecommendWindow::showRecommendation() {
    const QString system = qs(std::string(systemListText(selection_->system)));
    QString shown = system;
    if (recommendation_)
        shown += ", " + setsText(recommendation_->fits.size() + recommendation_->leftOut.size());
    setWindowTitle(ui::windowTitleOf(shown, windowKind));
    heading_->setText(description_.isEmpty() ? system : description_);
    progressRow_->setVisible(working_);
    refusalLabel_->setText(refusal_);
    refusalLabel_->setVisible(!recommendation_ && !working_);
    showParameters();
    showLeftOut();
    plot_->refresh();
}

void RecommendWindow::showParameters() {
    parameters_->setVisible(recommendation_.has_value());
    misfit_->setVisible(recommendation_.has_value());
    scaled_->setVisible(false);
    copy_->setEnabled(recommendation_.has_value());
    write_->setEnabled(recommendation_.has_value());
    tables_->setEnabled(recommendation_.has_value());
    parameters_->setRowCount(0);
    if (!recommendation_)
        return;
    const ScalRecommendation& rec = *recommendation_;
    const std::vector<std::string> names = fitParameterNames(rec.system, rec.model);
    const std::vector<double> values[] = {fitParameterValues(rec.low), fitParameterValues(rec.base),
                                          fitParameterValues(rec.high)};
    for (std::size_t i = 0; i < names.size(); ++i) {
        // The misfit is no parameter of a case: it stands under the table in words.
        if (names[i] == "rms")
            continue;
        const int row = parameters_->rowCount();
        parameters_->insertRow(row);
        parameters_->setItem(row, 0, new QTableWidgetItem(qs(names[i])));
        for (int column = 0; column < 3; ++column) {
            const std::vector<double>& of = values[column];
            auto* value = new QTableWidgetItem(i < of.size() ? qs(fitValueText(of[i])) : "");
            value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            parameters_->setItem(row, column + 1, value);
        }
    }
    fitHeightToRows(parameters_);
    misfit_->setText(QString("Each set fitted with %1 curves on its own normalised saturation; "
                             "the median misfit is rms %2 of kr.")
                         .arg(qs(fitModelName(rec.model)))
                         .arg(qs(fitValueText(rec.base.rms))));
    QStringList scaled;
    for (const ScaledEndPoints& one : rec.scaled)
        scaled.push_back(qs(scaledText(rec, one)));
    if (const std::string bounds = boundsText(rec); !bounds.empty())
        scaled.push_back(qs(bounds));
    scaled_->setText(scaled.join("\n"));
    scaled_->setVisible(!scaled.isEmpty());
}

void RecommendWindow::showLeftOut() {
    leftOut_->clear();
    if (!recommendation_) {
        count_->setText(working_     ? "Fitting every matching data set..."
                        : cancelled_ ? "The fitting was cancelled."
                                     : "No data set could be fitted.");
        leftOut_->hide();
        return;
    }
    const ScalRecommendation& rec = *recommendation_;
    const std::size_t all = rec.fits.size() + rec.leftOut.size();
    // Sets fitted worse than allowed were fitted, but the cases do not use them.
    const std::size_t overRms = leftOutForRms(rec);
    QString count = QString("%1 of %2 %3; %4 left out")
                        .arg(rec.fits.size())
                        .arg(setsText(all))
                        .arg(overRms ? "used" : "fitted")
                        .arg(rec.leftOut.size());
    if (overRms)
        count += QString(", %1 of them for an rms above %2")
                     .arg(overRms)
                     .arg(qs(formatGeneral(maxRms_->value())));
    count += rec.leftOut.empty() ? "." : ":";
    if (rec.problem)
        count += "\n" + qs(rec.problem->message());
    count_->setText(count);
    for (std::size_t i = 0; i < rec.leftOut.size() && i < leftOutListed; ++i) {
        const LeftOutSet& set = rec.leftOut[i];
        auto* item = new QListWidgetItem(
            QString("Data set # %1: %2").arg(set.match).arg(qs(set.reason)), leftOut_);
        item->setToolTip(qs(set.reason));
    }
    if (rec.leftOut.size() > leftOutListed)
        new QListWidgetItem(QString("... and %1 more (relperm recommend lists every one)")
                                .arg(rec.leftOut.size() - leftOutListed),
                            leftOut_);
    leftOut_->setVisible(!rec.leftOut.empty());
}

void RecommendWindow::tMoved() {
    tValue_->setText(qs(scalTText(t())));
    if (recommendation_)
        plot_->refresh();
}

void RecommendWindow::copyParameters() {
    if (recommendation_)
        QApplication::clipboard()->setText(qs(recommendationCsv(*recommendation_)));
}

void RecommendWindow::writeSimulatorTables() {
    if (!recommendation_)
        return;
    const ScalRecommendation& rec = *recommendation_;
    const double at = t();
    std::vector<std::string> head{"Relative permeability tables written by " +
                                  std::string(program) + " " + suiteVersion +
                                  " (Relative Permeability Suite)."};
    head.push_back("SCAL recommendation at " + scalTText(at) + " (-1 low, 0 base, 1 high) from " +
                   fitModelName(rec.model) + " fits of " + std::to_string(rec.fits.size()) +
                   " measured data sets:");
    head.push_back(
        (description_.isEmpty() ? qs(std::string(systemListText(rec.system))) : description_)
            .toStdString());
    if (options().fit.weight == FitWeight::Log)
        head.push_back("Each set fitted to log10 kr (kr below 1e-4 as 1e-4).");
    if (const std::size_t overRms = leftOutForRms(rec))
        head.push_back(std::to_string(overRms) + (overRms == 1 ? " fitted set" : " fitted sets") +
                       " left out for an rms above " + formatGeneral(maxRms_->value()) + ".");
    for (const ScaledEndPoints& scaled : rec.scaled)
        head.push_back(scaledText(rec, scaled));
    if (const FittedSet* which = caseAt(rec, at))
        head.push_back("Parameters: " + fitParametersText(*which, false) + ".");
    head.push_back("Capillary pressure is 0 throughout.");
    head.push_back(rowsText(rec.system, tableSpacingPercent));
    auto tables = recommendationTables(rec, at, tableSpacingPercent, 1);
    if (auto* refusal = std::get_if<Refusal>(&tables)) {
        ui::saveMadeFile(this, services_, std::variant<std::string, Refusal>(*refusal));
        return;
    }
    ui::saveMadeFile(this, services_,
                     simulatorFile(std::get<SaturationTables>(tables), head,
                                   SimulatorOptions{measuredKeywords(rec.system)}));
}

TablesWindow* RecommendWindow::openInTables() {
    if (!recommendation_)
        return nullptr;
    // The browser's child, not this window's: it outlives the recommendation it was opened
    // from, and another run here does not change what it shows.
    if (!tablesWindow_)
        tablesWindow_ = new TablesWindow(services_, program, parentWidget());
    const QString named = description_.isEmpty()
                              ? qs(std::string(systemListText(recommendation_->system)))
                              : description_;
    if (tablesWindow_->showParameters(recommendationCsv(*recommendation_),
                                      "SCAL recommendation of " + named.toStdString()))
        tablesWindow_->setIntParamWo(t());
    tablesWindow_->show();
    tablesWindow_->raise();
    tablesWindow_->activateWindow();
    return tablesWindow_;
}

} // namespace relperm::analysisui
