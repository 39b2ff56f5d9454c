#include "calculator/ui/form1.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("vomar");
    // Numbers always use the point, whatever the desktop's language.
    QLocale::setDefault(QLocale::c());
    relperm::calculatorui::Form1 window;
    window.show();
    return app.exec();
}
