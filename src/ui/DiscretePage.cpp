#include "ui/DiscretePage.h"

#include "base/Convert.h"
#include "base/MemoText.h"
#include "base/NumberFormat.h"
#include "results/ResultsLog.h"
#include "ui/Charts.h"
#include "ui/RunDialog.h"
#include "ui/Tables.h"
#include "ui/TextEdges.h"
#include "ui/Verdict.h"
#include "ui/Widgets.h"

#include <qcustomplot.h>

#include <QCheckBox>
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
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace fluvena::ui {

DiscretePage::DiscretePage(Presenter& presenter, PageHost& host) : Page(presenter, host, "TabSheetDisc")
{
    // As on the CONTIN page: the input and the component table take the
    // page's whole height on the left (at the designed size the group box
    // keeps its height and the table shows its radius row); the answer and
    // the flags stand over and under the switches and the chart.
    auto* discLayout = new QHBoxLayout(this);
    discLayout->setContentsMargins(0, 0, 0, 0);
    discLayout->setSpacing(0);
    verdict_ = std::make_unique<Verdict>(this, "Disc");
    verdict_->headline()->setWordWrap(true);
    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    auto* beside = new QHBoxLayout;
    beside->setContentsMargins(0, 0, 0, 0);
    beside->setSpacing(0);
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(385);
    auto* p1 = new QVBoxLayout(Panel1);
    p1->setContentsMargins(0, 0, 0, 0);
    p1->setSpacing(0);  // the table right under the group box
    GroupBox3 = new QGroupBox(Panel1);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setFixedHeight(139);
    p1->addWidget(GroupBox3);
    Edit4 = PlaceEdit(GroupBox3, "Edit4", QStringLiteral("6"), 8, 16, 25, 21);
    Label7 = PlaceLabel(GroupBox3, "Label7", QString(), 38, 18);
    Edit6 = PlaceEdit(GroupBox3, "Edit6", QStringLiteral("5"), 8, 40, 25, 21);
    Label9 = PlaceLabel(GroupBox3, "Label9", QString(), 40, 42);
    Edit9 = PlaceEdit(GroupBox3, "Edit9", QStringLiteral("Temp"), 8, 64, 65, 21);
    Edit10 = PlaceEdit(GroupBox3, "Edit10", QStringLiteral("1"), 80, 64, 57, 21);
    CheckBox11 = PlaceCheck(GroupBox3, "CheckBox11", QStringLiteral("1000/T"), false, 152, 64);
    CheckBoxDT = PlaceCheck(GroupBox3, "CheckBoxDT", QStringLiteral("D/T"), false, 8, 94);
    CheckBoxWagiDisc = PlaceCheck(GroupBox3, "CheckBoxWagiDisc", QString(), true, 8, 118);
    SpeedButton1 = Place<QToolButton>(GroupBox3, "SpeedButton1", 64, 90, 89, 25);
    SpeedButton1->setCheckable(true);
    SpeedButton1->setChecked(false);
    ButtonOKDisc = PlaceButton(GroupBox3, "ButtonOKDisc", QStringLiteral("OK"), 128, 88, 25, 25);
    ButtonOKDisc->setVisible(false);
    Label10 = PlaceLabel(GroupBox3, "Label10", QStringLiteral("Label10"), 160, 96);
    Label5 = PlaceLabel(GroupBox3, "Label5", QStringLiteral("PUNC="), 216, 96);
    LabelBeta2 = PlaceLabel(GroupBox3, "LabelBeta2", QString(), 216, 72);
    Label6 = PlaceLabel(GroupBox3, "Label6", QStringLiteral("Label6"), 264, 52);
    Label6->setMinimumWidth(24);
    ButtonDisc = PlaceButton(GroupBox3, "ButtonDisc", QStringLiteral("Discrete"), 296, 16, 81, 25);
    UpDown2 = PlaceUpDown(GroupBox3, "UpDown2", 329, 42);
    ButtonZapiszDisc = PlaceButton(GroupBox3, "ButtonZapiszDisc", QString(), 296, 80, 81, 25);
    // The component table's rows, then those of the sizes.
    StringGrid2 = MakeGrid(Panel1, "StringGrid2", 6, 7);
    StringGrid2->setMinimumHeight(128);
    StringGrid2->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CopyGrid2 = AddCopyAction(StringGrid2);
    p1->addWidget(StringGrid2, 1);
    discLayout->addWidget(Panel1);

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setFixedWidth(108);
    const char* captions[] = {"LAST", "REGINT", "NOBASE", "NONEG", "PRY", "PRPREL", "PRFINL", "PLOTRS", "REPEAR"};
    for (int k = 0; k < 9; ++k) {
        const QByteArray name = "CheckBox" + QByteArray::number(k + 1);
        boxes_[k] = PlaceCheck(GroupBox2, name.constData(), QString::fromLatin1(captions[k]),
                               kDefaultSwitches[static_cast<std::size_t>(k)], 8, 16 + 16 * k);
        boxes_[k]->setEnabled(false);
    }
    Edit5 = PlaceEdit(GroupBox2, "Edit5", QStringLiteral("2"), 8, 168, 25, 21);
    Edit5->setEnabled(false);
    Label8 = PlaceLabel(GroupBox2, "Label8", QString(), 40, 172);
    Label8->setEnabled(false);
    ButtonDefault = PlaceButton(GroupBox2, "ButtonDefault", QString(), 8, 200, 89, 25);
    beside->addWidget(GroupBox2);

    chart_ = std::make_unique<ResidualChart>(this);
    beside->addWidget(chart_->plot(), 1);
    right->addWidget(verdict_->headline());
    right->addLayout(beside, 1);
    right->addWidget(verdict_->flags());
    discLayout->addLayout(right, 1);

    connect(&presenter_, &Presenter::measurementChanged, this, [this] {
        for (QLabel* l : {Label6, Label10}) {
            l->setText(QStringLiteral(" "));
            l->setToolTip(QString());
            SetLabelColour(l, false);
        }
        redraw();
    });
    connect(&presenter_, &Presenter::resultChanged, this, [this](Analysis a) {
        if (a == Analysis::Discrete) redraw();
    });
    connect(&presenter_, &Presenter::sampleChanged, this, &DiscretePage::redraw);
    // The data's flags follow the range until a run fixes it.
    connect(&presenter_, &Presenter::rangeChanged, this, [this] { verdict_->show(m(), quality::Subject::Discrete); });
}

DiscretePage::~DiscretePage() = default;

void DiscretePage::retranslate()
{
    GroupBox3->setTitle(tr("Dane wejściowe"));
    GroupBox2->setTitle(tr("Zaawansowane"));
    const std::pair<QLabel*, QString> labels[] = {
        {Label7, tr("Maksymalna ilosc składowych (1-9) ")}, {Label9, tr("Maksymalna ilosc prób (5-15)")}, {Label8, tr("Waga")}};
    for (const auto& [label, text] : labels) {
        label->setText(text);
        label->adjustSize();
    }
    CheckBoxWagiDisc->setText(tr("Wagi Siegerta"));
    CheckBoxWagiDisc->adjustSize();
    CheckBoxWagiDisc->setToolTip(tr("Dane g2−1 i g2: każdy punkt g1 ważony odwrotnością wariancji, którą relacja Siegerta "
                                    "przenosi z szumu g2−1 (ogon krzywej waży mało), zamiast reguły „Waga”. Dane g1 nie są ważone."));
    ButtonZapiszDisc->setText(tr("Zapamiętaj"));
    ButtonDefault->setText(tr("Domyślne"));
    SpeedButton1->setText(tr("Zaawansowane"));
    CopyGrid2->setText(tr("Kopiuj"));
    chart_->SetTitle(tr("Odchylenia"));
    redraw();
}

std::vector<QCheckBox*> DiscretePage::switchBoxes() const { return {std::begin(boxes_), std::end(boxes_)}; }

void DiscretePage::saveSettings(QSettings& settings) const
{
    for (const auto& [key, edit] : {std::pair{"discrete/components", Edit4}, {"discrete/weighting", Edit5}, {"discrete/tries", Edit6}})
        settings.setValue(QString::fromLatin1(key), edit->text());
    for (int k = 0; k < 9; ++k) settings.setValue(QStringLiteral("discrete/switch%1").arg(k + 1), boxes_[k]->isChecked());
    settings.setValue(QStringLiteral("discrete/siegertWeights"), CheckBoxWagiDisc->isChecked());
}

void DiscretePage::restoreSettings(const QSettings& settings)
{
    for (const auto& [key, edit] : {std::pair{"discrete/components", Edit4}, {"discrete/weighting", Edit5}, {"discrete/tries", Edit6}}) {
        const QString k = QString::fromLatin1(key);
        if (settings.contains(k)) edit->setText(settings.value(k).toString());
    }
    for (int k = 0; k < 9; ++k) {
        const QString key = QStringLiteral("discrete/switch%1").arg(k + 1);
        if (settings.contains(key)) boxes_[k]->setChecked(settings.value(key).toBool());
    }
    CheckBoxWagiDisc->setChecked(settings.value(QStringLiteral("discrete/siegertWeights"), true).toBool());
}

void DiscretePage::markNoData() { Label10->setText(tr("BŁĄD")); }

void DiscretePage::SpeedButton1Click()
{
    const bool open = SpeedButton1->isChecked();
    GroupBox2->setFixedWidth(open ? 108 : 0);
    for (QCheckBox* box : switchBoxes()) box->setEnabled(open);
    Edit5->setEnabled(open);
    Label8->setEnabled(open);
}

void DiscretePage::ButtonDefaultClick()
{
    for (std::size_t k = 0; k < 9; ++k) boxes_[k]->setChecked(kDefaultSwitches[k]);
    Edit5->setText(QString::number(kDefaultWeighting));
    CheckBoxWagiDisc->setChecked(true);
}

DiscreteRequest DiscretePage::request() const
{
    DiscreteRequest request;
    for (std::size_t k = 0; k < 9; ++k) request.switches[k] = boxes_[k]->isChecked();
    request.maxComponents = StrToInt(Edit4->text().toStdString());
    request.weighting = StrToInt(Edit5->text().toStdString());
    request.tries = StrToInt(Edit6->text().toStdString());
    request.siegertWeights = CheckBoxWagiDisc->isChecked();
    return request;
}

void DiscretePage::ButtonOKDiscClick()
{
    if (m().PointCount() == 0) {
        host_.analysisStatus()->setText(tr("BŁĄD"));
        return;
    }
    host_.scratchMemo()->setPlainText(QStringLiteral("nazwa.in"));
    SetMemoLines(host_.scratchMemo(), m().DiscreteDeck(request()));
}

void DiscretePage::ButtonDiscClick()
{
    host_.commitSample();
    if (m().PointCount() == 0) {
        host_.analysisStatus()->setText(tr("BŁĄD"));
        return;
    }
    QPlainTextEdit* memo = host_.scratchMemo();
    memo->setPlainText(QStringLiteral("nazwa.in"));
    const DiscreteRequest request = this->request();
    if (!host_.confirmDataKind()) return;
    memo->clear();
    DialogRunner runner(host_.window(), std::filesystem::current_path(), host_.helperDir());
    const RunReport report = presenter_.runDiscrete(request, runner);
    switch (report.status) {
    case RunStatus::Cancelled: return;
    case RunStatus::Refused: ShowRunFailure(host_.analysisStatus(), tr("BŁĄD"), report.failure, host_.status()); return;
    case RunStatus::Rejected:
    case RunStatus::Failed:
        // The program's answer stays readable in the memo.
        ShowRunFailure(Label10, tr("BŁĄD"), report.failure, host_.status());
        SetMemoLines(memo, SplitLines(runner.LastListing()));
        return;
    case RunStatus::Ok: break;
    }
    host_.status()->clearMessage();
    // "Uwaga" keeps its word; the listing's own sentence says why.
    const DiscreteResult& result = *m().Discrete();
    Label10->setText(result.uncertain ? tr("Uwaga") : QStringLiteral(" "));
    Label10->setToolTip(result.uncertain ? QString::fromStdString(result.uncertainReason) : QString());
    UpDown2Click();
}

void DiscretePage::UpDown2Click()
{
    if (!presenter_.showDiscrete(UpDown2->value())) Label10->setText(tr("BŁĄD"));
}

void DiscretePage::CheckBoxDTClick() { redraw(); }

void DiscretePage::activate() { presenter_.bringOnShow(Analysis::Discrete); }

// DISCRETE's best solution is its first.
void DiscretePage::showChosen() { presenter_.showDiscrete(0); }

std::optional<FitOnShow> DiscretePage::fit() const
{
    const DiscreteSolution* s = m().DiscreteOnShow();
    if (!s) return std::nullopt;
    FitOnShow f{s->fitX, presenter_.fitInDataTerms(s->fitY, m().Discrete()->beta), m().Discrete()->range, 0, false};
    // The curves leave out the last analysed point, as the program always drew them.
    f.drawn = std::min(f.x.empty() ? 0 : f.x.size() - 1, f.y.size());
    return f;
}

QString DiscretePage::solutionStatus() const
{
    if (!m().DiscreteOnShow()) return {};
    return tr("DISCRETE: rozwiązanie %1 z %2, wybrane: %3").arg(m().ShownIndex()).arg(m().Discrete()->solutions.size()).arg(0);
}

void DiscretePage::clearSolution()
{
    StringGrid2->setColumnCount(1);
    Label5->setText(QStringLiteral("PUNC="));
    Label6->setText(QStringLiteral(" "));
    ShowBeta(LabelBeta2, std::nullopt);
    chart_->Clear();
    UpDown2->blockSignals(true);
    UpDown2->setMaximum(0);
    UpDown2->blockSignals(false);
}

void DiscretePage::redraw()
{
    const DiscreteSolution* s = m().DiscreteOnShow();
    verdict_->show(m(), quality::Subject::Discrete);
    if (!s) {
        clearSolution();
        return;
    }
    const int shown = static_cast<int>(m().ShownIndex());
    UpDown2->blockSignals(true);
    UpDown2->setMaximum(static_cast<int>(m().Discrete()->solutions.size()) - 1);
    UpDown2->setValue(shown);
    UpDown2->blockSignals(false);
    const bool rates = CheckBoxDT->isChecked();
    const char sep = DecimalSeparator();
    SetLabelColour(Label6, shown == 0);
    StringGrid2->setColumnCount(static_cast<int>(s->components.size()) + 1);
    Label5->setText(QStringLiteral("PUNC=") +
                    (std::isfinite(s->punc) ? QString::fromStdString(FormatFloat(s->punc, Pattern::F3, sep)) : QString()));
    Label5->adjustSize();
    Label6->setText(QString::number(shown));
    ShowBeta(LabelBeta2, m().Discrete()->beta);
    SetCell(StringGrid2, 0, 1, tr("Intensywnosc"));
    SetCell(StringGrid2, 0, 2, tr("Błąd % int"));
    SetCell(StringGrid2, 0, 3, rates ? tr("1/Czas") : tr("Czas"));
    SetCell(StringGrid2, 0, 4, rates ? tr("Błąd % 1/Czas") : tr("Błąd % czasu"));
    for (std::size_t j = 0; j < s->components.size(); ++j) {
        const Component& c = s->components[j];
        const int col = static_cast<int>(j) + 1;
        SetCell(StringGrid2, col, 0, tr("Składowa %1").arg(col));
        SetCell(StringGrid2, col, 1, GridNumber(c.amplitude, sep));
        // The listing's error columns hold percent errors; the percent error
        // of a decay time equals, to first order, that of its rate, so the
        // error row is the same in both views.
        SetCell(StringGrid2, col, 2, GridNumber(c.amplitudeErr, sep));
        SetCell(StringGrid2, col, 3, rates ? GridNumber(c.rate, sep) : c.rate != 0.0 ? GridNumber(1.0 / c.rate, sep) : QString());
        SetCell(StringGrid2, col, 4, GridNumber(c.rateErr, sep));
    }
    const quality::Report& report = verdict_->report();
    std::vector<SizeColumn> columns;
    for (std::size_t k = 0; k < s->components.size(); ++k) {
        const Component& c = s->components[k];
        SizeColumn column{c.rate != 0.0 ? 1.0 / c.rate : 0.0, c.rateErr, std::nullopt, std::nullopt, report.noSize};
        if (!column.withheld) column.withheld = quality::ComponentWithoutSize(c, report.lags, k + 1);
        columns.push_back(column);
    }
    showSizeRows(StringGrid2, 5, columns, false);
    StringGrid2->resizeColumnsToContents();
    // The residuals in the data's own terms, as the strip under the data chart
    // shows them, so that both read on one scale.
    if (const auto f = fit()) {
        std::vector<double> residual(f->drawn);
        for (std::size_t k = 0; k < residual.size(); ++k)
            residual[k] = m().Y()[static_cast<std::size_t>(f->range.first) + k] - f->y[k];
        chart_->Show(std::span<const double>(f->x).first(f->drawn), residual);
    }
}

void DiscretePage::ButtonZapiszDiscClick()
{
    host_.recordLog(Analysis::Discrete, [this](bool header) {
        LogInput in = logInput(Edit9, Edit10, CheckBox11);
        in.rates = CheckBoxDT->isChecked();
        const auto& last = m().LastDiscreteRequest();
        const std::size_t groups = last ? static_cast<std::size_t>(std::max(last->maxComponents, 0)) : 0;
        return DiscreteLogClick(m().DiscreteOnShow(), groups, header, in);
    }, "tempDisc.txt", host_.analysisStatus());
}

AnalysisJob DiscretePage::job() const
{
    return [r = request()](Measurement& m, EngineRunner& runner) { return m.RunDiscrete(r, runner); };
}

}  // namespace fluvena::ui
