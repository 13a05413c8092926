// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/EngineMessage.h"

namespace tilvo {

QString ExplainEngineText(const QString& engineText)
{
    // The engine's texts, as SQLite writes them through both providers, most specific first.
    static const struct
    {
        const char* engine;
        const char* french;
    } kSentences[] = {
        {"file is not a database",
         "Ce fichier n'est pas une base de données, ou son début est endommagé."},
        {"malformed", "La base de données est endommagée."},
        {"database is locked", "La base de données est utilisée par un autre programme."},
        {"database table is locked", "La base de données est utilisée par un autre programme."},
        {"readonly database", "La base de données est en lecture seule."},
        {"database or disk is full", "Le disque est plein."},
        {"unable to open database file", "Le fichier de la base de données ne peut pas être "
                                         "ouvert."},
        {"disk I/O error", "Le disque n'a pas pu être lu ou écrit."},
    };
    for (const auto& s : kSentences) {
        if (engineText.contains(QLatin1String(s.engine), Qt::CaseInsensitive))
            return QString::fromUtf8(s.french) + QStringLiteral(" (moteur : ") + engineText + u')';
    }
    return engineText;
}

} // namespace tilvo
