#pragma once
// Copying from the window's tables as a spreadsheet takes it.
#include <QString>

class QAction;
class QTableWidget;

namespace fluvena::ui {

// The selected cells (the rectangle that holds every selected cell; cells in
// it that are not selected stay empty), or every cell when none is selected,
// as lines of tab-separated texts exactly as the table shows them.
QString TableText(const QTableWidget& table);

// Gives the table a "copy" action (Ctrl+C while the table has the focus, and
// in its context menu) that puts TableText on the clipboard. The caller sets
// the action's text.
QAction* AddCopyAction(QTableWidget* table);

}  // namespace fluvena::ui
