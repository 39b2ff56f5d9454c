#include "calculator/ui/form1.h"

#include "calculator/grids.h"
#include "calculator/plot.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace relperm::calculatorui {

namespace {

using ui::qs;

// Width of both grids in twips; their column widths derive from it.
constexpr int gridWidthTwips = 2655;

// The layout of the window, in twips of its client area.
const ui::TwipLayout& layout() {
    static const ui::TwipLayout places = {
        {"Label10", {3360, 120, 5175, 495}},       {"Label1", {3240, 840, 495, 255}},
        {"Text1", {3720, 840, 7095, 375}},         {"fldpk", {240, 960, 2775, 315}},
        {"corpk", {240, 1440, 2775, 315}},         {"wetpk", {240, 1920, 2775, 315}},
        {"formpk", {240, 2400, 2775, 315}},        {"Label2", {4440, 1560, 735, 375}},
        {"poro", {5280, 1560, 615, 285}},          {"Label3", {6480, 1560, 1095, 375}},
        {"permo", {7680, 1560, 615, 285}},         {"Label8", {9120, 1560, 1095, 375}},
        {"krgo", {10320, 1560, 615, 285}},         {"Label4", {3840, 2160, 495, 375}},
        {"Swco", {4440, 2160, 615, 285}},          {"Label5", {5640, 2160, 855, 375}},
        {"sorwo", {6240, 2160, 615, 285}},         {"Label6", {7440, 2160, 735, 375}},
        {"sorgo", {8040, 2160, 615, 285}},         {"Label7", {9240, 2160, 615, 375}},
        {"sgco", {9840, 2160, 615, 285}},          {"Label9", {3240, 2760, 1335, 495}},
        {"spo", {4320, 2760, 495, 285}},           {"Command1", {5400, 2760, 3495, 375}},
        {"MSFlexGrid1", {120, 3360, 2655, 3855}},  {"vomar", {2880, 3840, 3135, 2895}},
        {"MSFlexGrid2", {6120, 3360, 2655, 3855}}, {"krl2", {8880, 3840, 3135, 2895}},
    };
    return places;
}

void place(QWidget* widget) {
    ui::placeByName(widget, layout());
}

// The title of a plot's own window: the generation its tables came from, then the plot.
QString plotTitle(const GenerateInput& generated, const std::string& title, const QString& plot) {
    // Until the first generation the plots show no tables.
    if (generated.correlation.empty() && generated.fluids.empty())
        return plot;
    return ui::windowTitleOf(qs(generationCaption(generated, title)), plot);
}

} // namespace

Form1::Form1(WindowServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    setObjectName("Form1");
    setWindowTitle("Relative Permeability Correlations");
    setWindowIcon(ui::calculatorIcon());
    ui::completeServices(services_, "Relative Permeability File Selection");
    plotViews_ = std::make_unique<ui::PlotViews>(this, services_.imageDialog, services_.messages);
    buildMenu();
    buildControls();
    setTabOrder();
    MSFlexGrid1_Click();
    MSFlexGrid2_Click();
    showModel();
}

QLabel* Form1::makeLabel(const char* name, const char* caption) {
    auto* label = new QLabel(caption, centralWidget());
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label);
    ui::widenToLongestWord(label);
    return label;
}

QLineEdit* Form1::makeBox(const char* name, std::string CalculatorForm::*text) {
    auto* box = new QLineEdit(qs(form_.*text), centralWidget());
    box->setObjectName(name);
    place(box);
    boxes_[box] = text;
    connect(box, &QLineEdit::textChanged, this, [this, text](const QString& value) {
        if (!showingModel_)
            form_.*text = value.toStdString();
    });
    connect(box, &QLineEdit::returnPressed, this, &Form1::generateOnEnter);
    return box;
}

QComboBox* Form1::makeList(const char* name, CalculatorList list) {
    auto* combo = new QComboBox(centralWidget());
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    place(combo);
    lists_[list] = combo;
    // Only a choice from the list is a pick; typing leaves the box without one. QComboBox
    // would make typed text a pick: when editing finishes (Tab, Enter, a click elsewhere) it
    // activates the entry that text matches, in any letter case, and its inline completer
    // fills in an entry's name by setText, which the model, hearing only typing, never sees.
    combo->setCompleter(nullptr);
    disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
    connect(combo, &QComboBox::activated, this, [this, list](int index) {
        form_.pick(list, index);
        showModel();
    });
    connect(combo->lineEdit(), &QLineEdit::textEdited, this,
            [this, list](const QString& text) { form_.type(list, text.toStdString()); });
    connect(combo->lineEdit(), &QLineEdit::returnPressed, this, &Form1::generateOnEnter);
    return combo;
}

// Enter stands for the Generate button wherever the user types, but only while the button
// is offered: a hidden button means the inputs do not yet name a correlation to run.
void Form1::generateOnEnter() {
    if (command1_->isVisibleTo(this))
        Command1_Click();
}

void Form1::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);
    const QSize designed(ui::twipsToPixels(12150, client), ui::twipsToPixels(7245, client));
    client->resize(designed);
    client->setAutoFillBackground(true);
    QPalette background = client->palette();
    background.setColor(QPalette::Window, QColor(192, 255, 255));
    client->setPalette(background);
    client->setFont(ui::layoutFont(8.25, true));

    label10_ = makeLabel("Label10", "Relative Permeability Correlations");
    label10_->setFont(ui::layoutFont(13.5, true));

    makeLabel("Label1", "Title");
    makeBox("Text1", &CalculatorForm::title);
    makeList("fldpk", CalculatorList::Fluids);
    makeList("corpk", CalculatorList::Correlation);
    makeList("wetpk", CalculatorList::Wettability);
    makeList("formpk", CalculatorList::Formation);
    makeLabel("Label2", "Porosity         %");
    makeBox("poro", &CalculatorForm::poro);
    makeLabel("Label3", "Permeability         md.");
    makeBox("permo", &CalculatorForm::permo);
    makeLabel("Label8", "krg @ Sorg      fraction");
    makeBox("krgo", &CalculatorForm::krgo);
    // An end point's explanation sits on its box as well as its label: the pointer rests on
    // the box the user types in, and the short captions leave the name to the tooltip.
    const auto explain = [](QLabel* label, QLineEdit* box, const char* tooltip) {
        label->setToolTip(tooltip);
        box->setToolTip(tooltip);
        label->setBuddy(box);
    };
    label4_ = makeLabel("Label4", "");
    label4_->setBuddy(makeBox("Swco", &CalculatorForm::Swco));
    QLabel* label5 = makeLabel("Label5", "Sorw          %");
    explain(label5, makeBox("sorwo", &CalculatorForm::sorwo), "Residual Oil Saturation wrt Water");
    QLabel* label6 = makeLabel("Label6", "Sorg       %");
    explain(label6, makeBox("sorgo", &CalculatorForm::sorgo), "Residual Oil Saturation wrt Gas");
    QLabel* label7 = makeLabel("Label7", "Sgc       %");
    explain(label7, makeBox("sgco", &CalculatorForm::sgco), "Critical Gas Saturation");
    makeLabel("Label9", "Saturation Spacing   %");
    makeBox("spo", &CalculatorForm::spo);

    command1_ = new QPushButton("Generate Relative Permeability Data", client);
    command1_->setObjectName("Command1");
    QPalette face = command1_->palette();
    face.setColor(QPalette::Button, QColor(255, 255, 128));
    command1_->setPalette(face);
    command1_->setAutoFillBackground(true);
    place(command1_);
    connect(command1_, &QPushButton::clicked, this, &Form1::Command1_Click);

    grid1_ = new ui::FlexGrid(client);
    grid1_->setObjectName("MSFlexGrid1");
    place(grid1_);
    connect(grid1_, &ui::FlexGrid::clicked, this, &Form1::MSFlexGrid1_Click);
    grid2_ = new ui::FlexGrid(client);
    grid2_->setObjectName("MSFlexGrid2");
    place(grid2_);
    connect(grid2_, &ui::FlexGrid::clicked, this, &Form1::MSFlexGrid2_Click);

    vomar_ = new ui::DrawingSurface(client);
    vomar_->setObjectName("vomar");
    place(vomar_);
    krl2_ = new ui::DrawingSurface(client);
    krl2_->setObjectName("krl2");
    place(krl2_);

    toolbar_ = ui::addFileToolbar(client);
    connect(toolbar_, &ui::KeyedToolbar::buttonClicked, this, &Form1::Toolbar1_ButtonClick);
    connect(vomar_, &ui::DrawingSurface::doubleClicked, this, &Form1::openWaterOilPlot);
    connect(krl2_, &ui::DrawingSurface::doubleClicked, this, &Form1::openGasPlot);
    new ui::FormScaler(client, designed);
}

Form1::~Form1() = default;

void Form1::setTabOrder() {
    const char* order[] = {"Text1",    "corpk", "wetpk", "formpk",      "poro",        "permo",
                           "Swco",     "sorwo", "sorgo", "sgco",        "krgo",        "spo",
                           "Command1", "vomar", "krl2",  "MSFlexGrid1", "MSFlexGrid2", "fldpk"};
    QWidget* previous = nullptr;
    for (const char* name : order) {
        QWidget* widget = centralWidget()->findChild<QWidget*>(name);
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void Form1::showModel() {
    showingModel_ = true;
    for (const auto& [name, shown] : form_.shown)
        if (QWidget* widget = centralWidget()->findChild<QWidget*>(qs(name)))
            widget->setVisible(shown);
    for (const auto& [box, text] : boxes_)
        if (box->text() != qs(form_.*text))
            box->setText(qs(form_.*text));
    label4_->setText(qs(form_.label4Caption));
    label4_->setToolTip(qs(form_.label4Tooltip));
    label4_->buddy()->setToolTip(label4_->toolTip());
    for (const auto& [which, combo] : lists_) {
        const ComboBox& list = form_.list(which);
        QStringList entries;
        for (const std::string& entry : list.entries)
            entries << qs(entry);
        QStringList current;
        for (int i = 0; i < combo->count(); ++i)
            current << combo->itemText(i);
        if (current != entries) {
            combo->clear();
            combo->addItems(entries);
        }
        combo->setCurrentIndex(list.picked);
        combo->setEditText(qs(list.text));
        combo->lineEdit()->setCursorPosition(0); // a long name shows its beginning
    }
    showingModel_ = false;
}

void Form1::MSFlexGrid1_Click() {
    const auto header = waterOilHeader();
    grid1_->writeHeader({header.begin(), header.end()});
}

void Form1::MSFlexGrid2_Click() {
    const auto header = gasHeader(state_.fluidSystem);
    grid2_->writeHeader({header.begin(), header.end()});
}

void Form1::Command1_Click() {
    const GenerateInput input = form_.generateInput();
    if (auto refusal = generate(state_, input)) {
        services_.messages->warn(this, windowTitle(), qs(refusal->message));
        if (QWidget* box = centralWidget()->findChild<QWidget*>(qs(refusal->input)))
            box->setFocus();
        return;
    }
    generatedFrom_ = input;
    generatedTitle_ = form_.title;
    grid1_->setColumnWidthsInTwips(gridColumnWidths(gridWidthTwips));
    grid1_->writeRows(waterOilGrid(state_));
    grid2_->setColumnWidthsInTwips(gridColumnWidths(gridWidthTwips));
    MSFlexGrid2_Click();
    grid2_->writeRows(gasGrid(state_));
    form_.showGenerated(state_.fluidSystem);
    showModel();
    PlotCurves();
}

void Form1::PlotCurves() {
    const CalculatorPlots plots = relperm::PlotCurves(state_);
    vomar_->clear();
    vomar_->draw(plots.vomar);
    krl2_->clear();
    krl2_->draw(plots.krl2);
    plotViews_->refresh();
}

ui::PlotView* Form1::openWaterOilPlot() {
    return plotViews_->open(
        "waterOil", [this] { return plotTitle(generatedFrom_, generatedTitle_, "Water-Oil Plot"); },
        [this](KrAxis axis) { return relperm::PlotCurves(state_, axis).vomar; });
}

ui::PlotView* Form1::openGasPlot() {
    return plotViews_->open(
        "gas", [this] { return plotTitle(generatedFrom_, generatedTitle_, "Gas Plot"); },
        [this](KrAxis axis) { return relperm::PlotCurves(state_, axis).krl2; });
}

} // namespace relperm::calculatorui
