#include "analysis/ui/tableswindow.h"

#include "analysis/ui/panelparts.h"

#include "common/filewrite.h"
#include "satfunc/tablesplot.h"
#include "satfunc/xlsx.h"
#include "ui/filedialog.h"
#include "ui/icons.h"
#include "ui/messages.h"
#include "ui/plotview.h"
#include "ui/text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace relperm::analysisui {

namespace {

using ui::qs;

constexpr const char* windowKind = "Tables from Parameters";

QDoubleSpinBox* intParamBox(const char* name, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(-1, 1);
    box->setDecimals(2);
    box->setSingleStep(0.05);
    box->setValue(0);
    return box;
}

} // namespace

TablesWindow::TablesWindow(ui::WindowServices services, std::string program, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(std::move(services)), program_(std::move(program)) {
    setObjectName("tablesWindow");
    setWindowIcon(program_ == "vomar" ? ui::calculatorIcon() : ui::browserIcon());
    setWindowTitle(windowKind);
    setAttribute(Qt::WA_DeleteOnClose);

    krPlot_ =
        new ui::PlotView([this](KrAxis axis) { return satfunc::tablesKrPlot(shownRegion(), axis); },
                         services_.imageDialog, services_.messages, this);
    krPlot_->setObjectName("krPlot");
    krPlot_->layout()->setContentsMargins(0, 0, 0, 0);
    pcPlot_ = new ui::PlotView([this](KrAxis) { return satfunc::tablesPcPlot(shownRegion()); },
                               services_.imageDialog, services_.messages, this);
    pcPlot_->setObjectName("pcPlot");
    pcPlot_->layout()->setContentsMargins(0, 0, 0, 0);
    pcPlot_->showCapillaryPressure();
    auto* plots = new QVBoxLayout;
    plots->addWidget(krPlot_, 3);
    plots->addWidget(pcPlot_, 2);

    heading_ = headingLabel("tablesHeading", this);
    heading_->setText("No parameter table yet: open one.");
    auto* open = new QPushButton("&Open...", this);
    open->setObjectName("openTable");
    open->setToolTip("Open a parameter table: a CSV file or an .xlsx workbook, a row per SATNUM "
                     "(three with a CASE column for a SCAL recommendation)");
    connect(open, &QPushButton::clicked, this, &TablesWindow::openTable);
    auto* openRow = new QHBoxLayout;
    openRow->addWidget(heading_, 1);
    openRow->addWidget(open, 0, Qt::AlignTop);

    // A workbook often keeps a table per sheet (the regions on one, a SCAL recommendation on
    // the next): the engineer picks among them here rather than through Open... again.
    sheetRow_ = new QWidget(this);
    sheet_ = new QComboBox(sheetRow_);
    sheet_->setObjectName("sheet");
    sheet_->setToolTip("The sheet of the workbook whose table is shown");
    connect(sheet_, &QComboBox::activated, this, &TablesWindow::sheetChosen);
    auto* sheetLabel = new QLabel("S&heet:", sheetRow_);
    sheetLabel->setBuddy(sheet_);
    auto* sheetLayout = new QHBoxLayout(sheetRow_);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    sheetLayout->addWidget(sheetLabel);
    sheetLayout->addWidget(sheet_, 1);
    sheetRow_->hide();

    auto* regionBox = new QGroupBox("Regions", this);
    regions_ = new QListWidget(regionBox);
    regions_->setObjectName("regions");
    regions_->setToolTip("Choose a region to see its curves; the file holds them all");
    connect(regions_, &QListWidget::currentRowChanged, this, [this] {
        showTitle();
        krPlot_->refresh();
        pcPlot_->refresh();
    });
    auto* regionLayout = new QVBoxLayout(regionBox);
    regionLayout->addWidget(regions_);

    auto* optionBox = new QGroupBox("Keywords and Rows", this);
    family1_ = new QRadioButton("Family &1: SWOF, SGOF", optionBox);
    family1_->setObjectName("family1");
    family1_->setChecked(true);
    family2_ = new QRadioButton("Family &2: SWFN, SGFN, SOF3", optionBox);
    family2_->setObjectName("family2");
    family2_->setToolTip("Gas-water tables are always SWFN and SGFN");
    auto* families = new QButtonGroup(this);
    families->addButton(family1_);
    families->addButton(family2_);
    connect(families, &QButtonGroup::buttonClicked, this, [this] {
        // Once picked, family 1 is a choice the tables must meet, as --family 1 is.
        familyChosen_ = true;
        showOptions();
        recompute();
    });
    slgof_ = new QCheckBox("SLGOF &in place of SGOF", optionBox);
    slgof_->setObjectName("slgof");
    connect(slgof_, &QCheckBox::toggled, this, &TablesWindow::recompute);
    deltaSGiven_ = new QCheckBox("Row s&tep", optionBox);
    deltaSGiven_->setObjectName("deltaSGiven");
    deltaSGiven_->setToolTip("Unticked: each row's h column, else 0.01. The end points get rows "
                             "of their own either way");
    deltaS_ = new QDoubleSpinBox(optionBox);
    deltaS_->setObjectName("deltaS");
    deltaS_->setRange(0.001, 1);
    deltaS_->setDecimals(3);
    deltaS_->setSingleStep(0.005);
    deltaS_->setValue(0.01);
    deltaS_->setEnabled(false);
    connect(deltaSGiven_, &QCheckBox::toggled, this, [this](bool on) {
        deltaS_->setEnabled(on);
        recompute();
    });
    connect(deltaS_, &QDoubleSpinBox::valueChanged, this, &TablesWindow::recompute);
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(deltaSGiven_);
    stepRow->addWidget(deltaS_);
    stepRow->addStretch(1);
    auto* optionLayout = new QVBoxLayout(optionBox);
    optionLayout->addWidget(family1_);
    optionLayout->addWidget(family2_);
    optionLayout->addWidget(slgof_);
    optionLayout->addLayout(stepRow);

    scal_ = new QGroupBox("SCAL Recommendation", this);
    scal_->setToolTip("-1 low, 0 base, 1 high; between them the curves are interpolated");
    intParamWo_ = intParamBox("intParamWo", scal_);
    intParamGoOwn_ = new QCheckBox("&Gas-oil:", scal_);
    intParamGoOwn_->setObjectName("intParamGoOwn");
    intParamGoOwn_->setToolTip("Unticked, the gas-oil curves are taken where the water-oil are");
    intParamGo_ = intParamBox("intParamGo", scal_);
    intParamGo_->setEnabled(false);
    connect(intParamWo_, &QDoubleSpinBox::valueChanged, this, &TablesWindow::recompute);
    connect(intParamGo_, &QDoubleSpinBox::valueChanged, this, &TablesWindow::recompute);
    connect(intParamGoOwn_, &QCheckBox::toggled, this, [this](bool on) {
        intParamGo_->setEnabled(on);
        recompute();
    });
    auto* scalLayout = new QHBoxLayout(scal_);
    scalLayout->addWidget(new QLabel("W&ater-oil:", scal_));
    qobject_cast<QLabel*>(scalLayout->itemAt(0)->widget())->setBuddy(intParamWo_);
    scalLayout->addWidget(intParamWo_);
    scalLayout->addSpacing(12);
    scalLayout->addWidget(intParamGoOwn_);
    scalLayout->addWidget(intParamGo_);
    scalLayout->addStretch(1);

    auto* checkBox = new QGroupBox("Simulator Checks", this);
    finding_ = wrappingLabel("finding", checkBox);
    finding_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long refusal takes the room it needs from the region list above it.
    finding_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
    write_ = new QPushButton("&Write Include File...", checkBox);
    write_->setObjectName("writeInclude");
    write_->setToolTip("Write every region's tables as an include file of simulator keywords");
    connect(write_, &QPushButton::clicked, this, &TablesWindow::writeIncludeFile);
    auto* checkLayout = new QVBoxLayout(checkBox);
    checkLayout->addWidget(finding_);
    checkLayout->addWidget(write_, 0, Qt::AlignLeft);

    auto* side = new QVBoxLayout;
    side->setContentsMargins(0, 0, 0, 0);
    side->addLayout(openRow);
    side->addWidget(sheetRow_);
    side->addWidget(regionBox, 1);
    side->addWidget(optionBox);
    side->addWidget(scal_);
    side->addWidget(checkBox);
    auto* sidePanel = new QWidget(this);
    sidePanel->setLayout(side);
    // One width, so the findings, which wrap, are measured at the width they are shown at.
    sidePanel->setFixedWidth(380);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(plots, 1);
    layout->addWidget(sidePanel);
    resize(1100, 760);
    showOptions();
    recompute();
}

TablesWindow::~TablesWindow() = default;

void TablesWindow::openTable() {
    const std::optional<QString> path = services_.fileDialog->choose(
        this, ui::FileDialog::Mode::Open, "Parameter tables (*.csv *.xlsx)");
    if (path)
        openFile(*path);
}

bool TablesWindow::openFile(const QString& file, const QString& sheet) {
    auto read = satfunc::readParameterTable(file.toStdString(), sheet.toStdString());
    if (auto* refusal = std::get_if<Refusal>(&read)) {
        services_.messages->warn(this, windowTitle(), qs(refusal->message));
        return false;
    }
    // The table stays protected while it is shown: no write of this process may replace it,
    // whichever dialog named it.
    protected_ = std::make_unique<ProtectedFiles>(
        std::vector<ReadInput>{{file.toStdString(), "the parameter table"}});
    showSheets(file, sheet);
    QString title = QFileInfo(file).fileName();
    if (!workbook_.isEmpty())
        title += ", " + shownSheet_;
    showTable(std::get<satfunc::ParameterTable>(std::move(read)), title);
    return true;
}

void TablesWindow::showSheets(const QString& file, const QString& sheet) {
    workbook_.clear();
    shownSheet_.clear();
    const QSignalBlocker quiet(sheet_);
    sheet_->clear();
    const QString ending = QFileInfo(file).suffix().toLower();
    if (ending == "xlsx" || ending == "xlsm") {
        // The table was just read from the workbook, so its sheets list; were they not, the
        // table alone is shown, as for a workbook of one sheet.
        auto names = xlsxSheetNames(file.toStdString());
        if (auto* listed = std::get_if<std::vector<std::string>>(&names))
            for (const std::string& name : *listed)
                sheet_->addItem(qs(name));
    }
    if (sheet_->count() < 2) {
        sheet_->clear();
        sheetRow_->hide();
        return;
    }
    workbook_ = file;
    // The sheet read: the first when none was named, else the one named, as typed or in
    // another case, as the reader matches it.
    int shown = 0;
    if (!sheet.isEmpty()) {
        shown = sheet_->findText(sheet, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (shown < 0)
            shown = sheet_->findText(sheet, Qt::MatchFixedString);
    }
    sheet_->setCurrentIndex(std::max(shown, 0));
    shownSheet_ = sheet_->currentText();
    sheetRow_->show();
}

void TablesWindow::sheetChosen() {
    // A copy: opening the sheet lists the workbook's sheets afresh, clearing workbook_.
    const QString workbook = workbook_;
    if (workbook.isEmpty() || sheet_->currentText() == shownSheet_ ||
        openFile(workbook, sheet_->currentText()))
        return;
    // A sheet that holds no table leaves the one shown, and the list names that one again.
    const QSignalBlocker quiet(sheet_);
    sheet_->setCurrentIndex(
        sheet_->findText(shownSheet_, Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

bool TablesWindow::showParameters(const std::string& csv, const std::string& name) {
    auto read = satfunc::parameterTableFromCsv(csv, name);
    if (auto* refusal = std::get_if<Refusal>(&read)) {
        services_.messages->warn(this, windowTitle(), qs(refusal->message));
        return false;
    }
    protected_.reset();
    workbook_.clear();
    shownSheet_.clear();
    sheetRow_->hide();
    showTable(std::get<satfunc::ParameterTable>(std::move(read)), qs(name));
    return true;
}

void TablesWindow::showTable(satfunc::ParameterTable table, const QString& title) {
    table_ = std::move(table);
    shownName_ = title;
    heading_->setText(qs(table_->file));
    {
        const QSignalBlocker quiet(regions_);
        regions_->clear();
        entries_ = satfunc::regionEntries(*table_);
        for (const satfunc::RegionEntry& entry : entries_)
            regions_->addItem(qs(entry.label));
        regions_->setCurrentRow(0);
    }
    showTitle();
    showOptions();
    recompute();
}

void TablesWindow::showTitle() {
    QString shown = shownName_;
    // A table of one region needs no name for it.
    const int row = regions_->currentRow();
    if (entries_.size() > 1 && row >= 0 && static_cast<std::size_t>(row) < entries_.size())
        shown += ", SATNUM " + QString::number(entries_[static_cast<std::size_t>(row)].satnum);
    setWindowTitle(ui::windowTitleOf(shown, windowKind));
}

void TablesWindow::setIntParamWo(double t) {
    intParamWo_->setValue(t);
}

satfunc::TablesOptions TablesWindow::options() const {
    satfunc::TablesOptions options;
    options.family = family2_->isChecked() ? 2 : 1;
    options.familyGiven = familyChosen_;
    options.slgof = slgof_->isEnabled() && slgof_->isChecked();
    if (deltaSGiven_->isChecked())
        options.deltaS = deltaS_->value();
    if (table_ && table_->scal) {
        options.intParamWo = {intParamWo_->value()};
        if (intParamGoOwn_->isChecked())
            options.intParamGo = {intParamGo_->value()};
    }
    options.program = program_;
    return options;
}

void TablesWindow::showOptions() {
    slgof_->setEnabled(family1_->isChecked());
    scal_->setEnabled(table_ && table_->scal);
}

void TablesWindow::recompute() {
    if (!table_) {
        preview_ = {};
        finding_->setText("Open a parameter table to see its tables and what the simulator "
                          "checks find.");
        finding_->setStyleSheet({});
        write_->setEnabled(false);
        krPlot_->refresh();
        pcPlot_->refresh();
        return;
    }
    preview_ = satfunc::previewTables(*table_, options());
    finding_->setText(qs(preview_.finding));
    finding_->setStyleSheet(preview_.file ? QString() : QString("color: #b00000"));
    write_->setEnabled(preview_.file.has_value());
    krPlot_->refresh();
    pcPlot_->refresh();
}

const satfunc::RegionCurves& TablesWindow::shownRegion() const {
    static const satfunc::RegionCurves none;
    const int row = regions_ ? regions_->currentRow() : -1;
    if (row < 0)
        return none;
    // The list holds every SATNUM of the table; the curves only those that could be made.
    if (static_cast<std::size_t>(row) >= entries_.size())
        return none;
    for (const satfunc::RegionCurves& region : preview_.regions)
        if (region.satnum == entries_[static_cast<std::size_t>(row)].satnum)
            return region;
    return none;
}

void TablesWindow::writeIncludeFile() {
    if (!preview_.file || !table_)
        return;
    const std::optional<QString> path =
        services_.fileDialog->choose(this, ui::FileDialog::Mode::Save, ui::fileKinds::include,
                                     qs(satfunc::includeFileName(table_->file)));
    if (!path)
        return;
    if (auto failure = writeFileAtomically(path->toStdString(), *preview_.file))
        services_.messages->warn(this, windowTitle(), qs(*failure));
}

} // namespace relperm::analysisui
