#include "ui/ContinPage.h"

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "contin/ContinDeck.h"
#include "core/Distribution.h"
#include "physics/Sizes.h"
#include "results/Export.h"
#include "results/ResultsLog.h"
#include "ui/Charts.h"
#include "ui/Language.h"
#include "ui/RunDialog.h"
#include "ui/Tables.h"
#include "ui/TextEdges.h"
#include "ui/Verdict.h"
#include "ui/Widgets.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace fluvena::ui {

namespace {

// Row captions of the peak table.
const char* const kPeakCaptions[] = {
    QT_TRANSLATE_NOOP("fluvena::ui::ContinPage", "Intensywnosc"), QT_TRANSLATE_NOOP("fluvena::ui::ContinPage", "Błąd % int"),
    QT_TRANSLATE_NOOP("fluvena::ui::ContinPage", "Polozenie"),    QT_TRANSLATE_NOOP("fluvena::ui::ContinPage", "Błąd % pol"),
    QT_TRANSLATE_NOOP("fluvena::ui::ContinPage", "Szerokosc"),
};

}  // namespace

ContinPage::ContinPage(Presenter& presenter, PageHost& host) : Page(presenter, host, "TabSheetCont")
{
    // The input and the peak table take the page's whole height on the left,
    // so that the table's rows down to both radii show at the window's
    // designed size; the answer in one line and the flags stand over and
    // under the distribution chart.
    auto* contLayout = new QHBoxLayout(this);
    contLayout->setContentsMargins(0, 0, 0, 0);
    contLayout->setSpacing(0);
    verdict_ = std::make_unique<Verdict>(this, "Cont");
    verdict_->headline()->setWordWrap(true);
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedWidth(385);
    auto* p2 = new QVBoxLayout(Panel2);
    p2->setContentsMargins(0, 0, 0, 0);
    p2->setSpacing(0);  // the table right under the group box
    GroupBox1 = new QGroupBox(Panel2);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedHeight(113);
    p2->addWidget(GroupBox1);
    Label2 = PlaceLabel(GroupBox1, "Label2", QString(), 8, 24);
    // A number shown to the user carries the locale's decimal separator, so the
    // default grid bound converts on a system that writes 0,1 as well.
    Edit1 = PlaceEdit(GroupBox1, "Edit1", QStringLiteral("0") + QChar::fromLatin1(DecimalSeparator()) + QStringLiteral("1"), 64,
                      16, 65, 21);
    Label3 = PlaceLabel(GroupBox1, "Label3", QString(), 136, 24);
    Edit2 = PlaceEdit(GroupBox1, "Edit2", QStringLiteral("1000"), 160, 16, 65, 21);
    Label11 = PlaceLabel(GroupBox1, "Label11", QStringLiteral("NG"), 8, 48);
    Edit3 = PlaceEdit(GroupBox1, "Edit3", QStringLiteral("100"), 32, 40, 65, 21);
    LabelPunktow = PlaceLabel(GroupBox1, "LabelPunktow", QString(), 104, 48);
    CheckBoxSignal = PlaceCheck(GroupBox1, "CheckBoxSignal", QString(), false, 158, 46);
    Label1 = PlaceLabel(GroupBox1, "Label1", QStringLiteral("Label1"), 250, 48);
    Label1->setMinimumWidth(40);
    Edit7 = PlaceEdit(GroupBox1, "Edit7", QStringLiteral("Temp"), 32, 64, 65, 21);
    Edit8 = PlaceEdit(GroupBox1, "Edit8", QStringLiteral("1"), 104, 64, 49, 21);
    CheckBox10 = PlaceCheck(GroupBox1, "CheckBox10", QStringLiteral("1000/T"), false, 160, 64);
    CheckBoxWagiCont = PlaceCheck(GroupBox1, "CheckBoxWagiCont", QString(), true, 228, 64);
    Label4 = PlaceLabel(GroupBox1, "Label4", QString(), 32, 88);
    Label12 = PlaceLabel(GroupBox1, "Label12", QStringLiteral("Label12"), 152, 88);
    LabelBeta1 = PlaceLabel(GroupBox1, "LabelBeta1", QString(), 200, 88);
    ButtonOKCont = PlaceButton(GroupBox1, "ButtonOKCont", QStringLiteral("OK"), 296, 12, 65, 25);
    ButtonOKCont->setVisible(false);
    ButtonContin = PlaceButton(GroupBox1, "ButtonContin", QStringLiteral("Contin"), 296, 12, 81, 25);
    UpDown1 = PlaceUpDown(GroupBox1, "UpDown1", 329, 38);
    ButtonZapisz = PlaceButton(GroupBox1, "ButtonZapisz", QString(), 296, 76, 81, 25);
    // The peak table's rows, then those of the sizes each peak stands for.
    StringGrid1 = MakeGrid(Panel2, "StringGrid1", 6, 9);
    StringGrid1->setMinimumHeight(152);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CopyGrid1 = AddCopyAction(StringGrid1);
    p2->addWidget(StringGrid1, 1);
    contLayout->addWidget(Panel2);
    chart_ = std::make_unique<DistributionChart>(this);
    right->addWidget(verdict_->headline());
    right->addWidget(chart_->plot(), 1);
    right->addWidget(verdict_->flags());
    contLayout->addLayout(right, 1);
    ButtonRozklad = PlaceButton(chart_->plot(), "ButtonRozklad", QString(), 0, 0, 75, 25);
    // The distribution's axis and weighting, in the chart's top right corner.
    auto* choice = new QWidget(chart_->plot());
    choice->setObjectName(QStringLiteral("DistChoice"));
    auto* choiceLayout = new QHBoxLayout(choice);
    choiceLayout->setContentsMargins(0, 0, 0, 0);
    ComboDistAxis = new QComboBox(choice);
    ComboDistAxis->setObjectName(QStringLiteral("ComboDistAxis"));
    ComboDistWeight = new QComboBox(choice);
    ComboDistWeight->setObjectName(QStringLiteral("ComboDistWeight"));
    for (QComboBox* c : {ComboDistAxis, ComboDistWeight}) {
        c->addItems({QString(), QString()});
        // The widest item sets the width, in either language.
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        choiceLayout->addWidget(c);
    }
    KeepAtTopRight(choice);

    connect(&presenter_, &Presenter::measurementChanged, this, [this] {
        for (QLabel* l : {Label1, Label12}) {
            l->setText(QStringLiteral(" "));
            l->setToolTip(QString());
            SetLabelColour(l, false);
        }
        redraw();
    });
    connect(&presenter_, &Presenter::resultChanged, this, [this](Analysis a) {
        if (a == Analysis::Contin) redraw();
    });
    connect(&presenter_, &Presenter::sampleChanged, this, &ContinPage::redraw);
    // The data's flags follow the range until a run fixes it.
    connect(&presenter_, &Presenter::rangeChanged, this, [this] { verdict_->show(m(), quality::Subject::Contin); });
}

ContinPage::~ContinPage() = default;

void ContinPage::retranslate()
{
    GroupBox1->setTitle(tr("Dane wejściowe"));
    const std::pair<QLabel*, QString> labels[] = {{Label2, tr("Siatka Od:")}, {Label3, tr("Do:")}, {LabelPunktow, tr("Punktów")}};
    for (const auto& [label, text] : labels) {
        label->setText(text);
        label->adjustSize();
    }
    // The grid's fields follow their labels, whatever the language makes of them.
    Edit1->move(std::max(64, Label2->x() + Label2->width() + 4), Edit1->y());
    Label3->move(Edit1->x() + Edit1->width() + 6, Label3->y());
    Edit2->move(std::max(160, Label3->x() + Label3->width() + 4), Edit2->y());
    ButtonZapisz->setText(tr("Zapamiętaj"));
    CheckBoxSignal->setText(tr("Reg. sygn."));
    CheckBoxSignal->adjustSize();
    CheckBoxSignal->setToolTip(tr("Regularyzator, który waży drugie różnice sygnałem wnoszonym do danych przez każdy "
                                  "punkt siatki, zamiast klasycznego. Program contin.exe innego pochodzenia odrzuci taką kartę."));
    CheckBoxWagiCont->setText(tr("Wagi"));
    CheckBoxWagiCont->adjustSize();
    CheckBoxWagiCont->setToolTip(tr("Dane g2−1 i g2: każdy punkt g1 ważony odwrotnością wariancji, którą relacja Siegerta "
                                    "przenosi z szumu g2−1 (ogon krzywej waży mało). Dane g1 nie są ważone."));
    ComboDistAxis->setItemText(0, tr("czas zaniku"));
    ComboDistAxis->setItemText(1, tr("promień R_h"));
    ComboDistWeight->setItemText(0, tr("jak obliczono"));
    ComboDistWeight->setItemText(1, tr("na ln τ"));
    ButtonRozklad->setText(tr("Zapisz"));
    CopyGrid1->setText(tr("Kopiuj"));
    chart_->SetTitle(tr("Rozkład"));
    // The table's captions and the labels of the solution on show.
    redraw();
}

void ContinPage::saveSettings(QSettings& settings) const
{
    for (const auto& [key, edit] : {std::pair{"contin/gridFrom", Edit1}, {"contin/gridTo", Edit2}, {"contin/gridPoints", Edit3}})
        settings.setValue(QString::fromLatin1(key), edit->text());
    settings.setValue(QStringLiteral("contin/signalWeighted"), CheckBoxSignal->isChecked());
    settings.setValue(QStringLiteral("contin/siegertWeights"), CheckBoxWagiCont->isChecked());
    settings.setValue(QStringLiteral("charts/distributionAxis"), ComboDistAxis->currentIndex());
    settings.setValue(QStringLiteral("charts/distributionWeighting"), ComboDistWeight->currentIndex());
}

void ContinPage::restoreSettings(const QSettings& settings)
{
    for (const auto& [key, edit] : {std::pair{"contin/gridFrom", Edit1}, {"contin/gridTo", Edit2}, {"contin/gridPoints", Edit3}}) {
        const QString k = QString::fromLatin1(key);
        if (settings.contains(k)) edit->setText(settings.value(k).toString());
    }
    CheckBoxSignal->setChecked(settings.value(QStringLiteral("contin/signalWeighted"), false).toBool());
    CheckBoxWagiCont->setChecked(settings.value(QStringLiteral("contin/siegertWeights"), true).toBool());
    ComboDistAxis->setCurrentIndex(std::clamp(settings.value(QStringLiteral("charts/distributionAxis"), 0).toInt(), 0, 1));
    ComboDistWeight->setCurrentIndex(std::clamp(settings.value(QStringLiteral("charts/distributionWeighting"), 0).toInt(), 0, 1));
    drawDistribution();
}

void ContinPage::markNoData()
{
    Label1->setText(tr("BLAD"));
    Label12->setText(tr("BŁĄD"));
}

ContinRequest ContinPage::request() const
{
    // The order decides which bad field is reported first.
    const char sep = DecimalSeparator();
    ContinRequest request;
    request.gridMax = StrToFloat(Edit2->text().toStdString(), sep);
    request.gridMin = StrToFloat(Edit1->text().toStdString(), sep);
    request.gridPoints = StrToInt(Edit3->text().toStdString());
    request.signalWeighted = CheckBoxSignal->isChecked();
    request.siegertWeights = CheckBoxWagiCont->isChecked();
    return request;
}

void ContinPage::ButtonOKContClick()
{
    if (m().PointCount() == 0) {
        Label1->setText(tr("BŁĄD"));
        return;
    }
    host_.scratchMemo()->clear();
    const ContinRequest request = this->request();
    // A request no deck can carry shows why instead of an empty deck.
    if (const Outcome<ContinRequest> checked = CheckContinRequest(request); !checked) {
        ShowRunFailure(Label1, tr("BŁĄD"), checked.failure(), host_.status());
        return;
    }
    SetMemoLines(host_.scratchMemo(), m().ContinDeck(request));
}

void ContinPage::ButtonContinClick()
{
    host_.commitSample();
    host_.scratchMemo()->clear();
    if (m().PointCount() == 0) {
        Label1->setText(tr("BŁĄD"));
        return;
    }
    const ContinRequest request = this->request();
    if (!host_.confirmDataKind()) return;
    DialogRunner runner(host_.window(), std::filesystem::current_path(), host_.helperDir());
    const RunReport report = presenter_.runContin(request, runner);
    switch (report.status) {
    case RunStatus::Cancelled: return;
    case RunStatus::Refused: ShowRunFailure(Label1, tr("BŁĄD"), report.failure, host_.status()); return;
    case RunStatus::Rejected:
        ShowRunFailure(Label1, tr("BŁĄD!!! ŹLE ZADANE PARAMETRY DO CONTINA"), report.failure, host_.status());
        return;
    case RunStatus::Failed: ShowRunFailure(Label1, tr("BŁĄD"), report.failure, host_.status()); return;
    case RunStatus::Ok: break;
    }
    Label1->setToolTip(QString());
    host_.status()->clearMessage();
    // The view opens at the spinner's position, as it always did.
    UpDown1Click();
}

void ContinPage::UpDown1Click()
{
    if (!presenter_.showContin(UpDown1->value())) Label1->setText(tr("BŁĄD"));
}

void ContinPage::activate() { presenter_.bringOnShow(Analysis::Contin); }

void ContinPage::showChosen()
{
    if (m().Contin()) presenter_.showContin(static_cast<std::int64_t>(m().Contin()->chosen));
}

std::optional<FitOnShow> ContinPage::fit() const
{
    const ContinSolution* s = m().ContinOnShow();
    if (!s) return std::nullopt;
    FitOnShow f{s->fitX, presenter_.fitInDataTerms(s->fitY, m().Contin()->beta), m().Contin()->range, 0, true};
    f.drawn = std::min(f.x.size(), f.y.size());
    return f;
}

QString ContinPage::solutionStatus() const
{
    if (!m().ContinOnShow()) return {};
    return tr("CONTIN: rozwiązanie %1 z %2, wybrane: %3").arg(m().ShownIndex()).arg(m().Contin()->solutions.size()).arg(m().Contin()->chosen);
}

void ContinPage::clearSolution()
{
    StringGrid1->setColumnCount(1);
    for (int r = 0; r < 5; ++r) SetCell(StringGrid1, 0, r + 1, tr(kPeakCaptions[r]));
    showSizeRows(StringGrid1, 6, {}, true);
    Label4->setText(tr("Probe1="));
    Label4->adjustSize();
    ShowBeta(LabelBeta1, std::nullopt);
    UpDown1->blockSignals(true);
    UpDown1->setMaximum(0);
    UpDown1->blockSignals(false);
}

void ContinPage::redraw()
{
    const ContinSolution* s = m().ContinOnShow();
    verdict_->show(m(), quality::Subject::Contin);
    drawDistribution();
    if (!s) {
        clearSolution();
        return;
    }
    const int shown = static_cast<int>(m().ShownIndex());
    UpDown1->blockSignals(true);
    UpDown1->setMaximum(static_cast<int>(m().Contin()->solutions.size()) - 1);
    UpDown1->setValue(shown);
    UpDown1->blockSignals(false);
    const char sep = DecimalSeparator();
    SetLabelColour(Label1, m().ShownIndex() == m().Contin()->chosen);
    Label1->setText(QString::number(shown));
    StringGrid1->setColumnCount(static_cast<int>(s->peaks.size()) + 1);
    ShowBeta(LabelBeta1, m().Contin()->beta);
    Label4->setText(tr("Probe1=") + QString::fromStdString(FormatFloat(s->prob1ToReject, Pattern::F3, sep)));
    Label4->adjustSize();
    for (int r = 0; r < 5; ++r) SetCell(StringGrid1, 0, r + 1, tr(kPeakCaptions[r]));
    for (std::size_t k = 0; k < s->peaks.size(); ++k) {
        const ContinPeak& p = s->peaks[k];
        const int c = static_cast<int>(k) + 1;
        SetCell(StringGrid1, c, 0, tr("Peak %1").arg(c));
        const double values[] = {p.intensity, p.intensityErr, p.position, p.positionErr, p.width};
        for (int r = 0; r < 5; ++r) SetCell(StringGrid1, c, r + 1, QString::fromStdString(FormatFloat(values[r], Pattern::E4, sep)));
    }
    // Both radii of each peak; none for a peak the data cannot see.
    const quality::Report& report = verdict_->report();
    std::vector<SizeColumn> columns;
    for (std::size_t k = 0; k < s->peaks.size(); ++k) {
        const ContinPeak& p = s->peaks[k];
        SizeColumn c{p.position, p.positionErr, p.harmonicPosition, p.harmonicPositionErr, report.noSize};
        if (!c.withheld) c.withheld = quality::PeakWithoutSize(p, report.lags, k + 1);
        columns.push_back(c);
    }
    showSizeRows(StringGrid1, 6, columns, true);
    StringGrid1->resizeColumnsToContents();
}

DistributionAxis ContinPage::axis() const
{
    return ComboDistAxis->currentIndex() == 1 ? DistributionAxis::Radius : DistributionAxis::DecayTime;
}

DistributionWeighting ContinPage::weighting() const
{
    return ComboDistWeight->currentIndex() == 1 ? DistributionWeighting::PerLnTau : DistributionWeighting::AsComputed;
}

// The CONTIN distribution last shown, on the chosen axis and weighting, as
// the share of each grid point in percent (so that heights compare between
// solutions and runs), with both radii of each peak marked on the axis.
void ContinPage::drawDistribution()
{
    const QString unit = TimeUnitText(m().Sample().timeUnit);
    const bool radius = axis() == DistributionAxis::Radius;
    const bool perLn = weighting() == DistributionWeighting::PerLnTau;
    chart_->SetAxisTitles(radius ? tr("Promień hydrodynamiczny Rₕ [nm]") : tr("Czas zaniku τ [%1]").arg(unit),
                          perLn ? tr("Udział τ·G(τ) na punkt siatki [%]") : tr("Udział G(τ) na punkt siatki [%]"));
    const ContinSolution* drawn = m().ContinDrawn();
    if (!drawn) {
        chart_->Clear();
        return;
    }
    const Outcome<DistributionCurve> curve = Distribution(*drawn, axis(), weighting(), m().Sample());
    if (!curve) {
        chart_->Clear();
        host_.status()->showMessage(FailureText(curve.failure()));
        return;
    }
    double total = 0.0;
    for (double v : curve->y) total += std::isfinite(v) ? std::max(v, 0.0) : 0.0;
    std::vector<double> share(curve->y);
    for (double& v : share) v = total > 0.0 ? 100.0 * v / total : 0.0;
    chart_->Show(curve->x, share);
    // Where each peak's two radii lie on the axis (in decay time or radius).
    std::vector<double> harmonic, meanTime;
    const quality::LagWindow lags = verdict_->report().lags;
    auto place = [&](double time) -> std::optional<double> {
        if (!radius) return time;
        const Outcome<physics::SizeEstimate> size = physics::SizeFromDecayTime(time, 0.0, m().Sample());
        return size ? std::optional<double>(size->radiusNm) : std::nullopt;
    };
    for (std::size_t k = 0; k < drawn->peaks.size(); ++k) {
        const ContinPeak& p = drawn->peaks[k];
        if (verdict_->report().noSize || quality::PeakWithoutSize(p, lags, k + 1)) continue;
        if (const auto at = place(p.position)) meanTime.push_back(*at);
        if (p.harmonicPosition)
            if (const auto at = place(*p.harmonicPosition)) harmonic.push_back(*at);
    }
    chart_->ShowMarks(harmonic, meanTime, tr("Rₕ (średnia harmoniczna)"), tr("Rₕ (ze średniego czasu)"));
}

void ContinPage::ButtonZapiszClick()
{
    host_.recordLog(Analysis::Contin, [this](bool header) {
        return ContinLogClick(m().ContinOnShow(), header, logInput(Edit7, Edit8, CheckBox10));
    }, "tempCont.txt", Label1);
}

void ContinPage::ButtonRozkladClick()
{
    const ContinSolution* drawn = m().ContinDrawn();
    std::vector<std::string> table;
    if (axis() == DistributionAxis::DecayTime && weighting() == DistributionWeighting::AsComputed) {
        // CONTIN's own table, as the program always wrote it.
        std::size_t rows = 0;
        if (drawn) rows = drawn->distX.size();
        else if (m().LastContinRequest()) rows = static_cast<std::size_t>(std::max(m().LastContinRequest()->gridPoints, 0));
        table = DistributionExportTable(drawn, rows, DecimalSeparator());
    } else {
        // The chosen axis and weighting with the error column; without a
        // distribution the header alone.
        DistributionCurve curve;
        if (drawn) {
            Outcome<DistributionCurve> c = Distribution(*drawn, axis(), weighting(), m().Sample());
            if (!c) throw Error(FailureText(c.failure()).toStdString());
            curve = std::move(c).value();
        }
        table = DistributionExportTable(curve, axis(), weighting(), DecimalSeparator());
    }
    host_.saveScratch(table, "dist");
}

AnalysisJob ContinPage::job() const
{
    return [r = request()](Measurement& m, EngineRunner& runner) { return m.RunContin(r, runner); };
}

}  // namespace fluvena::ui
