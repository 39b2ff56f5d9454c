#include "database/ui/matchlistwindow.h"

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
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace relperm::databaseui {

namespace {

using ui::qs;

constexpr const char* windowKind = "Matching Data Sets";

// What the proxy sorts by: a number for the numeric columns, so that 9 comes before 10.
constexpr int sortRole = Qt::UserRole;
constexpr int matchRole = Qt::UserRole + 1;

// Enough rows to see a run of them without the list taking the screen.
constexpr int rowsShownAtFirst = 20;

// Rows that sort alike stay in the order of their matches, whatever order they had before.
class MatchOrder : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        if (QSortFilterProxyModel::lessThan(left, right))
            return true;
        if (QSortFilterProxyModel::lessThan(right, left))
            return false;
        const bool ascending = sortOrder() == Qt::AscendingOrder;
        return (left.data(matchRole).toInt() < right.data(matchRole).toInt()) == ascending;
    }
};

QString countText(std::size_t rows) {
    if (rows == 0)
        return "No data set matches the selection.";
    if (rows == 1)
        return "1 matching data set";
    return QString::number(rows) + " matching data sets";
}

} // namespace

// The rows of the list shown, as the table view asks for them; the texts are formatted as
// the view draws them, not beforehand, so a list of many sets costs little to show.
class MatchTableModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setList(const MatchList* list) {
        beginResetModel();
        list_ = list;
        columns_ = list ? matchColumns(list->selection.system) : std::vector<MatchColumn>{};
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() || !list_ ? 0 : static_cast<int>(list_->rows.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!list_ || !index.isValid())
            return {};
        const MatchRow& row = list_->rows[static_cast<std::size_t>(index.row())];
        const MatchColumn column = columns_[static_cast<std::size_t>(index.column())];
        switch (role) {
        case Qt::DisplayRole:
            return qs(matchCellText(row, column));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                Qt::Alignment(matchCellNumber(row, column) ? Qt::AlignRight : Qt::AlignLeft) |
                Qt::AlignVCenter);
        case sortRole:
            if (auto number = matchCellNumber(row, column))
                return *number;
            return qs(matchCellText(row, column));
        case matchRole:
            return row.match;
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

  private:
    const MatchList* list_ = nullptr;
    std::vector<MatchColumn> columns_;
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
    sorted_ = new MatchOrder(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(sortRole);
    sorted_->setSortCaseSensitivity(Qt::CaseInsensitive);
    table_ = new QTableView(this);
    table_->setObjectName("matchTable");
    table_->setModel(sorted_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) {
        emit matchChosen(sorted_->data(index, matchRole).toInt());
    });

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
    for (int column = 0; column < sorted_->columnCount(); ++column)
        width += table_->columnWidth(column);
    const int rows = std::clamp(sorted_->rowCount(), 8, rowsShownAtFirst);
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
