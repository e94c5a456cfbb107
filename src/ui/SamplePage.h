#pragma once
// The page "Próbka": the sample and instrument parameters of the
// measurement on show, its kind of data, and for a correlator file its
// header and count-rate trace.
#include "ui/Page.h"

#include <memory>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QTableWidget;

namespace fluvena::ui {

class CountRateChart;

class SamplePage : public Page {
    Q_OBJECT
public:
    SamplePage(Presenter& presenter, PageHost& host);
    ~SamplePage() override;

    void retranslate() override;
    void saveSettings(QSettings& settings) const override;
    void restoreSettings(const QSettings& settings) override;

    // The sample of the measurement on show from the fields (conversion
    // failures are thrown, the fields showing the sample again).
    void sampleEdited();
    // A solvent preset applied at the temperature typed.
    void solventChosen();
    void dataKindChosen();
    // The kind chosen in the list as the user chooses it.
    void chooseDataKind(DataKind kind);
    // The sample a newly read file starts from: the sample on show, and for
    // a text file the data kind, baseline and time unit last chosen for one.
    SampleParameters loadDefaults() const;
    CountRateChart& countRateChart() const { return *chart_; }

    QGroupBox *GroupBoxSample = nullptr, *GroupBoxData = nullptr;
    QComboBox *ComboSolvent = nullptr, *ComboDataKind = nullptr, *ComboBaseline = nullptr, *ComboTimeUnit = nullptr;
    QLineEdit *EditTemperature = nullptr, *EditViscosity = nullptr, *EditRefractive = nullptr, *EditWavelength = nullptr,
              *EditAngle = nullptr;
    QLabel *LabelCelsius = nullptr, *LabelQ = nullptr, *LabelInstrument = nullptr, *LabelLeftOut = nullptr;
    // The instrument's reported z-average, PDI and intercept beside Fluvena's.
    QTableWidget* GridReported = nullptr;
    // Where each value of the measurement on show came from: "z pliku" (the
    // file states it), "wpisane" (typed or chosen here), "domyślne" (neither).
    QLabel *SourceTemperature = nullptr, *SourceViscosity = nullptr, *SourceRefractive = nullptr,
           *SourceWavelength = nullptr, *SourceAngle = nullptr, *SourceDataKind = nullptr, *SourceTimeUnit = nullptr;

private:
    SampleParameters fromFields() const;
    void showSample();
    void showFile();
    void showSources();
    void showReported();
    void showLeftOut();

    std::unique_ptr<CountRateChart> chart_;
    std::vector<std::pair<QLabel*, const char*>> labels_;  // the form's labels and their source texts
    bool showingSample_ = false;  // the fields are being filled
    // The data kind, g2 baseline and time unit last chosen by hand for a
    // text file (a correlator file states its own).
    DataKind textKind_ = DataKind::G1;
    BaselineMode textBaseline_ = BaselineMode::Fixed;
    TimeUnit textUnit_ = TimeUnit::Microseconds;
};

}  // namespace fluvena::ui
