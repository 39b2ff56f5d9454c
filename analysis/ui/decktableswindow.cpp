#include "analysis/ui/decktableswindow.h"

#include "analysis/ui/fitwindow.h"
#include "analysis/ui/panelparts.h"

#include "analysis/deckview.h"
#include "analysis/fitexport.h"
#include "analysis/tablefit.h"
#include "common/filewrite.h"
#include "deck/convert.h"
#include "deck/reader.h"
#include "ui/filedialog.h"
#include "ui/icons.h"
#include "ui/messages.h"
#include "ui/plotview.h"
#include "ui/text.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace relperm::analysisui {

namespace {

using ui::qs;

constexpr const char* windowKind = "Simulator Tables";

// A note under a row of controls takes room only once it has something to say.
void setNote(QLabel* note, const QString& text) {
    note->setText(text);
    note->setVisible(!text.isEmpty());
}

QPushButton* button(const QString& text, const char* name, const QString& tip, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
}

} // namespace

DeckTablesWindow::DeckTablesWindow(ui::WindowServices services, std::string program,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), services_(std::move(services)), program_(std::move(program)) {
    setObjectName("deckTablesWindow");
    setWindowIcon(program_ == "vomar" ? ui::calculatorIcon() : ui::browserIcon());
    setWindowTitle(windowKind);
    setAttribute(Qt::WA_DeleteOnClose);

    krPlot_ = new ui::PlotView(
        [this](KrAxis axis) {
            if (deck_)
                return deckKrPlot(*deck_, shownRegion(), findings_, chosenFinding_, axis);
            Scene empty;
            empty.coordinates = krPlotCoordinates;
            addKrPlotFrame(empty, axis);
            return empty;
        },
        services_.imageDialog, services_.messages, this);
    krPlot_->setObjectName("krPlot");
    krPlot_->layout()->setContentsMargins(0, 0, 0, 0);
    pcPlot_ = new ui::PlotView(
        [this](KrAxis) { return deck_ ? deckPcPlot(*deck_, shownRegion()) : Scene{}; },
        services_.imageDialog, services_.messages, this);
    pcPlot_->setObjectName("pcPlot");
    pcPlot_->layout()->setContentsMargins(0, 0, 0, 0);
    pcPlot_->showCapillaryPressure();
    pcPlot_->hide();
    auto* plots = new QVBoxLayout;
    plots->addWidget(krPlot_, 3);
    plots->addWidget(pcPlot_, 2);

    heading_ = headingLabel("deckHeading", this);
    heading_->setText("No simulator tables yet: open an include file or a deck.");
    auto* open =
        button("&Open...", "openDeck",
               "Open an include file or a .DATA deck; its INCLUDE files are read too", this);
    connect(open, &QPushButton::clicked, this, &DeckTablesWindow::openDeck);
    auto* openRow = new QHBoxLayout;
    openRow->addWidget(heading_, 1);
    openRow->addWidget(open, 0, Qt::AlignTop);

    auto* regionBox = new QGroupBox("Regions", this);
    regions_ = new QListWidget(regionBox);
    regions_->setObjectName("regions");
    regions_->setToolTip("Choose a SATNUM region to see its tables");
    connect(regions_, &QListWidget::currentRowChanged, this, &DeckTablesWindow::showRegion);
    auto* regionLayout = new QVBoxLayout(regionBox);
    regionLayout->addWidget(regions_);

    checks_ = new QGroupBox("Simulator Checks", this);
    summary_ = wrappingLabel("checkSummary", checks_);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    findingList_ = new QListWidget(checks_);
    findingList_->setObjectName("findings");
    // The findings are sentences: they wrap rather than scroll out of sight.
    findingList_->setWordWrap(true);
    findingList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    findingList_->setToolTip("Choose a finding to see its region, its row marked on the plot");
    connect(findingList_, &QListWidget::currentRowChanged, this, &DeckTablesWindow::findingChosen);
    auto* checkLayout = new QVBoxLayout(checks_);
    checkLayout->addWidget(summary_);
    checkLayout->addWidget(findingList_, 1);

    auto* convertBox = new QGroupBox("Convert", this);
    family_ = new QComboBox(convertBox);
    family_->setObjectName("family");
    family_->addItem("Family 1: SWOF, SGOF", static_cast<int>(deck::TargetFamily::Family1));
    family_->addItem("Family 2: SWFN, SGFN, SOF3", static_cast<int>(deck::TargetFamily::Family2));
    family_->addItem("SWOF and SLGOF", static_cast<int>(deck::TargetFamily::Slgof));
    family_->setToolTip("The keywords to write every region's tables in; the simulator computes "
                        "the same from either");
    convert_ = button("Con&vert...", "convert",
                      "Write the tables in the keywords chosen, as an include file", convertBox);
    connect(convert_, &QPushButton::clicked, this, &DeckTablesWindow::convert);
    convertNote_ = wrappingLabel("convertNote", convertBox);
    auto* convertRow = new QHBoxLayout;
    convertRow->addWidget(family_, 1);
    convertRow->addWidget(convert_);
    auto* convertLayout = new QVBoxLayout(convertBox);
    convertLayout->addLayout(convertRow);
    convertLayout->addWidget(convertNote_);

    auto* fitBox = new QGroupBox("Fit the Shown Region", this);
    fitKeyword_ = new QComboBox(fitBox);
    fitKeyword_->setObjectName("fitKeyword");
    fitKeyword_->setToolTip("The table fitted, with the oil curve the region's SOF3 or SOF2 "
                            "gives a family 2 table");
    fitModel_ = new QComboBox(fitBox);
    fitModel_->setObjectName("fitModel");
    fitModel_->addItem(qs(fitModelName(FitModel::Corey)), static_cast<int>(FitModel::Corey));
    fitModel_->addItem(qs(fitModelName(FitModel::Let)), static_cast<int>(FitModel::Let));
    fit_ = button("&Fit...", "fit",
                  "Fit the model to the table's rows between its end points, in the fit window",
                  fitBox);
    connect(fit_, &QPushButton::clicked, this, &DeckTablesWindow::fit);
    fitNote_ = wrappingLabel("fitNote", fitBox);
    fitNote_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* fitRow = new QHBoxLayout;
    fitRow->addWidget(fitKeyword_, 1);
    fitRow->addWidget(fitModel_, 1);
    fitRow->addWidget(fit_);
    auto* fitLayout = new QVBoxLayout(fitBox);
    fitLayout->addLayout(fitRow);
    fitLayout->addWidget(fitNote_);

    auto* side = new QVBoxLayout;
    side->setContentsMargins(0, 0, 0, 0);
    side->addLayout(openRow);
    side->addWidget(regionBox, 1);
    side->addWidget(checks_, 2);
    side->addWidget(convertBox);
    side->addWidget(fitBox);
    auto* sidePanel = new QWidget(this);
    sidePanel->setLayout(side);
    // One width, so the findings, which wrap, are measured at the width they are shown at.
    sidePanel->setFixedWidth(380);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(plots, 1);
    layout->addWidget(sidePanel);
    resize(1100, 760);
    setNote(convertNote_, {});
    setNote(fitNote_, {});
    showFindings();
}

DeckTablesWindow::~DeckTablesWindow() = default;

void DeckTablesWindow::openDeck() {
    const std::optional<QString> path = services_.fileDialog->choose(
        this, ui::FileDialog::Mode::Open,
        "Include files and decks (*.inc *.INC *.DATA *.data *.grdecl *.GRDECL)");
    if (path)
        openFile(*path);
}

bool DeckTablesWindow::openFile(const QString& file) {
    auto read = deck::readDeck(file.toStdString(), PipeUse::Read);
    QString refusal;
    if (auto* r = std::get_if<Refusal>(&read))
        refusal = qs(r->message);
    else if (std::get<deck::DeckTables>(read).keywords.empty())
        refusal = qs(deck::noSaturationTable(file.toStdString()));
    if (!refusal.isEmpty()) {
        services_.messages->warn(this, windowTitle(), refusal);
        return false;
    }
    showDeck(std::get<deck::DeckTables>(std::move(read)), file);
    return true;
}

void DeckTablesWindow::showDeck(deck::DeckTables tables, const QString& file) {
    deck_ = std::move(tables);
    findings_ = deck::checkTables(*deck_);
    chosenFinding_.reset();
    // The deck and every file it includes stay protected while they are shown: no write of
    // this process may replace them, whichever dialog named them.
    std::vector<ReadInput> inputs;
    for (std::size_t i = 0; i < deck_->files.size(); ++i)
        inputs.push_back({deck_->files[i], i == 0 ? "the deck" : "a file the deck includes"});
    protected_ = std::make_unique<ProtectedFiles>(std::move(inputs));

    deckName_ = QFileInfo(file).fileName();
    heading_->setText(file);
    setNote(convertNote_, {});
    setNote(fitNote_, {});
    {
        const QSignalBlocker quiet(regions_);
        regions_->clear();
        for (const std::string& label : deckRegionLabels(*deck_, findings_))
            regions_->addItem(qs(label));
        regions_->setCurrentRow(0);
    }
    fitKeyword_->clear();
    for (deck::SatKeyword keyword : fitKeywords(*deck_))
        fitKeyword_->addItem(deck::keywordName(keyword));
    pcPlot_->setVisible(deckHasPc(*deck_));
    showFindings();
    showRegion();
}

void DeckTablesWindow::showFindings() {
    convert_->setEnabled(deck_.has_value());
    family_->setEnabled(deck_.has_value());
    fit_->setEnabled(deck_ && fitKeyword_->count() > 0);
    fitKeyword_->setEnabled(fit_->isEnabled());
    fitModel_->setEnabled(fit_->isEnabled());
    const QSignalBlocker quiet(findingList_);
    findingList_->clear();
    const bool listed = deck_ && !findings_.empty();
    findingList_->setVisible(listed);
    // With nothing listed the box keeps to its sentence, and the room goes to the regions.
    checks_->setSizePolicy(QSizePolicy::Preferred,
                           listed ? QSizePolicy::Preferred : QSizePolicy::Maximum);
    if (!deck_) {
        summary_->setText("Open an include file or a deck to see its tables and what the "
                          "simulator checks find.");
        return;
    }
    summary_->setText(qs(checksSummary(*deck_, findings_)));
    summary_->setStyleSheet(listed ? QString("color: #b00000") : QString());
    for (const deck::Finding& f : findings_) {
        auto* item = new QListWidgetItem(qs(findingLine(f)), findingList_);
        item->setToolTip(qs(deck::findingsText({f})).trimmed());
    }
}

void DeckTablesWindow::findingChosen() {
    const int row = findingList_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= findings_.size()) {
        chosenFinding_.reset();
        showRegion();
        return;
    }
    chosenFinding_ = static_cast<std::size_t>(row);
    const int satnum = findings_[*chosenFinding_].satnum;
    // A finding of another region shows that region, where its row is marked.
    if (satnum > 0 && satnum != shownRegion() && satnum <= regions_->count())
        regions_->setCurrentRow(satnum - 1);
    else
        showRegion();
}

int DeckTablesWindow::shownRegion() const {
    return deck_ && regions_ ? regions_->currentRow() + 1 : 0;
}

void DeckTablesWindow::showRegion() {
    QString shown = deckName_;
    // A deck of one region needs no name for it.
    if (deck_ && deckRegionCount(*deck_) > 1)
        shown += ", SATNUM " + QString::number(shownRegion());
    setWindowTitle(ui::windowTitleOf(shown, windowKind));
    krPlot_->refresh();
    pcPlot_->refresh();
}

void DeckTablesWindow::convert() {
    if (!deck_)
        return;
    const auto family = static_cast<deck::TargetFamily>(family_->currentData().toInt());
    // Made before the name is asked, so a refusal never follows the choice of a file.
    const std::variant<std::string, Refusal> made = deck::convertedFile(*deck_, family);
    if (const auto* refusal = std::get_if<Refusal>(&made)) {
        services_.messages->warn(this, windowTitle(), qs(refusal->message));
        return;
    }
    const std::optional<QString> path =
        services_.fileDialog->choose(this, ui::FileDialog::Mode::Save, ui::fileKinds::include,
                                     qs(convertedFileName(deck_->files.front(), family)));
    if (!path)
        return;
    if (auto failure = writeFileAtomically(path->toStdString(), std::get<std::string>(made))) {
        services_.messages->warn(this, windowTitle(), qs(*failure));
        return;
    }
    setNote(convertNote_, "Written: " + *path);
}

FitWindow* DeckTablesWindow::fit() {
    const std::optional<deck::SatKeyword> keyword =
        deck::satKeyword(fitKeyword_->currentText().toStdString());
    if (!deck_ || !keyword)
        return nullptr;
    const auto model = static_cast<FitModel>(fitModel_->currentData().toInt());
    const QString table = fitKeyword_->currentText() + " table " + QString::number(shownRegion());
    auto set = tableDataSet(*deck_, *keyword, shownRegion());
    if (const auto* refusal = std::get_if<Refusal>(&set)) {
        services_.messages->warn(this, windowTitle(), qs(refusal->message));
        return nullptr;
    }
    QPointer<FitWindow>& window = fitWindows_[model];
    // The program's child, not this window's: a fit outlives the deck it was made from.
    if (!window)
        window = new FitWindow(model, services_, parentWidget() ? parentWidget() : this);
    window->showFit(std::get<ShownDataSet>(std::move(set)));
    window->show();
    window->raise();
    window->activateWindow();
    const QString name = qs(fitModelName(model)) + " fit of " + table;
    if (window->fit())
        setNote(fitNote_, name + ": " + qs(fitParametersText(*window->fit(), true)) + ".");
    else
        setNote(fitNote_, name + " is refused: the fit window says why.");
    return window;
}

} // namespace relperm::analysisui
