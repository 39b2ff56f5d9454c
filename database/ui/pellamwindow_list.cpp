// View / List Matching Data Sets: every match of the current selection in a table of its own.
#include "database/ui/matchlistwindow.h"
#include "database/ui/pellamwindow.h"
#include "ui/text.h"

namespace relperm::databaseui {

namespace {

using ui::qs;

const QString incomplete = "The selection is not complete. Pick the two-phase data and an "
                           "entry in each list of the browser, then choose List Matching Data "
                           "Sets again.";

} // namespace

QString selectionText(const DatabaseBrowser& browser, const MatchSelection& selection) {
    QStringList lists;
    for (BrowserList which : {BrowserList::Wettability, BrowserList::Lithology,
                              BrowserList::Location, BrowserList::Method})
        if (which != BrowserList::Wettability || selection.system == TwoPhaseSystem::WaterOil)
            lists << qs(browser.list(which).text());
    return qs(browser.list(BrowserList::TwoPhase).text()) + ": " + lists.join(", ") + ". " +
           qs(searchDescription(selection)) + ".";
}

void PellamWindow::openMatchList() {
    auto fill = [this](std::optional<MatchList> list, const QString& notice) {
        if (!list) {
            matchList_->showNotice(incomplete);
            return;
        }
        const QString selection = selectionText(browser_, list->selection);
        matchList_->showList(std::move(*list), selection, notice);
    };
    if (!matchList_) {
        matchList_ = new MatchListWindow(this);
        connect(matchList_, &MatchListWindow::matchChosen, this, [this, fill](int match) {
            // A row stands for its set only while the selection and the file are as they
            // were when the list was made; otherwise the list is made again first.
            std::optional<MatchList> now = browser_.matchList();
            const std::optional<MatchList>& shown = matchList_->shownList();
            if (!now || !shown || now->selection != shown->selection || now->rows != shown->rows) {
                fill(std::move(now), "The selection or the data file has changed since the list "
                                     "was made; this is the list as it is now.");
                return;
            }
            browser_.showMatch(match);
            showModel();
        });
    }
    fill(browser_.matchList(), {});
    matchList_->show();
    matchList_->raise();
    matchList_->activateWindow();
}

} // namespace relperm::databaseui
