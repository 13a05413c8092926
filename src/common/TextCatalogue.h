// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QObject;

namespace tilvo {

// Texts fetched by section and key. The catalogue holds no translations, so a lookup gives
// its default text, with every "{CR}" turned into a carriage return.
QString LookupText(const QString& section, const QString& key, const QString& defaultText);

// Windows call this once when they are created, with their section in square brackets
// ("[SelectDate]"); with no translations it leaves the window as it is.
void TranslateForm(QObject* window, const QString& section);

// "laDefault" 0, "laEnglish" 1, "laGerman" 2, "laFrench" 3, "laItalian" 4, "laSpanish" 5;
// any other name 1.
int LanguageCode(const QString& name);

} // namespace tilvo
