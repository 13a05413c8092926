// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/UpdateScript.h"

#include <QString>
#include <QStringList>

namespace tilvo {

// What a conversion of a Jet database (TILVO.MDB of the earlier platform) brought over.
struct JetConversionReport
{
    int dossiers = 0;      // rows of PROFILES
    int accounts = 0;      // rows of ACCOUNT
    int entries = 0;       // rows of CONSUMPTION
    QString sourceVersion; // the version record of the Jet file ("0" when it has none)
    // One French sentence per table or column that was not brought over.
    QStringList leftAside;

    // "2 dossiers, 3 comptes et 1000 consommations ont été repris.", followed by what was left
    // aside, one line each.
    QString summary() const;
};

// Whether the file starts as a Jet (Access 97 to 2003) or ACE database does.
bool IsJetDatabaseFile(const QString& path);

// The template database of the program folder the conversions start from:
// ProgramFolder + "Ressources/DB/Data/" + OleDbFileName ("Access/TILVO.MDB" when empty).
QString TemplateDatabaseFile(const UpdateEnvironment& environment);

// Writes the Jet database `source` as a new database of this program into `destination`
// (replaced when present): a copy of the template whose tables take, row by row and keeping
// every Id, the rows of the tables of the same name in the Jet file (dates as "yyyy-mm-dd"
// text, doubles as stored, booleans as 1/0, texts, memos and binary columns as they are). A
// column the template lacks is added when its type has an equivalent, otherwise left aside;
// a table the template lacks is left aside. Then the database is brought up to the program's
// version by ProgramFolder + "Maj/" + UpdateFileName, as after a restore, and checked: it
// opens, passes the integrity check and every copied table holds the rows of the source.
// The Jet file is only read. Throws Error with a French text when the file is no Jet
// database, is damaged or cut short, lacks PROFILES, ACCOUNT or CONSUMPTION, or holds rows
// this program refuses (a text longer than its column, an entry of a missing account, an
// account of a missing dossier); `destination` is then removed.
JetConversionReport ConvertJetDatabase(const QString& source, const QString& destination,
                                       const UpdateEnvironment& environment,
                                       const ProgressLabel& progress = {});

// Puts a converted database file under the live name in one step (ReplaceLiveDatabase). When
// `keepAs` is given, the file under the live name before stays under that name as well (a file
// already there is never replaced: the call then fails). On failure the live file is as it was
// and `converted` is removed.
void InstallConvertedDatabase(const QString& converted, const QString& live,
                              const QString& keepAs = QString());

// `live` + `suffix` ("TILVO.MDB.jet"), or, when a file has that name, the same followed by
// ".2", ".3" ... : a name no file has yet.
QString UnusedName(const QString& live, const QString& suffix);

// The file a conversion is written to before it takes the live name: `live` + ".conversion".
QString ConversionFileName(const QString& live);

// Converts `source` into a file beside `live` and, once it is checked, puts it under the live
// name in one step (ReplaceLiveDatabase). When `keepAs` is given, the file under the live name
// before (the Jet file itself, at start-up) stays under that name as well. On failure, the
// live file is as it was and nothing converted is left beside it. The live file must not be
// open on any connection.
JetConversionReport ImportJetDatabase(const QString& source, const QString& live,
                                      const UpdateEnvironment& environment,
                                      const ProgressLabel& progress = {},
                                      const QString& keepAs = QString());

} // namespace tilvo
