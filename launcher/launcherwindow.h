// The suite's launcher: a red window with the suite's name, its icon, and a list whose
// entries start the calculator or the database browser as independent processes, or end
// the launcher. Every entry reached acts, by mouse or by the arrow keys.
#pragma once

#include <QWidget>

#include <memory>

class QListWidget;

namespace relperm::ui {
class Messages;
class ProcessStarter;
} // namespace relperm::ui

namespace relperm::launcherui {

class LauncherWindow : public QWidget {
    Q_OBJECT
  public:
    // Services left empty get the platform's own.
    explicit LauncherWindow(std::shared_ptr<ui::ProcessStarter> starter = {},
                            std::shared_ptr<ui::Messages> messages = {}, QWidget* parent = nullptr);
    ~LauncherWindow() override;

    void List1_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::shared_ptr<ui::ProcessStarter> starter_;
    std::shared_ptr<ui::Messages> messages_;
    QListWidget* list_ = nullptr;
    int rowAtPress_ = -1;
};

} // namespace relperm::launcherui
