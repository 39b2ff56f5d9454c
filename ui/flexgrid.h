// A grid with one fixed header row (row 0) and no fixed column, whose rows, column widths,
// current cell and cell texts the program sets. The header row is part of the grid, as the
// users of the original programs know it: a grid of n table rows has n + 1 rows.
#pragma once

#include "common/gridtext.h"

#include <QTableWidget>

#include <array>

namespace relperm::ui {

class FlexGrid : public QTableWidget {
    Q_OBJECT
  public:
    explicit FlexGrid(QWidget* parent = nullptr);

    // Writes the header row cell by cell, leaving the current cell at row 0, last column.
    void writeHeader(const std::vector<std::string>& names);
    // Sets the row count to the table's rows + 1 and writes rows 1..n (the header row is
    // left as it is).
    void writeRows(const GridText& grid);
    // Column widths given in twips.
    void setColumnWidthsInTwips(const std::array<int, 3>& widths);

    QString cellText(int row, int column) const;

  signals:
    // A click anywhere on the grid; the windows rewrite the header row on it.
    void clicked();

  private:
    void setCell(int row, int column, const std::string& text);
};

} // namespace relperm::ui
