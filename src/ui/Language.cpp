#include "ui/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
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
    QT_TRANSLATE_NOOP("Core", "incomplete listing: %1"),
    QT_TRANSLATE_NOOP("Core",
                      "line %1 of the data file cannot be read (a blank line, or no tab between the columns)"),
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

}  // namespace fluvena::ui
