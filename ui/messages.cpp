#include "ui/messages.h"

namespace relperm::ui {

namespace {

// Lines may break after a hyphen, which cuts an option such as --help in two. A word joiner
// after each hyphen inside a word forbids the break there and shows as nothing.
QString withWholeWords(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        shown += text[i];
        if (text[i] == '-' && i + 1 < text.size() && !text[i + 1].isSpace())
            shown += QChar(0x2060);
    }
    return shown;
}

QMessageBox::StandardButton shown(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                  const QString& text, QMessageBox::StandardButtons buttons) {
    const std::unique_ptr<QMessageBox> box = messageBox(parent, icon, title, text, buttons);
    box->exec();
    return box->standardButton(box->clickedButton());
}

} // namespace

std::unique_ptr<QMessageBox> messageBox(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons) {
    auto box = std::make_unique<QMessageBox>(icon, title, withWholeWords(text), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    if (buttons & QMessageBox::Yes)
        box->setDefaultButton(QMessageBox::Yes);
    box->setEscapeButton(buttons & QMessageBox::Cancel ? QMessageBox::Cancel
                         : buttons & QMessageBox::No   ? QMessageBox::No
                                                       : QMessageBox::Ok);
    return box;
}

void Messages::warn(QWidget* parent, const QString& title, const QString& text) {
    shown(parent, QMessageBox::Warning, title, text, QMessageBox::Ok);
}

void Messages::inform(QWidget* parent, const QString& title, const QString& text) {
    shown(parent, QMessageBox::Information, title, text, QMessageBox::Ok);
}

bool Messages::ask(QWidget* parent, const QString& title, const QString& text) {
    return shown(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

Messages::Answer Messages::askOrCancel(QWidget* parent, const QString& title, const QString& text,
                                       bool offerNo) {
    const QMessageBox::StandardButtons buttons =
        offerNo ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                : QMessageBox::Yes | QMessageBox::Cancel;
    switch (shown(parent, QMessageBox::Question, title, text, buttons)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

} // namespace relperm::ui
