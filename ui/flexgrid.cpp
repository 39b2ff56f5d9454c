#include "ui/flexgrid.h"

#include "ui/twips.h"

#include <QHeaderView>

namespace relperm::ui {

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(1, 3, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTableWidget::cellClicked, this, [this] { emit clicked(); });
}

void FlexGrid::setCell(int row, int column, const std::string& text) {
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
    }
    cell->setText(QString::fromStdString(text));
    if (row == 0) {
        cell->setBackground(palette().color(QPalette::Button));
        cell->setFlags(Qt::ItemIsEnabled);
    }
}

void FlexGrid::writeHeader(const std::vector<std::string>& names) {
    for (int column = 0; column < static_cast<int>(names.size()) && column < columnCount();
         ++column) {
        setCurrentCell(0, column);
        setCell(0, column, names[static_cast<std::size_t>(column)]);
    }
}

void FlexGrid::writeRows(const GridText& grid) {
    setRowCount(static_cast<int>(grid.rows.size()) + 1);
    for (std::size_t r = 0; r < grid.rows.size(); ++r)
        for (std::size_t c = 0; c < grid.rows[r].size() && static_cast<int>(c) < columnCount(); ++c)
            setCell(static_cast<int>(r) + 1, static_cast<int>(c), grid.rows[r][c]);
}

void FlexGrid::setColumnWidthsInTwips(const std::array<int, 3>& widths) {
    for (int c = 0; c < 3; ++c)
        setColumnWidth(c, twipsToPixels(widths[static_cast<std::size_t>(c)], this));
}

QString FlexGrid::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

} // namespace relperm::ui
