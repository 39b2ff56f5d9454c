// Pieces the analysis windows' side panels share: labels that wrap, and read-only tables
// of parameters sized to their rows.
#pragma once

#include <QStringList>

class QLabel;
class QTableWidget;
class QWidget;

namespace relperm::analysisui {

// A plain-text label that wraps at the panel's width.
QLabel* wrappingLabel(const char* name, QWidget* parent);

// A read-only table named "parameters" with `columns` as its headings, whose columns share
// the width and whose rows are selected whole.
QTableWidget* parameterTable(const QStringList& columns, QWidget* parent);

// Makes the table as tall as its rows, so it never scrolls and leaves no blank under them.
void fitHeightToRows(QTableWidget* table);

} // namespace relperm::analysisui
