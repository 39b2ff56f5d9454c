#include "ui/windowparts.h"

#include "ui/drawingsurface.h"
#include "ui/filedialog.h"
#include "ui/keyedtoolbar.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/settings.h"

#include <QAction>
#include <QMainWindow>

namespace relperm::ui {

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

void printClientArea(QMainWindow* window, QWidget* toolbar, QWidget* heading,
                     std::initializer_list<DrawingSurface*> plots, WindowServices& services) {
    toolbar->hide();
    heading->show();
    for (DrawingSurface* plot : plots)
        plot->fixIntoBackground();
    const QImage page = window->centralWidget()->grab().toImage();
    heading->hide();
    toolbar->show();
    printPage(window, page, window->windowTitle(), *services.printer, *services.pdfDialog,
              *services.messages);
}

} // namespace relperm::ui
