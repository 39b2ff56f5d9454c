// How a window tells the user something or asks a yes/no question. The windows use the
// platform's message boxes; tests stand in with a recorder.
#pragma once

#include <QString>

class QWidget;

namespace relperm::ui {

class Messages {
  public:
    virtual ~Messages() = default;
    virtual void warn(QWidget* parent, const QString& title, const QString& text);
    virtual void inform(QWidget* parent, const QString& title, const QString& text);
    virtual bool ask(QWidget* parent, const QString& title, const QString& text);
};

} // namespace relperm::ui
