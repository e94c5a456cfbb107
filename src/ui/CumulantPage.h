#pragma once
// The page "Kumulanty": the cumulant fit of the range (ISO 22412, or
// Frisken's form), its results, its curve over the data with the
// residuals, and its results log tempCum.txt.
#include "ui/Page.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace fluvena::ui {

class DataChart;
class Verdict;

class CumulantPage : public Page {
    Q_OBJECT
public:
    CumulantPage(Presenter& presenter, PageHost& host);
    ~CumulantPage() override;

    Analysis analysis() const override { return Analysis::Cumulants; }
    void run() override { ButtonCumClick(); }
    AnalysisJob job() const override;
    void retranslate() override;

    void ButtonCumClick();
    void ButtonZapiszCumClick();
    void CheckBoxFriskenClick();
    DataChart& chart() const { return *chart_; }
    Verdict& verdict() const { return *verdict_; }

    QWidget* PanelCum = nullptr;
    QGroupBox* GroupBoxCum = nullptr;
    QLabel *LabelCumOrder = nullptr, *LabelCutoff = nullptr, *LabelCum = nullptr, *LabelCumNote = nullptr;
    QComboBox* ComboCumOrder = nullptr;
    QCheckBox *CheckBoxFrisken = nullptr, *CheckBoxCumInverse = nullptr;
    QLineEdit *EditCutoff = nullptr, *EditCumParam = nullptr, *EditCumValue = nullptr;
    QPushButton *ButtonCum = nullptr, *ButtonZapiszCum = nullptr;
    QTableWidget* StringGridCum = nullptr;

private:
    CumulantRequest request() const;
    void redraw();

    std::unique_ptr<DataChart> chart_;
    std::unique_ptr<Verdict> verdict_;
    bool cutoffTyped_ = false;  // the user typed the cut-off (Frisken then keeps it)
};

}  // namespace fluvena::ui
