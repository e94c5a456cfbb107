#include "ui/SamplePage.h"

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/Readable.h"
#include "physics/Sizes.h"
#include "ui/Charts.h"
#include "ui/Language.h"
#include "ui/TextEdges.h"
#include "ui/Widgets.h"

#include <qcustomplot.h>

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <tuple>

namespace fluvena::ui {

namespace {

// The solvents in the order of the preset list.
constexpr physics::Solvent kSolvents[] = {physics::Solvent::Water, physics::Solvent::Toluene, physics::Solvent::Ethanol,
                                          physics::Solvent::Custom};
constexpr DataKind kKinds[] = {DataKind::G1, DataKind::G2Minus1, DataKind::G2};
constexpr TimeUnit kUnits[] = {TimeUnit::Seconds, TimeUnit::Milliseconds, TimeUnit::Microseconds, TimeUnit::Nanoseconds};

template <typename T, std::size_t N>
int IndexOf(const T (&list)[N], T value)
{
    for (std::size_t k = 0; k < N; ++k)
        if (list[k] == value) return static_cast<int>(k);
    return 0;
}

// The preset whose values the sample has at its temperature; custom when none.
physics::Solvent SolventOf(const SampleParameters& s)
{
    for (physics::Solvent solvent : kSolvents) {
        const auto p = physics::SolventAt(solvent, s.temperatureK);
        if (p && std::fabs(p->viscosityCp - s.viscosityCp) <= 1e-6 * p->viscosityCp &&
            std::fabs(p->refractiveIndex - s.refractiveIndex) <= 1e-9)
            return solvent;
    }
    return physics::Solvent::Custom;
}

bool SameSample(const SampleParameters& a, const SampleParameters& b)
{
    return a.wavelengthNm == b.wavelengthNm && a.angleDeg == b.angleDeg && a.temperatureK == b.temperatureK &&
           a.viscosityCp == b.viscosityCp && a.refractiveIndex == b.refractiveIndex && a.timeUnit == b.timeUnit &&
           a.dataKind == b.dataKind && a.baselineMode == b.baselineMode && a.baseline == b.baseline;
}

}  // namespace

SamplePage::SamplePage(Presenter& presenter, PageHost& host) : Page(presenter, host, "TabSheetSample")
{
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(4, 4, 4, 4);

    auto label = [this](QWidget* parent, const char* name, const char* text) {
        auto* l = new QLabel(parent);
        l->setObjectName(QString::fromLatin1(name));
        labels_.emplace_back(l, text);
        return l;
    };
    auto edit = [](QWidget* parent, const char* name) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QString::fromLatin1(name));
        e->setFixedWidth(80);
        return e;
    };
    // A field with the label that says where its value came from.
    auto sourced = [](QWidget* field, QLabel*& source, const char* name, QLabel* extra = nullptr) {
        source = new QLabel(field->parentWidget());
        source->setObjectName(QString::fromLatin1(name));
        source->setEnabled(false);  // drawn grey: a remark, not a value
        auto* row = new QHBoxLayout;
        row->addWidget(field);
        if (extra) row->addWidget(extra);
        row->addWidget(source, 1);
        return row;
    };
    auto combo = [](QWidget* parent, const char* name, int items) {
        auto* c = new QComboBox(parent);
        c->setObjectName(QString::fromLatin1(name));
        for (int k = 0; k < items; ++k) c->addItem(QString());
        return c;
    };

    GroupBoxSample = new QGroupBox(this);
    GroupBoxSample->setObjectName(QStringLiteral("GroupBoxSample"));
    auto* form = new QFormLayout(GroupBoxSample);
    ComboSolvent = combo(GroupBoxSample, "ComboSolvent", 4);
    EditTemperature = edit(GroupBoxSample, "EditTemperature");
    LabelCelsius = new QLabel(GroupBoxSample);
    LabelCelsius->setObjectName(QStringLiteral("LabelCelsius"));
    EditViscosity = edit(GroupBoxSample, "EditViscosity");
    EditRefractive = edit(GroupBoxSample, "EditRefractive");
    EditWavelength = edit(GroupBoxSample, "EditWavelength");
    EditAngle = edit(GroupBoxSample, "EditAngle");
    LabelQ = new QLabel(GroupBoxSample);
    LabelQ->setObjectName(QStringLiteral("LabelQ"));
    form->addRow(label(GroupBoxSample, "LabelSolvent", QT_TR_NOOP("Rozpuszczalnik")), ComboSolvent);
    form->addRow(label(GroupBoxSample, "LabelTemperature", QT_TR_NOOP("Temperatura [K]")),
                 sourced(EditTemperature, SourceTemperature, "SourceTemperature", LabelCelsius));
    form->addRow(label(GroupBoxSample, "LabelViscosity", QT_TR_NOOP("Lepkość [cP]")),
                 sourced(EditViscosity, SourceViscosity, "SourceViscosity"));
    form->addRow(label(GroupBoxSample, "LabelRefractive", QT_TR_NOOP("Współczynnik załamania")),
                 sourced(EditRefractive, SourceRefractive, "SourceRefractive"));
    form->addRow(label(GroupBoxSample, "LabelWavelength", QT_TR_NOOP("Długość fali [nm]")),
                 sourced(EditWavelength, SourceWavelength, "SourceWavelength"));
    form->addRow(label(GroupBoxSample, "LabelAngle", QT_TR_NOOP("Kąt rozpraszania [°]")), sourced(EditAngle, SourceAngle, "SourceAngle"));
    form->addRow(QString(), LabelQ);
    page->addWidget(GroupBoxSample);

    auto* middle = new QVBoxLayout;
    GroupBoxData = new QGroupBox(this);
    GroupBoxData->setObjectName(QStringLiteral("GroupBoxData"));
    auto* dataForm = new QFormLayout(GroupBoxData);
    ComboDataKind = combo(GroupBoxData, "ComboDataKind", 3);
    ComboBaseline = combo(GroupBoxData, "ComboBaseline", 2);
    ComboTimeUnit = combo(GroupBoxData, "ComboTimeUnit", 4);
    dataForm->addRow(label(GroupBoxData, "LabelDataKind", QT_TR_NOOP("Rodzaj danych")),
                     sourced(ComboDataKind, SourceDataKind, "SourceDataKind"));
    dataForm->addRow(label(GroupBoxData, "LabelBaseline", QT_TR_NOOP("Linia bazowa g₂")), ComboBaseline);
    dataForm->addRow(label(GroupBoxData, "LabelTimeUnit", QT_TR_NOOP("Jednostka czasu")),
                     sourced(ComboTimeUnit, SourceTimeUnit, "SourceTimeUnit"));
    middle->addWidget(GroupBoxData);
    LabelInstrument = new QLabel(this);
    LabelInstrument->setObjectName(QStringLiteral("LabelInstrument"));
    LabelInstrument->setWordWrap(true);
    LabelInstrument->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelInstrument->setTextInteractionFlags(Qt::TextSelectableByMouse);
    middle->addWidget(LabelInstrument);
    // The instrument's own cumulant answer beside Fluvena's.
    GridReported = MakeGrid(this, "GridReported", 3, 4);
    GridReported->setFixedHeight(4 * 20 + 4);
    GridReported->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    GridReported->setVisible(false);
    middle->addWidget(GridReported);
    // What of the file was left out: the correlator's first lags, records
    // that cannot be analysed.
    LabelLeftOut = new QLabel(this);
    LabelLeftOut->setObjectName(QStringLiteral("LabelLeftOut"));
    LabelLeftOut->setWordWrap(true);
    LabelLeftOut->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelLeftOut->setTextInteractionFlags(Qt::TextSelectableByMouse);
    middle->addWidget(LabelLeftOut, 1);
    page->addLayout(middle);

    chart_ = std::make_unique<CountRateChart>(this);
    page->addWidget(chart_->plot(), 1);

    // A viscosity or index typed by hand is no preset's.
    for (QLineEdit* e : {EditViscosity, EditRefractive})
        connect(e, &QLineEdit::textEdited, this,
                [this] { ComboSolvent->setCurrentIndex(IndexOf(kSolvents, physics::Solvent::Custom)); });
    connect(&presenter_, &Presenter::measurementChanged, this, [this] {
        showSample();
        showFile();
    });
    connect(&presenter_, &Presenter::sampleChanged, this, [this] {
        showSample();
        showReported();
    });
    connect(&presenter_, &Presenter::resultChanged, this, [this](Analysis a) {
        if (a == Analysis::Cumulants) showReported();
    });
}

SamplePage::~SamplePage() = default;

void SamplePage::retranslate()
{
    for (const auto& [label, text] : labels_) {
        label->setText(tr(text));
        label->adjustSize();
    }
    const char* const solvents[] = {QT_TR_NOOP("woda"), QT_TR_NOOP("toluen"), QT_TR_NOOP("etanol"), QT_TR_NOOP("własny")};
    for (int k = 0; k < 4; ++k) ComboSolvent->setItemText(k, tr(solvents[k]));
    const QString kinds[] = {QStringLiteral("g₁"), QStringLiteral("g₂ − 1"), QStringLiteral("g₂")};
    for (int k = 0; k < 3; ++k) ComboDataKind->setItemText(k, kinds[k]);
    ComboBaseline->setItemText(0, QStringLiteral("1"));
    ComboBaseline->setItemText(1, tr("ogon (średnia ostatnich 10 %)"));
    const QString units[] = {QStringLiteral("s"), QStringLiteral("ms"), QStringLiteral("µs"), QStringLiteral("ns")};
    for (int k = 0; k < 4; ++k) ComboTimeUnit->setItemText(k, units[k]);
    GroupBoxSample->setTitle(tr("Próbka i aparat"));
    GroupBoxData->setTitle(tr("Dane"));
    chart_->SetTitle(tr("Szybkość zliczeń"));
    chart_->SetAxisTitles(tr("Czas [s]"), tr("Szybkość zliczeń [kHz]"));
    showSample();
    showFile();
}

SampleParameters SamplePage::fromFields() const
{
    const char sep = DecimalSeparator();
    SampleParameters s = m().Sample();
    // The order decides which bad field is reported first.
    s.temperatureK = StrToFloat(EditTemperature->text().toStdString(), sep);
    s.viscosityCp = StrToFloat(EditViscosity->text().toStdString(), sep);
    s.refractiveIndex = StrToFloat(EditRefractive->text().toStdString(), sep);
    s.wavelengthNm = StrToFloat(EditWavelength->text().toStdString(), sep);
    s.angleDeg = StrToFloat(EditAngle->text().toStdString(), sep);
    s.dataKind = kKinds[std::clamp(ComboDataKind->currentIndex(), 0, 2)];
    s.baselineMode = ComboBaseline->currentIndex() == 1 ? BaselineMode::Tail : BaselineMode::Fixed;
    if (s.baselineMode == BaselineMode::Fixed) s.baseline = 1.0;
    s.timeUnit = kUnits[std::clamp(ComboTimeUnit->currentIndex(), 0, 3)];
    return s;
}

void SamplePage::showSample()
{
    const SampleParameters& s = m().Sample();
    const char sep = DecimalSeparator();
    showingSample_ = true;
    const std::pair<QLineEdit*, double> fields[] = {{EditTemperature, s.temperatureK}, {EditViscosity, s.viscosityCp},
                                                    {EditRefractive, s.refractiveIndex}, {EditWavelength, s.wavelengthNm},
                                                    {EditAngle, s.angleDeg}};
    for (const auto& [edit, value] : fields) edit->setText(FieldNumber(value));
    ComboSolvent->setCurrentIndex(IndexOf(kSolvents, SolventOf(s)));
    ComboDataKind->setCurrentIndex(IndexOf(kKinds, s.dataKind));
    ComboBaseline->setCurrentIndex(s.baselineMode == BaselineMode::Tail ? 1 : 0);
    ComboBaseline->setEnabled(s.dataKind == DataKind::G2);
    ComboTimeUnit->setCurrentIndex(IndexOf(kUnits, s.timeUnit));
    showingSample_ = false;

    LabelCelsius->setText(QStringLiteral("(%1 °C)").arg(QString::fromStdString(Readable(s.temperatureK - 273.15, sep))));
    const Outcome<double> q = physics::ScatteringVector(s);
    LabelQ->setText(q ? QStringLiteral("q = ") + QString::fromStdString(SiPrefixed(*q, "m", -1, sep)) : FailureText(q.failure()));
    showSources();
}

void SamplePage::showSources()
{
    const std::optional<SampleParameters> loaded = presenter_.loadedSample();
    const io::DataFile& file = m().File();
    const auto& h = file.instrument;
    const SampleParameters& s = m().Sample();
    auto says = [&](bool stated, bool same) {
        if (!loaded) return QString();
        if (!same) return tr("wpisane");
        return stated ? tr("z pliku") : tr("domyślne");
    };
    const struct {
        QLabel* label;
        bool stated;
        bool same;
    } rows[] = {
        {SourceTemperature, h && h->temperatureK, loaded && s.temperatureK == loaded->temperatureK},
        {SourceViscosity, h && h->viscosityCp, loaded && s.viscosityCp == loaded->viscosityCp},
        {SourceRefractive, h && h->refractiveIndex, loaded && s.refractiveIndex == loaded->refractiveIndex},
        {SourceWavelength, h && h->wavelengthNm, loaded && s.wavelengthNm == loaded->wavelengthNm},
        {SourceAngle, h && h->angleDeg, loaded && s.angleDeg == loaded->angleDeg},
        {SourceDataKind, file.dataKind.has_value(), loaded && s.dataKind == loaded->dataKind},
        {SourceTimeUnit, file.timeUnit.has_value(), loaded && s.timeUnit == loaded->timeUnit},
    };
    for (const auto& row : rows) row.label->setText(says(row.stated, row.same));
}

void SamplePage::sampleEdited()
{
    if (showingSample_) return;
    const SampleParameters before = m().Sample();
    SampleParameters s;
    try {
        s = fromFields();
    } catch (...) {
        showSample();  // the fields show the sample again; the message says what was wrong
        throw;
    }
    if (SameSample(s, before)) return;
    // Sizes follow the parameters at once; the decay analyses would need a
    // new run for another kind of data.
    presenter_.setSample(s);
    const bool results = m().Contin() || m().Discrete() || m().Cumulants();
    if (results && (s.dataKind != before.dataKind || s.baselineMode != before.baselineMode))
        host_.status()->showMessage(tr("Rodzaj danych zmieniony: wyniki na ekranie pochodzą z poprzedniego; uruchom analizy ponownie"));
}

void SamplePage::solventChosen()
{
    const physics::Solvent solvent = kSolvents[std::clamp(ComboSolvent->currentIndex(), 0, 3)];
    if (solvent != physics::Solvent::Custom) {
        double t = 0.0;
        try {
            t = StrToFloat(EditTemperature->text().toStdString(), DecimalSeparator());
        } catch (...) {
            showSample();
            throw;
        }
        const Outcome<physics::SolventProperties> p = physics::SolventAt(solvent, t);
        if (!p) {
            showSample();  // the fields and the preset list show the sample again
            throw Error(FailureText(p.failure()).toStdString());
        }
        EditViscosity->setText(FieldNumber(p->viscosityCp));
        EditRefractive->setText(FieldNumber(p->refractiveIndex));
    }
    sampleEdited();
}

void SamplePage::dataKindChosen()
{
    sampleEdited();
    // A correlator file states its own kind and unit: only a choice made for
    // a text file (or before any file) is kept for the next text file.
    if (m().File().format == io::FileFormat::Alv && m().PointCount() > 0) return;
    textKind_ = m().Sample().dataKind;
    textBaseline_ = m().Sample().baselineMode;
    textUnit_ = m().Sample().timeUnit;
}

void SamplePage::chooseDataKind(DataKind kind)
{
    ComboDataKind->setCurrentIndex(IndexOf(kKinds, kind));
    dataKindChosen();
}

SampleParameters SamplePage::loadDefaults() const
{
    SampleParameters s = m().Sample();
    s.dataKind = textKind_;
    s.baselineMode = textBaseline_;
    s.baseline = 1.0;
    s.timeUnit = textUnit_;
    return s;
}

void SamplePage::saveSettings(QSettings& settings) const
{
    // The sample on show, and the kind of data last chosen for text files.
    const SampleParameters& p = m().Sample();
    for (const auto& [key, value] : {std::pair{"sample/wavelength", p.wavelengthNm}, {"sample/angle", p.angleDeg},
                                     {"sample/temperature", p.temperatureK}, {"sample/viscosity", p.viscosityCp},
                                     {"sample/refractiveIndex", p.refractiveIndex}})
        settings.setValue(QString::fromLatin1(key), value);
    settings.setValue(QStringLiteral("sample/textDataKind"), static_cast<int>(textKind_));
    settings.setValue(QStringLiteral("sample/textBaseline"), static_cast<int>(textBaseline_));
    settings.setValue(QStringLiteral("sample/textTimeUnit"), static_cast<int>(textUnit_));
}

void SamplePage::restoreSettings(const QSettings& settings)
{
    SampleParameters p = m().Sample();
    for (auto [key, value] : {std::pair{"sample/wavelength", &p.wavelengthNm}, {"sample/angle", &p.angleDeg},
                              {"sample/temperature", &p.temperatureK}, {"sample/viscosity", &p.viscosityCp},
                              {"sample/refractiveIndex", &p.refractiveIndex}}) {
        bool ok = false;
        const double v = settings.value(QString::fromLatin1(key)).toDouble(&ok);
        if (ok && std::isfinite(v)) *value = v;
    }
    auto choice = [&settings](const char* key, int current, int count) {
        const int v = settings.value(QString::fromLatin1(key), current).toInt();
        return v >= 0 && v < count ? v : current;
    };
    textKind_ = static_cast<DataKind>(choice("sample/textDataKind", static_cast<int>(textKind_), 3));
    textBaseline_ = static_cast<BaselineMode>(choice("sample/textBaseline", static_cast<int>(textBaseline_), 2));
    textUnit_ = static_cast<TimeUnit>(choice("sample/textTimeUnit", static_cast<int>(textUnit_), 4));
    p.dataKind = textKind_;
    p.baselineMode = textBaseline_;
    p.timeUnit = textUnit_;
    presenter_.setSample(p);
}

// The correlator's header and count-rate trace, or what a text file held.
void SamplePage::showFile()
{
    const io::DataFile& file = m().File();
    const char sep = DecimalSeparator();
    if (file.countRate.timeS.empty()) chart_->Clear();
    else chart_->Show(file.countRate.timeS, file.countRate.rateKHz);
    QString text;
    if (m().PointCount() == 0) {
        // A record that cannot be analysed says why.
        text = file.refusal ? FailureText(*file.refusal) : QString();
    } else if (const auto& h = file.instrument) {
        QStringList rates;
        for (double r : h->meanCountRateKHz) rates << QString::fromStdString(Readable(r, sep));
        text = QString::fromStdString(h->instrument);
        text += QLatin1Char('\n') + tr("Pomiar: %1 %2").arg(QString::fromStdString(h->date), QString::fromStdString(h->time));
        text += QLatin1Char('\n') + tr("Próbka: %1").arg(QString::fromStdString(h->sampleName));
        text += QLatin1Char('\n') + tr("Tryb: %1").arg(QString::fromStdString(h->mode).trimmed());
        if (h->durationS)
            text += QLatin1Char('\n') + tr("Czas pomiaru: %1 s").arg(QString::fromStdString(Readable(*h->durationS, sep)));
        if (!rates.isEmpty()) text += QLatin1Char('\n') + tr("Średnia szybkość zliczeń: %1 kHz").arg(rates.join(QStringLiteral(" / ")));
    } else {
        text = tr("Plik tekstowy: %1 kolumn liczb, %2 punktów").arg(file.columnCount).arg(m().PointCount());
    }
    LabelInstrument->setText(text);
    showReported();
    showLeftOut();
}

// The first lags the default range leaves out, and every record of the open
// files that was refused, with its reason.
void SamplePage::showLeftOut()
{
    QStringList lines;
    const std::size_t lead = m().File().suggestedFirstPoint;
    if (lead > 0 && m().PointCount() > 0) {
        const QString n = QString::number(lead);
        if (lead == 1) lines << tr("pierwszy punkt pominięty: martwy czas korelatora");
        else if (lead % 10 >= 2 && lead % 10 <= 4 && lead % 100 / 10 != 1) lines << tr("pierwsze %1 punkty pominięte: martwy czas korelatora").arg(n);
        else lines << tr("pierwszych %1 punktów pominiętych: martwy czas korelatora").arg(n);
    }
    QStringList refused;
    for (int k = 0; k < presenter_.count(); ++k)
        if (const auto& why = presenter_.file(k).refusal) refused << tr("%1: %2").arg(presenter_.name(k), FailureText(*why));
    if (!refused.isEmpty()) lines << tr("Rekordy odrzucone (%1):").arg(refused.size()) << refused;
    LabelLeftOut->setText(lines.join(QLatin1Char('\n')));
}

// The file's own z-average, PDI and intercept beside Fluvena's cumulant fit
// of the range (once it ran).
void SamplePage::showReported()
{
    const auto& h = m().File().instrument;
    const bool any = m().PointCount() > 0 && h && (h->reportedZAverageNm || h->reportedPdi || h->reportedIntercept);
    GridReported->setVisible(any);
    if (!any) return;
    const char sep = DecimalSeparator();
    auto number = [sep](const std::optional<double>& v, int decimals) {
        if (!v) return QStringLiteral("–");
        return QString::fromStdString(decimals > 0 ? ReadableFixed(*v, decimals, sep) : Readable(*v, sep));
    };
    std::optional<double> z, pdi, beta;
    if (const CumulantResult* c = m().Cumulants()) {
        pdi = c->fit.pdi;
        beta = c->fit.beta;
        if (const Outcome<physics::ZAverage> size = physics::ZAverageSize(c->fit.gammaMean, 0.0, m().Sample())) z = size->diameterNm;
    }
    SetCell(GridReported, 1, 0, tr("Aparat"));
    SetCell(GridReported, 2, 0, QStringLiteral("Fluvena"));
    const std::tuple<QString, std::optional<double>, std::optional<double>, int> rows[] = {
        {tr("Z-średnia d [nm]"), h->reportedZAverageNm, z, 0},
        {QStringLiteral("PDI"), h->reportedPdi, pdi, 3},
        {tr("Przecięcie β"), h->reportedIntercept, beta, 3}};
    int r = 1;
    for (const auto& [caption, reported, ours, decimals] : rows) {
        SetCell(GridReported, 0, r, caption);
        SetCell(GridReported, 1, r, number(reported, decimals));
        SetCell(GridReported, 2, r, number(ours, decimals));
        ++r;
    }
    GridReported->setToolTip(m().Cumulants() ? QString() : tr("Wyniki Fluveny po uruchomieniu kumulantów"));
    GridReported->resizeColumnsToContents();
}

}  // namespace fluvena::ui
