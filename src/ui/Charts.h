#pragma once
// The window's three charts, one small class per kind: each sets up its plot
// (title, axes, scales, tick labels) and its series in one place, and takes
// its data through one small call.
#include <QColor>
#include <QString>

#include <span>
#include <vector>

class QCustomPlot;
class QCPGraph;
class QWidget;

namespace fluvena::ui {

// An arrow on a chart, from (x0, y0) to (x1, y1).
struct Arrow {
    double x0, y0, x1, y1;
};

// A plot with a title above it; the base of the three charts.
class Chart {
public:
    Chart(QWidget* parent, const char* name, const QString& title, bool logBottom);
    virtual ~Chart() = default;
    Chart(const Chart&) = delete;
    Chart& operator=(const Chart&) = delete;

    QCustomPlot* plot() const { return plot_; }
    // Fits the axes to what the series hold and draws the chart again.
    void Rescale();

protected:
    QCPGraph* AddSeries(const char* name, const QColor& colour, bool line, int lineWidth, int markerSize);
    // Puts the points (x[k], y[k]) on a series; points a logarithmic axis
    // cannot show and values that are not finite are left out.
    static void Fill(QCPGraph* series, std::span<const double> x, std::span<const double> y);

    QCustomPlot* plot_;
};

// "Rozkład": the CONTIN distribution over a logarithmic decay-time axis.
class DistributionChart : public Chart {
public:
    explicit DistributionChart(QWidget* parent);
    void Show(std::span<const double> x, std::span<const double> y);
    void Clear();
    QCPGraph* distribution;
};

// "Rozwiązanie": the data, the fitted curve and the two arrows that mark the
// ends of the point range, over a logarithmic time axis.
class DataChart : public Chart {
public:
    explicit DataChart(QWidget* parent);
    void ShowData(std::span<const double> x, std::span<const double> y);
    void ShowFit(std::span<const double> x, std::span<const double> y);
    void ClearFit();
    // Draws the arrows; those a logarithmic axis cannot show are left out.
    void ShowArrows(const std::vector<Arrow>& arrows);
    QCPGraph* data;
    QCPGraph* fit;
};

// "Odchylenia": the residuals of a fit and the zero line.
class ResidualChart : public Chart {
public:
    explicit ResidualChart(QWidget* parent);
    void Show(std::span<const double> x, std::span<const double> residuals);
    void Clear();
    QCPGraph* residuals;
    QCPGraph* zero;
};

}  // namespace fluvena::ui
