#pragma once
// The page "Discrete": the number of components and tries, the advanced
// switches, the run, the solutions to step through with their component
// table and residuals, and the DISCRETE results log.
#include "ui/Page.h"

#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolButton;

namespace fluvena::ui {

class ResidualChart;
class Verdict;

class DiscretePage : public Page {
    Q_OBJECT
public:
    DiscretePage(Presenter& presenter, PageHost& host);
    ~DiscretePage() override;

    Analysis analysis() const override { return Analysis::Discrete; }
    void activate() override;
    void run() override { ButtonDiscClick(); }
    void showChosen() override;
    std::optional<FitOnShow> fit() const override;
    QString solutionStatus() const override;
    AnalysisJob job() const override;
    void retranslate() override;
    void saveSettings(QSettings& settings) const override;
    void restoreSettings(const QSettings& settings) override;
    void markNoData();

    void ButtonOKDiscClick();
    void ButtonDiscClick();
    void UpDown2Click();
    void CheckBoxDTClick();
    void SpeedButton1Click();
    void ButtonDefaultClick();
    void ButtonZapiszDiscClick();
    ResidualChart& residualChart() const { return *chart_; }
    Verdict& verdict() const { return *verdict_; }

    QWidget* Panel1 = nullptr;
    QGroupBox *GroupBox3 = nullptr, *GroupBox2 = nullptr;
    QLineEdit *Edit4 = nullptr, *Edit5 = nullptr, *Edit6 = nullptr, *Edit9 = nullptr, *Edit10 = nullptr;
    QLabel *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr;
    QLabel* LabelBeta2 = nullptr;
    QCheckBox *CheckBox11 = nullptr, *CheckBoxDT = nullptr, *CheckBoxWagiDisc = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton *ButtonOKDisc = nullptr, *ButtonDisc = nullptr, *ButtonZapiszDisc = nullptr, *ButtonDefault = nullptr;
    QSpinBox* UpDown2 = nullptr;
    QTableWidget* StringGrid2 = nullptr;
    QAction* CopyGrid2 = nullptr;

private:
    std::vector<QCheckBox*> switchBoxes() const;
    DiscreteRequest request() const;
    void redraw();
    void clearSolution();

    QCheckBox* boxes_[9] = {};
    std::unique_ptr<ResidualChart> chart_;
    std::unique_ptr<Verdict> verdict_;
};

}  // namespace fluvena::ui
