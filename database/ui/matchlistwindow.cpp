#include "database/ui/matchlistwindow.h"

#include "database/matchorder.h"
#include "ui/icons.h"
#include "ui/text.h"
#include "ui/windowparts.h"

#include <QAbstractTableModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace relperm::databaseui {

namespace {

using ui::qs;

constexpr const char* windowKind = "Matching Data Sets";

// Enough rows to see a run of them without the list taking the screen.
constexpr int rowsShownAtFirst = 20;

QString countText(std::size_t rows) {
    if (rows == 0)
        return "No data set matches the selection.";
    if (rows == 1)
        return "1 matching data set";
    return QString::number(rows) + " matching data sets";
}

} // namespace

// The rows of the list shown, in the order of the column the user sorted by. The order is
// the core's (database/matchorder.h), made from the typed cells; the texts are formatted as
// the view draws them, not beforehand, so a list of many sets costs little to show and to
// sort.
class MatchTableModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setList(const MatchList* list) {
        beginResetModel();
        list_ = list;
        columns_ = list ? list->rows.columns() : std::vector<MatchColumn>{};
        order_ = orderOf(sortColumn_, sortOrder_);
        endResetModel();
    }

    // The match of a shown row.
    int matchAt(int row) const {
        return static_cast<int>(order_[static_cast<std::size_t>(row)]) + 1;
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(order_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!list_ || !index.isValid())
            return {};
        const std::size_t row = order_[static_cast<std::size_t>(index.row())];
        const MatchColumn column = columns_[static_cast<std::size_t>(index.column())];
        switch (role) {
        case Qt::DisplayRole:
            return qs(list_->rows.cellText(row, column));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                Qt::Alignment(isTextColumn(column) ? Qt::AlignLeft : Qt::AlignRight) |
                Qt::AlignVCenter);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && list_)
            return qs(matchColumnHeading(list_->selection.system,
                                         columns_[static_cast<std::size_t>(section)]));
        if (orientation == Qt::Horizontal && role == Qt::InitialSortOrderRole)
            return Qt::AscendingOrder;
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    // The header's click. The current row and the selection stay on their sets.
    void sort(int column, Qt::SortOrder order) override {
        sortColumn_ = column;
        sortOrder_ = order;
        if (!list_)
            return;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<std::uint32_t> sorted = orderOf(column, order);
        const QModelIndexList kept = persistentIndexList();
        if (!kept.isEmpty()) {
            std::vector<std::uint32_t> shownAt(sorted.size());
            for (std::size_t i = 0; i < sorted.size(); ++i)
                shownAt[sorted[i]] = static_cast<std::uint32_t>(i);
            QModelIndexList moved;
            moved.reserve(kept.size());
            for (const QModelIndex& index : kept)
                moved << this->index(
                    static_cast<int>(shownAt[order_[static_cast<std::size_t>(index.row())]]),
                    index.column());
            changePersistentIndexList(kept, moved);
        }
        order_ = std::move(sorted);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

  private:
    // The rows in the order of `column`; in the order of the matches for no column.
    std::vector<std::uint32_t> orderOf(int column, Qt::SortOrder order) const {
        if (!list_)
            return {};
        if (column < 0 || column >= static_cast<int>(columns_.size())) {
            std::vector<std::uint32_t> matches(list_->rows.size());
            std::iota(matches.begin(), matches.end(), std::uint32_t{0});
            return matches;
        }
        return matchOrder(list_->rows, columns_[static_cast<std::size_t>(column)],
                          order == Qt::AscendingOrder ? SortDirection::Ascending
                                                      : SortDirection::Descending);
    }

    const MatchList* list_ = nullptr;
    std::vector<MatchColumn> columns_;
    std::vector<std::uint32_t> order_; // the row shown i-th
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

MatchListWindow::MatchListWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("matchList");
    setWindowTitle(windowKind);
    setWindowIcon(ui::browserIcon());
    setAttribute(Qt::WA_DeleteOnClose);

    selection_ = new QLabel(this);
    selection_->setObjectName("matchSelection");
    selection_->setWordWrap(true);
    selection_->setTextFormat(Qt::PlainText);
    notice_ = new QLabel(this);
    notice_->setObjectName("matchNotice");
    notice_->setWordWrap(true);
    notice_->setTextFormat(Qt::PlainText);

    model_ = new MatchTableModel(this);
    table_ = new QTableView(this);
    table_->setObjectName("matchTable");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    connect(table_, &QTableView::activated, this,
            [this](const QModelIndex& index) { emit matchChosen(model_->matchAt(index.row())); });

    count_ = new QLabel(this);
    count_->setObjectName("matchCount");
    problem_ = new QLabel(this);
    problem_->setObjectName("matchProblem");
    problem_->setWordWrap(true);
    problem_->setTextFormat(Qt::PlainText);
    problem_->setStyleSheet("color: red");
    hint_ = new QLabel("Double-click a row or press Enter to show it in the browser.", this);
    hint_->setObjectName("matchHint");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(selection_);
    layout->addWidget(notice_);
    layout->addWidget(table_, 1);
    layout->addWidget(problem_);
    auto* footer = new QHBoxLayout;
    footer->addWidget(count_);
    footer->addStretch(1);
    footer->addWidget(hint_);
    layout->addLayout(footer);
    showNotice({});
}

MatchListWindow::~MatchListWindow() = default;

void MatchListWindow::showList(MatchList list, const QString& selection, const QString& notice) {
    model_->setList(nullptr);
    list_ = std::move(list);
    model_->setList(&*list_);
    setWindowTitle(
        ui::windowTitleOf(qs(std::string(systemListText(list_->selection.system))), windowKind));
    selection_->setText(selection);
    selection_->setVisible(!selection.isEmpty());
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
    table_->show();
    count_->setText(countText(list_->rows.size()));
    count_->show();
    hint_->setVisible(!list_->rows.empty());
    problem_->setText(list_->problem ? "Records were lost: " + qs(list_->problem->message())
                                     : QString());
    problem_->setVisible(list_->problem.has_value());
    table_->resizeColumnsToContents();
    fitToColumns();
}

void MatchListWindow::showNotice(const QString& notice) {
    model_->setList(nullptr);
    list_.reset();
    setWindowTitle(windowKind);
    selection_->hide();
    notice_->setText(notice);
    notice_->setVisible(!notice.isEmpty());
    table_->hide();
    count_->hide();
    hint_->hide();
    problem_->hide();
}

void MatchListWindow::fitToColumns() {
    if (fitted_)
        return;
    fitted_ = true;
    int width = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < model_->columnCount({}); ++column)
        width += table_->columnWidth(column);
    const int rows = std::clamp(model_->rowCount({}), 8, rowsShownAtFirst);
    const int height = 2 * table_->frameWidth() + table_->horizontalHeader()->sizeHint().height() +
                       rows * table_->verticalHeader()->defaultSectionSize();
    const QMargins margins = layout()->contentsMargins();
    QSize size(width + margins.left() + margins.right(),
               height + sizeHint().height() - table_->sizeHint().height());
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
}

} // namespace relperm::databaseui
