// The calculator window, Form1: the boxes and lists of the calculator model, the two grids
// and the two plot surfaces. The window holds widgets only; the selection rules, the
// generation, the grid texts and the plot scenes come from the core, and the window
// mirrors them.
#pragma once

#include "calculator/form.h"
#include "calculator/state.h"
#include "ui/windowparts.h"

#include <QMainWindow>

#include <map>
#include <memory>

class QMenu;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace relperm::ui {
class DrawingSurface;
class FileDialog;
class FlexGrid;
class PlotView;
class PlotViews;
class KeyedToolbar;
class Messages;
class Printer;
} // namespace relperm::ui

namespace relperm::calculatorui {

// The platform services the window uses (cd1 is the file dialog, shared by Open, Save As,
// Export and Simulator Tables); any left empty gets the platform's own.
using WindowServices = ui::WindowServices;

class Form1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit Form1(WindowServices services = {}, QWidget* parent = nullptr);
    ~Form1() override;

    const CalculatorState& state() const { return state_; }
    const CalculatorForm& model() const { return form_; }

    // Generate: a refusal shows its message and leaves grids and plots as they were.
    void Command1_Click();
    void MSFlexGrid1_Click();
    void MSFlexGrid2_Click();

    // The file commands and the toolbar (form1_commands.cpp).
    void Open();
    // Reads the run file at `path` into the form, as Open does once the file is chosen (the
    // file named on the command line).
    void openRunFile(const QString& path);
    void SaveAs();
    void Export();
    void SimulatorTables();
    void Print();
    void Toolbar1_ButtonClick(const QString& key);

    // View / Water-Oil Plot and Gas Plot (also a double-click on the plot): the plot in a
    // window of its own, kept up to date with each generation.
    ui::PlotView* openWaterOilPlot();
    ui::PlotView* openGasPlot();
    // The Tools menu, after View: the program that composes the calculator with the windows
    // of other folders (the tables from parameters) adds their items here.
    QMenu* toolsMenu() const { return tools_; }
    const WindowServices& services() const { return services_; }

  private:
    void buildMenu();
    void buildControls();
    // Writes `bytes` to `path` atomically; a failure is reported and returns false.
    bool writeFile(const QString& path, const std::string& bytes);
    void setTabOrder();
    QComboBox* makeList(const char* name, CalculatorList list);
    QLineEdit* makeBox(const char* name, std::string CalculatorForm::*text);
    QLabel* makeLabel(const char* name, const char* caption);
    void generateOnEnter();
    // Copies the model's lists, texts, captions and visibility onto the widgets.
    void showModel();
    void PlotCurves();

    WindowServices services_;
    CalculatorForm form_;
    CalculatorState state_;
    // The texts the tables of `state_` were generated from, for the simulator file's header.
    GenerateInput generatedFrom_;
    std::string generatedTitle_;
    std::map<CalculatorList, QComboBox*> lists_;
    std::map<QLineEdit*, std::string CalculatorForm::*> boxes_;
    bool showingModel_ = false;

    QLabel* label4_ = nullptr;
    QLabel* label10_ = nullptr;
    ui::KeyedToolbar* toolbar_ = nullptr;
    QPushButton* command1_ = nullptr;
    ui::FlexGrid* grid1_ = nullptr;
    ui::FlexGrid* grid2_ = nullptr;
    ui::DrawingSurface* vomar_ = nullptr;
    ui::DrawingSurface* krl2_ = nullptr;
    std::unique_ptr<ui::PlotViews> plotViews_;
    QMenu* tools_ = nullptr;
};

} // namespace relperm::calculatorui
