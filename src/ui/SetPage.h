#pragma once
// The page "Zestaw": the measurements opened together as a table, one row
// per measurement (sortable, copied with Ctrl+C, exported as CSV or TSV),
// and their angle dependence: the mean decay rate and the apparent diffusion
// coefficient D_app = Gamma / q^2 against q^2 with the weighted straight-line
// fit of D_app, its confidence band, D0 and R_h at q -> 0; below the table a
// series: any result of the table against a parameter of the measurements.
#include "sets/Series.h"
#include "sets/SetTable.h"
#include "ui/Charts.h"

#include <QVector>
#include "ui/Page.h"

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QPushButton;
class QBoxLayout;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;
class QCPErrorBars;


namespace fluvena::ui {

// Gamma-mean against q^2 above, D_app against q^2 below with the fitted line
// and its 95 % band; hollow markers for the measurements left out of the fit.
class AngleChart : public Chart {
public:
    explicit AngleChart(QWidget* parent);
    // Points of one series with their errors (key q^2).
    static void Put(QCPGraph* g, QCPErrorBars* bars, const QVector<double>& x, const QVector<double>& y,
                    const QVector<double>& err);
    void SetPanelTitle(const QString& y);

    QCPAxisRect* dPanel;
    QCPGraph *gammaIn, *gammaOut, *gammaLine, *dIn, *dOut, *dLine, *bandLow, *bandHigh;
    std::vector<QCPErrorBars*> errorBars;  // of gammaIn, gammaOut, dIn, dOut
};

// A result against a parameter of the measurements, with error bars; hollow
// markers for the measurements left out.
class SeriesChart : public Chart {
public:
    explicit SeriesChart(QWidget* parent);
    void Show(const std::vector<sets::SeriesPoint>& points);
    QCPGraph *included, *excluded;
    QCPErrorBars *includedBars, *excludedBars;
};

class SetPage : public Page {
    Q_OBJECT
public:
    // askFileName: the name of a file to write (filter and suggested name as
    // in a file dialog); empty when the user cancels.
    SetPage(Presenter& presenter, PageHost& host, std::function<QString(const QString&, const QString&)> askFileName);
    ~SetPage() override;

    void activate() override;
    void retranslate() override;
    void saveSettings(QSettings& settings) const override;
    void restoreSettings(const QSettings& settings) override;
    // The analysis whose mean rate the angle fit uses (analyse all runs it here).
    Analysis rateAnalysis() const;

    // The member each table row shows (the table may be sorted).
    int memberOfRow(int row) const;
    void removeSelected();
    void exportTable(results::TableFormat format);
    const std::optional<sets::AngleFit>& angleFit() const { return fit_; }
    AngleChart& chart() const { return *chart_; }
    SeriesChart& seriesChart() const { return *seriesChart_; }
    // What the series chart shows, as the combo boxes choose it.
    const std::vector<sets::SeriesPoint>& seriesPoints() const { return series_; }

    QComboBox* ComboRateSource = nullptr;
    QTabWidget* TabsSetCharts = nullptr;  // the angle chart or the series
    QPushButton *ButtonRemove = nullptr, *ButtonExportCsv = nullptr, *ButtonExportTsv = nullptr;
    QTableWidget* GridSet = nullptr;
    QLabel *LabelRateSource = nullptr, *LabelD0 = nullptr, *LabelRh0 = nullptr, *LabelSlope = nullptr, *LabelR2 = nullptr;
    QLabel* LabelFitNote = nullptr;
    // The series: the result (y) and the parameter (x), repeats as one point.
    QComboBox *ComboSeriesY = nullptr, *ComboSeriesX = nullptr;
    QCheckBox* CheckSeriesRepeats = nullptr;
    QLabel *LabelSeriesY = nullptr, *LabelSeriesX = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Redraws now when the page is on show, else when it comes forward.
    void changed();
    void redraw();
    void fillTable();
    void fillGroupAndValue(int row, const sets::SetRow& r);
    void drawFit();
    // The series' controls and chart, under the table.
    void buildSeries(QBoxLayout* layout);
    void retranslateSeries();
    void drawSeries();
    // A value typed in the table's column of typed values.
    void userValueTyped(QTableWidgetItem* item);

    std::function<QString(const QString&, const QString&)> askFileName_;
    std::unique_ptr<AngleChart> chart_;
    std::unique_ptr<SeriesChart> seriesChart_;
    std::vector<sets::SeriesPoint> series_;
    std::vector<sets::SetRow> rows_;
    std::optional<sets::AngleFit> fit_;
    bool stale_ = true;
    bool filling_ = false;
};

}  // namespace fluvena::ui
