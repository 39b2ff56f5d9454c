// The data sets that match the browser's selection, listed in a resizable window of their
// own: one row per set in the order Show steps through them, sortable by any column, with
// the number of rows. The rows, their texts and their orders come from the core
// (database/matchlist.h, matchorder.h); the window only shows them and says which row the
// user chose, which the browser then shows as the Show of that match number would.
#pragma once

#include "database/matchlist.h"

#include <QWidget>

#include <optional>

class QLabel;
class QTableView;

namespace relperm::databaseui {

class MatchTableModel;

class MatchListWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MatchListWindow(QWidget* parent = nullptr);
    ~MatchListWindow() override;

    // Shows the rows of `list`. `selection` says in words what they match; `notice`, when
    // not empty, stands above the table.
    void showList(MatchList list, const QString& selection, const QString& notice = {});
    // Says why there is nothing to list, in place of the table.
    void showNotice(const QString& notice);
    // The list shown; nothing while a notice stands in its place.
    const std::optional<MatchList>& shownList() const { return list_; }

  signals:
    // The row of match `match` was chosen (double-click, or Enter on the current row).
    void matchChosen(int match);

  private:
    // Fits the window to the columns the first time it shows a list; later the user's size
    // stands.
    void fitToColumns();

    std::optional<MatchList> list_;
    MatchTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* selection_ = nullptr;
    QLabel* notice_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* problem_ = nullptr;
    QLabel* hint_ = nullptr;
    bool fitted_ = false;
};

} // namespace relperm::databaseui
