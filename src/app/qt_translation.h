// Qt's own texts (its file dialogs, standard buttons, edit menus) in the interface language.
#pragma once

#include <QString>

namespace vorn::app {

// The language of the built-in texts.
inline constexpr char kBuiltinLocale[] = "uk";
// INFO key of a language file: the language code of its texts ("uk", "en", "de").
inline constexpr char kLocaleKey[] = "Locale";

// Puts Qt's catalogue for `locale` in place of the previous one, with the program's own texts
// for what that catalogue lacks. True when Qt's own texts now speak that language: English,
// Qt's source language, needs no catalogue.
bool UseQtTranslation(const QString& locale);
// The language last asked for (the built-in one before any).
QString QtTranslationLocale();
// False when no catalogue was found for that language: Qt's texts are then English.
bool QtTextsTranslated();

// The program's text for a Qt text of `context` that Qt's catalogue for `locale` may lack
// (the print dialog's texts newer than the catalogues a distribution ships); empty when it has
// none.
QString QtGapText(const QString& locale, const char* context, const char* source);

} // namespace vorn::app
