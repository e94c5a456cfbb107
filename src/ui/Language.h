#pragma once
// The window's language: Polish, the language the window is written in, or
// English. Files (decks, logs, exports) never change with it.
#include "base/Outcome.h"

#include <QString>

class QLocale;

namespace fluvena::ui {

enum class Language { Polish, English };

// The language to start in: the one last chosen in the menu ("pl" or "en"),
// else Polish on a Polish system and English on any other.
Language ChooseLanguage(const QString& chosen, const QLocale& system);
QString LanguageCode(Language language);

// Installs the translations of `language` (the window's texts, the core's
// failures and Qt's own dialogs); the windows retranslate themselves when
// the change event reaches them.
void UseLanguage(Language language);
Language CurrentLanguage();

// A failure of the core in the window's language: the English pattern is
// looked up in the translations, then the arguments are filled in.
QString FailureText(const Failure& failure);

// An error's message in the window's language: the file errors' own words
// ("Cannot open file %s") as they are, the reason Fluvena adds to them
// (a directory, not a regular file, too large) translated.
QString ErrorText(const char* what);

}  // namespace fluvena::ui
