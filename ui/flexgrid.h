// A grid with one fixed header row (row 0) and no fixed column, whose rows, column widths,
// current cell and cell texts the program sets. The header row is part of the grid, as the
// users of the original programs know it: a grid of n table rows has n + 1 rows.
//
// The user selects cells as in any table (click, Shift-click, drag, Ctrl+A; a click on the
// header row selects that column) and copies them with Ctrl+C or the context menu. Copied
// text always carries the header texts of its columns, so it reads the same wherever it is
// pasted; it is written by the one tab-separated writer, so "Copy All" gives what
// `relperm generate --format grid` prints for that grid.
#pragma once

#include "common/gridtext.h"

#include <QItemSelectionModel>
#include <QTableWidget>

#include <array>

namespace relperm::ui {

class FlexGrid : public QTableWidget {
    Q_OBJECT
  public:
    explicit FlexGrid(QWidget* parent = nullptr);

    // Writes the header row cell by cell, leaving the current cell at row 0, last column.
    // The selection and the scroll position stay as they were.
    void writeHeader(const std::vector<std::string>& names);
    // Sets the row count to the table's rows + 1 and writes rows 1..n (the header row is
    // left as it is). Other texts than those shown end the selection.
    void writeRows(const GridText& grid);
    // Column widths given in twips (at the designed size of the window).
    void setColumnWidthsInTwips(const std::array<int, 3>& widths);
    // How much larger than designed the window is; the columns grow by it, the rows with
    // the font.
    void setScale(double scale);

    QString cellText(int row, int column) const;

    // The whole grid: the header row, then every table row.
    GridText shownText() const;
    // The header texts of the columns holding a selected cell, then each row holding one;
    // an unselected cell among them is empty. Nothing selected gives no header and no rows.
    GridText selectedText() const;
    // Put the selection (nothing when none) or the whole grid on the clipboard.
    void copySelection() const;
    void copyAll() const;

  signals:
    // A click anywhere on the grid; the windows rewrite the header row on it.
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void updateGeometries() override;
    void changeEvent(QEvent* event) override;

  private:
    // Returns whether the cell's text changed.
    bool setCell(int row, int column, const std::string& text);
    void selectColumns(int from, int to, QItemSelectionModel::SelectionFlags how);

    void applyColumnWidths();

    std::array<int, 3> widthsInTwips_{};
    bool widthsSet_ = false;
    double scale_ = 1;
    int shortenedRow_ = -1; // the last row, a pixel short so its grid line shows
    int headerAnchor_ = -1; // the column a Shift-click or drag on the header row extends from
    bool draggingHeader_ = false;
};

} // namespace relperm::ui
