#include "ui/messages.h"

#include <QMessageBox>

namespace relperm::ui {

void Messages::warn(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

void Messages::inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::information(parent, title, text);
}

bool Messages::ask(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text) == QMessageBox::Yes;
}

} // namespace relperm::ui
