#pragma once
// Small helpers the window's pages share: controls placed at a position of
// their parent, and the tables' cells.
#include "physics/Sample.h"

#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QWidget;

namespace fluvena::ui {

// A control of kind W, named and placed at (left, top) of its parent; its own
// size unless one is given.
template <typename W>
W* Place(QWidget* parent, const char* name, int left, int top, int width = -1, int height = -1)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->move(left, top);
    if (width > 0 && height > 0) w->resize(width, height);
    else w->adjustSize();
    return w;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top);
QLineEdit* PlaceEdit(QWidget* parent, const char* name, const QString& text, int left, int top, int width, int height);
QCheckBox* PlaceCheck(QWidget* parent, const char* name, const QString& text, bool checked, int left, int top,
                      int width = -1, int height = -1);
QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                         int height);
// An up-down spinner at 0 of 0 that does not wrap.
QSpinBox* PlaceUpDown(QWidget* parent, const char* name, int left, int top);

// A table drawn as a grid whose row 0 and column 0 are fixed headings.
QTableWidget* MakeGrid(QWidget* parent, const char* name, int columns, int rows);
// Sets a cell's text; a cell outside the table is left alone.
void SetCell(QTableWidget* grid, int column, int row, const QString& text);
// A value in the tables' "0.0000E+00" form; empty where it is not a finite number.
QString GridNumber(double value, char separator);

// Keeps `widget` at its own size in the top right corner of its parent.
void KeepAtTopRight(QWidget* widget);

// "s", "ms", "µs" or "ns".
QString TimeUnitText(TimeUnit unit);

}  // namespace fluvena::ui
