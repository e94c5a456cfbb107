#include "ui/SetPage.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/Readable.h"
#include "io/FileIO.h"
#include "ui/Charts.h"
#include "ui/Language.h"
#include "ui/Tables.h"
#include "ui/TextEdges.h"

#include <qcustomplot.h>

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace fluvena::ui {

namespace {

enum Column {
    ColFile, ColAngle, ColTemperature, ColQ2, ColCountRate, ColBeta, ColGamma, ColGammaErr, ColZ, ColZErr, ColPdi,
    ColReported, ColPeak, ColPeakShare, ColDiscrete, ColFlags, ColRepeat, ColGroup, ColGroupZ, ColGroupGamma,
    ColMeasuredAt, ColUserValue, ColumnCount
};

constexpr int kMemberRole = Qt::UserRole;
constexpr int kSortRole = Qt::UserRole + 1;

// A cell that sorts by its number (or its text when it holds none).
class SortItem : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override
    {
        const QVariant a = data(kSortRole), b = other.data(kSortRole);
        if (a.isValid() && b.isValid()) return a.toDouble() < b.toDouble();
        if (a.isValid() != b.isValid()) return a.isValid();  // empty cells last
        return text() < other.text();
    }
};

QTableWidgetItem* Cell(const QString& text, std::optional<double> sortValue = std::nullopt)
{
    auto* item = new SortItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (sortValue) item->setData(kSortRole, *sortValue);
    return item;
}

QTableWidgetItem* Number(const std::optional<double>& v, int digits = 4)
{
    if (!v || !std::isfinite(*v)) return Cell(QString());
    return Cell(QString::fromStdString(Readable(*v, DecimalSeparator(), digits)), *v);
}

}  // namespace

AngleChart::AngleChart(QWidget* parent) : Chart(parent, "ChartSet", false)
{
        dPanel = AddPanel(1.0);
        gammaIn = AddSeries("SeriesGammaIncluded", Qt::blue, false, 1, 6);
        gammaOut = AddSeries("SeriesGammaExcluded", Qt::blue, false, 1, 6);
        gammaLine = AddSeries("SeriesGammaFit", Qt::red, true, 1, 0);
        bandLow = AddSeries("SeriesBandLow", QColor(255, 160, 160), true, 1, 0, dPanel);
        bandHigh = AddSeries("SeriesBandHigh", QColor(255, 160, 160), true, 1, 0, dPanel);
        bandHigh->setBrush(QColor(255, 0, 0, 40));
        bandHigh->setChannelFillGraph(bandLow);
        dLine = AddSeries("SeriesDappFit", Qt::red, true, 1, 0, dPanel);
        dIn = AddSeries("SeriesDappIncluded", Qt::blue, false, 1, 6, dPanel);
        dOut = AddSeries("SeriesDappExcluded", Qt::blue, false, 1, 6, dPanel);
        for (QCPGraph* hollow : {gammaOut, dOut})
            hollow->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(Qt::blue), Qt::NoBrush, 7));
        for (QCPGraph* g : {gammaIn, gammaOut, dIn, dOut}) {
            auto* bars = new QCPErrorBars(g->keyAxis(), g->valueAxis());
            bars->setDataPlottable(g);
            bars->setPen(QPen(Qt::blue));
            errorBars.push_back(bars);
        }
        for (QCPAxisRect* panel : plot()->axisRects())
            for (QCPAxis* axis : {panel->axis(QCPAxis::atBottom), panel->axis(QCPAxis::atLeft)}) {
                axis->setNumberFormat(QStringLiteral("gb"));
                axis->setNumberPrecision(3);
            }
        // The panels are short: few labels, that do not run into each other.
        for (QCPAxisRect* panel : plot()->axisRects()) panel->axis(QCPAxis::atLeft)->ticker()->setTickCount(3);
    }

void AngleChart::Put(QCPGraph* g, QCPErrorBars* bars, const QVector<double>& x, const QVector<double>& y,
                const QVector<double>& err)
{
    g->setData(x, y, true);
    bars->setData(err);
}

void AngleChart::SetPanelTitle(const QString& y) { dPanel->axis(QCPAxis::atLeft)->setLabel(y); }


SetPage::SetPage(Presenter& presenter, PageHost& host, std::function<QString(const QString&, const QString&)> askFileName)
    : Page(presenter, host, "TabSheetSet"), askFileName_(std::move(askFileName))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* left = new QVBoxLayout;
    auto* controls = new QHBoxLayout;
    LabelRateSource = new QLabel(this);
    LabelRateSource->setObjectName(QStringLiteral("LabelRateSource"));
    ComboRateSource = new QComboBox(this);
    ComboRateSource->setObjectName(QStringLiteral("ComboRateSource"));
    ComboRateSource->addItems({QString(), QString()});
    controls->addWidget(LabelRateSource);
    controls->addWidget(ComboRateSource);
    controls->addStretch(1);
    for (auto [button, name] : {std::pair{&ButtonRemove, "ButtonRemoveSet"}, {&ButtonExportCsv, "ButtonExportCsv"},
                                {&ButtonExportTsv, "ButtonExportTsv"}}) {
        *button = new QPushButton(this);
        (*button)->setObjectName(QString::fromLatin1(name));
        controls->addWidget(*button);
    }
    left->addLayout(controls);
    GridSet = new QTableWidget(0, ColumnCount, this);
    GridSet->setObjectName(QStringLiteral("GridSet"));
    GridSet->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridSet->verticalHeader()->setVisible(false);
    GridSet->verticalHeader()->setDefaultSectionSize(18);
    // File order until the user sorts by a column.
    GridSet->horizontalHeader()->setSortIndicator(ColFile, Qt::AscendingOrder);
    GridSet->setSortingEnabled(true);
    AddCopyAction(GridSet)->setObjectName(QStringLiteral("CopyGridSet"));
    left->addWidget(GridSet, 1);
    layout->addLayout(left, 3);

    // Beside the table, one chart at a time (each needs the page's height):
    // the angle dependence with its fit, or the series.
    TabsSetCharts = new QTabWidget(this);
    TabsSetCharts->setObjectName(QStringLiteral("TabsSetCharts"));
    auto* anglePage = new QWidget(TabsSetCharts);
    anglePage->setObjectName(QStringLiteral("TabSetAngles"));
    auto* right = new QVBoxLayout(anglePage);
    right->setContentsMargins(0, 0, 0, 0);
    chart_ = std::make_unique<AngleChart>(this);
    right->addWidget(chart_->plot(), 1);
    auto* labels = new QGridLayout;
    labels->setContentsMargins(4, 0, 4, 0);
    const struct {
        QLabel** label;
        const char* name;
        int row, column;
    } placed[] = {{&LabelD0, "LabelD0", 0, 0}, {&LabelRh0, "LabelRh0", 0, 1}, {&LabelSlope, "LabelSlope", 1, 0},
                  {&LabelR2, "LabelR2", 1, 1}, {&LabelFitNote, "LabelFitNote", 2, 0}};
    for (const auto& p : placed) {
        *p.label = new QLabel(this);
        (*p.label)->setObjectName(QString::fromLatin1(p.name));
        (*p.label)->setTextInteractionFlags(Qt::TextSelectableByMouse);
        labels->addWidget(*p.label, p.row, p.column, 1, p.label == &LabelFitNote ? 2 : 1);
    }
    LabelFitNote->setWordWrap(true);
    right->addLayout(labels);
    TabsSetCharts->addTab(anglePage, QString());
    auto* seriesPage = new QWidget(TabsSetCharts);
    seriesPage->setObjectName(QStringLiteral("TabSetSeries"));
    auto* series = new QVBoxLayout(seriesPage);
    series->setContentsMargins(0, 2, 0, 0);
    buildSeries(series);
    TabsSetCharts->addTab(seriesPage, QString());
    layout->addWidget(TabsSetCharts, 2);

    connect(ComboRateSource, &QComboBox::activated, this, &SetPage::redraw);
    connect(ButtonRemove, &QPushButton::clicked, this, &SetPage::removeSelected);
    connect(ButtonExportCsv, &QPushButton::clicked, this, [this] { exportTable(results::TableFormat::Csv); });
    connect(ButtonExportTsv, &QPushButton::clicked, this, [this] { exportTable(results::TableFormat::Tsv); });
    // The included mark is the first column's check box.
    connect(GridSet, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_) return;
        if (item->column() == ColUserValue) return userValueTyped(item);
        if (item->column() != ColFile) return;
        presenter_.setIncluded(item->data(kMemberRole).toInt(), item->checkState() == Qt::Checked);
    });
    // Stepping to a row shows its measurement in the other pages.
    connect(GridSet, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { presenter_.show(memberOfRow(row)); });
    for (auto signal : {&Presenter::measurementChanged, &Presenter::sampleChanged, &Presenter::setChanged})
        connect(&presenter_, signal, this, &SetPage::changed);
    connect(&presenter_, &Presenter::resultChanged, this, &SetPage::changed);
}

SetPage::~SetPage() = default;

void SetPage::retranslate()
{
    LabelRateSource->setText(tr("Źródło ⟨Γ⟩:"));
    ComboRateSource->setItemText(0, tr("kumulanty"));
    ComboRateSource->setItemText(1, tr("CONTIN, główny pik"));
    ButtonRemove->setText(tr("Usuń z zestawu"));
    ButtonRemove->setToolTip(tr("Usuwa zaznaczone pomiary z zestawu"));
    ButtonExportCsv->setText(tr("Eksport CSV"));
    ButtonExportTsv->setText(tr("Eksport TSV"));
    if (QAction* copy = GridSet->findChild<QAction*>(QStringLiteral("CopyGridSet"))) copy->setText(tr("Kopiuj"));
    const QStringList headers{tr("Plik"), tr("Kąt [°]"), tr("T [K]"), tr("q² [1/m²]"), tr("Zliczenia [kHz]"),
                              QStringLiteral("β"), tr("⟨Γ⟩ [1/s]"), QStringLiteral("± ⟨Γ⟩"), tr("R_z [nm]"),
                              QStringLiteral("± R_z"), QStringLiteral("PDI"), tr("Przyrząd"), tr("CONTIN R [nm]"), tr("udział"),
                              tr("DISCRETE"), tr("Flagi"), tr("Powtórzenie"), tr("Grupa"), tr("R_z grupy [nm]"),
                              tr("⟨Γ⟩ grupy [1/s]"), tr("Data pomiaru"), tr("Wartość")};
    GridSet->setHorizontalHeaderLabels(headers);
    GridSet->horizontalHeaderItem(ColFile)->setToolTip(tr("Zaznaczone pomiary wchodzą do dopasowania"));
    GridSet->horizontalHeaderItem(ColReported)->setToolTip(tr("Wynik analizy przyrządu zapisany w pliku: średnica z-średnia, PDI, wyraz wolny"));
    GridSet->horizontalHeaderItem(ColPeak)->setToolTip(tr("Promień głównego piku z jego średniej szybkości zaniku, M(0)/M(−1)"));
    GridSet->horizontalHeaderItem(ColGroup)->setToolTip(tr("Powtórzenia: pomiary jednego kąta i jednej temperatury"));
    for (const int column : {ColGroupZ, ColGroupGamma})
        GridSet->horizontalHeaderItem(column)->setToolTip(tr("Średnia ± odchylenie standardowe zaznaczonych pomiarów grupy (co najmniej dwóch)"));
    GridSet->horizontalHeaderItem(ColUserValue)->setToolTip(tr("Wartość wpisana dla pomiaru, np. stężenie: oś serii"));
    TabsSetCharts->setTabText(0, tr("Kąty"));
    TabsSetCharts->setTabText(1, tr("Seria"));
    retranslateSeries();
    chart_->SetTitle(tr("Zależność od kąta"));
    chart_->SetAxisTitles(tr("q² [1/m²]"), tr("⟨Γ⟩ [1/s]"));
    chart_->SetPanelTitle(tr("D_app [m²/s]"));
    stale_ = true;
    if (isVisible()) redraw();
}

Analysis SetPage::rateAnalysis() const
{
    return ComboRateSource->currentIndex() == 1 ? Analysis::Contin : Analysis::Cumulants;
}

void SetPage::activate()
{
    if (stale_) redraw();
}

void SetPage::showEvent(QShowEvent* event)
{
    Page::showEvent(event);
    if (stale_) redraw();
}

void SetPage::changed()
{
    stale_ = true;
    if (isVisible()) redraw();
}

void SetPage::redraw()
{
    stale_ = false;
    rows_ = sets::MakeRows(presenter_.set());
    fillTable();
    drawFit();
    drawSeries();
}

int SetPage::memberOfRow(int row) const
{
    const QTableWidgetItem* item = GridSet->item(row, ColFile);
    return item ? item->data(kMemberRole).toInt() : -1;
}

void SetPage::fillTable()
{
    filling_ = true;
    const char sep = DecimalSeparator();
    GridSet->setSortingEnabled(false);
    GridSet->clearContents();
    GridSet->setRowCount(static_cast<int>(rows_.size()));
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        const sets::SetRow& r = rows_[k];
        const int row = static_cast<int>(k);
        QString name = presenter_.name(row);
        QTableWidgetItem* file = Cell(name);
        file->setFlags(file->flags() | Qt::ItemIsUserCheckable);
        file->setCheckState(r.included ? Qt::Checked : Qt::Unchecked);
        file->setData(kMemberRole, row);
        file->setData(kSortRole, static_cast<double>(row));  // file order
        file->setToolTip(presenter_.path(row));
        if (row == presenter_.current()) {
            QFont bold = file->font();
            bold.setBold(true);
            file->setFont(bold);
        }
        GridSet->setItem(row, ColFile, file);
        GridSet->setItem(row, ColAngle, Number(r.angleDeg));
        GridSet->setItem(row, ColTemperature, Number(r.temperatureK, 5));
        GridSet->setItem(row, ColQ2, Number(r.Q2()));
        GridSet->setItem(row, ColCountRate, Number(r.meanCountRateKHz));
        GridSet->setItem(row, ColBeta, Number(r.beta, 3));
        GridSet->setItem(row, ColGamma, Number(r.gammaMean));
        GridSet->setItem(row, ColGammaErr, Number(r.gammaMeanErr, 2));
        GridSet->setItem(row, ColZ, Number(r.zRadiusNm));
        GridSet->setItem(row, ColZErr, Number(r.zRadiusErrNm, 2));
        GridSet->setItem(row, ColPdi, r.pdi ? Cell(QString::fromStdString(ReadableFixed(*r.pdi, 3, sep)), *r.pdi) : Cell(QString()));
        // The instrument's own answer beside Fluvena's, as its file states it.
        QStringList reported;
        if (r.reportedZAverageNm) reported << tr("d %1 nm").arg(QString::fromStdString(Readable(*r.reportedZAverageNm, sep, 4)));
        if (r.reportedPdi) reported << QStringLiteral("PDI %1").arg(QString::fromStdString(ReadableFixed(*r.reportedPdi, 3, sep)));
        if (r.reportedIntercept) reported << QStringLiteral("β %1").arg(QString::fromStdString(ReadableFixed(*r.reportedIntercept, 3, sep)));
        GridSet->setItem(row, ColReported, Cell(reported.join(QStringLiteral(" · "))));
        GridSet->setItem(row, ColPeak, Number(r.mainPeakRadiusNm));
        GridSet->setItem(row, ColPeakShare, r.mainPeakShare ? Cell(QStringLiteral("%1 %").arg(std::round(*r.mainPeakShare * 100.0)), *r.mainPeakShare)
                                                            : Cell(QString()));
        QStringList parts;
        for (const sets::ComponentSize& c : r.components)
            parts << QStringLiteral("%1 (%2 %)").arg(c.radiusNm ? QString::fromStdString(Readable(*c.radiusNm, sep)) + QStringLiteral(" nm") : tr("bez rozmiaru"))
                         .arg(std::round(c.share * 100.0));
        GridSet->setItem(row, ColDiscrete, Cell(parts.join(QStringLiteral(", "))));
        QStringList flags;
        for (const std::string& f : r.flags) flags << QString::fromStdString(f);
        GridSet->setItem(row, ColFlags, Cell(flags.join(QStringLiteral(", "))));
        const QString repeat = r.repeat == sets::RepeatMark::Outlier ? tr("odstaje") : r.repeat == sets::RepeatMark::Dust ? tr("kurz") : QString();
        QTableWidgetItem* mark = Cell(repeat);
        if (!repeat.isEmpty()) mark->setForeground(Qt::red);
        GridSet->setItem(row, ColRepeat, mark);
        fillGroupAndValue(row, r);
    }
    GridSet->setSortingEnabled(true);
    GridSet->resizeColumnsToContents();
    filling_ = false;
}

void SetPage::fillGroupAndValue(int row, const sets::SetRow& r)
{
    const char sep = DecimalSeparator();
    GridSet->setItem(row, ColGroup, Cell(QString::number(r.group + 1), static_cast<double>(r.group)));
    const auto meanSd = [sep](const std::optional<sets::MeanSd>& g) {
        if (!g) return Cell(QString());
        const QString text = QStringLiteral("%1 ± %2 (n = %3)")
                                 .arg(QString::fromStdString(Readable(g->mean, sep, 4)),
                                      QString::fromStdString(Readable(g->sd, sep, 2)))
                                 .arg(g->count);
        return Cell(text, g->mean);
    };
    GridSet->setItem(row, ColGroupZ, meanSd(r.groupZRadiusNm));
    GridSet->setItem(row, ColGroupGamma, meanSd(r.groupGammaMean));
    QString when;
    if (const io::InstrumentHeader* h = presenter_.file(row).instrument ? &*presenter_.file(row).instrument : nullptr)
        when = QString::fromStdString(h->date + (h->time.empty() ? "" : " " + h->time));
    GridSet->setItem(row, ColMeasuredAt, Cell(when, r.measuredAtS));
    QTableWidgetItem* value = Number(r.userValue);
    value->setFlags(value->flags() | Qt::ItemIsEditable);
    value->setBackground(QColor(255, 255, 225));
    GridSet->setItem(row, ColUserValue, value);
}

void SetPage::drawFit()
{
    const char sep = DecimalSeparator();
    const sets::RateSource source = rateAnalysis() == Analysis::Contin ? sets::RateSource::ContinMainPeak : sets::RateSource::Cumulants;
    const sets::AnglePoints points = sets::MakeAnglePoints(rows_, source);
    QVector<double> x[2], g[2], gErr[2], d[2], dErr[2];
    for (const sets::AnglePoint& p : points.points) {
        const int k = p.included ? 0 : 1;
        x[k] << p.q * p.q;
        g[k] << p.gamma;
        gErr[k] << p.gammaErr;
        d[k] << sets::ApparentDiffusion(p);
        dErr[k] << sets::ApparentDiffusionErr(p);
    }
    AngleChart& c = *chart_;
    AngleChart::Put(c.gammaIn, c.errorBars[0], x[0], g[0], gErr[0]);
    AngleChart::Put(c.gammaOut, c.errorBars[1], x[1], g[1], gErr[1]);
    AngleChart::Put(c.dIn, c.errorBars[2], x[0], d[0], dErr[0]);
    AngleChart::Put(c.dOut, c.errorBars[3], x[1], d[1], dErr[1]);

    const Outcome<sets::AngleFit> fit = sets::FitApparentDiffusion(points.points);
    for (QCPGraph* line : {c.gammaLine, c.dLine, c.bandLow, c.bandHigh}) line->data()->clear();
    for (QLabel* l : {LabelD0, LabelRh0, LabelSlope, LabelR2}) l->clear();
    LabelFitNote->clear();
    fit_.reset();
    if (!fit) {
        if (!rows_.empty()) LabelFitNote->setText(tr("Brak dopasowania: %1").arg(FailureText(fit.failure())));
    } else {
        fit_ = *fit;
        double lo = 0.0, hi = 0.0;
        for (const double q2 : x[0] + x[1]) hi = std::max(hi, q2);
        hi *= 1.05;
        constexpr int kSteps = 50;
        for (int k = 0; k <= kSteps; ++k) {
            const double q2 = lo + (hi - lo) * k / kSteps;
            const double line = fit->LineAt(q2), band = fit->BandHalfWidthAt(q2);
            c.dLine->addData(q2, line);
            c.bandLow->addData(q2, line - band);
            c.bandHigh->addData(q2, line + band);
            c.gammaLine->addData(q2, line * q2);
        }
        LabelD0->setText(QStringLiteral("D₀ = %1 ± %2 m²/s")
                             .arg(QString::fromStdString(FormatFloat(fit->d0, Pattern::E4, sep)),
                                  QString::fromStdString(FormatFloat(fit->d0Err, Pattern::E2, sep))));
        if (const auto r = sets::HydrodynamicRadius0(*fit, rows_))
            LabelRh0->setText(QStringLiteral("R_h(q→0) = %1").arg(QString::fromStdString(ReadableWithError(r->radiusNm, r->radiusErrNm, "nm", sep))));
        LabelSlope->setText(tr("nachylenie = %1 ± %2 m⁴/s")
                                .arg(QString::fromStdString(FormatFloat(fit->slope, Pattern::E4, sep)),
                                     QString::fromStdString(FormatFloat(fit->slopeErr, Pattern::E2, sep))));
        LabelR2->setText(tr("r² = %1 (punktów: %2)").arg(QString::fromStdString(ReadableFixed(fit->rSquared, 4, sep))).arg(fit->points));
        if (!fit->weighted) LabelFitNote->setText(tr("Bez błędów ⟨Γ⟩: punkty ważone jednakowo"));
    }
    c.Rescale();
}

void SetPage::removeSelected()
{
    std::vector<int> members;
    for (const QModelIndex& index : GridSet->selectionModel()->selectedRows()) members.push_back(memberOfRow(index.row()));
    if (members.empty() && GridSet->currentRow() >= 0) members.push_back(memberOfRow(GridSet->currentRow()));
    // From the last, so that the indices of the others stay.
    std::sort(members.rbegin(), members.rend());
    for (const int m : members) presenter_.remove(m);
}

void SetPage::exportTable(results::TableFormat format)
{
    if (stale_) redraw();
    const bool csv = format == results::TableFormat::Csv;
    const QString suffix = csv ? QStringLiteral("csv") : QStringLiteral("tsv");
    const QString filter = (csv ? tr("CSV (*.csv)") : tr("TSV (*.tsv)")) + QStringLiteral(";;") + tr("Wszystkie (*)");
    QString name = askFileName_(filter, QStringLiteral("zestaw.") + suffix);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QLatin1Char('.') + suffix;
    WriteFileAtomic(name.toStdString(), results::FormatTable(sets::MakeTable(rows_), format));
    host_.status()->showMessage(tr("Zapisano tabelę zestawu: %1").arg(name));
}

void SetPage::saveSettings(QSettings& settings) const
{
    settings.setValue(QStringLiteral("set/rateSource"), ComboRateSource->currentIndex());
    settings.setValue(QStringLiteral("set/seriesY"), ComboSeriesY->currentIndex());
    settings.setValue(QStringLiteral("set/seriesX"), ComboSeriesX->currentIndex());
    settings.setValue(QStringLiteral("set/seriesRepeats"), CheckSeriesRepeats->isChecked());
}

void SetPage::restoreSettings(const QSettings& settings)
{
    ComboRateSource->setCurrentIndex(std::clamp(settings.value(QStringLiteral("set/rateSource"), 0).toInt(), 0, 1));
    ComboSeriesY->setCurrentIndex(std::clamp(settings.value(QStringLiteral("set/seriesY"), 0).toInt(), 0, sets::kSeriesYCount - 1));
    ComboSeriesX->setCurrentIndex(std::clamp(settings.value(QStringLiteral("set/seriesX"), 0).toInt(), 0, sets::kSeriesXCount - 1));
    CheckSeriesRepeats->setChecked(settings.value(QStringLiteral("set/seriesRepeats"), false).toBool());
}

}  // namespace fluvena::ui
