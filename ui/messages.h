// How a window tells the user something or asks a question. The windows use the platform's
// message boxes; tests stand in with a recorder.
#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

class QWidget;

namespace relperm::ui {

class Messages {
  public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Messages() = default;
    virtual void warn(QWidget* parent, const QString& title, const QString& text);
    virtual void inform(QWidget* parent, const QString& title, const QString& text);
    // Yes or No; closing the box says No.
    virtual bool ask(QWidget* parent, const QString& title, const QString& text);
    // A question the user may back out of: Yes, No and Cancel, or Yes and Cancel alone where
    // No would do what Cancel does. Escape and closing the box cancel.
    virtual Answer askOrCancel(QWidget* parent, const QString& title, const QString& text,
                               bool offerNo);
};

// The platform's box for a message, not yet shown: `text` laid out with every word that
// holds a hyphen ("--help", "Water-Oil") kept on one line, `buttons` with Escape standing for
// Cancel when it is among them, else for No.
std::unique_ptr<QMessageBox> messageBox(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons);

} // namespace relperm::ui
