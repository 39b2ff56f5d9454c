// The calculator window, Form1: the boxes and lists of the calculator model, the two grids
// and the two plot surfaces. The window holds widgets only; the selection rules, the
// generation, the grid texts and the plot scenes come from the core, and the window
// mirrors them.
#pragma once

#include "calculator/form.h"
#include "calculator/state.h"

#include <QMainWindow>

#include <functional>
#include <map>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace relperm::ui {
class DrawingSurface;
class FlexGrid;
} // namespace relperm::ui

namespace relperm::calculatorui {

class Form1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit Form1(QWidget* parent = nullptr);

    // How a refusal reaches the user; a message box unless a test stands in for it.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> warn;

    const CalculatorState& state() const { return state_; }
    const CalculatorForm& model() const { return form_; }

    // Generate: a refusal shows its message and leaves grids and plots as they were.
    void Command1_Click();
    void MSFlexGrid1_Click();
    void MSFlexGrid2_Click();

  private:
    void buildControls();
    void setTabOrder();
    QComboBox* makeList(const char* name, CalculatorList list);
    QLineEdit* makeBox(const char* name, std::string CalculatorForm::*text);
    QLabel* makeLabel(const char* name, const char* caption);
    // Copies the model's lists, texts, captions and visibility onto the widgets.
    void showModel();
    void PlotCurves();

    CalculatorForm form_;
    CalculatorState state_;
    std::map<CalculatorList, QComboBox*> lists_;
    bool showingModel_ = false;

    QLabel* label4_ = nullptr;
    QPushButton* command1_ = nullptr;
    ui::FlexGrid* grid1_ = nullptr;
    ui::FlexGrid* grid2_ = nullptr;
    ui::DrawingSurface* vomar_ = nullptr;
    ui::DrawingSurface* krl2_ = nullptr;
};

} // namespace relperm::calculatorui
