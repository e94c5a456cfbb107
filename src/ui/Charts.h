#pragma once
// The window's charts, one small class per kind. The base class gives every
// chart the same desktop habits: zoom with the wheel or a rubber band, pan
// with the middle button or Shift+drag, a double-click back to the whole
// data, a context menu that saves the chart as PNG, SVG or PDF or copies it,
// axis titles, and a time axis that may follow another chart's scale.
#include <QColor>
#include <QCoreApplication>
#include <QString>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class QCustomPlot;
class QCPAxis;
class QCPAxisRect;
class QCPGraph;
class QCPTextElement;
class QMenu;
class QWidget;

namespace fluvena::ui {

// An arrow on a chart, from (x0, y0) to (x1, y1).
struct Arrow {
    double x0, y0, x1, y1;
};

// What a chart needs from the window it sits in.
struct ChartHost {
    // The name of an image file to write (filter as in a file dialog); empty
    // when the user cancels.
    std::function<QString(const QString& filter)> askImageName;
    // Runs an action of the chart's menu and shows its failure.
    std::function<void(const std::function<void()>&)> guarded;
};

// A plot with a title above it: one main panel, and below it any further
// panels that share its time axis.
class Chart {
    Q_DECLARE_TR_FUNCTIONS(Chart)
public:
    Chart(QWidget* parent, const char* name, bool logBottom);
    virtual ~Chart();
    Chart(const Chart&) = delete;
    Chart& operator=(const Chart&) = delete;

    QCustomPlot* plot() const { return plot_; }
    void SetHost(ChartHost host) { host_ = std::move(host); }
    void SetTitle(const QString& title);
    QString Title() const;
    // The time-axis title goes under the lowest panel (the axis all panels
    // share), the value-axis title beside the main panel.
    void SetAxisTitles(const QString& x, const QString& y);

    // The time axis (of every panel): logarithmic or linear.
    void SetLogX(bool log);
    bool LogX() const;
    // From now on the time axis takes the scale of `leader`'s time axis.
    void FollowScaleOf(const Chart& leader);

    // Fits every panel to what its series hold and draws the chart again:
    // the view a double-click returns to.
    void Rescale();

    // Writes the chart as an image; the format follows the name's suffix
    // (png, svg or pdf). Throws a file error when it cannot be written.
    void SaveImage(const QString& fileName) const;
    // Puts the chart on the clipboard as an image.
    void CopyImage() const;
    // The chart's context menu (save as PNG, SVG or PDF, copy), built for
    // each request so that its texts follow the language.
    QMenu* MakeContextMenu(QWidget* parent);

protected:
    QCPGraph* AddSeries(const char* name, const QColor& colour, bool line, int lineWidth, int markerSize,
                        QCPAxisRect* panel = nullptr);
    // A panel below the others, `share` of the main panel's height, its time
    // axis tied to the main panel's (range and scale).
    QCPAxisRect* AddPanel(double share);
    // Puts the points (x[k], y[k]) on a series; points a logarithmic axis
    // cannot show and values that are not finite are left out.
    static void Fill(QCPGraph* series, std::span<const double> x, std::span<const double> y);

    QCustomPlot* plot_;

private:
    void SaveImageAs(const QString& suffix, const QString& filter);

    QCPTextElement* title_;
    ChartHost host_;
    // Receives the plot's mouse events and owns the chart's connections.
    std::unique_ptr<QObject> context_;
};

// "Rozkład": the CONTIN distribution over a logarithmic decay-time axis.
// Readable tick labels on both axes; the radii of the peaks marked by
// vertical lines that the legend names.
class DistributionChart : public Chart {
public:
    explicit DistributionChart(QWidget* parent);
    void Show(std::span<const double> x, std::span<const double> y);
    // Marks on the axis: the radii (or decay times) from the mean rate and
    // from the mean decay time, one line per peak, as tall as the curve; the
    // names go into the legend.
    void ShowMarks(std::span<const double> harmonic, std::span<const double> meanTime, const QString& harmonicName,
                   const QString& meanTimeName);
    void Clear();
    QCPGraph* distribution;
    QCPGraph* harmonicMarks;
    QCPGraph* meanTimeMarks;
};

// "Rozwiązanie": the data, the fitted curve and the two arrows that mark the
// ends of the point range, over a logarithmic time axis; below it a small
// panel of the fit's residuals (data − fit).
class DataChart : public Chart {
public:
    // `name`: the plot's object name (the cumulant page has one of its own).
    explicit DataChart(QWidget* parent, const char* name = "Chart2");
    void ShowData(std::span<const double> x, std::span<const double> y);
    // The fit at the points x; `measured` holds the data at the same points
    // (the residual panel shows measured − fit).
    void ShowFit(std::span<const double> x, std::span<const double> fit, std::span<const double> measured);
    void ClearFit();
    // Draws the arrows; those a logarithmic axis cannot show are left out.
    void ShowArrows(const std::vector<Arrow>& arrows);
    void SetResidualTitle(const QString& title);
    QCPGraph* data;
    QCPGraph* fit;
    QCPGraph* residuals;
    QCPGraph* residualZero;
    QCPAxisRect* residualPanel;
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

// "Szybkość zliczeń": the count rate of each channel over the measurement,
// on a linear time axis, so that dust spikes are seen before a fit is trusted.
class CountRateChart : public Chart {
public:
    explicit CountRateChart(QWidget* parent);
    // One series per channel: rates[c][k] at time t[k].
    void Show(std::span<const double> t, const std::vector<std::vector<double>>& rates);
    void Clear();
    std::vector<QCPGraph*> channels;
};

}  // namespace fluvena::ui
