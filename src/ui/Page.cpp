#include "ui/Page.h"

#include "base/Readable.h"
#include "physics/Sizes.h"
#include "results/ResultsLog.h"
#include "ui/Language.h"
#include "ui/TextEdges.h"
#include "ui/Verdict.h"
#include "ui/Widgets.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QTableWidget>

#include <cmath>

namespace fluvena::ui {

Page::Page(Presenter& presenter, PageHost& host, const char* name) : presenter_(presenter), host_(host)
{
    setObjectName(QString::fromLatin1(name));
}

void Page::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) retranslate();
    QWidget::changeEvent(event);
}

LogInput Page::logInput(const QLineEdit* name, const QLineEdit* value, const QCheckBox* inverse)
{
    LogInput in;
    in.paramName = ToCore(name->text());
    in.value = value->text().toStdString();
    in.inverse = inverse->isChecked();
    in.decimalSeparator = DecimalSeparator();
    return in;
}

int Page::showSizeRows(QTableWidget* grid, int firstRow, const std::vector<SizeColumn>& columns, bool harmonicRow) const
{
    // The radii first and D last: the rows a reader looks for stand highest.
    QStringList captions{harmonicRow ? tr("R_h (ze średniego czasu)") : tr("R_h")};
    if (harmonicRow) captions << tr("R_h (średnia harmoniczna)");
    captions << tr("D");
    const int rows = static_cast<int>(captions.size());
    for (int r = 0; r < rows; ++r) SetCell(grid, 0, firstRow + r, captions[r]);
    const char sep = DecimalSeparator();
    QString why;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const SizeColumn& c = columns[k];
        const int col = static_cast<int>(k) + 1;
        if (c.withheld) {
            const QString reason = NoSizeText(*c.withheld);
            for (int r = 0; r < rows; ++r) {
                SetCell(grid, col, firstRow + r, tr("brak"));
                if (auto* item = grid->item(firstRow + r, col)) item->setToolTip(reason);
            }
            continue;
        }
        const Outcome<physics::SizeEstimate> size = physics::SizeFromDecayTime(c.time, c.timeErr, m().Sample());
        if (!size) why = FailureText(size.failure());
        QString cells[3];  // in the rows' order
        if (size) {
            cells[0] = QString::fromStdString(ReadableWithError(size->radiusNm, size->radiusErrNm, "nm", sep));
            cells[rows - 1] = QString::fromStdString(ReadableWithError(size->diffusion, size->diffusionErr, "m²/s", sep));
        }
        if (c.harmonic && harmonicRow) {
            const Outcome<physics::SizeEstimate> h =
                physics::SizeFromDecayTime(*c.harmonic, c.harmonicErr.value_or(0.0), m().Sample());
            if (h) cells[1] = QString::fromStdString(ReadableWithError(h->radiusNm, h->radiusErrNm, "nm", sep));
        }
        for (int r = 0; r < rows; ++r) {
            SetCell(grid, col, firstRow + r, cells[r]);
            if (auto* item = grid->item(firstRow + r, col)) item->setToolTip(QString());
        }
    }
    // Why a size is missing, on the rows' captions.
    for (int r = 0; r < rows; ++r)
        if (auto* item = grid->item(firstRow + r, 0)) item->setToolTip(why);
    return rows;
}

}  // namespace fluvena::ui
