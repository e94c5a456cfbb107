#include "ui/Charts.h"

#include "base/Errors.h"
#include "base/Readable.h"
#include "ui/TextEdges.h"

#include <qcustomplot.h>

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace fluvena::ui {

namespace {

// Axis labels in the window's number formats: "0.0E+##" (exponent without
// padding: 1.0E+1) on the logarithmic axes, "0.0E+00" (1.0E-03) on the
// residual axes; the decimal separator is the locale's.
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

// Ticks in the numbers of the window's own rows: three significant digits,
// powers of ten written with superscripts, the locale's separator.
QString ReadableTick(double tick)
{
    return QString::fromStdString(Readable(std::fabs(tick) < 1e-300 ? 0.0 : tick, DecimalSeparator()));
}

class ReadableLogTicker : public QCPAxisTickerLog {
protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override { return ReadableTick(tick); }
};

class ReadableTicker : public QCPAxisTicker {
protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override { return ReadableTick(tick); }
};

// Moves an axis as a drag from pixel p0 to pixel p1 would, starting from `start`.
void Drag(QCPAxis* axis, const QCPRange& start, double p0, double p1)
{
    axis->setRange(start);
    if (axis->scaleType() == QCPAxis::stLinear) {
        const double d = axis->pixelToCoord(p0) - axis->pixelToCoord(p1);
        axis->setRange(start.lower + d, start.upper + d);
    } else {
        const double f = axis->pixelToCoord(p0) / axis->pixelToCoord(p1);
        axis->setRange(start.lower * f, start.upper * f);
    }
}

}  // namespace

// The mouse on a chart: the plot's own rubber band and wheel zoom stay; this
// adds the pan (middle button, or Shift with the left one), the reset on a
// double-click and the context menu, and keeps the right button from
// starting a rubber band.
class ChartMouse : public QObject {
public:
    explicit ChartMouse(Chart* chart) : chart_(chart) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            const bool pan = e->button() == Qt::MiddleButton ||
                             (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier));
            if (pan) {
                panel_ = chart_->plot()->axisRectAt(e->position());
                if (!panel_) return false;
                start_ = e->position();
                startX_ = panel_->axis(QCPAxis::atBottom)->range();
                startY_ = panel_->axis(QCPAxis::atLeft)->range();
                return true;
            }
            return e->button() == Qt::RightButton;
        }
        case QEvent::MouseMove: {
            if (!panel_) return false;
            const QPointF p = static_cast<QMouseEvent*>(event)->position();
            Drag(panel_->axis(QCPAxis::atBottom), startX_, start_.x(), p.x());
            Drag(panel_->axis(QCPAxis::atLeft), startY_, start_.y(), p.y());
            chart_->plot()->replot(QCustomPlot::rpQueuedReplot);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (!panel_) return false;
            panel_ = nullptr;
            return true;
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
            chart_->Rescale();
            return true;
        case QEvent::ContextMenu: {
            QMenu* menu = chart_->MakeContextMenu(chart_->plot());
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        default: return false;
        }
    }

private:
    Chart* chart_;
    QCPAxisRect* panel_ = nullptr;
    QPointF start_;
    QCPRange startX_, startY_;
};

Chart::Chart(QWidget* parent, const char* name, bool logBottom)
    : plot_(new QCustomPlot(parent)), context_(std::make_unique<ChartMouse>(this))
{
    plot_->setObjectName(QString::fromLatin1(name));
    plot_->plotLayout()->insertRow(0);
    title_ = new QCPTextElement(plot_, QString(), QFont(plot_->font().family(), 10, QFont::Bold));
    title_->setObjectName(QStringLiteral("title"));
    plot_->plotLayout()->addElement(0, 0, title_);
    plot_->legend->setVisible(false);
    plot_->xAxis->setTickLength(0, 6);
    plot_->xAxis->setSubTickLength(0, 4);
    SetLogX(logBottom);
    plot_->setInteractions(QCP::iRangeZoom);
    plot_->setSelectionRectMode(QCP::srmZoom);
    plot_->installEventFilter(context_.get());
}

Chart::~Chart() = default;

void Chart::SetTitle(const QString& title)
{
    title_->setText(title);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

QString Chart::Title() const { return title_->text(); }

void Chart::SetAxisTitles(const QString& x, const QString& y)
{
    const auto panels = plot_->axisRects();
    for (QCPAxisRect* panel : panels) panel->axis(QCPAxis::atBottom)->setLabel(panel == panels.last() ? x : QString());
    plot_->yAxis->setLabel(y);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void Chart::SetLogX(bool log)
{
    QSharedPointer<QCPAxisTicker> ticker;
    if (log) ticker = QSharedPointer<LogTicker>::create();
    else ticker = QSharedPointer<QCPAxisTicker>::create();
    for (QCPAxisRect* panel : plot_->axisRects()) {
        QCPAxis* x = panel->axis(QCPAxis::atBottom);
        x->setTicker(ticker);
        // A range a logarithmic axis cannot show (that of an empty chart)
        // becomes the default grid's.
        const bool unshowable = x->range().lower <= 0;
        x->setScaleType(log ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
        if (log && unshowable) x->setRange(0.1, 1000);
    }
}

bool Chart::LogX() const { return plot_->xAxis->scaleType() == QCPAxis::stLogarithmic; }

void Chart::FollowScaleOf(const Chart& leader)
{
    SetLogX(leader.LogX());
    QObject::connect(leader.plot_->xAxis, &QCPAxis::scaleTypeChanged, context_.get(), [this](QCPAxis::ScaleType type) {
        SetLogX(type == QCPAxis::stLogarithmic);
        Rescale();
    });
}

QCPGraph* Chart::AddSeries(const char* name, const QColor& colour, bool line, int lineWidth, int markerSize,
                           QCPAxisRect* panel)
{
    if (!panel) panel = plot_->axisRect();
    auto* g = plot_->addGraph(panel->axis(QCPAxis::atBottom), panel->axis(QCPAxis::atLeft));
    g->setName(QString::fromLatin1(name));
    QPen pen(colour);
    pen.setWidth(lineWidth);
    g->setPen(pen);
    g->setLineStyle(line ? QCPGraph::lsLine : QCPGraph::lsNone);
    if (markerSize > 0) g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, markerSize));
    return g;
}

QCPAxisRect* Chart::AddPanel(double share)
{
    QCPAxisRect* main = plot_->axisRect();
    auto* panel = new QCPAxisRect(plot_);
    QCPLayoutGrid* layout = plot_->plotLayout();
    const int row = layout->rowCount();
    layout->addElement(row, 0, panel);
    layout->setRowStretchFactor(row, share);
    auto* group = new QCPMarginGroup(plot_);
    main->setMarginGroup(QCP::msLeft | QCP::msRight, group);
    panel->setMarginGroup(QCP::msLeft | QCP::msRight, group);
    // The panels sit close: the margins between them hold only the ticks.
    main->setAutoMargins(QCP::msLeft | QCP::msRight | QCP::msTop);
    main->setMargins(QMargins(0, 0, 0, 12));
    panel->setAutoMargins(QCP::msLeft | QCP::msRight | QCP::msBottom);
    panel->setMargins(QMargins(0, 4, 0, 0));

    QCPAxis* mainX = main->axis(QCPAxis::atBottom);
    QCPAxis* x = panel->axis(QCPAxis::atBottom);
    x->setTickLength(0, 6);
    x->setSubTickLength(0, 4);
    x->setRange(mainX->range());
    mainX->setTickLabels(false);
    mainX->setLabel(QString());
    // One time axis: a zoom or pan of either panel moves both.
    QObject::connect(mainX, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), x,
                     [x](const QCPRange& r) { x->setRange(r); });
    QObject::connect(x, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), mainX,
                     [mainX](const QCPRange& r) { mainX->setRange(r); });
    SetLogX(LogX());
    return panel;
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
    const auto panels = plot_->axisRects();
    auto hasData = [](const QList<QCPGraph*>& graphs) {
        return std::any_of(graphs.begin(), graphs.end(), [](QCPGraph* g) { return !g->data()->isEmpty(); });
    };
    // The time axis from the main panel; the panels below follow it. An
    // empty chart goes back to the default grid's range, so that no scale
    // of earlier data stands over nothing.
    QCPAxis* x = panels.first()->axis(QCPAxis::atBottom);
    const bool log = x->scaleType() == QCPAxis::stLogarithmic;
    if (hasData(panels.first()->graphs())) {
        x->rescale(true);
        if (log) x->setRange(x->range().lower / 1.2, x->range().upper * 1.2);
    } else {
        x->setRange(log ? QCPRange(0.1, 1000) : QCPRange(0, 1));
    }
    for (QCPAxisRect* panel : panels) {
        QCPAxis* y = panel->axis(QCPAxis::atLeft);
        if (!hasData(panel->graphs())) {
            y->setRange(0, 1);
            continue;
        }
        y->rescale(true);
        // Zero in view, and a twentieth of the span beyond (relative, so that
        // values of 1e-12 m^2/s keep their scale).
        const QCPRange r = y->range();
        const double lower = std::min(r.lower, 0.0), upper = std::max(r.upper, 0.0);
        const double pad = upper > lower ? (upper - lower) * 0.05 : 1.0;
        y->setRange(lower - pad, upper + pad);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void Chart::SaveImage(const QString& fileName) const
{
    // A chart on a page not on show may not have been laid out yet.
    const int w = plot_->width() > 50 ? plot_->width() : 800;
    const int h = plot_->height() > 50 ? plot_->height() : 500;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    bool written = false;
    if (suffix == QLatin1String("png")) {
        written = plot_->savePng(fileName, w, h, 2.0);
    } else if (suffix == QLatin1String("pdf")) {
        written = plot_->savePdf(fileName, w, h, QCP::epNoCosmetic, QStringLiteral("Fluvena"), Title());
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setFileName(fileName);
        svg.setSize(QSize(w, h));
        svg.setViewBox(QRect(0, 0, w, h));
        svg.setTitle(Title());
        QCPPainter painter;
        if (painter.begin(&svg)) {
            plot_->toPainter(&painter, w, h);
            written = painter.end();
        }
        written = written && QFileInfo(fileName).size() > 0;
    }
    if (!written) throw FileError(CannotCreateFile(fileName.toStdString()));
}

void Chart::CopyImage() const { QGuiApplication::clipboard()->setPixmap(plot_->toPixmap()); }

void Chart::SaveImageAs(const QString& suffix, const QString& filter)
{
    if (!host_.askImageName) return;
    QString name = host_.askImageName(filter);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().toLower() != suffix) name += QLatin1Char('.') + suffix;
    SaveImage(name);
}

QMenu* Chart::MakeContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    auto add = [&](const char* name, const QString& text, std::function<void()> action) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        QObject::connect(a, &QAction::triggered, menu, [this, action = std::move(action)] {
            if (host_.guarded) host_.guarded(action);
            else action();
        });
    };
    add("savePng", tr("Zapisz jako PNG…"), [this] { SaveImageAs(QStringLiteral("png"), tr("Obraz PNG (*.png)")); });
    add("saveSvg", tr("Zapisz jako SVG…"), [this] { SaveImageAs(QStringLiteral("svg"), tr("Rysunek SVG (*.svg)")); });
    add("savePdf", tr("Zapisz jako PDF…"), [this] { SaveImageAs(QStringLiteral("pdf"), tr("Dokument PDF (*.pdf)")); });
    menu->addSeparator();
    add("copyImage", tr("Kopiuj"), [this] { CopyImage(); });
    add("resetView", tr("Cały wykres"), [this] { Rescale(); });
    return menu;
}

DistributionChart::DistributionChart(QWidget* parent) : Chart(parent, "Chart1", true)
{
    distribution = AddSeries("SeriesRozklad", Qt::red, true, 2, 0);
    harmonicMarks = AddSeries("SeriesRhHarmonic", QColor(0, 100, 0), false, 2, 0);
    meanTimeMarks = AddSeries("SeriesRhMeanTime", QColor(0, 0, 139), false, 2, 0);
    for (QCPGraph* g : {harmonicMarks, meanTimeMarks}) {
        QPen pen = g->pen();
        pen.setStyle(g == harmonicMarks ? Qt::DashLine : Qt::DotLine);
        g->setPen(pen);
        g->setLineStyle(QCPGraph::lsImpulse);
    }
    distribution->removeFromLegend();
    plot_->legend->setFont(QFont(plot_->font().family(), 8));
    plot_->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    plot_->xAxis->setTicker(QSharedPointer<ReadableLogTicker>::create());
    plot_->yAxis->setTicker(QSharedPointer<ReadableTicker>::create());
}

void DistributionChart::Show(std::span<const double> x, std::span<const double> y)
{
    Fill(distribution, x, y);
    Rescale();
}

void DistributionChart::ShowMarks(std::span<const double> harmonic, std::span<const double> meanTime,
                                  const QString& harmonicName, const QString& meanTimeName)
{
    double top = 0.0;
    for (const auto& point : *distribution->data()) top = std::max(top, point.value);
    const std::pair<QCPGraph*, std::span<const double>> marks[] = {{harmonicMarks, harmonic}, {meanTimeMarks, meanTime}};
    for (const auto& [graph, at] : marks) {
        const std::vector<double> heights(at.size(), top);
        Fill(graph, at, heights);
    }
    harmonicMarks->setName(harmonicName);
    meanTimeMarks->setName(meanTimeName);
    plot_->legend->setVisible(!harmonicMarks->data()->isEmpty() || !meanTimeMarks->data()->isEmpty());
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void DistributionChart::Clear()
{
    for (QCPGraph* g : {distribution, harmonicMarks, meanTimeMarks}) g->data()->clear();
    plot_->legend->setVisible(false);
    Rescale();
}

DataChart::DataChart(QWidget* parent, const char* name) : Chart(parent, name, true)
{
    // Red discs for the data, a dark blue line for the fit: both read on
    // white and stay apart in grey-scale print (mid grey discs, near-black line).
    data = AddSeries("SeriesWejscie", Qt::red, false, 1, 5);
    fit = AddSeries("SeriesFid", QColor(0, 0, 139), true, 2, 0);
    residualPanel = AddPanel(0.35);
    residualPanel->axis(QCPAxis::atLeft)->setTicker(QSharedPointer<ScientificTicker>::create());
    residualPanel->axis(QCPAxis::atLeft)->ticker()->setTickCount(3);
    residualZero = AddSeries("SeriesFitResidualZero", Qt::black, true, 1, 0, residualPanel);
    residuals = AddSeries("SeriesFitResiduals", Qt::red, false, 1, 3, residualPanel);
}

void DataChart::ShowData(std::span<const double> x, std::span<const double> y)
{
    Fill(data, x, y);
    Rescale();
}

void DataChart::ShowFit(std::span<const double> x, std::span<const double> f, std::span<const double> measured)
{
    Fill(fit, x, f);
    const std::size_t n = std::min({x.size(), f.size(), measured.size()});
    std::vector<double> r(n);
    for (std::size_t k = 0; k < n; ++k) r[k] = measured[k] - f[k];
    Fill(residuals, x.first(n), r);
    Fill(residualZero, x.first(n), std::vector<double>(n, 0.0));
    Rescale();
}

void DataChart::ClearFit()
{
    for (QCPGraph* g : {fit, residuals, residualZero}) g->data()->clear();
    Rescale();
}

void DataChart::SetResidualTitle(const QString& title)
{
    residualPanel->axis(QCPAxis::atLeft)->setLabel(title);
    plot_->replot(QCustomPlot::rpQueuedReplot);
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

ResidualChart::ResidualChart(QWidget* parent) : Chart(parent, "Chart3", false)
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

CountRateChart::CountRateChart(QWidget* parent) : Chart(parent, "ChartCountRate", false) {}

void CountRateChart::Show(std::span<const double> t, const std::vector<std::vector<double>>& rates)
{
    Clear();
    // Colours that stay apart on white and in grey-scale print.
    const QColor colours[] = {Qt::red, QColor(0, 0, 139), QColor(0, 128, 0), Qt::magenta};
    for (std::size_t c = 0; c < rates.size(); ++c) {
        QCPGraph* g = AddSeries("SeriesCountRate", colours[c % std::size(colours)], true, 1, 0);
        Fill(g, t, rates[c]);
        channels.push_back(g);
    }
    Rescale();
}

void CountRateChart::Clear()
{
    for (QCPGraph* g : channels) plot_->removeGraph(g);
    channels.clear();
    Rescale();
}

}  // namespace fluvena::ui
