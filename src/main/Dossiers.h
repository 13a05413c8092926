// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace tilvo {

class DataSet;

// A dossier as the dossier list shows it.
struct DossierRef
{
    qint64 id = -1;
    QString name; // PROFILES.LoginName

    bool operator==(const DossierRef&) const = default;
};

// The rules of dossier access, over the dossier dataset `MainFile`. Each opens the dataset for
// its own use and leaves it closed, also when it throws.

// Every dossier, in the order the engine returns them.
QList<DossierRef> ListDossiers(DataSet& mainFile);
// Whether the dossier table holds any dossier. Throws Error when it cannot be read.
bool AnyDossier(DataSet& mainFile);
// The dossier that opens by itself at start-up: the first one the engine returns, and only
// when it has no password (the rows after it are not looked at). Throws Error when the
// dossier table cannot be read.
std::optional<DossierRef> FirstDossierForStartup(DataSet& mainFile);

// The stored password of dossier `id`, read with the line "WHERE Id=" + id added to the
// dataset's statement for the read; the statement is given back as it was. Throws Error when
// there is no such dossier.
QString ReadDossierPassword(DataSet& mainFile, qint64 id);
// Passwords compare as stored: exactly, letter case included.
bool PasswordMatches(const QString& stored, const QString& typed);

// Appends a new dossier row and runs the dossier dialog on it; the dialog posts the row on
// " &Ok" and returns whether it did. The new dossier when it was posted; nothing was written
// otherwise.
std::optional<DossierRef> CreateDossier(DataSet& mainFile, const std::function<bool()>& runDialog);
// Puts the row of dossier `id` into editing and runs the dossier dialog on it; returns whether
// it was confirmed. An unposted change is dropped. Throws Error, changing nothing, when there
// is no such dossier.
bool EditDossier(DataSet& mainFile, qint64 id, const std::function<bool()>& runDialog);

} // namespace tilvo
