// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/AccountEntry.h"

#include <QAbstractListModel>
#include <QImage>
#include <vector>

namespace tilvo {

class DataSet;

// The account list of the open dossier: one row per account, in the order of the account
// query, each kept as its entry text (ComposeAccountEntry) beside its 35 × 35 thumbnail. The
// list is not bound to a dataset: it is built from one query on the scratch dataset and
// changes only when it is rebuilt or one of its entries is refreshed.
class AccountListModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AccountListModel)

public:
    static constexpr int ThumbnailSize = 35;

    explicit AccountListModel(QObject* parent = nullptr);

    // "SELECT ACCOUNT.Id, ... FROM ACCOUNT WHERE ACCOUNT.Id_File=" + id + " ORDER BY
    // ACCOUNT.Title, ACCOUNT.Description", and the same for one account.
    static QString dossierQuery(qint64 dossierId);
    static QString accountQuery(qint64 accountId);

    // Empties the list, then, for a dossier (id 0 or more), fills it from the dossier query run
    // on `query`, which is closed again. Returns the row of account `selectId`: 0 when it is
    // -1 or not in the list, -1 when the list is empty.
    int rebuild(DataSet& query, qint64 dossierId, qint64 selectId);
    // Builds the entry of one account again in its place, even when its title changed; the
    // list is sorted again only by the next rebuild. Returns its row, -1 when the list does not
    // hold it or the account no longer exists.
    int refresh(DataSet& query, qint64 accountId);
    void clear();

    // The entry text of a row and its fields read back from it.
    QString entryText(int row) const;
    AccountEntry entry(int row) const;
    const QImage& thumbnail(int row) const;
    int rowOf(qint64 accountId) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        QString text;
        AccountEntry entry;
        QImage thumbnail;
    };
    static Row buildRow(DataSet& query);

    std::vector<Row> m_rows;
};

} // namespace tilvo
