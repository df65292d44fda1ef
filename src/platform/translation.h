#pragma once
// The texts the user sees go through Qt's translation mechanism. With a
// translation installed for the user's language (quillon_<language>.qm) they
// read in it; without one they stay exactly as written here. A changing part
// is a placeholder, %1, %2..., filled in by Arg, so that a translation can put
// it where its language wants it. tools/scripts/update-translations.sh
// gathers every text into translations/quillon.ts.

#include <QString>
#include <QtGlobal>

#include <initializer_list>
#include <string>

namespace quillon {

// text in the user's language; context groups the texts of one place.
std::string Tr(const char *context, const char *text);
QString QTr(const char *context, const char *text);

// pattern with %1, %2... replaced by values, in one pass: a value that holds
// "%2" itself stays as it is.
std::string Arg(const std::string &pattern, std::initializer_list<std::string> values);

// Loads the translation for the user's language from the program's folder
// (translations/) or the installed data folder, where there is one.
void InstallTranslations(const std::string &programDir);

} // namespace quillon
