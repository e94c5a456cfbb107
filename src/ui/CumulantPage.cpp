#include "ui/CumulantPage.h"

#include "base/Convert.h"
#include "base/NumberFormat.h"
#include "base/Readable.h"
#include "physics/Sizes.h"
#include "results/ResultsLog.h"
#include "ui/Charts.h"
#include "ui/Language.h"
#include "ui/Tables.h"
#include "ui/TextEdges.h"
#include "ui/Verdict.h"
#include "ui/Widgets.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace fluvena::ui {

namespace {

// The cut-off of the fit range: the linear fit's, and the one Frisken's form
// with its free baseline needs (as fluvena-batch chooses them).
constexpr double kCutoff = 0.1;
constexpr double kFriskenCutoff = 0.01;

QString Fraction(double value)
{
    QString text = QString::number(value);
    if (DecimalSeparator() != '.') text.replace(QLatin1Char('.'), QLatin1Char(DecimalSeparator()));
    return text;
}

}  // namespace

CumulantPage::CumulantPage(Presenter& presenter, PageHost& host) : Page(presenter, host, "TabSheetCum")
{
    // The answer in one line over the page; the flags under the table.
    auto* pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    verdict_ = std::make_unique<Verdict>(this, "Cum");
    pageLayout->addWidget(verdict_->headline());
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addLayout(layout, 1);
    PanelCum = new QWidget(this);
    PanelCum->setObjectName(QStringLiteral("PanelCum"));
    PanelCum->setFixedWidth(385);
    auto* panel = new QVBoxLayout(PanelCum);
    panel->setContentsMargins(0, 0, 0, 0);
    GroupBoxCum = new QGroupBox(PanelCum);
    GroupBoxCum->setObjectName(QStringLiteral("GroupBoxCum"));
    GroupBoxCum->setFixedHeight(121);
    panel->addWidget(GroupBoxCum);
    LabelCumOrder = PlaceLabel(GroupBoxCum, "LabelCumOrder", QString(), 8, 20);
    ComboCumOrder = Place<QComboBox>(GroupBoxCum, "ComboCumOrder", 64, 16, 49, 21);
    ComboCumOrder->addItems({QStringLiteral("2"), QStringLiteral("3")});
    CheckBoxFrisken = PlaceCheck(GroupBoxCum, "CheckBoxFrisken", QStringLiteral("Frisken"), false, 128, 18);
    LabelCutoff = PlaceLabel(GroupBoxCum, "LabelCutoff", QString(), 8, 44);
    EditCutoff = PlaceEdit(GroupBoxCum, "EditCutoff", Fraction(kCutoff), 64, 40, 49, 21);
    EditCumParam = PlaceEdit(GroupBoxCum, "EditCumParam", QStringLiteral("Temp"), 8, 64, 65, 21);
    EditCumValue = PlaceEdit(GroupBoxCum, "EditCumValue", QStringLiteral("1"), 80, 64, 57, 21);
    CheckBoxCumInverse = PlaceCheck(GroupBoxCum, "CheckBoxCumInverse", QStringLiteral("1000/T"), false, 152, 64);
    LabelCum = PlaceLabel(GroupBoxCum, "LabelCum", QStringLiteral(" "), 8, 96);
    LabelCum->setMinimumWidth(40);
    ButtonCum = PlaceButton(GroupBoxCum, "ButtonCum", QString(), 296, 16, 81, 25);
    ButtonZapiszCum = PlaceButton(GroupBoxCum, "ButtonZapiszCum", QString(), 296, 80, 81, 25);
    StringGridCum = MakeGrid(PanelCum, "StringGridCum", 3, 8);
    StringGridCum->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    AddCopyAction(StringGridCum)->setObjectName(QStringLiteral("CopyGridCum"));
    panel->addWidget(StringGridCum, 1);
    panel->addWidget(verdict_->flags());
    LabelCumNote = new QLabel(PanelCum);
    LabelCumNote->setObjectName(QStringLiteral("LabelCumNote"));
    LabelCumNote->setWordWrap(true);
    panel->addWidget(LabelCumNote);
    layout->addWidget(PanelCum);
    chart_ = std::make_unique<DataChart>(this, "ChartCum");
    layout->addWidget(chart_->plot(), 1);

    // The cut-off follows the method until the user types one.
    connect(EditCutoff, &QLineEdit::textEdited, this, [this] { cutoffTyped_ = true; });
    connect(&presenter_, &Presenter::measurementChanged, this, [this] {
        LabelCum->setText(QStringLiteral(" "));
        LabelCum->setToolTip(QString());
        SetLabelColour(LabelCum, false);
        redraw();
    });
    connect(&presenter_, &Presenter::resultChanged, this, [this](Analysis a) {
        if (a == Analysis::Cumulants) redraw();
    });
    connect(&presenter_, &Presenter::sampleChanged, this, &CumulantPage::redraw);
    // The data's flags follow the range until a run fixes it.
    connect(&presenter_, &Presenter::rangeChanged, this, [this] { verdict_->show(m(), quality::Subject::Cumulants); });
}

CumulantPage::~CumulantPage() = default;

void CumulantPage::retranslate()
{
    GroupBoxCum->setTitle(tr("Dane wejściowe"));
    LabelCumOrder->setText(tr("Rząd"));
    LabelCutoff->setText(tr("Odcięcie"));
    for (QLabel* l : {LabelCumOrder, LabelCutoff}) l->adjustSize();
    ButtonCum->setText(tr("Kumulanty"));
    ButtonZapiszCum->setText(tr("Zapamiętaj"));
    if (QAction* copy = StringGridCum->findChild<QAction*>(QStringLiteral("CopyGridCum"))) copy->setText(tr("Kopiuj"));
    chart_->SetTitle(tr("Dopasowanie kumulantów"));
    redraw();
}

CumulantRequest CumulantPage::request() const
{
    CumulantRequest request;
    request.order = ComboCumOrder->currentIndex() == 1 ? 3 : 2;
    request.frisken = CheckBoxFrisken->isChecked();
    request.cutoff = StrToFloat(EditCutoff->text().toStdString(), DecimalSeparator());
    return request;
}

void CumulantPage::CheckBoxFriskenClick()
{
    if (cutoffTyped_) return;
    EditCutoff->setText(Fraction(CheckBoxFrisken->isChecked() ? kFriskenCutoff : kCutoff));
}

void CumulantPage::ButtonCumClick()
{
    host_.commitSample();
    const CumulantRequest request = this->request();
    if (!host_.confirmDataKind()) return;
    const RunReport report = presenter_.runCumulants(request);
    if (report.status == RunStatus::Ok) {
        LabelCum->setText(QStringLiteral(" "));
        LabelCum->setToolTip(QString());
        host_.status()->clearMessage();
    } else {
        ShowRunFailure(LabelCum, tr("BŁĄD"), report.failure, host_.status());
    }
}

// The fit's note in the window's language: the core's sentences, "; "-separated.
static QString NoteText(const std::string& note)
{
    static const QRegularExpression leftOut(QStringLiteral("^(\\d+) points at or below zero in the range were left out$"));
    static const QRegularExpression negative(
        QStringLiteral("^mu2 is negative \\((.+) 1/s\\^2\\): the PDI is shown as 0, as instruments do$"));
    QStringList out;
    for (const QString& sentence : QString::fromStdString(note).split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        if (const auto m = leftOut.match(sentence); m.hasMatch())
            out << CumulantPage::tr("pominięto punkty na lub poniżej zera: %1").arg(m.captured(1));
        else if (const auto n = negative.match(sentence); n.hasMatch())
            out << CumulantPage::tr("μ₂ jest ujemne (%1 1/s²): PDI pokazano jako 0, jak czynią to aparaty").arg(n.captured(1));
        else
            out << QCoreApplication::translate("Core", sentence.toUtf8().constData());
    }
    return out.join(QStringLiteral("; "));
}

void CumulantPage::redraw()
{
    const char sep = DecimalSeparator();
    const char* const captions[] = {QT_TR_NOOP("Średnie Γ [1/s]"), QT_TR_NOOP("PDI"), QT_TR_NOOP("β"),
                                    QT_TR_NOOP("Średnica z [nm]"), QT_TR_NOOP("Promień z [nm]"), QT_TR_NOOP("Punkty"),
                                    QT_TR_NOOP("Zakres dopasowania")};
    SetCell(StringGridCum, 1, 0, tr("Wartość"));
    SetCell(StringGridCum, 2, 0, tr("Błąd"));
    for (int r = 0; r < 7; ++r) {
        SetCell(StringGridCum, 0, r + 1, tr(captions[r]));
        SetCell(StringGridCum, 1, r + 1, QString());
        SetCell(StringGridCum, 2, r + 1, QString());
    }
    QString y;
    switch (m().Sample().dataKind) {
    case DataKind::G1: y = QStringLiteral("g₁(t)²"); break;
    case DataKind::G2Minus1: y = QStringLiteral("g₂(t) − 1"); break;
    case DataKind::G2: y = QStringLiteral("g₂(t) − B"); break;
    }
    chart_->SetAxisTitles(tr("Czas [%1]").arg(TimeUnitText(m().Sample().timeUnit)), y);
    chart_->SetResidualTitle(tr("dane − fit"));

    verdict_->show(m(), quality::Subject::Cumulants);
    const CumulantResult* c = m().Cumulants();
    if (!c) {
        LabelCumNote->clear();
        chart_->ShowData({}, {});
        chart_->ClearFit();
        StringGridCum->resizeColumnsToContents();
        return;
    }
    const cumulants::Result& f = c->fit;
    // Values to three or four digits, errors to two.
    const auto value = [sep](double v) { return QString::fromStdString(Readable(v, sep)); };
    const auto error = [sep](double v) { return QString::fromStdString(Readable(v, sep, 2)); };
    SetCell(StringGridCum, 1, 1, value(f.gammaMean));
    SetCell(StringGridCum, 2, 1, error(f.gammaMeanErr));
    SetCell(StringGridCum, 1, 2, QString::fromStdString(ReadableFixed(f.pdi, 3, sep)));
    SetCell(StringGridCum, 1, 3, QString::fromStdString(ReadableFixed(f.beta, 3, sep)));
    SetCell(StringGridCum, 2, 3, error(f.betaErr));
    QString note = NoteText(f.note);
    const Outcome<physics::ZAverage> z = physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, m().Sample());
    if (z) {
        SetCell(StringGridCum, 1, 4, value(z->diameterNm));
        SetCell(StringGridCum, 2, 4, error(z->diameterErrNm));
        SetCell(StringGridCum, 1, 5, value(z->radiusNm));
        SetCell(StringGridCum, 2, 5, error(z->radiusErrNm));
    } else {
        note = note.isEmpty() ? FailureText(z.failure()) : note + QStringLiteral("; ") + FailureText(z.failure());
    }
    const std::int64_t first = c->range.first + static_cast<std::int64_t>(f.fitFirst);
    const std::int64_t last = c->range.first + static_cast<std::int64_t>(f.fitLast);
    SetCell(StringGridCum, 1, 6, QString::number(f.pointsUsed));
    SetCell(StringGridCum, 1, 7, QStringLiteral("%1–%2").arg(first).arg(last));
    StringGridCum->resizeColumnsToContents();
    LabelCumNote->setText(note);

    // The fit over the points it was made on, and their residuals.
    std::vector<double> measured(f.fitted.size());
    for (std::size_t k = 0; k < measured.size(); ++k) measured[k] = f.fitted[k] + f.residuals[k];
    chart_->ShowData(c->fitX, measured);
    chart_->ShowFit(c->fitX, f.fitted, measured);
}

void CumulantPage::ButtonZapiszCumClick()
{
    host_.commitSample();
    // Without a fit the page's own label says so (the log is written all the same).
    host_.recordLog(Analysis::Cumulants, [this](bool header) {
        return CumulantLogClick(m().Cumulants(), m().Sample(), header, logInput(EditCumParam, EditCumValue, CheckBoxCumInverse));
    }, "tempCum.txt", LabelCum);
}

AnalysisJob CumulantPage::job() const
{
    return [r = request()](Measurement& m, EngineRunner&) { return m.RunCumulants(r); };
}

}  // namespace fluvena::ui
