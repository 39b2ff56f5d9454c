// The database browser window, pellam: the five selection lists, the count and show
// buttons, the matching search, the selection criteria and end-point frames, the two
// grids, the plot and the description. The window holds widgets only; every rule lives in
// the browser model of the core, and the window mirrors it after each event.
#pragma once

#include "common/filewrite.h"
#include "database/browser.h"
#include "database/datafolder.h"
#include "ui/windowparts.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>
#include <optional>

class QComboBox;
class QMenu;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace relperm::ui {
class DrawingSurface;
class FileDialog;
class FlexGrid;
class KeyedToolbar;
class Messages;
class PlotView;
class PlotViews;
class Printer;
class Settings;
} // namespace relperm::ui

namespace relperm::databaseui {

class DescriptionBox;
class MatchListWindow;

// The settings key under which the data folder the user chose is kept for the next start.
inline constexpr const char* dataFolderSetting = "pellam/dataFolder";

// The platform services the window uses (cd1 is the file dialog, shared by Open and
// Save); any left empty gets the platform's own.
using BrowserServices = ui::WindowServices;

// Where the program starts the browser (see startFolder), the folder remembered read from
// `settings` and the choice kept there: a named folder that holds data is remembered, a
// remembered one passed by is forgotten. The paths come back in canonical form.
StartChoice chooseStartFolder(StartFolders folders, ui::Settings& settings);

// The selection as the browser's lists show it, then the search option: what a window of
// every matching set says it is of.
QString selectionText(const DatabaseBrowser& browser, const MatchSelection& selection);

class PellamWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `dataDirectory` is where the four data files are read until another folder is opened.
    explicit PellamWindow(std::filesystem::path dataDirectory, BrowserServices services = {},
                          QWidget* parent = nullptr);
    // As the program starts it: in the folder `start` chose, the demo database called so in
    // the status line, and a remembered folder passed by told once.
    explicit PellamWindow(const StartChoice& start, BrowserServices services = {},
                          QWidget* parent = nullptr);
    ~PellamWindow() override;

    const DatabaseBrowser& model() const { return browser_; }
    const BrowserServices& services() const { return services_; }
    // The Tools menu, after View: the program that composes the browser with the windows of
    // other folders (the fit, the recommendation, the tables) adds their items here.
    QMenu* toolsMenu() const { return tools_; }

    // Menu and toolbar commands (pellamwindow_commands.cpp).
    void a5_Click();        // Open
    void a6_Click();        // Save
    void a2_Click();        // Print
    void openDataFolder();  // File / Open Data Folder...
    void exportDataSet();   // File / Export Data Set...
    void simulatorTables(); // File / Simulator Tables...
    void Toolbar1_ButtonClick(const QString& key);
    // View / List Matching Data Sets (pellamwindow_list.cpp).
    void openMatchList();
    // View / Plot (also a double-click on the plot): the shown set's plot in a window of its
    // own, following every Show.
    ui::PlotView* openPlot();

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void buildMenu();
    void buildControls();
    QLabel* makeLabel(QWidget* parent, const char* name);
    QLineEdit* makeBox(QWidget* parent, const char* name, const QString& text);
    // Runs a model event, then shows what the model holds.
    template <class Event> void act(Event&& event);
    void showModel();
    void reportProblem();
    // Reads the data files of `folder` from now on, shows it in the status line and says
    // so when it holds none.
    void useDataFolder(const std::filesystem::path& folder);
    void showDataFolder();
    void noteMissingData();
    void notePassedBy(const std::filesystem::path& remembered);

    DatabaseBrowser browser_;
    std::optional<ProtectedFiles> protectedData_;
    std::optional<std::filesystem::path> demo_;
    BrowserServices services_;
    bool showingModel_ = false;
    std::string reportedProblem_;

    std::map<BrowserList, QComboBox*> lists_;
    std::map<EndPointBox, QLineEdit*> endPoints_;
    QLineEdit* title_ = nullptr;
    QLineEdit* tolerance_ = nullptr;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    ui::KeyedToolbar* toolbar_ = nullptr;
    ui::FlexGrid* asInput_ = nullptr;
    ui::FlexGrid* adjusted_ = nullptr;
    ui::DrawingSurface* vomar_ = nullptr;
    DescriptionBox* picture1_ = nullptr;
    QLabel* dataFolder_ = nullptr;
    QPointer<MatchListWindow> matchList_;
    std::unique_ptr<ui::PlotViews> plotViews_;
    QMenu* tools_ = nullptr;
};

} // namespace relperm::databaseui
