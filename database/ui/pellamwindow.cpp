#include "database/ui/pellamwindow.h"

#include "database/ui/descriptionbox.h"
#include "ui/drawingsurface.h"
#include "ui/flexgrid.h"
#include "ui/fonts.h"
#include "ui/formscaler.h"
#include "ui/icons.h"
#include "ui/keyedtoolbar.h"
#include "ui/messages.h"
#include "ui/plotview.h"
#include "ui/text.h"
#include "ui/twips.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>

namespace relperm::databaseui {

namespace {

using ui::qs;

// The layout of the window in twips, relative to the client area or to the frame that
// holds the control.
const ui::TwipLayout& places() {
    static const ui::TwipLayout table = {
        {"Label1", {480, 840, 495, 255}},          {"Text1", {1080, 720, 8655, 375}},
        {"Label10", {2880, 120, 5175, 615}},       {"wetpk", {120, 1440, 2535, 315}},
        {"wettpk", {120, 1800, 2535, 315}},        {"rockpk", {120, 2160, 2535, 315}},
        {"locpk", {120, 2520, 2535, 315}},         {"methpk", {120, 2880, 2535, 315}},
        {"Command2", {2880, 1440, 1815, 375}},     {"Command1", {4800, 1440, 3495, 375}},
        {"Label2", {3000, 2040, 1095, 375}},       {"Label11", {4080, 2040, 615, 375}},
        {"Command3", {2760, 2520, 2295, 495}},     {"Label8", {2880, 3240, 2175, 375}},
        {"Frame2", {8520, 1200, 1815, 975}},       {"Option1", {120, 240, 1455, 195}},
        {"Option2", {120, 600, 1215, 255}},        {"stol", {1320, 600, 375, 285}},
        {"Frame1", {8520, 2280, 1815, 1335}},      {"Label6", {120, 240, 615, 255}},
        {"swcin", {960, 240, 495, 285}},           {"Label7", {120, 600, 735, 255}},
        {"sorin", {960, 600, 495, 285}},           {"Label9", {120, 960, 615, 255}},
        {"sgcin", {960, 960, 495, 285}},           {"Picture1", {5160, 1920, 3255, 1575}},
        {"Label3", {720, 3600, 1335, 255}},        {"MSFlexGrid2", {240, 3840, 2295, 4095}},
        {"vomar", {2760, 3720, 5055, 4215}},       {"Label4", {8400, 3840, 1335, 255}},
        {"MSFlexGrid1", {8040, 4080, 2175, 3855}},
    };
    return table;
}

void place(QWidget* widget) {
    ui::placeByName(widget, places());
}

// Each frame is captioned; its children are placed below the caption's line, where the
// twip positions put them.
QGroupBox* makeFrame(QWidget* parent, const char* name) {
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(name);
    place(frame);
    return frame;
}

} // namespace

PellamWindow::PellamWindow(std::filesystem::path dataDirectory, BrowserServices services,
                           QWidget* parent)
    : QMainWindow(parent), browser_(std::move(dataDirectory)), services_(std::move(services)) {
    setObjectName("pellam");
    setWindowTitle("Relative Permeability DataBase");
    setWindowIcon(ui::browserIcon());
    ui::completeServices(services_, "Relative Permeability Database File Selector");
    plotViews_ = std::make_unique<ui::PlotViews>(this, services_.imageDialog, services_.messages);
    buildMenu();
    buildControls();
    dataFolder_ = new QLabel(statusBar());
    dataFolder_->setObjectName("dataFolder");
    statusBar()->addPermanentWidget(dataFolder_);
    useDataFolder(browser_.dataDirectory());
    showModel();
}

PellamWindow::PellamWindow(const StartChoice& start, BrowserServices services, QWidget* parent)
    : PellamWindow(start.folder, std::move(services), parent) {
    demo_ = start.demo;
    showDataFolder();
    if (start.forgotten)
        QTimer::singleShot(0, this, [this, gone = *start.forgotten] { notePassedBy(gone); });
}

PellamWindow::~PellamWindow() = default;

QLabel* PellamWindow::makeLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(qs(browser_.caption(name)));
    place(label);
    ui::widenToLongestWord(label);
    return label;
}

QLineEdit* PellamWindow::makeBox(QWidget* parent, const char* name, const QString& text) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    place(box);
    return box;
}

template <class Event> void PellamWindow::act(Event&& event) {
    if (showingModel_)
        return;
    event();
    showModel();
}

void PellamWindow::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);
    const QSize designed(ui::twipsToPixels(10470, client), ui::twipsToPixels(8040, client));
    client->resize(designed);
    client->setFont(ui::layoutFont(8.25, true));
    statusBar()->setObjectName("problems");

    makeLabel(client, "Label1");
    title_ = makeBox(client, "Text1", "");
    connect(title_, &QLineEdit::textChanged, this,
            [this](const QString& text) { act([&] { browser_.typeTitle(text.toStdString()); }); });
    makeLabel(client, "Label10")->setFont(ui::layoutFont(13.5, true));

    for (BrowserList list : {BrowserList::TwoPhase, BrowserList::Wettability,
                             BrowserList::Lithology, BrowserList::Location, BrowserList::Method}) {
        auto* combo = new QComboBox(client);
        combo->setObjectName(QString::fromUtf8(listControlName(list).data(),
                                               static_cast<int>(listControlName(list).size())));
        place(combo);
        for (const std::string& entry : browser_.list(list).entries)
            combo->addItem(qs(entry));
        combo->setPlaceholderText(qs(browser_.list(list).prompt));
        combo->setCurrentIndex(-1);
        connect(combo, &QComboBox::activated, this,
                [this, list](int index) { act([&] { browser_.pick(list, index); }); });
        lists_[list] = combo;
    }

    const std::pair<const char*, void (DatabaseBrowser::*)()> buttons[] = {
        {"Command2", &DatabaseBrowser::Command2_Click},
        {"Command1", &DatabaseBrowser::Command1_Click},
        {"Command3", &DatabaseBrowser::Command3_Click}};
    for (const auto& [name, handler] : buttons) {
        auto* button = new QPushButton(client);
        button->setObjectName(name);
        place(button);
        connect(button, &QPushButton::clicked, this,
                [this, handler = handler] { act([&] { (browser_.*handler)(); }); });
    }
    makeLabel(client, "Label2");
    makeLabel(client, "Label11");
    makeLabel(client, "Label8");

    QGroupBox* criteria = makeFrame(client, "Frame2");
    option1_ = new QRadioButton(criteria);
    option1_->setObjectName("Option1");
    option1_->setChecked(true);
    place(option1_);
    connect(option1_, &QRadioButton::clicked, this,
            [this] { act([&] { browser_.Option1_Click(); }); });
    option2_ = new QRadioButton(criteria);
    option2_->setObjectName("Option2");
    place(option2_);
    connect(option2_, &QRadioButton::clicked, this,
            [this] { act([&] { browser_.Option2_Click(); }); });
    tolerance_ = makeBox(criteria, "stol", qs(browser_.toleranceText()));
    connect(tolerance_, &QLineEdit::textChanged, this, [this](const QString& text) {
        act([&] { browser_.typeTolerance(text.toStdString()); });
    });

    QGroupBox* adjust = makeFrame(client, "Frame1");
    const std::tuple<EndPointBox, const char*, const char*> boxes[] = {
        {EndPointBox::Swc, "Label6", "swcin"},
        {EndPointBox::Sor, "Label7", "sorin"},
        {EndPointBox::Sgc, "Label9", "sgcin"}};
    for (const auto& [box, label, name] : boxes) {
        makeLabel(adjust, label);
        QLineEdit* edit = makeBox(adjust, name, "");
        endPoints_[box] = edit;
        connect(edit, &QLineEdit::textChanged, this, [this, box = box](const QString& text) {
            act([&] { browser_.typeEndPoint(box, text.toStdString()); });
        });
    }

    picture1_ = new DescriptionBox(client);
    picture1_->setObjectName("Picture1");
    picture1_->setFont(ui::layoutFont(8, false)); // the picture box's own default font
    place(picture1_);
    makeLabel(client, "Label3");
    makeLabel(client, "Label4");
    asInput_ = new ui::FlexGrid(client);
    asInput_->setObjectName("MSFlexGrid2");
    place(asInput_);
    connect(asInput_, &ui::FlexGrid::clicked, this,
            [this] { act([&] { browser_.clickGrid(BrowserGrid::AsInput); }); });
    adjusted_ = new ui::FlexGrid(client);
    adjusted_->setObjectName("MSFlexGrid1");
    place(adjusted_);
    connect(adjusted_, &ui::FlexGrid::clicked, this,
            [this] { act([&] { browser_.clickGrid(BrowserGrid::Adjusted); }); });
    vomar_ = new ui::DrawingSurface(client);
    vomar_->setObjectName("vomar");
    place(vomar_);

    toolbar_ = ui::addFileToolbar(client);
    connect(toolbar_, &ui::KeyedToolbar::buttonClicked, this, &PellamWindow::Toolbar1_ButtonClick);
    connect(vomar_, &ui::DrawingSurface::doubleClicked, this, &PellamWindow::openPlot);
    new ui::FormScaler(client, designed);
}

void PellamWindow::showModel() {
    showingModel_ = true;
    QWidget* client = centralWidget();
    for (QWidget* widget : client->findChildren<QWidget*>()) {
        const std::string name = widget->objectName().toStdString();
        if (name.empty() || !places().count(name))
            continue;
        widget->setVisible(browser_.isShown(name));
        const QString caption = qs(browser_.caption(name));
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(caption);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(caption);
        else if (auto* frame = qobject_cast<QGroupBox*>(widget))
            frame->setTitle(caption);
    }
    for (const auto& [which, combo] : lists_)
        combo->setCurrentIndex(browser_.list(which).index);
    for (const auto& [box, edit] : endPoints_)
        if (edit->text() != qs(browser_.endPointText(box)))
            edit->setText(qs(browser_.endPointText(box)));
    if (title_->text() != qs(browser_.title()))
        title_->setText(qs(browser_.title()));
    (browser_.searchPercent() ? option2_ : option1_)->setChecked(true);

    const GridText& asInput = browser_.asInputGrid();
    asInput_->setColumnWidthsInTwips(gridColumnWidths(2295));
    asInput_->writeHeader(asInput.header);
    asInput_->writeRows(asInput);
    const GridText& adjusted = browser_.adjustedGrid();
    adjusted_->setColumnWidthsInTwips(gridColumnWidths(2175));
    adjusted_->writeHeader(adjusted.header);
    adjusted_->writeRows(adjusted);
    vomar_->clear();
    vomar_->draw(browser_.plot());
    plotViews_->refresh();
    picture1_->setLines(browser_.description());
    showingModel_ = false;
    reportProblem();
}

void PellamWindow::reportProblem() {
    const std::string problem =
        browser_.lastProblem() ? browser_.lastProblem()->message() : std::string();
    if (problem == reportedProblem_)
        return;
    reportedProblem_ = problem;
    if (problem.empty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(qs(problem));
}

void PellamWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        act([&] { browser_.windowActivated(); });
}

} // namespace relperm::databaseui
