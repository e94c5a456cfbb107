#include "ui/Widgets.h"

#include "base/NumberFormat.h"

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <cmath>

namespace fluvena::ui {

namespace {

class TopRight : public QObject {
public:
    explicit TopRight(QWidget* widget) : QObject(widget), widget_(widget) {}
    void Place()
    {
        widget_->adjustSize();
        widget_->move(widget_->parentWidget()->width() - widget_->width() - 2, 2);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest) Place();
        return false;
    }

private:
    QWidget* widget_;
};

}  // namespace

void KeepAtTopRight(QWidget* widget)
{
    auto* keeper = new TopRight(widget);
    widget->parentWidget()->installEventFilter(keeper);
    widget->installEventFilter(keeper);
    keeper->Place();
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* l = Place<QLabel>(parent, name, left, top);
    l->setText(text);
    l->adjustSize();
    return l;
}

QLineEdit* PlaceEdit(QWidget* parent, const char* name, const QString& text, int left, int top, int width, int height)
{
    auto* e = Place<QLineEdit>(parent, name, left, top, width, height);
    e->setText(text);
    return e;
}

QCheckBox* PlaceCheck(QWidget* parent, const char* name, const QString& text, bool checked, int left, int top,
                      int width, int height)
{
    auto* c = Place<QCheckBox>(parent, name, left, top, width, height);
    c->setText(text);
    c->setChecked(checked);
    if (width <= 0) c->adjustSize();
    return c;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                         int height)
{
    auto* b = Place<QPushButton>(parent, name, left, top, width, height);
    b->setText(text);
    return b;
}

QSpinBox* PlaceUpDown(QWidget* parent, const char* name, int left, int top)
{
    auto* s = Place<QSpinBox>(parent, name, left, top, 48, 36);
    s->setRange(0, 0);
    s->setValue(0);
    s->setWrapping(false);
    return s;
}

QTableWidget* MakeGrid(QWidget* parent, const char* name, int columns, int rows)
{
    auto* g = new QTableWidget(rows, columns, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->horizontalHeader()->setDefaultSectionSize(62);
    g->verticalHeader()->setDefaultSectionSize(20);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return g;
}

void SetCell(QTableWidget* grid, int column, int row, const QString& text)
{
    if (column >= grid->columnCount() || row >= grid->rowCount()) return;
    auto* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
    // Row 0 and column 0 are the grid's fixed headings.
    if (row == 0 || column == 0) item->setBackground(grid->palette().color(QPalette::Button));
}

QString GridNumber(double value, char separator)
{
    return std::isfinite(value) ? QString::fromStdString(FormatFloat(value, Pattern::E4, separator)) : QString();
}

QString TimeUnitText(TimeUnit unit)
{
    switch (unit) {
    case TimeUnit::Seconds: return QStringLiteral("s");
    case TimeUnit::Milliseconds: return QStringLiteral("ms");
    case TimeUnit::Microseconds: return QStringLiteral("µs");
    case TimeUnit::Nanoseconds: return QStringLiteral("ns");
    }
    return QString();
}

}  // namespace fluvena::ui
