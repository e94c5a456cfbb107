#include "ui/Tables.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTableWidget>

#include <algorithm>
#include <limits>

namespace fluvena::ui {

QString TableText(const QTableWidget& table)
{
    const QModelIndexList selected = table.selectionModel()->selectedIndexes();
    int top = 0, left = 0, bottom = table.rowCount() - 1, right = table.columnCount() - 1;
    if (!selected.isEmpty()) {
        top = left = std::numeric_limits<int>::max();
        bottom = right = -1;
        for (const QModelIndex& i : selected) {
            top = std::min(top, i.row());
            bottom = std::max(bottom, i.row());
            left = std::min(left, i.column());
            right = std::max(right, i.column());
        }
    }
    QStringList lines;
    for (int r = top; r <= bottom; ++r) {
        QStringList cells;
        for (int c = left; c <= right; ++c) {
            const QTableWidgetItem* item = table.item(r, c);
            const bool wanted = selected.isEmpty() || table.selectionModel()->isSelected(table.model()->index(r, c));
            cells << (item && wanted ? item->text() : QString());
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

QAction* AddCopyAction(QTableWidget* table)
{
    auto* copy = new QAction(table);
    copy->setObjectName(QStringLiteral("copyCells"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, table,
                     [table] { QGuiApplication::clipboard()->setText(TableText(*table)); });
    table->addAction(copy);
    table->setContextMenuPolicy(Qt::ActionsContextMenu);
    return copy;
}

}  // namespace fluvena::ui
