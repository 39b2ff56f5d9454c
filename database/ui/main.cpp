#include "database/ui/pellamwindow.h"

#include <QApplication>
#include <QLocale>

#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("pellam");
    QLocale::setDefault(QLocale::c());
    // The data files are looked for in the folder the browser was started in.
    relperm::databaseui::PellamWindow window(std::filesystem::current_path());
    window.show();
    return app.exec();
}
