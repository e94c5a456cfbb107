#include "ui/Verdict.h"

#include "base/Readable.h"
#include "core/Measurement.h"
#include "ui/Language.h"
#include "ui/TextEdges.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

namespace fluvena::ui {

namespace {

// The quality sentences of the core and the words they fill in, so that the
// translation tools collect them under the context "Core".
[[maybe_unused]] const char* const kQualityPatterns[] = {
    QT_TRANSLATE_NOOP("Core", "only %1 points in the range: a decay needs at least %2 to be judged"),
    QT_TRANSLATE_NOOP("Core", "no decay above the noise: the correlation starts at %1 and ends at %2, for a point scatter of %3"),
    QT_TRANSLATE_NOOP("Core", "the first %1 lags are not correlation values (at or below zero, or far above the lags after "
                              "them): start the range at point %2"),
    QT_TRANSLATE_NOOP("Core", "the correlation has not decayed by the last lag: its tail stands at %1 % of the intercept"),
    QT_TRANSLATE_NOOP("Core", "the tail's mean %1 lies %2 standard errors from the baseline (%3 % of the intercept)"),
    QT_TRANSLATE_NOOP("Core", "the intercept %1 lies above 1: these are not g2 - 1 data (g2 with its baseline of 1, or g1?)"),
    QT_TRANSLATE_NOOP("Core", "the intercept %1 lies below %2: little coherent signal"),
    QT_TRANSLATE_NOOP("Core", "the intercept %1 lies below %2: far below what a correlator reaches (alignment, stray light, "
                              "too many coherence areas)"),
    QT_TRANSLATE_NOOP("Core", "count rate of channel %1: %2 sample(s) far above the median %3 kHz, the highest %4 kHz at %5 s "
                              "(%6 robust deviations): dust?"),
    QT_TRANSLATE_NOOP("Core", "count rate of channel %1 drifts by %2 % from the first third of the run to the last"),
    QT_TRANSLATE_NOOP("Core", "the residuals at the start (rms %1) are %2 times the data's point scatter (%3); runs test z = %4"),
    QT_TRANSLATE_NOOP("Core", "the residuals run in long blocks of one sign (runs test z = %1), within the data's scatter"),
    QT_TRANSLATE_NOOP("Core", "PDI %1 above %2: the cumulant mean is no meaningful size; see the distribution analyses"),
    QT_TRANSLATE_NOOP("Core", "PDI %1 above %2: a broad distribution; CONTIN and DISCRETE say more"),
    QT_TRANSLATE_NOOP("Core", "%1 lies wholly below the first lag time (%2): the data cannot see it"),
    QT_TRANSLATE_NOOP("Core", "%1 lies wholly beyond the last lag time (%2): the data cannot see it"),
    QT_TRANSLATE_NOOP("Core", "peak %1 (%2 % of the intensity) at decay time %3 lies outside the lag times %4 ... %5"),
    QT_TRANSLATE_NOOP("Core", "peak %1 (%2 % of the intensity) reaches the %3 end of the grid (%4): the grid, not the data, "
                              "bounds it"),
    QT_TRANSLATE_NOOP("Core", "component %1 (%2 % of the amplitude) at decay time %3 lies outside the lag times %4 ... %5"),
    QT_TRANSLATE_NOOP("Core", "no size for %1"),
    QT_TRANSLATE_NOOP("Core", "no size is given: %1"),
    QT_TRANSLATE_NOOP("Core", "the first %1 lags are left out of the range: %2"),
    QT_TRANSLATE_NOOP("Core", "the listing doubts that its best solution is best"),
    QT_TRANSLATE_NOOP("Core", "the correlator's dead time"),
    QT_TRANSLATE_NOOP("Core", "lower"),
    QT_TRANSLATE_NOOP("Core", "upper"),
    QT_TRANSLATE_NOOP("Core", "peak %1"),
    QT_TRANSLATE_NOOP("Core", "component %1"),
};

// An argument of a core sentence in the window's language: "peak 2" and
// "component 1" worded, a number (the core writes each number argument alone,
// with a point: physics::NumberArg) with the locale's decimal separator, a
// word or sentence of the core translated, a listing's own sentence as it is.
QString Arg(const std::string& arg)
{
    static const QRegularExpression numbered(QStringLiteral("^(peak|component) (\\d+)$"));
    static const QRegularExpression number(QStringLiteral("^-?\\d+(\\.\\d+)?(e[-+]?\\d+)?$"));
    QString text = QString::fromStdString(arg);
    if (number.match(text).hasMatch()) return text.replace(QLatin1Char('.'), QLatin1Char(DecimalSeparator()));
    if (const auto m = numbered.match(text); m.hasMatch())
        return QCoreApplication::translate("Core", (m.captured(1) + QStringLiteral(" %1")).toUtf8().constData()).arg(m.captured(2));
    return QCoreApplication::translate("Core", arg.c_str());
}

// The pattern translated, its %1 ... %9 filled in one pass.
QString Fill(const std::string& pattern, const std::vector<QString>& args)
{
    const QString p = QCoreApplication::translate("Core", pattern.c_str());
    QString out;
    for (qsizetype i = 0; i < p.size(); ++i) {
        if (p[i] == QLatin1Char('%') && i + 1 < p.size() && p[i + 1] >= QLatin1Char('1') && p[i + 1] <= QLatin1Char('9')) {
            const auto k = static_cast<std::size_t>(p[i + 1].unicode() - '1');
            if (k < args.size()) {
                out += args[k];
                ++i;
                continue;
            }
        }
        out += p[i];
    }
    return out;
}

QString Translated(const Failure& f)
{
    std::vector<QString> args;
    for (const std::string& a : f.args) args.push_back(Arg(a));
    return Fill(f.pattern, args);
}

QString Share(double share) { return QString::fromStdString(Readable(std::round(share * 100.0), DecimalSeparator())) + QStringLiteral(" %"); }
QString Nm(double nm) { return QString::fromStdString(Readable(nm, DecimalSeparator())) + QStringLiteral(" nm"); }

QColor SeverityColour(quality::Severity s)
{
    return s == quality::Severity::Error ? QColor(176, 0, 0) : QColor(176, 84, 0);
}

QStyle::StandardPixmap SeverityIcon(quality::Severity s)
{
    switch (s) {
    case quality::Severity::Note: return QStyle::SP_MessageBoxInformation;
    case quality::Severity::Warning: return QStyle::SP_MessageBoxWarning;
    case quality::Severity::Error: return QStyle::SP_MessageBoxCritical;
    }
    return QStyle::SP_MessageBoxInformation;
}

}  // namespace

QString NoSizeText(const Failure& why) { return Translated(why); }

QString FlagText(const quality::Flag& flag, const std::optional<Headline>& headline, const quality::Report& report)
{
    // A withheld size names its reason, itself a sentence of the core: worded
    // from the reason rather than from its English text.
    if (flag.code == "size-not-given" && !flag.text.args.empty()) {
        const std::string& inner = flag.text.args.front();
        std::optional<Failure> why;
        if (report.noSize && report.noSize->message() == inner) why = report.noSize;
        if (!why && headline)
            for (const HeadlinePart& p : headline->parts)
                if (p.noSize && p.noSize->message() == inner) why = p.noSize;
        if (why) return Fill(flag.text.pattern, {Translated(*why)});
    }
    return Translated(flag.text);
}

QString HeadlineText(const Headline& h)
{
    const char sep = DecimalSeparator();
    const QString dot = QStringLiteral(" · ");
    QStringList parts;
    for (const HeadlinePart& p : h.parts)
        parts << (p.radiusNm ? Verdict::tr("%1 (%2)").arg(Nm(*p.radiusNm), Share(p.share))
                             : Verdict::tr("brak rozmiaru (%1)").arg(Share(p.share)));
    const QString sizes = parts.isEmpty() ? Verdict::tr("brak piku") : parts.join(QStringLiteral(", "));
    QString out;
    switch (h.subject) {
    case quality::Subject::Cumulants:
        out = h.zRadiusNm && h.zDiameterNm ? Verdict::tr("Z-średnia %1 (d %2)").arg(Nm(*h.zRadiusNm), Nm(*h.zDiameterNm))
                                           : Verdict::tr("Z-średnia: brak rozmiaru");
        out += dot + QStringLiteral("PDI ") + QString::fromStdString(ReadableFixed(h.pdi, 2, sep));
        if (h.beta) out += dot + QStringLiteral("β ") + QString::fromStdString(ReadableFixed(*h.beta, 2, sep));
        break;
    case quality::Subject::Contin: out = Verdict::tr("wybrane rozwiązanie %1: %2").arg(h.solution).arg(sizes); break;
    case quality::Subject::Discrete: {
        const std::size_t n = h.parts.size();
        const std::size_t tens = n % 100 / 10, last = n % 10;
        if (n == 1) out = Verdict::tr("1 składowa: %1").arg(sizes);
        else if (tens != 1 && last >= 2 && last <= 4) out = Verdict::tr("%1 składowe: %2").arg(n).arg(sizes);
        else out = Verdict::tr("%1 składowych: %2").arg(n).arg(sizes);
        break;
    }
    }
    if (h.noSize) out += QStringLiteral(" (") + Translated(*h.noSize) + QStringLiteral(")");
    return out;
}

Verdict::Verdict(QWidget* parent, const char* suffix)
{
    headline_ = new QLabel(parent);
    headline_->setObjectName(QStringLiteral("LabelHeadline") + QLatin1String(suffix));
    QFont big = headline_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    headline_->setFont(big);
    headline_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    headline_->setContentsMargins(6, 2, 6, 2);
    auto* area = new QScrollArea(parent);
    area->setObjectName(QStringLiteral("Flags") + QLatin1String(suffix));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setMaximumHeight(64);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* inner = new QWidget(area);
    lines_ = new QVBoxLayout(inner);
    lines_->setContentsMargins(2, 2, 2, 2);
    lines_->setSpacing(2);
    lines_->addStretch(1);
    area->setWidget(inner);
    area->setVisible(false);
    flags_ = area;
}

QStringList Verdict::flagLines() const
{
    QStringList out;
    for (QLabel* l : flags_->findChildren<QLabel*>(QStringLiteral("FlagText"))) out << l->text();
    return out;
}

std::optional<Headline> Verdict::show(const Measurement& m, quality::Subject subject)
{
    while (lines_->count() > 1) {
        QLayoutItem* item = lines_->takeAt(0);
        delete item->widget();
        delete item;
    }
    headline_->clear();
    headline_->setToolTip(QString());
    report_ = {};
    if (m.PointCount() == 0) {
        flags_->setVisible(false);
        return std::nullopt;
    }
    report_ = quality::Assess(m, subject);
    const quality::Report& report = report_;
    const std::optional<Headline> h = MakeHeadline(m, subject, report);
    QWidget* inner = lines_->parentWidget();
    int row = 0;
    for (const quality::Flag& f : report.flags) {
        auto* line = new QWidget(inner);
        line->setObjectName(QStringLiteral("FlagLine"));
        line->setProperty("code", QString::fromStdString(f.code));
        line->setProperty("severity", QString::fromLatin1(quality::SeverityName(f.severity).data(),
                                                          static_cast<qsizetype>(quality::SeverityName(f.severity).size())));
        auto* layout = new QHBoxLayout(line);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* icon = new QLabel(line);
        icon->setObjectName(QStringLiteral("FlagIcon"));
        icon->setPixmap(QApplication::style()->standardIcon(SeverityIcon(f.severity)).pixmap(16, 16));
        icon->setAlignment(Qt::AlignTop);
        auto* text = new QLabel(FlagText(f, h, report), line);
        text->setObjectName(QStringLiteral("FlagText"));
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const QString severity = f.severity == quality::Severity::Error     ? tr("błąd")
                                 : f.severity == quality::Severity::Warning ? tr("ostrzeżenie")
                                                                            : tr("uwaga");
        line->setToolTip(QStringLiteral("%1 (%2): %3").arg(severity, QString::fromStdString(f.code), text->text()));
        text->setToolTip(line->toolTip());
        icon->setToolTip(line->toolTip());
        layout->addWidget(icon, 0, Qt::AlignTop);
        layout->addWidget(text, 1);
        lines_->insertWidget(row++, line);
    }
    flags_->setVisible(row > 0);
    if (!h) return h;
    headline_->setText(HeadlineText(*h));
    const quality::Severity worst = report.Worst();
    QPalette palette = headline_->parentWidget()->palette();
    if (h->warning) palette.setColor(QPalette::WindowText, SeverityColour(worst));
    headline_->setPalette(palette);
    QStringList why;
    for (const quality::Flag& f : report.flags)
        if (f.severity != quality::Severity::Note) why << FlagText(f, h, report);
    headline_->setToolTip(why.join(QLatin1Char('\n')));
    return h;
}

}  // namespace fluvena::ui
