#include "ui/Charts.h"

#include <qcustomplot.h>

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace fluvena::ui {

namespace {

// Axis labels in the window's number formats: "0.0E+##" (exponent without
// padding: 1.0E+1) on the logarithmic axes, "0.0E+00" (1.0E-03) on the
// residual axis; the decimal separator is the locale's.
QString AxisLabel(double value, bool padExponent)
{
    if (value == 0) return QStringLiteral("0");
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value)) + 1e-9));
    const double mantissa = value / std::pow(10.0, exponent);
    const QString m = QLocale::system().toString(mantissa, 'f', 1);
    QString e = QString::number(std::abs(exponent));
    if (padExponent && e.size() < 2) e.prepend('0');
    return m + QStringLiteral("E") + (exponent < 0 ? QStringLiteral("-") : QStringLiteral("+")) + e;
}

class LogTicker : public QCPAxisTickerLog {
protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override { return AxisLabel(tick, false); }
};

class ScientificTicker : public QCPAxisTicker {
protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override
    {
        return std::fabs(tick) < 1e-300 ? QStringLiteral("0") : AxisLabel(tick, true);
    }
};

}  // namespace

Chart::Chart(QWidget* parent, const char* name, const QString& title, bool logBottom) : plot_(new QCustomPlot(parent))
{
    plot_->setObjectName(QString::fromLatin1(name));
    plot_->plotLayout()->insertRow(0);
    auto* caption = new QCPTextElement(plot_, title, QFont(plot_->font().family(), 10, QFont::Bold));
    caption->setObjectName(QStringLiteral("title"));
    plot_->plotLayout()->addElement(0, 0, caption);
    plot_->legend->setVisible(false);
    if (logBottom) {
        plot_->xAxis->setScaleType(QCPAxis::stLogarithmic);
        plot_->xAxis->setTicker(QSharedPointer<LogTicker>::create());
        plot_->xAxis->setRange(0.1, 1000);
    }
    plot_->xAxis->setTickLength(0, 6);
    plot_->xAxis->setSubTickLength(0, 4);
}

QCPGraph* Chart::AddSeries(const char* name, const QColor& colour, bool line, int lineWidth, int markerSize)
{
    auto* g = plot_->addGraph();
    g->setName(QString::fromLatin1(name));
    QPen pen(colour);
    pen.setWidth(lineWidth);
    g->setPen(pen);
    g->setLineStyle(line ? QCPGraph::lsLine : QCPGraph::lsNone);
    if (markerSize > 0) g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, markerSize));
    return g;
}

void Chart::Fill(QCPGraph* series, std::span<const double> x, std::span<const double> y)
{
    const bool logX = series->keyAxis()->scaleType() == QCPAxis::stLogarithmic;
    const std::size_t n = std::min(x.size(), y.size());
    QVector<double> keys, values;
    keys.reserve(static_cast<int>(n));
    values.reserve(static_cast<int>(n));
    for (std::size_t k = 0; k < n; ++k) {
        if (logX && !(x[k] > 0)) continue;
        if (!std::isfinite(x[k]) || !std::isfinite(y[k])) continue;
        keys.push_back(x[k]);
        values.push_back(y[k]);
    }
    series->setData(keys, values);
}

void Chart::Rescale()
{
    bool any = false;
    for (int g = 0; g < plot_->graphCount(); ++g) any = any || !plot_->graph(g)->data()->isEmpty();
    if (any) {
        plot_->rescaleAxes();
        if (plot_->xAxis->scaleType() == QCPAxis::stLogarithmic) {
            const QCPRange r = plot_->xAxis->range();
            plot_->xAxis->setRange(r.lower / 1.2, r.upper * 1.2);
        }
        const QCPRange y = plot_->yAxis->range();
        const double pad = (y.upper - y.lower) * 0.05 + 1e-12;
        plot_->yAxis->setRange(std::min(y.lower, 0.0) - pad, y.upper + pad);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

DistributionChart::DistributionChart(QWidget* parent) : Chart(parent, "Chart1", QStringLiteral("Rozkład"), true)
{
    distribution = AddSeries("SeriesRozklad", Qt::red, true, 1, 0);
}

void DistributionChart::Show(std::span<const double> x, std::span<const double> y)
{
    Fill(distribution, x, y);
    Rescale();
}

void DistributionChart::Clear()
{
    distribution->data()->clear();
    Rescale();
}

DataChart::DataChart(QWidget* parent) : Chart(parent, "Chart2", QStringLiteral("Rozwiązanie"), true)
{
    plot_->axisRect()->setMargins(QMargins(0, 0, 0, 12));
    data = AddSeries("SeriesWejscie", Qt::red, false, 1, 5);
    fit = AddSeries("SeriesFid", Qt::yellow, true, 2, 0);
}

void DataChart::ShowData(std::span<const double> x, std::span<const double> y)
{
    Fill(data, x, y);
    Rescale();
}

void DataChart::ShowFit(std::span<const double> x, std::span<const double> y)
{
    Fill(fit, x, y);
    Rescale();
}

void DataChart::ClearFit()
{
    fit->data()->clear();
    Rescale();
}

void DataChart::ShowArrows(const std::vector<Arrow>& arrows)
{
    plot_->clearItems();
    for (const Arrow& a : arrows) {
        if (a.x0 <= 0 || a.x1 <= 0) continue;
        auto* line = new QCPItemLine(plot_);
        line->setPen(QPen(Qt::blue));
        line->start->setCoords(a.x0, a.y0);
        line->end->setCoords(a.x1, a.y1);
        line->setHead(QCPLineEnding::esSpikeArrow);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

ResidualChart::ResidualChart(QWidget* parent) : Chart(parent, "Chart3", QStringLiteral("Odchylenia"), false)
{
    plot_->yAxis->setTicker(QSharedPointer<ScientificTicker>::create());
    plot_->axisRect()->setBackground(QColor(192, 192, 192));
    residuals = AddSeries("SeriesRezidua", Qt::red, false, 1, 3);
    zero = AddSeries("SeriesZero", Qt::black, true, 2, 0);
}

void ResidualChart::Show(std::span<const double> x, std::span<const double> r)
{
    const std::vector<double> zeros(std::min(x.size(), r.size()), 0.0);
    Fill(zero, x.first(zeros.size()), zeros);
    Fill(residuals, x, r);
    Rescale();
}

void ResidualChart::Clear()
{
    residuals->data()->clear();
    zero->data()->clear();
    Rescale();
}

}  // namespace fluvena::ui
