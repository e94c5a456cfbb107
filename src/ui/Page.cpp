#include "ui/Page.h"

#include "physics/Sizes.h"
#include "results/ResultsLog.h"
#include "ui/Language.h"
#include "ui/TextEdges.h"
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

void Page::showSizeRows(QTableWidget* grid, int firstRow, const std::vector<std::pair<double, double>>& decayTimes) const
{
    const char* const captions[] = {QT_TR_NOOP("D [m²/s]"), QT_TR_NOOP("Błąd D [m²/s]"), QT_TR_NOOP("R_h [nm]"),
                                    QT_TR_NOOP("Błąd R_h [nm]")};
    for (int r = 0; r < 4; ++r) SetCell(grid, 0, firstRow + r, tr(captions[r]));
    const char sep = DecimalSeparator();
    QString why;
    for (std::size_t k = 0; k < decayTimes.size(); ++k) {
        const Outcome<physics::SizeEstimate> size =
            physics::SizeFromDecayTime(decayTimes[k].first, decayTimes[k].second, m().Sample());
        if (!size) why = FailureText(size.failure());
        const double values[] = {size ? size->diffusion : NAN, size ? size->diffusionErr : NAN,
                                 size ? size->radiusNm : NAN, size ? size->radiusErrNm : NAN};
        for (int r = 0; r < 4; ++r) SetCell(grid, static_cast<int>(k) + 1, firstRow + r, GridNumber(values[r], sep));
    }
    // Why a size is missing, on the rows' captions.
    for (int r = 0; r < 4; ++r)
        if (auto* item = grid->item(firstRow + r, 0)) item->setToolTip(why);
}

}  // namespace fluvena::ui
