// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/RowTable.h"

#include <QTest>
#include <random>

using namespace tilvo;

// The packed rows read back exactly as a plain table of the same edits does.
class TestRowTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesAPlainTable_data();
    void matchesAPlainTable();
};

void TestRowTable::matchesAPlainTable_data()
{
    QTest::addColumn<int>("width");
    for (int w : {1, 3, 63, 64, 65, 130})
        QTest::addRow("%d columns", w) << w;
}

void TestRowTable::matchesAPlainTable()
{
    QFETCH(int, width);
    std::mt19937 random{uint(width)};
    auto makeRow = [&] {
        std::vector<QVariant> row(static_cast<size_t>(width));
        for (QVariant& v : row) {
            switch (random() % 4) {
            case 0:
                break; // null
            case 1:
                v = qint64(random() % 1000);
                break;
            case 2:
                v = QStringLiteral("t%1").arg(random() % 100);
                break;
            default:
                v = double(random() % 100) / 4;
                break;
            }
        }
        return row;
    };
    RowTable table;
    table.reset(size_t(width));
    std::vector<std::vector<QVariant>> plain;
    for (int i = 0; i < 50; ++i) {
        std::vector<QVariant> row = makeRow();
        plain.push_back(row);
        table.appendRow(row);
    }
    for (int step = 0; step < 200; ++step) {
        const size_t at = random() % (plain.size() + 1);
        switch (random() % 4) {
        case 0:
            table.insertRow(at);
            plain.insert(plain.begin() + std::ptrdiff_t(at), std::vector<QVariant>(size_t(width)));
            break;
        case 1:
            if (at < plain.size()) {
                table.eraseRow(at);
                plain.erase(plain.begin() + std::ptrdiff_t(at));
            }
            break;
        default:
            if (at < plain.size()) {
                const std::vector<QVariant> row = makeRow();
                plain[at] = row;
                table.setRow(at, row);
            }
            break;
        }
    }
    QCOMPARE(table.size(), plain.size());
    for (size_t r = 0; r < plain.size(); ++r) {
        for (size_t c = 0; c < size_t(width); ++c)
            QCOMPARE(table.at(r, c), plain[r][c]);
        QCOMPARE(table.row(r), plain[r]);
    }
}

QTEST_APPLESS_MAIN(TestRowTable)
#include "tst_RowTable.moc"
