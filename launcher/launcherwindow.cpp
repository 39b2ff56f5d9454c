#include "launcher/launcherwindow.h"

#include "launcher/launchrule.h"
#include "ui/fonts.h"
#include "ui/icons.h"
#include "ui/messages.h"
#include "ui/processstarter.h"
#include "ui/twips.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>

namespace relperm::launcherui {

namespace {

void colour(QWidget* widget, QPalette::ColorRole role, QColor c) {
    QPalette palette = widget->palette();
    palette.setColor(role, c);
    widget->setPalette(palette);
}

// A list that gains the focus without making an entry current: the launcher opens with
// nothing chosen, and the first arrow key reaches the first entry.
class LaunchList : public QListWidget {
  public:
    using QListWidget::QListWidget;

  protected:
    void focusInEvent(QFocusEvent* event) override {
        QListWidget::focusInEvent(event);
        if (selectedItems().isEmpty())
            selectionModel()->clearCurrentIndex();
    }
};

} // namespace

LauncherWindow::LauncherWindow(std::shared_ptr<ui::ProcessStarter> starter,
                               std::shared_ptr<ui::Messages> messages, QWidget* parent)
    : QWidget(parent), starter_(std::move(starter)), messages_(std::move(messages)) {
    if (!starter_)
        starter_ = std::make_shared<ui::ProcessStarter>();
    if (!messages_)
        messages_ = std::make_shared<ui::Messages>();
    setObjectName("Form1");
    // The task bar and the window switcher name the window by this.
    setWindowTitle("Relative Permeability Suite");
    setWindowIcon(ui::launcherIcon());
    setFixedSize(ui::twipsToPixels(6840, this), ui::twipsToPixels(4290, this));
    setAutoFillBackground(true);
    colour(this, QPalette::Window, QColor(255, 0, 0));

    auto* title = new QLabel("Relative Permeability              Suite", this);
    title->setObjectName("Label1");
    title->setWordWrap(true);
    // From the top of its place, as the form draws a caption: centred in its height, the
    // second line would run into the icon below.
    title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    title->setFont(ui::layoutFont(24, true));
    QFont italic = title->font();
    italic.setItalic(true);
    title->setFont(italic);
    colour(title, QPalette::WindowText, QColor(255, 255, 0));
    ui::placeInTwips(title, 840, 480, 5175, 1335);

    auto* image = new QLabel(this);
    image->setObjectName("Image1");
    ui::placeInTwips(image, 1200, 1560, 840, 840);
    image->setPixmap(ui::suiteIcon().pixmap(image->size()));
    image->setScaledContents(true);

    auto* menuLabel = new QLabel("Main Menu", this);
    menuLabel->setObjectName("Label2");
    menuLabel->setFont(ui::layoutFont(13.5, false));
    colour(menuLabel, QPalette::WindowText, QColor(0, 255, 0));
    ui::placeInTwips(menuLabel, 2640, 2400, 1575, 375);
    ui::widenToLongestWord(menuLabel);

    list_ = new LaunchList(this);
    list_->setObjectName("List1");
    list_->setFont(ui::layoutFont(12, true));
    colour(list_, QPalette::Base, QColor(0, 0, 255));
    colour(list_, QPalette::Text, QColor(255, 255, 255));
    ui::placeInTwips(list_, 1200, 2880, 4455, 960);
    list_->addItems(
        {"Relative Permeability Correlations", "Relative Permeability Database", "Exit"});
    list_->setCurrentRow(-1);
    list_->setFocus();
    list_->viewport()->installEventFilter(this);
    // A newly chosen entry acts at once, whether the mouse or an arrow key reached it.
    connect(list_, &QListWidget::itemSelectionChanged, this, &LauncherWindow::List1_Click);
    // A click on the entry that is already current acts again: another copy starts.
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (list_->row(item) == rowAtPress_)
            List1_Click();
    });
}

LauncherWindow::~LauncherWindow() = default;

bool LauncherWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress)
        rowAtPress_ = list_->currentRow();
    return QWidget::eventFilter(watched, event);
}

void LauncherWindow::List1_Click() {
    const QListWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected())
        return;
    QString program;
    switch (launchActionFor(item->text().toStdString())) {
    case LaunchAction::StartCalculator:
        program = "vomar";
        break;
    case LaunchAction::StartBrowser:
        program = "pellam";
        break;
    case LaunchAction::Exit:
        close();
        return;
    case LaunchAction::None:
        return;
    }
    if (auto failure = starter_->start(program))
        messages_->warn(this, windowTitle(), *failure);
}

} // namespace relperm::launcherui
