#pragma once
// The page "Contin": the grid of the continuous distribution, the run, the
// solutions to step through with their peak table, the distribution chart
// and the CONTIN results log.
#include "core/Distribution.h"
#include "ui/Page.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QAction;

namespace fluvena::ui {

class DistributionChart;
class Verdict;

class ContinPage : public Page {
    Q_OBJECT
public:
    ContinPage(Presenter& presenter, PageHost& host);
    ~ContinPage() override;

    Analysis analysis() const override { return Analysis::Contin; }
    void activate() override;
    void run() override { ButtonContinClick(); }
    void showChosen() override;
    std::optional<FitOnShow> fit() const override;
    QString solutionStatus() const override;
    AnalysisJob job() const override;
    void retranslate() override;
    void saveSettings(QSettings& settings) const override;
    void restoreSettings(const QSettings& settings) override;
    // A data file without data: the page's status labels say so.
    void markNoData();

    void ButtonOKContClick();
    void ButtonContinClick();
    void UpDown1Click();
    void ButtonZapiszClick();
    void ButtonRozkladClick();
    DistributionChart& distributionChart() const { return *chart_; }
    Verdict& verdict() const { return *verdict_; }

    QWidget* Panel2 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel *Label2 = nullptr, *Label3 = nullptr, *Label11 = nullptr, *LabelPunktow = nullptr, *Label1 = nullptr;
    QLabel *Label4 = nullptr, *Label12 = nullptr, *LabelBeta1 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit7 = nullptr, *Edit8 = nullptr;
    QCheckBox *CheckBox10 = nullptr, *CheckBoxSignal = nullptr, *CheckBoxWagiCont = nullptr;
    QPushButton *ButtonOKCont = nullptr, *ButtonContin = nullptr, *ButtonZapisz = nullptr, *ButtonRozklad = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QAction* CopyGrid1 = nullptr;
    QComboBox *ComboDistAxis = nullptr, *ComboDistWeight = nullptr;

private:
    ContinRequest request() const;
    // Everything of the CONTIN result of the measurement on show.
    void redraw();
    void drawDistribution();
    void clearSolution();
    DistributionAxis axis() const;
    DistributionWeighting weighting() const;

    std::unique_ptr<DistributionChart> chart_;
    std::unique_ptr<Verdict> verdict_;
};

}  // namespace fluvena::ui
