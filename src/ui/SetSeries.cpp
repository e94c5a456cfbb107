// The series on the page "Zestaw": a result of the set's table against a
// parameter of its measurements, chosen in two combo boxes, and the table's
// column of values the user types (a concentration, ...) that it can be
// charted against.
#include "ui/SetPage.h"

#include "base/Readable.h"
#include "ui/Language.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>

namespace fluvena::ui {

SeriesChart::SeriesChart(QWidget* parent) : Chart(parent, "ChartSeries", false)
{
    const QColor colour(0, 90, 160);
    included = AddSeries("SeriesIncluded", colour, false, 1, 6);
    excluded = AddSeries("SeriesExcluded", colour, false, 1, 6);
    excluded->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(colour), Qt::NoBrush, 7));
    for (auto [graph, bars] : {std::pair{included, &includedBars}, {excluded, &excludedBars}}) {
        *bars = new QCPErrorBars(graph->keyAxis(), graph->valueAxis());
        (*bars)->setDataPlottable(graph);
        (*bars)->setPen(QPen(colour));
    }
    for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
        axis->setNumberFormat(QStringLiteral("gb"));
        axis->setNumberPrecision(4);
    }
}

void SeriesChart::Show(const std::vector<sets::SeriesPoint>& points)
{
    QVector<double> x[2], y[2], err[2];
    for (const sets::SeriesPoint& p : points) {
        const int k = p.included ? 0 : 1;
        x[k] << p.x;
        y[k] << p.y;
        err[k] << p.err;
    }
    included->setData(x[0], y[0], true);
    includedBars->setData(err[0]);
    excluded->setData(x[1], y[1], true);
    excludedBars->setData(err[1]);
    Rescale();
    // No point on the chart's edge.
    const QCPRange r = plot_->xAxis->range();
    if (!points.empty()) {
        const double pad = r.upper > r.lower ? (r.upper - r.lower) * 0.05 : std::max(1.0, std::fabs(r.upper) * 0.05);
        plot_->xAxis->setRange(r.lower - pad, r.upper + pad);
    }
}

void SetPage::buildSeries(QBoxLayout* layout)
{
    auto* controls = new QGridLayout;
    LabelSeriesY = new QLabel(this);
    LabelSeriesY->setObjectName(QStringLiteral("LabelSeriesY"));
    ComboSeriesY = new QComboBox(this);
    ComboSeriesY->setObjectName(QStringLiteral("ComboSeriesY"));
    for (int k = 0; k < sets::kSeriesYCount; ++k) ComboSeriesY->addItem(QString(), k);
    LabelSeriesX = new QLabel(this);
    LabelSeriesX->setObjectName(QStringLiteral("LabelSeriesX"));
    ComboSeriesX = new QComboBox(this);
    ComboSeriesX->setObjectName(QStringLiteral("ComboSeriesX"));
    for (int k = 0; k < sets::kSeriesXCount; ++k) ComboSeriesX->addItem(QString(), k);
    // Their texts are long; they do not widen the window.
    for (QComboBox* combo : {ComboSeriesY, ComboSeriesX}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(4);
    }
    CheckSeriesRepeats = new QCheckBox(this);
    CheckSeriesRepeats->setObjectName(QStringLiteral("CheckSeriesRepeats"));
    controls->addWidget(LabelSeriesY, 0, 0);
    controls->addWidget(ComboSeriesY, 0, 1);
    controls->addWidget(LabelSeriesX, 1, 0);
    controls->addWidget(ComboSeriesX, 1, 1);
    controls->addWidget(CheckSeriesRepeats, 1, 2);
    controls->setColumnStretch(1, 1);
    layout->addLayout(controls);
    seriesChart_ = std::make_unique<SeriesChart>(this);
    layout->addWidget(seriesChart_->plot(), 1);
    for (QComboBox* combo : {ComboSeriesY, ComboSeriesX}) connect(combo, &QComboBox::currentIndexChanged, this, &SetPage::drawSeries);
    connect(CheckSeriesRepeats, &QCheckBox::toggled, this, &SetPage::drawSeries);
}

void SetPage::retranslateSeries()
{
    LabelSeriesY->setText(tr("Seria:"));
    LabelSeriesX->setText(tr("względem"));
    CheckSeriesRepeats->setText(tr("średnie powtórzeń"));
    CheckSeriesRepeats->setToolTip(tr("Zaznaczone pomiary jednego kąta i jednej temperatury jako jeden punkt: średnia ± odchylenie standardowe"));
    const QString ys[sets::kSeriesYCount] = {
        tr("promień z-średni R_z [nm]"), QStringLiteral("PDI"), QStringLiteral("β"), tr("⟨Γ⟩ [1/s]"),
        tr("D_app = ⟨Γ⟩/q² [m²/s]"), tr("CONTIN: promień głównego piku [nm]"), tr("CONTIN: udział głównego piku"),
        tr("średnie zliczenia [kHz]"), tr("przyrząd: średnica z-średnia [nm]")};
    const QString xs[sets::kSeriesXCount] = {tr("kolejność pomiarów"), tr("temperatura [K]"),
                                             tr("czas od pierwszego pomiaru [min]"), tr("kąt [°]"), tr("q² [1/m²]"),
                                             tr("wartość wpisana")};
    for (int k = 0; k < sets::kSeriesYCount; ++k) ComboSeriesY->setItemText(k, ys[k]);
    for (int k = 0; k < sets::kSeriesXCount; ++k) ComboSeriesX->setItemText(k, xs[k]);
    seriesChart_->SetTitle(tr("Seria wyników"));
    drawSeries();
}

void SetPage::drawSeries()
{
    const auto y = static_cast<sets::SeriesY>(std::max(0, ComboSeriesY->currentIndex()));
    const auto x = static_cast<sets::SeriesX>(std::max(0, ComboSeriesX->currentIndex()));
    series_ = sets::MakeSeries(rows_, y, x, CheckSeriesRepeats->isChecked());
    seriesChart_->SetAxisTitles(ComboSeriesX->currentText(), ComboSeriesY->currentText());
    seriesChart_->Show(series_);
}

void SetPage::userValueTyped(QTableWidgetItem* item)
{
    QString text = item->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = text.isEmpty();
    const double value = ok ? 0.0 : text.toDouble(&ok);
    const int member = memberOfRow(item->row());
    if (!ok || !std::isfinite(value)) {
        host_.status()->showMessage(tr("To nie jest liczba: %1").arg(item->text()));
        changed();  // the cell shows the value kept
        return;
    }
    presenter_.setUserValue(member, text.isEmpty() ? std::nullopt : std::optional<double>(value));
}

}  // namespace fluvena::ui
