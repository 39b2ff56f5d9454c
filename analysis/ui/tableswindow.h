// The include file of a parameter table, in a resizable window of its own: the table's
// regions, the kr curves and the capillary pressure of the one chosen, the keyword family,
// the row step and, for a SCAL recommendation, where between its cases, and what the
// simulator checks find. It is `relperm tables` with a screen: the same core functions make
// the curves and the file (satfunc/tablespreview), so the file written here is the command's
// with the same options.
#pragma once

#include "satfunc/tablespreview.h"
#include "ui/windowparts.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace relperm {
class ProtectedFiles;
}

namespace relperm::ui {
class PlotView;
}

namespace relperm::analysisui {

class TablesWindow : public QWidget {
    Q_OBJECT
  public:
    // `program` ("vomar", "pellam") is named in the head of the files written. Uses the file
    // dialog of `services` for the table and the include file, its image dialog for Save
    // Image and its messages for what goes wrong.
    TablesWindow(ui::WindowServices services, std::string program, QWidget* parent = nullptr);
    ~TablesWindow() override;

    // "Open...": asks for a CSV file or a workbook, then shows its table.
    void openTable();
    // Reads the table of `file` (of its sheet `sheet`, the first when none is named, for a
    // workbook) and shows it, with the list of its sheets when it has several; a table that
    // cannot be read is refused in a message and the window keeps what it showed.
    bool openFile(const QString& file, const QString& sheet = {});
    // Shows a table given as CSV text (a fit's or a recommendation's parameters), named
    // `name` in the title, the messages and the file.
    bool showParameters(const std::string& csv, const std::string& name);

    // Where between a SCAL recommendation's cases the water-oil curves are taken, -1 to 1;
    // the gas-oil curves follow unless given their own.
    void setIntParamWo(double t);
    satfunc::TablesOptions options() const;
    const std::optional<satfunc::ParameterTable>& table() const { return table_; }
    const satfunc::TablesPreview& preview() const { return preview_; }
    ui::PlotView* krPlot() const { return krPlot_; }
    ui::PlotView* pcPlot() const { return pcPlot_; }

    // "Write Include File...": asks for the file, offering the table's name with ".inc",
    // and writes what the preview holds. Never over the table itself.
    void writeIncludeFile();

  private:
    void showTable(satfunc::ParameterTable table, const QString& title);
    // The table's name and the region shown, before what the window is.
    void showTitle();
    void showSheets(const QString& file, const QString& sheet);
    void sheetChosen();
    void recompute();
    void showOptions();
    const satfunc::RegionCurves& shownRegion() const;

    ui::WindowServices services_;
    std::string program_;
    std::optional<satfunc::ParameterTable> table_;
    std::vector<satfunc::RegionEntry> entries_; // what the region list shows
    satfunc::TablesPreview preview_;
    std::unique_ptr<ProtectedFiles> protected_;
    bool familyChosen_ = false;

    ui::PlotView* krPlot_ = nullptr;
    ui::PlotView* pcPlot_ = nullptr;
    QLabel* heading_ = nullptr;
    QWidget* sheetRow_ = nullptr;
    QComboBox* sheet_ = nullptr;
    QString shownName_;  // the file (and sheet) or the fit whose table is shown
    QString workbook_;   // the file the sheet list is of
    QString shownSheet_; // the sheet of it whose table is shown
    QListWidget* regions_ = nullptr;
    QRadioButton* family1_ = nullptr;
    QRadioButton* family2_ = nullptr;
    QCheckBox* slgof_ = nullptr;
    QCheckBox* deltaSGiven_ = nullptr;
    QDoubleSpinBox* deltaS_ = nullptr;
    QGroupBox* scal_ = nullptr;
    QDoubleSpinBox* intParamWo_ = nullptr;
    QCheckBox* intParamGoOwn_ = nullptr;
    QDoubleSpinBox* intParamGo_ = nullptr;
    QLabel* finding_ = nullptr;
    QPushButton* write_ = nullptr;
};

} // namespace relperm::analysisui
