// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FileHelpers.h"
#include "db/DataSet.h"
#include "db/DbTestSupport.h"
#include "images/BmpFile.h"
#include "images/Picture.h"
#include "publish/ReportData.h"
#include "stats/BucketTable.h"
#include "stats/ComputeStatistic.h"
#include "stats/StatisticFormats.h"
#include "stats/StatisticState.h"

#include <QDate>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSqlQuery>
#include <QVariant>
#include <optional>

namespace tilvo::test {

// One account as the tests write it through a dataset, the way the program does.
struct AccountRow
{
    QString title;
    QString description;
    QString unit;
    int decimals = 0;
    double counter = 0;
    QDate created;
    QByteArray thumbnail; // a BMP file, or nothing
};

struct EntryRow
{
    QDate date;
    std::optional<double> quantity;
    std::optional<double> amount;
    QString comment;
};

inline qint64 AddAccount(Connection& c, const AccountRow& a, int dossier = 1)
{
    DataSet set(c);
    set.setSqlText(QStringLiteral("SELECT * FROM ACCOUNT WHERE Id=-1"));
    set.open();
    set.append();
    set.fieldByName("Id_File").setInteger(dossier);
    set.fieldByName("Title").setText(a.title);
    set.fieldByName("Description").setText(a.description);
    set.fieldByName("Unit").setText(a.unit);
    set.fieldByName("Decimal").setInteger(a.decimals);
    set.fieldByName("Count").setDouble(a.counter);
    if (a.created.isValid())
        set.fieldByName("CreateDate").setDate(a.created);
    if (!a.thumbnail.isEmpty())
        set.fieldByName("ImgMini1").setBytes(a.thumbnail);
    set.post();
    return set.fieldByName("Id").asInteger();
}

inline void AddEntry(Connection& c, qint64 account, const EntryRow& e, int dossier = 1)
{
    DataSet set(c);
    set.setSqlText(QStringLiteral("SELECT * FROM CONSUMPTION WHERE Id=-1"));
    set.open();
    set.append();
    set.fieldByName("Id_File").setInteger(dossier);
    set.fieldByName("Id_Account").setInteger(account);
    set.fieldByName("DateAction").setDate(e.date);
    if (e.quantity)
        set.fieldByName("Quantity").setDouble(*e.quantity);
    if (e.amount)
        set.fieldByName("Price").setDouble(*e.amount);
    if (!e.comment.isEmpty())
        set.fieldByName("Description").setText(e.comment);
    set.post();
}

// The small account of the golden pages: "Eau", two decimals, four entries in 2008 (one without
// amount, one with an accented comment), and another account whose entries must not show.
inline qint64 AddSmallAccount(Connection& c)
{
    const qint64 id = AddAccount(c, {QStringLiteral("Eau"),
                                     QStringLiteral("Compteur de la cuisine"),
                                     QStringLiteral("m3"),
                                     2,
                                     123.456,
                                     QDate(2008, 1, 15),
                                     {}});
    AddEntry(c, id, {QDate(2008, 2, 1), 1.5, 2, QString()});
    AddEntry(c, id, {QDate(2008, 2, 5), 4, 3.25, QStringLiteral("Relevé d'hiver : 12 € de plus")});
    AddEntry(c, id, {QDate(2008, 2, 10), 2, std::nullopt, QStringLiteral("Sans montant")});
    AddEntry(c, id, {QDate(2008, 3, 1), 3.456, 9, QStringLiteral("Fin")});
    const qint64 other = AddAccount(
        c, {QStringLiteral("Gaz"), QString(), QStringLiteral("kWh"), 0, 0, QDate(2008, 1, 1), {}});
    AddEntry(c, other, {QDate(2008, 2, 3), 100, 50, QStringLiteral("Autre compte")});
    return id;
}

// The statistics panel as the program leaves it for that account: the year 2008 of its
// quantities in bars, computed on the database.
inline StatisticState SmallAccountState(DataSet& query, BucketTable& buckets, qint64 account)
{
    StatisticState state;
    state.PeriodKind = kPeriodYear;
    state.Year = 2008;
    state.ValueKind = kValueQuantity;
    state.ChartKind = kChartBars;
    state.SavedChartKind = kChartBars;
    state.QuantityFormat = QuantityFormatFor(2, QStringLiteral("m3"));
    state.MoneyFormat = MoneyFormatFor(QStringLiteral("€"));
    ComputeStatistic(state, buckets, query, 1, account, true);
    return state;
}

// `count` entries of the account, one a day from 01/01/2000, quantity 1.5 and amount 2.25 each,
// written in one transaction straight into the table.
inline void AddManyEntries(Connection& c, qint64 account, int count)
{
    Transaction t(c);
    QSqlQuery q(c.database());
    q.prepare(QStringLiteral("INSERT INTO CONSUMPTION (Id_File, Id_Account, DateAction, Quantity, "
                             "Price, Description) VALUES (1, ?, ?, 1.5, 2.25, ?)"));
    const QDate first(2000, 1, 1);
    for (int i = 0; i < count; ++i) {
        q.addBindValue(account);
        q.addBindValue(first.addDays(i).toString(QStringLiteral("yyyy-MM-dd")));
        q.addBindValue(QStringLiteral("Relevé n° %1").arg(i + 1));
        q.exec();
    }
    q.finish();
    t.commit();
}

// Report rows held in memory: a day, a quantity, an amount, a comment and the decimals.
class Rows final : public ReportData
{
public:
    QStringList columns{"Day", "Quantity", "Price", "Comment", "Decimals"};
    QList<QVariantList> rows;
    bool opened = false;

    void open() override { opened = true; }
    int rowCount() const override { return int(rows.size()); }
    int columnIndex(const QString& name) const override
    {
        for (int i = 0; i < columns.size(); ++i) {
            if (columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    QString text(int row, int column) const override { return rows.at(row).at(column).toString(); }
    double number(int row, int column) const override { return rows.at(row).at(column).toDouble(); }
};

// A picture that stands for the main window's silhouette.
inline QImage TestSilhouette()
{
    QImage image(35, 35, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setBrush(Qt::gray);
    p.setPen(Qt::NoPen);
    p.drawEllipse(10, 4, 15, 15);
    p.drawRect(6, 21, 23, 14);
    return image;
}

// A thumbnail as the account dialog stores it: a 70 × 70 BMP.
inline QByteArray TestThumbnail()
{
    Picture picture(70, 70);
    picture.fill(0, 0, 255);
    return EncodeBmp(picture);
}

inline QString TestDataFolder()
{
    return qEnvironmentVariable("TILVO_TEST_DATA") + QStringLiteral("/publish/");
}

inline QString ShippedReportsFolder()
{
    return SourceFolder() + QStringLiteral("shipped/Reports/");
}

// What a command-line tool prints; the test fails when it does not run.
inline QString ToolOutput(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        QTest::qFail(qPrintable(program + QStringLiteral(" failed: ") +
                                QString::fromLocal8Bit(tool.readAllStandardError())),
                     __FILE__, __LINE__);
        return QString();
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The number of pages of a PDF file, as pdfinfo reads it.
inline int PdfPageCount(const QString& pdf)
{
    const QString info = ToolOutput(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : info.split(u'\n')) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

inline QString PdfText(const QString& pdf, int firstPage = 0, int lastPage = 0)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (firstPage > 0)
        arguments << QStringLiteral("-f") << QString::number(firstPage);
    if (lastPage > 0)
        arguments << QStringLiteral("-l") << QString::number(lastPage);
    arguments << pdf << QStringLiteral("-");
    return ToolOutput(QStringLiteral("pdftotext"), arguments);
}

} // namespace tilvo::test
