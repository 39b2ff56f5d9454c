#include "ui/windowparts.h"

#include "common/filewrite.h"

#include "ui/drawingsurface.h"
#include "ui/filedialog.h"
#include "ui/keyedtoolbar.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/settings.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <optional>

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

} // namespace

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
                  const std::variant<std::string, Refusal>& made) {
    const QString title = parent->window()->windowTitle();
    if (const auto* refusal = std::get_if<Refusal>(&made)) {
        services.messages->warn(parent, title, QString::fromStdString(refusal->message));
        return;
    }
    const std::optional<QString> path = services.fileDialog->choose(parent, FileDialog::Mode::Save);
    if (!path)
        return;
    if (auto failure = writeFileAtomically(path->toStdString(), std::get<std::string>(made)))
        services.messages->warn(parent, title, QString::fromStdString(*failure));
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
