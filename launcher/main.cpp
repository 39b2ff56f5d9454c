#include "launcher/launcherwindow.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("ostilo");
    QLocale::setDefault(QLocale::c());
    relperm::launcherui::LauncherWindow window;
    window.show();
    return app.exec();
}
