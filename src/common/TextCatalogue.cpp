// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextCatalogue.h"

#include <array>
#include <utility>

namespace tilvo {

QString LookupText(const QString& section, const QString& key, const QString& defaultText)
{
    Q_UNUSED(section);
    Q_UNUSED(key);
    QString text = defaultText;
    text.replace(QLatin1String("{CR}"), QLatin1String("\r"));
    return text;
}

void TranslateForm(QObject* window, const QString& section)
{
    Q_UNUSED(window);
    Q_UNUSED(section);
}

int LanguageCode(const QString& name)
{
    static constexpr std::array<std::pair<const char*, int>, 6> kCodes = {{
        {"laDefault", 0},
        {"laEnglish", 1},
        {"laGerman", 2},
        {"laFrench", 3},
        {"laItalian", 4},
        {"laSpanish", 5},
    }};
    for (const auto& [text, code] : kCodes) {
        if (name == QLatin1String(text))
            return code;
    }
    return 1;
}

} // namespace tilvo
