#include "ui/windowparts.h"

#include "common/filewrite.h"

#include "ui/drawingsurface.h"
#include "ui/filedialog.h"
#include "ui/keyedtoolbar.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/settings.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>

#include <optional>
#include <utility>
#include <vector>

namespace relperm::ui {

namespace {

// Takes the keyboard focus out of the window while it is painted for paper, so neither a
// text cursor nor a focus frame is printed. The focus comes back afterwards, and a box
// keeps its cursor position and selection, which losing the focus would clear.
class FocusSetAside {
  public:
    explicit FocusSetAside(QWidget* window) : widget_(window->focusWidget()) {
        if (!widget_)
            return;
        if (auto* edit = qobject_cast<QLineEdit*>(widget_.data())) {
            cursor_ = edit->cursorPosition();
            selectionStart_ = edit->selectionStart();
            selectionLength_ = edit->selectionLength();
        }
        widget_->clearFocus();
    }
    ~FocusSetAside() {
        if (!widget_)
            return;
        widget_->setFocus(Qt::OtherFocusReason);
        auto* edit = qobject_cast<QLineEdit*>(widget_.data());
        if (!edit)
            return;
        if (selectionStart_ < 0)
            edit->setCursorPosition(cursor_);
        else if (cursor_ == selectionStart_) // selected towards the start
            edit->setSelection(selectionStart_ + selectionLength_, -selectionLength_);
        else
            edit->setSelection(selectionStart_, selectionLength_);
    }
    FocusSetAside(const FocusSetAside&) = delete;
    FocusSetAside& operator=(const FocusSetAside&) = delete;

  private:
    QPointer<QWidget> widget_;
    int cursor_ = 0;
    int selectionStart_ = -1;
    int selectionLength_ = 0;
};

// Paints the selected cells of the window's tables as unselected while the window is
// painted for paper: a highlight the user made to copy cells is no part of the page. The
// selection itself stays, so the user can copy it after printing.
class SelectionSetAside {
  public:
    explicit SelectionSetAside(QWidget* window) {
        for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
            views_.emplace_back(view, view->palette());
            QPalette plain = view->palette();
            for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                plain.setBrush(group, QPalette::Highlight, plain.brush(group, QPalette::Base));
                plain.setBrush(group, QPalette::HighlightedText,
                               plain.brush(group, QPalette::Text));
            }
            view->setPalette(plain);
        }
    }
    ~SelectionSetAside() {
        for (auto& [view, palette] : views_)
            if (view)
                view->setPalette(palette);
    }
    SelectionSetAside(const SelectionSetAside&) = delete;
    SelectionSetAside& operator=(const SelectionSetAside&) = delete;

  private:
    std::vector<std::pair<QPointer<QAbstractItemView>, QPalette>> views_;
};

} // namespace

QString windowTitleOf(const QString& shown, const QString& kind) {
    return shown.isEmpty() ? kind : shown + " - " + kind;
}

QString fileNameOf(const QString& title, const QString& extension) {
    QString name;
    for (const QChar c : title)
        name += c.isLetterOrNumber() || c == '-' || c == '_' || c == '.' ? c : QChar(' ');
    // A leading dot would hide the file.
    name = name.simplified();
    while (name.startsWith('.'))
        name = name.mid(1).trimmed();
    if (name.isEmpty())
        name = "untitled";
    return extension.isEmpty() ? name : name + "." + extension;
}

void completeServices(WindowServices& services, const QString& dialogTitle) {
    if (!services.fileDialog)
        services.fileDialog = std::make_shared<QtFileDialog>(dialogTitle);
    if (!services.pdfDialog)
        services.pdfDialog = std::make_shared<QtFileDialog>("Save the Page as PDF");
    if (!services.printer)
        services.printer = std::make_shared<Printer>();
    if (!services.messages)
        services.messages = std::make_shared<Messages>();
    if (!services.folderDialog)
        services.folderDialog = std::make_shared<QtFileDialog>("Choose a Data Folder");
    if (!services.settings)
        services.settings = std::make_shared<Settings>();
    if (!services.imageDialog)
        services.imageDialog = std::make_shared<QtFileDialog>("Save the Plot as an Image");
}

KeyedToolbar* addFileToolbar(QWidget* client) {
    auto* toolbar = new KeyedToolbar({{"Open", "Open File", "open"},
                                      {"Save", "Save File", "save"},
                                      {"Print", "Print", "print"},
                                      {"Exit", "Exit", "exit"}},
                                     client);
    toolbar->setObjectName("Toolbar1");
    toolbar->move(0, 0);
    return toolbar;
}

QAction* addMenuItem(QWidget* menu, const char* name, const QString& caption) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(name);
    menu->addAction(action);
    return action;
}

void saveMadeFile(QWidget* parent, WindowServices& services,
                  const std::variant<std::string, Refusal>& made, const char* kind,
                  const QString& shown) {
    const QString title = parent->window()->windowTitle();
    if (const auto* refusal = std::get_if<Refusal>(&made)) {
        services.messages->warn(parent, title, QString::fromStdString(refusal->message));
        return;
    }
    const std::optional<QString> path = services.fileDialog->choose(
        parent, FileDialog::Mode::Save, kind, fileNameOf(shown.isEmpty() ? title : shown));
    if (!path)
        return;
    if (auto failure = writeFileAtomically(path->toStdString(), std::get<std::string>(made)))
        services.messages->warn(parent, title, QString::fromStdString(*failure));
}

std::optional<std::variant<std::string, Refusal>>
offerRepair(QWidget* parent, Messages& messages,
            const std::function<std::variant<std::string, Refusal>(bool repair)>& make) {
    std::variant<std::string, Refusal> made = make(false);
    if (const auto* refusal = std::get_if<Refusal>(&made)) {
        if (messages.askOrCancel(parent, parent->window()->windowTitle(),
                                 QString::fromStdString(refusal->message) +
                                     "\n\nWrite the tables repaired instead? Every change is "
                                     "listed at the head of the file.",
                                 false) != Messages::Answer::Yes)
            return std::nullopt;
        made = make(true);
    }
    return made;
}

void printClientArea(QMainWindow* window, QWidget* toolbar, QWidget* heading,
                     std::initializer_list<DrawingSurface*> plots, WindowServices& services) {
    for (DrawingSurface* plot : plots)
        plot->fixIntoBackground();
    QWidget* client = window->centralWidget();
    const std::vector<DrawingSurface*> surfaces(plots);
    // The page is painted only once the user has said where it goes, and the window is put
    // back at once, so the dialogs stand over the window as the user left it.
    const Page page{window->windowTitle(), client->size(),
                    [=](QPainter& painter, const QRectF& target) {
                        const FocusSetAside focus(window);
                        const SelectionSetAside selection(client);
                        toolbar->hide();
                        heading->show();
                        for (DrawingSurface* plot : surfaces)
                            plot->setVectorPainting(true);
                        paintWidget(painter, client, target);
                        for (DrawingSurface* plot : surfaces)
                            plot->setVectorPainting(false);
                        heading->hide();
                        toolbar->show();
                    }};
    printPage(window, page, *services.printer, *services.pdfDialog, *services.messages);
}

} // namespace relperm::ui
