// Pieces the analysis windows' side panels share: labels that wrap, the heading, and the box
// of a model's parameters with its table sized to its rows.
#pragma once

#include <QStringList>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

namespace relperm::analysisui {

// A plain-text label that wraps at the panel's width.
QLabel* wrappingLabel(const char* name, QWidget* parent);

// The panel's heading: the set or the selection shown, in bold, wrapping.
QLabel* headingLabel(const char* name, QWidget* parent);

// A read-only table named "parameters" with `columns` as its headings, whose columns share
// the width and whose rows are selected whole.
QTableWidget* parameterTable(const QStringList& columns, QWidget* parent);

// The box of a model's parameters: the table, a refusal in red (named `refusalName`), the
// misfit, and the buttons "copyParameters" (`copyText`) and "writeTables" under them, with
// "openInTables" beside them when `withTables`. The window connects the buttons and gives the
// tips.
struct ParameterBox {
    QGroupBox* box;
    QTableWidget* table;
    QLabel* refusal;
    QLabel* misfit;
    QPushButton* copy;
    QPushButton* write;
    QPushButton* tables = nullptr;
};
ParameterBox parameterBox(const QString& title, const QStringList& columns, const char* refusalName,
                          const QString& copyText, QWidget* parent, bool withTables = false);

// `panel` in a frameless area named `name` that scrolls it up and down, `minWidth` to
// `maxWidth` wide besides its scroll bar. A panel's wrapped texts need more height the
// narrower it is, which a window's least size does not follow: in a short window they would
// be pressed over its tables.
QWidget* scrollingPanel(QWidget* panel, const char* name, int minWidth, int maxWidth,
                        QWidget* parent);

// Makes the table as tall as its rows, so it never scrolls and leaves no blank under them.
void fitHeightToRows(QTableWidget* table);

} // namespace relperm::analysisui
