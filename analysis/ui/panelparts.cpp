#include "analysis/ui/panelparts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace relperm::analysisui {

QLabel* wrappingLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QLabel* headingLabel(const char* name, QWidget* parent) {
    QLabel* heading = wrappingLabel(name, parent);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    return heading;
}

QTableWidget* parameterTable(const QStringList& columns, QWidget* parent) {
    auto* table = new QTableWidget(parent);
    table->setObjectName("parameters");
    table->setColumnCount(static_cast<int>(columns.size()));
    table->setHorizontalHeaderLabels(columns);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return table;
}

ParameterBox parameterBox(const QString& title, const QStringList& columns, const char* refusalName,
                          const QString& copyText, QWidget* parent, bool withTables) {
    auto* box = new QGroupBox(title, parent);
    ParameterBox parts{
        box,    parameterTable(columns, box), wrappingLabel(refusalName, box), nullptr, nullptr,
        nullptr};
    parts.refusal->setStyleSheet("color: #b00000");
    parts.misfit = wrappingLabel("misfit", box);
    parts.copy = new QPushButton(copyText, box);
    parts.copy->setObjectName("copyParameters");
    parts.write = new QPushButton("&Write Simulator Tables...", box);
    parts.write->setObjectName("writeTables");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(parts.copy);
    buttons->addWidget(parts.write);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(parts.table);
    layout->addWidget(parts.refusal);
    layout->addWidget(parts.misfit);
    layout->addLayout(buttons);
    if (withTables) {
        parts.tables = new QPushButton("Open in &Tables...", box);
        parts.tables->setObjectName("openInTables");
        // A row of its own: three buttons side by side would not fit the panel's width.
        auto* more = new QHBoxLayout;
        more->addWidget(parts.tables);
        more->addStretch(1);
        layout->addLayout(more);
    }
    return parts;
}

void fitHeightToRows(QTableWidget* table) {
    int height = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
    for (int row = 0; row < table->rowCount(); ++row)
        height += table->rowHeight(row);
    table->setFixedHeight(height);
}

QWidget* scrollingPanel(QWidget* panel, const char* name, int minWidth, int maxWidth,
                        QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName(name);
    scroll->setWidget(panel);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int scrollBar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    scroll->setMinimumWidth(minWidth + scrollBar);
    scroll->setMaximumWidth(maxWidth + scrollBar);
    return scroll;
}

} // namespace relperm::analysisui
