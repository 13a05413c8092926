// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/Dossiers.h"

#include "common/Error.h"
#include "db/DataSet.h"

namespace tilvo {

namespace {

const QString kId = QStringLiteral("ID");
const QString kName = QStringLiteral("LoginName");
const QString kPassword = QStringLiteral("LoginPassword");

// Closes the dataset when the operation ends, whatever the way; an unposted row goes with it.
class ClosedAfterwards
{
public:
    explicit ClosedAfterwards(DataSet& set) : m_set(set) {}
    ~ClosedAfterwards() { m_set.close(); }
    Q_DISABLE_COPY_MOVE(ClosedAfterwards)

private:
    DataSet& m_set;
};

DossierRef CurrentDossier(DataSet& mainFile)
{
    return DossierRef{mainFile.fieldByName(kId).asInteger(), mainFile.fieldByName(kName).asText()};
}

Error NoSuchDossier()
{
    return Error(QStringLiteral("Ce dossier n'existe plus : il a sans doute été supprimé."));
}

} // namespace

QList<DossierRef> ListDossiers(DataSet& mainFile)
{
    mainFile.open();
    const ClosedAfterwards closing(mainFile);
    QList<DossierRef> dossiers;
    for (mainFile.first(); !mainFile.eof(); mainFile.next())
        dossiers.append(CurrentDossier(mainFile));
    return dossiers;
}

bool AnyDossier(DataSet& mainFile)
{
    mainFile.open();
    const ClosedAfterwards closing(mainFile);
    return !mainFile.isEmpty();
}

std::optional<DossierRef> FirstDossierForStartup(DataSet& mainFile)
{
    mainFile.open();
    const ClosedAfterwards closing(mainFile);
    if (mainFile.isEmpty() || !mainFile.fieldByName(kPassword).asText().isEmpty())
        return std::nullopt;
    return CurrentDossier(mainFile);
}

QString ReadDossierPassword(DataSet& mainFile, qint64 id)
{
    const QStringList statement = mainFile.sql();
    QStringList withRow = statement;
    withRow.append(QStringLiteral("WHERE Id=") + QString::number(id));
    mainFile.setSql(withRow);
    struct Restore
    {
        DataSet& set;
        const QStringList& statement;
        ~Restore() { set.setSql(statement); }
    } restore{mainFile, statement};
    mainFile.open();
    if (mainFile.isEmpty())
        throw NoSuchDossier();
    return mainFile.fieldByName(kPassword).asText();
}

bool PasswordMatches(const QString& stored, const QString& typed)
{
    return stored == typed;
}

std::optional<DossierRef> CreateDossier(DataSet& mainFile, const std::function<bool()>& runDialog)
{
    mainFile.open();
    const ClosedAfterwards closing(mainFile);
    mainFile.append();
    if (!runDialog() || mainFile.state() != DataSetState::Browsing)
        return std::nullopt;
    return CurrentDossier(mainFile);
}

bool EditDossier(DataSet& mainFile, qint64 id, const std::function<bool()>& runDialog)
{
    mainFile.open();
    const ClosedAfterwards closing(mainFile);
    if (!mainFile.locate(kId, id))
        throw NoSuchDossier();
    mainFile.edit();
    return runDialog() && mainFile.state() == DataSetState::Browsing;
}

} // namespace tilvo
