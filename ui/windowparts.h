// Pieces the main windows of the suite share: the platform services they use (each a small
// interface so tests can stand in), menu items known by name, and the print command that
// puts the client area on paper without the toolbar and with the heading.
#pragma once

#include "common/refusal.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <variant>

class QAction;
class QMainWindow;
class QWidget;

namespace relperm::ui {

class DrawingSurface;
class KeyedToolbar;
class FileDialog;
class Messages;
class Printer;
class Settings;

struct WindowServices {
    std::shared_ptr<FileDialog> fileDialog; // the window's one open/save dialog
    std::shared_ptr<FileDialog> pdfDialog;  // where a page goes when there is no printer
    std::shared_ptr<Printer> printer;
    std::shared_ptr<Messages> messages;
    std::shared_ptr<FileDialog> folderDialog = {}; // where a window asks for a folder
    std::shared_ptr<Settings> settings = {};       // what a window remembers for the next run
    std::shared_ptr<FileDialog> imageDialog = {};  // where a plot view saves its image
};

// The kinds of file the windows save, as their dialogs list them (Qt's filters, one kind
// from the next apart by ";;").
namespace fileKinds {
inline constexpr const char* include = "Include files (*.inc)";
inline constexpr const char* csv = "CSV files (*.csv)";
inline constexpr const char* pdf = "PDF documents (*.pdf)";
inline constexpr const char* images =
    "PNG images (*.png);;SVG images (*.svg);;PDF documents (*.pdf)";
} // namespace fileKinds

// A window's title: what it shows, then what the window is ("Water-Oil Data, set 35 - Fit
// Corey"); what the window is alone while it shows nothing.
QString windowTitleOf(const QString& shown, const QString& kind);

// A file name for what a window titled `title` shows, to offer in a save dialog: the title
// without the characters file names and shells trip on, then `extension` when one is given
// ("Water-Oil Data set 35 - Fit Corey.png"); without one the dialog adds its kind's.
QString fileNameOf(const QString& title, const QString& extension = {});

// Fills every service left empty with the platform's own; the file dialog gets `title`.
void completeServices(WindowServices& services, const QString& dialogTitle);

// The toolbar Toolbar1 with the buttons keyed "Open", "Save", "Print", "Exit", standing over
// the top of the client area, where the heading shows while the window is printed.
KeyedToolbar* addFileToolbar(QWidget* client);

// A menu item (or an item on the menu bar itself) named `name`.
QAction* addMenuItem(QWidget* menu, const char* name, const QString& caption);

// Saves a file made before its name is asked for, so a refusal never follows the choice of
// a name: a refusal is shown; otherwise the window's file dialog asks for the name, offering
// `kind` and a name made from `shown` (`parent`'s window title when empty), and the bytes are
// written atomically, a failure shown. Messages carry the window's title.
void saveMadeFile(QWidget* parent, WindowServices& services,
                  const std::variant<std::string, Refusal>& made,
                  const char* kind = fileKinds::include, const QString& shown = {});

// The simulator file `make(repair)` gives. When the tables break a rule a repair can mend,
// the user is asked, before any name is, to have them repaired (Yes) or to write nothing
// (Cancel; a No would do the same, so there is none); nothing comes back on Cancel.
std::optional<std::variant<std::string, Refusal>>
offerRepair(QWidget* parent, Messages& messages,
            const std::function<std::variant<std::string, Refusal>(bool repair)>& make);

// Print: fixes each plot's drawing into its background, then prints the client area (or
// offers a PDF file when there is no printer), painted at the paper's resolution with the
// toolbar hidden, the heading shown, the plots as lines and text, no text cursor and no
// cells shown selected; the window is as it was once the page is painted.
void printClientArea(QMainWindow* window, QWidget* toolbar, QWidget* heading,
                     std::initializer_list<DrawingSurface*> plots, WindowServices& services);

} // namespace relperm::ui
