#include "ui/flexgrid.h"

#include "ui/twips.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include <cmath>
#include <set>

namespace relperm::ui {

namespace {

void putOnClipboard(const GridText& grid) {
    QApplication::clipboard()->setText(QString::fromStdString(tabSeparated(grid)));
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(1, 3, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // The header's least row height would keep the last row from giving up its pixel.
    verticalHeader()->setMinimumSectionSize(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    connect(this, &QTableWidget::cellClicked, this, [this] { emit clicked(); });

    auto* copy = new QAction("Copy", this);
    copy->setObjectName("copy");
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &FlexGrid::copySelection);
    addAction(copy);
    auto* copyAll = new QAction("Copy All", this);
    copyAll->setObjectName("copyAll");
    connect(copyAll, &QAction::triggered, this, &FlexGrid::copyAll);
    addAction(copyAll);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

bool FlexGrid::setCell(int row, int column, const std::string& text) {
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row, column, cell);
    }
    const QString value = QString::fromStdString(text);
    const bool changed = cell->text() != value;
    if (changed)
        cell->setText(value);
    if (row == 0) {
        cell->setBackground(palette().color(QPalette::Button));
        cell->setFlags(Qt::ItemIsEnabled);
    }
    return changed;
}

void FlexGrid::writeHeader(const std::vector<std::string>& names) {
    // The windows rewrite the header on every click; moving the current cell must neither
    // undo the selection the click made nor scroll the rows the user is looking at.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    for (int column = 0; column < static_cast<int>(names.size()) && column < columnCount();
         ++column) {
        selectionModel()->setCurrentIndex(model()->index(0, column), QItemSelectionModel::NoUpdate);
        setCell(0, column, names[static_cast<std::size_t>(column)]);
    }
    setAutoScroll(scrolls);
}

void FlexGrid::writeRows(const GridText& grid) {
    const int rows = static_cast<int>(grid.rows.size()) + 1;
    bool changed = rows != rowCount();
    setRowCount(rows);
    for (std::size_t r = 0; r < grid.rows.size(); ++r)
        for (std::size_t c = 0; c < grid.rows[r].size() && static_cast<int>(c) < columnCount(); ++c)
            changed =
                setCell(static_cast<int>(r) + 1, static_cast<int>(c), grid.rows[r][c]) || changed;
    if (changed)
        clearSelection();
}

void FlexGrid::setColumnWidthsInTwips(const std::array<int, 3>& widths) {
    widthsInTwips_ = widths;
    widthsSet_ = true;
    applyColumnWidths();
}

void FlexGrid::setScale(double scale) {
    scale_ = scale;
    if (widthsSet_)
        applyColumnWidths();
}

void FlexGrid::applyColumnWidths() {
    for (int c = 0; c < 3; ++c)
        setColumnWidth(
            c, static_cast<int>(std::lround(
                   twipsToPixels(widthsInTwips_[static_cast<std::size_t>(c)], this) * scale_)));
}

void FlexGrid::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

QString FlexGrid::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

GridText FlexGrid::shownText() const {
    GridText grid;
    for (int c = 0; c < columnCount(); ++c)
        grid.header.push_back(cellText(0, c).toStdString());
    for (int r = 1; r < rowCount(); ++r) {
        grid.rows.emplace_back();
        for (int c = 0; c < columnCount(); ++c)
            grid.rows.back().push_back(cellText(r, c).toStdString());
    }
    return grid;
}

GridText FlexGrid::selectedText() const {
    std::set<int> rows;
    std::set<int> columns;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        if (index.row() > 0) {
            rows.insert(index.row());
            columns.insert(index.column());
        }
    GridText grid;
    if (rows.empty())
        return grid;
    for (int c : columns)
        grid.header.push_back(cellText(0, c).toStdString());
    for (int r : rows) {
        grid.rows.emplace_back();
        for (int c : columns)
            grid.rows.back().push_back(selectionModel()->isSelected(model()->index(r, c))
                                           ? cellText(r, c).toStdString()
                                           : std::string());
    }
    return grid;
}

void FlexGrid::copySelection() const {
    const GridText selected = selectedText();
    if (!selected.rows.empty())
        putOnClipboard(selected);
}

void FlexGrid::copyAll() const {
    putOnClipboard(shownText());
}

void FlexGrid::selectColumns(int from, int to, QItemSelectionModel::SelectionFlags how) {
    if (rowCount() < 2)
        return;
    const QItemSelection columns(model()->index(1, std::min(from, to)),
                                 model()->index(rowCount() - 1, std::max(from, to)));
    selectionModel()->select(columns, how);
}

// The header row stands for a table's column headers, which the grid does not show.
void FlexGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    const bool onHeader = at.isValid() && at.row() == 0;
    if (onHeader && event->button() != Qt::LeftButton) {
        event->accept(); // keeps the selection for the context menu
        return;
    }
    QTableWidget::mousePressEvent(event);
    if (!onHeader)
        return;
    const Qt::KeyboardModifiers keys = event->modifiers();
    if (!(keys & Qt::ShiftModifier) || headerAnchor_ < 0 || headerAnchor_ >= columnCount())
        headerAnchor_ = at.column();
    draggingHeader_ = true;
    if (keys & Qt::ControlModifier)
        selectColumns(at.column(), at.column(), QItemSelectionModel::Toggle);
    else
        selectColumns(headerAnchor_, at.column(), QItemSelectionModel::ClearAndSelect);
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!draggingHeader_ || !(event->buttons() & Qt::LeftButton)) {
        QTableWidget::mouseMoveEvent(event);
        return;
    }
    const int column = columnAt(static_cast<int>(event->position().x()));
    if (column >= 0)
        selectColumns(headerAnchor_, column, QItemSelectionModel::ClearAndSelect);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    draggingHeader_ = false;
    QTableWidget::mouseReleaseEvent(event);
}

void FlexGrid::updateGeometries() {
    QTableWidget::updateGeometries();
    // Each row draws its grid line inside its own height. Rows that fit but for the last
    // one's line are all shown rather than behind a scroll bar that would move them by that
    // one pixel, and the last row gives up the pixel, so its line stands inside the grid
    // instead of under the frame.
    QHeaderView* rows = verticalHeader();
    const int gridLine = showGrid() ? 1 : 0;
    const int last = rowCount() - 1;
    const int full = rows->defaultSectionSize();
    if (shortenedRow_ >= 0 && shortenedRow_ != last && shortenedRow_ < rowCount())
        rows->resizeSection(shortenedRow_, full);
    shortenedRow_ = -1;
    if (last < 0)
        return;
    const int over = rows->length() + full - rows->sectionSize(last) - viewport()->height();
    const int lastHeight = over > 0 && over <= gridLine ? full - over : full;
    // Resizing lays the rows out again, which comes back here: only a change resizes.
    if (rows->sectionSize(last) != lastHeight)
        rows->resizeSection(last, lastHeight);
    if (lastHeight != full)
        shortenedRow_ = last;
    if (rows->length() - viewport()->height() <= gridLine)
        verticalScrollBar()->setRange(0, 0);
}

} // namespace relperm::ui
