#include "ui/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace fluvena::ui {

namespace {

// The core's failure patterns that reach the window. The core writes them in
// English and knows nothing of translations; listing them here lets the
// translation tools collect them under the context "Core". A pattern missing
// here is shown in English.
[[maybe_unused]] const char* const kCorePatterns[] = {
    QT_TRANSLATE_NOOP("Core", "no data are loaded"),
    QT_TRANSLATE_NOOP("Core", "the range is reversed: its first point (%1) lies after its last point (%2)"),
    QT_TRANSLATE_NOOP("Core", "too few points in the range (%1; %2 needs at least %3)"),
    QT_TRANSLATE_NOOP("Core", "CONTIN rejected the deck: %1"),
    QT_TRANSLATE_NOOP("Core", "DISCRETE rejected the deck: %1"),
    QT_TRANSLATE_NOOP("Core", "DISCRETE gives no solution: %1"),
    QT_TRANSLATE_NOOP("Core", "NG = %1 does not fit the deck's field for the number of grid points (%2 ... %3)"),
    QT_TRANSLATE_NOOP("Core", "incomplete listing: %1"),
    // Reading data files.
    QT_TRANSLATE_NOOP("Core", "the file holds no data"),
    QT_TRANSLATE_NOOP("Core", "the file is too large (%1 bytes)"),
    QT_TRANSLATE_NOOP("Core", "the file has too many lines"),
    QT_TRANSLATE_NOOP("Core", "line %1: '%2' is not a number"),
    QT_TRANSLATE_NOOP("Core", "line %1: '%2' is beyond the range of numbers"),
    QT_TRANSLATE_NOOP("Core", "line %1: '%2' is not a whole number"),
    QT_TRANSLATE_NOOP("Core", "line %1: the time %2 is negative"),
    QT_TRANSLATE_NOOP("Core", "line %1: the time %2 is not greater than the time before it (%3)"),
    QT_TRANSLATE_NOOP("Core", "line %1: a blank line among the data"),
    QT_TRANSLATE_NOOP("Core", "line %1: column %2 is empty"),
    QT_TRANSLATE_NOOP("Core", "line %1: there is no column %2"),
    QT_TRANSLATE_NOOP("Core", "line %1: a single number where a time and a value are needed"),
    QT_TRANSLATE_NOOP("Core", "line %1: %2 columns where the block's first row has %3"),
    QT_TRANSLATE_NOOP("Core", "line %1: a second \"%2\" block"),
    QT_TRANSLATE_NOOP("Core", "the file holds no \"Correlation\" block"),
    QT_TRANSLATE_NOOP("Core", "line %1: the \"Correlation\" block holds no rows"),
    QT_TRANSLATE_NOOP("Core", "line %1: the mode '%2' names channel %3, which the \"Correlation\" block lacks"),
    QT_TRANSLATE_NOOP("Core", "line %1: the \"Correlation\" block holds only zeros in the channels the mode '%2' names"),
    QT_TRANSLATE_NOOP("Core", "line %1: the \"Count Rate\" block lacks channel %2"),
    // Instrument exports (Zetasizer, LS Instruments) and the reason for leaving out a correlator's first lags.
    QT_TRANSLATE_NOOP("Core", "record %1 ('%2') holds distributions only, no correlogram"),
    QT_TRANSLATE_NOOP("Core", "line %1: this is not the header row of a Zetasizer export (it names no \"Sample Name\" and no \"Correlation Data[k]\" column)"),
    QT_TRANSLATE_NOOP("Core", "line %1: %2 fields where the header row (line %3) names %4 columns"),
    QT_TRANSLATE_NOOP("Core", "the tables of line %1 and line %2 hold different numbers of records (%3 and %4)"),
    QT_TRANSLATE_NOOP("Core", "line %1: the header row is followed by no record"),
    QT_TRANSLATE_NOOP("Core", "line %1: the column '%2' is not in microseconds (\"Correlation Delay Times[k] (µs)\")"),
    QT_TRANSLATE_NOOP("Core", "line %1: the column '%2' has no partner '%3'"),
    QT_TRANSLATE_NOOP("Core", "line %1: record %2 has the %3 '%4' here but '%5' on line %6: the tables do not hold the same records in the same order"),
    QT_TRANSLATE_NOOP("Core", "line %1: record %2 has no value in the column '%3' beside the other column of point %4"),
    QT_TRANSLATE_NOOP("Core", "the file holds no \"Lag time (s)\" block"),
    QT_TRANSLATE_NOOP("Core", "line %1: the \"Lag time (s)\" block holds no rows"),
    QT_TRANSLATE_NOOP("Core", "line %1: the \"Lag time (s)\" block has %2 columns where a lag time and g2-1 are needed"),
    QT_TRANSLATE_NOOP("Core", "line %1: '%2' needs one number"),
    QT_TRANSLATE_NOOP("Core", "line %1: '%2' needs two numbers"),
    QT_TRANSLATE_NOOP("Core", "the correlator's dead time"),
    // Damaged files, header values no measurement can have, several detectors.
    QT_TRANSLATE_NOOP("Core", "column %1 cannot be chosen: columns count from 1"),
    QT_TRANSLATE_NOOP("Core", "line %1: %2 columns where the data rows before it (from line %3) have %4"),
    QT_TRANSLATE_NOOP("Core", "line %1: '%2' gives %3, not strictly between %4 and %5"),
    QT_TRANSLATE_NOOP("Core", "line %1: '%2' gives %3, outside %4 ... %5"),
    QT_TRANSLATE_NOOP("Core", "line %1: a blank line inside the \"%2\" block"),
    QT_TRANSLATE_NOOP("Core", "line %1: a second angle of detector %2"),
    QT_TRANSLATE_NOOP("Core", "line %1: the \"Correlation\" block has %2 columns of values, but the header gives "
                              "the angles of %3 detectors: the columns cannot be matched to the angles"),
    QT_TRANSLATE_NOOP("Core", "line %1: the \"Correlation\" block holds only zeros"),
    QT_TRANSLATE_NOOP("Core", "line %1: the \"Count Rate\" block has %2 columns of rates, but the header gives "
                              "the angles of %3 detectors: the columns cannot be matched to the detectors"),
    QT_TRANSLATE_NOOP("Core", "line %1: the detector angles are not numbered 1 to %2"),
    QT_TRANSLATE_NOOP("Core", "line %1: the file ends before its \"Count Rate\" block: it is cut short"),
    QT_TRANSLATE_NOOP("Core", "line %1: the file ends inside the \"Correlation\" block: it is cut short"),
    QT_TRANSLATE_NOOP("Core", "line %1: the file ends inside the \"Count Rate\" block: it is cut short"),
    QT_TRANSLATE_NOOP("Core", "line %1: the file ends inside this line: it is cut short"),
    QT_TRANSLATE_NOOP("Core", "the file holds the measurements of %1 detectors, which are read as separate "
                              "measurements"),
    // Sample values typed or read outside what a measurement can be.
    QT_TRANSLATE_NOOP("Core", "the refractive index must lie from 1.0 to 3.0, not %1"),
    QT_TRANSLATE_NOOP("Core", "the scattering angle must lie strictly between 0 and 180 degrees, not %1"),
    QT_TRANSLATE_NOOP("Core", "the temperature must lie from 200 to 500 K, not %1"),
    QT_TRANSLATE_NOOP("Core", "the viscosity must lie from 0.01 to 10000 cP, not %1"),
    QT_TRANSLATE_NOOP("Core", "the wavelength must lie from 100 to 2000 nm, not %1"),
    // Why a file is not read at all (added to "Cannot open file %s").
    QT_TRANSLATE_NOOP("Core", "it is a directory"),
    QT_TRANSLATE_NOOP("Core", "it is not a regular file"),
    QT_TRANSLATE_NOOP("Core", "it is larger than %1 MB"),
    // g2 data and the cumulant fit.
    QT_TRANSLATE_NOOP("Core", "the coherence factor beta cannot be found from the cumulant fit: %1"),
    QT_TRANSLATE_NOOP("Core", "point %1 of the correlation is not a number"),
    QT_TRANSLATE_NOOP("Core", "point %1 of the correlation is out of range after the conversion"),
    QT_TRANSLATE_NOOP("Core", "a baseline needs at least one point"),
    QT_TRANSLATE_NOOP("Core", "the baseline must be a number, not %1"),
    QT_TRANSLATE_NOOP("Core", "the coherence factor beta must be a positive number, not %1: the Siegert relation cannot give g1"),
    QT_TRANSLATE_NOOP("Core", "no decay: the correlation starts at %1 and ends at %2, which is not clearly apart for a point scatter of %3"),
    QT_TRANSLATE_NOOP("Core", "the lag times of the fit range are too few distinct values to fit %1 cumulants"),
    QT_TRANSLATE_NOOP("Core", "the non-linear fit did not converge in %1 iterations"),
    QT_TRANSLATE_NOOP("Core", "%1 lag times for %2 correlation values"),
    QT_TRANSLATE_NOOP("Core", "the cumulant order must be 2 or 3, not %1"),
    QT_TRANSLATE_NOOP("Core", "point %1 is not a number"),
    QT_TRANSLATE_NOOP("Core", "the lag times must be at least 0 and increase from point to point, point %1 does not"),
    QT_TRANSLATE_NOOP("Core", "the fit range from point %1 to %2 does not lie within the %3 points"),
    QT_TRANSLATE_NOOP("Core", "the error of a decay rate must be zero or positive, not %1"),
    QT_TRANSLATE_NOOP("Core", "a measurement in the fit has no positive scattering vector or mean rate"),
    QT_TRANSLATE_NOOP("Core", "the fit over q² needs at least two included measurements"),
    QT_TRANSLATE_NOOP("Core", "the fit over q² needs measurements at two angles at least"),
    QT_TRANSLATE_NOOP("Core", "the cut-off must lie from 0 up to, not including, 1, not %1"),
    QT_TRANSLATE_NOOP("Core", "only %1 points: a cumulant fit needs at least %2"),
    QT_TRANSLATE_NOOP("Core", "only %1 usable points from point %2 to %3: a cumulant fit needs at least %4"),
    QT_TRANSLATE_NOOP("Core", "the first point already lies below the cut-off: no range to fit"),
    QT_TRANSLATE_NOOP("Core", "the fitted mean decay rate is %1 1/s: the data show no decay in the fit range"),
    QT_TRANSLATE_NOOP("Core", "the correlation stays above the cut-off: the range runs to the last point"),
    // Data that look like another kind than their sample states.
    QT_TRANSLATE_NOOP("Core", "the intercept %1 lies above %2 and the correlation settles at %3: g2 data with their "
                              "baseline, not g2 - 1"),
    QT_TRANSLATE_NOOP("Core", "the intercept %1 lies above %2, which g2 - 1 data (beta g1^2, beta at most 1) cannot "
                              "reach: a decay of another kind (g1)"),
    QT_TRANSLATE_NOOP("Core", "the intercept %1 is 1 within %2: g1 data start at 1, g2 - 1 data at the coherence "
                              "factor beta, below 1"),
    QT_TRANSLATE_NOOP("Core", "the correlation settles at %1, not at 0: g2 data with their baseline, not g1"),
    QT_TRANSLATE_NOOP("Core", "the g1 intercept %1 lies far below 1: g2 - 1 data, which start at the coherence factor "
                              "beta"),
    QT_TRANSLATE_NOOP("Core", "the correlation settles at %1, not at a baseline near 1: these are not g2 data"),
    // Sizes.
    QT_TRANSLATE_NOOP("Core", "the wavelength must be a positive number of nm, not %1"),
    QT_TRANSLATE_NOOP("Core", "the refractive index must be positive, not %1"),
    QT_TRANSLATE_NOOP("Core", "the scattering angle must lie above 0 and at most 180 degrees, not %1"),
    QT_TRANSLATE_NOOP("Core", "a size needs a positive decay rate, not %1"),
    QT_TRANSLATE_NOOP("Core", "no size can be given for the decay rate %1 1/s: the result lies beyond the range of "
                              "numbers"),
    QT_TRANSLATE_NOOP("Core", "a component of rate %1 has no decay time, so no size"),
    QT_TRANSLATE_NOOP("Core", "a size needs a positive decay time, not %1"),
    QT_TRANSLATE_NOOP("Core", "the temperature must be a positive number of K, not %1"),
    QT_TRANSLATE_NOOP("Core", "the viscosity must be a positive number of cP, not %1"),
    QT_TRANSLATE_NOOP("Core", "the viscosity of water is known here from 273.15 to 373.15 K, not at %1 K"),
    QT_TRANSLATE_NOOP("Core", "a custom solvent has no preset values: enter its viscosity and refractive index"),
};

const QString kTranslatorName = QStringLiteral("fluvenaTranslator");
Language current = Language::Polish;

void Install(const QString& file, const QString& directory)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    translator->setObjectName(kTranslatorName);
    if (translator->load(file, directory)) QCoreApplication::installTranslator(translator);
    else delete translator;
}

}  // namespace

Language ChooseLanguage(const QString& chosen, const QLocale& system)
{
    if (chosen == QLatin1String("pl")) return Language::Polish;
    if (chosen == QLatin1String("en")) return Language::English;
    return system.language() == QLocale::Polish ? Language::Polish : Language::English;
}

QString LanguageCode(Language language)
{
    return language == Language::Polish ? QStringLiteral("pl") : QStringLiteral("en");
}

void UseLanguage(Language language)
{
    QCoreApplication* app = QCoreApplication::instance();
    for (auto* t : app->findChildren<QTranslator*>(kTranslatorName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    current = language;
    const QString code = LanguageCode(language);
    Install(QStringLiteral("fluvena_") + code, QStringLiteral(":/i18n"));
    // The standard dialogs' buttons; English needs none.
    if (language == Language::Polish)
        Install(QStringLiteral("qtbase_pl"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

Language CurrentLanguage() { return current; }

QString FailureText(const Failure& failure)
{
    const QString pattern = QCoreApplication::translate("Core", failure.pattern.c_str());
    // One pass, as the core fills its own patterns: an argument that holds
    // "%2" stays as it is.
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('%') && i + 1 < pattern.size() && pattern[i + 1] >= QLatin1Char('1') &&
            pattern[i + 1] <= QLatin1Char('9')) {
            const auto k = static_cast<std::size_t>(pattern[i + 1].unicode() - '1');
            if (k < failure.args.size()) {
                out += QString::fromStdString(failure.args[k]);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

QString ErrorText(const char* what)
{
    // The file error's own words stay; the reason added to them is ours.
    static const QRegularExpression reason(QStringLiteral("^(Cannot open file .*) \\((it is a directory|it is not a regular "
                                                          "file|it is larger than (\\d+) MB)\\)$"),
                                           QRegularExpression::DotMatchesEverythingOption);
    const QString text = QString::fromUtf8(what);
    const QRegularExpressionMatch m = reason.match(text);
    if (!m.hasMatch()) return text;
    const QString why = m.captured(3).isEmpty()
                            ? QCoreApplication::translate("Core", m.captured(2).toUtf8().constData())
                            : QCoreApplication::translate("Core", "it is larger than %1 MB").arg(m.captured(3));
    return m.captured(1) + QStringLiteral(" (") + why + QLatin1Char(')');
}

}  // namespace fluvena::ui
