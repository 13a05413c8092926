// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop entry, the AppStream metainfo and the icons that put Tilvo in the desktop's menu
// and software centre: valid for the desktop's own tools, and telling the same story.
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString kAppId = QStringLiteral(TILVO_APP_ID);
const QString kSourceDir = QStringLiteral(TILVO_SOURCE_DIR);

QString DesktopEntryPath()
{
    return kSourceDir + QStringLiteral("/packaging/") + kAppId + QStringLiteral(".desktop");
}

QString MetainfoPath()
{
    return QStringLiteral(TILVO_PACKAGING_GENERATED "/") + kAppId + QStringLiteral(".metainfo.xml");
}

QString IconPath(const QString& sizeFolder, const QString& extension)
{
    return kSourceDir + QStringLiteral("/packaging/icons/hicolor/") + sizeFolder +
           QStringLiteral("/apps/") + kAppId + extension;
}

struct Run
{
    int exitCode = -1;
    QString output; // stdout and stderr together
};

Run RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

// The keys of the [Desktop Entry] group, translations kept under their own key ("Name[fr]").
QMap<QString, QString> ReadDesktopEntry(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QMap<QString, QString> keys;
    bool inEntry = false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& line : lines) {
        if (line.startsWith(u'['))
            inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && !line.startsWith(u'#') && line.contains(u'='))
            keys.insert(line.section(u'=', 0, 0).trimmed(), line.section(u'=', 1).trimmed());
    }
    return keys;
}

// The metainfo's elements as "element" or "element[lang]" → their texts, in document order.
QMultiMap<QString, QString> ReadMetainfo(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The elements whose text is read; the others are walked through.
    const QSet<QString> withText{
        QStringLiteral("id"),    QStringLiteral("summary"),  QStringLiteral("p"),
        QStringLiteral("li"),    QStringLiteral("category"), QStringLiteral("launchable"),
        QStringLiteral("image"), QStringLiteral("binary"),   QStringLiteral("caption")};
    QMultiMap<QString, QString> elements;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || !withText.contains(xml.name().toString()))
            continue;
        QString key = xml.name().toString();
        const QString lang = xml.attributes().value(QStringLiteral("xml:lang")).toString();
        const QString type = xml.attributes().value(QStringLiteral("type")).toString();
        if (!lang.isEmpty())
            key += u'[' + lang + u']';
        else if (!type.isEmpty())
            key += u'(' + type + u')';
        elements.insert(key,
                        xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified());
    }
    if (xml.hasError())
        return {};
    return elements;
}

} // namespace

class TestDesktopIntegration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void desktopEntryValidates()
    {
        const Run run = RunTool(QStringLiteral(TILVO_DESKTOP_FILE_VALIDATE), {DesktopEntryPath()});
        QCOMPARE(run.exitCode, 0);
        // Warnings and hints leave the exit code at 0; they are faults too.
        QCOMPARE(run.output, QString());
    }

    void metainfoValidates()
    {
        // The maker's domain uses the reserved ".example" top-level domain, which the
        // validator does not know; every other remark fails the check.
        const Run run = RunTool(
            QStringLiteral(TILVO_APPSTREAMCLI),
            {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--strict"),
             QStringLiteral("--override=cid-maybe-not-rdns=pedantic"), MetainfoPath()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    }

    void menuEntryStartsTheLauncher()
    {
        const QMap<QString, QString> entry = ReadDesktopEntry(DesktopEntryPath());
        // The launcher in the programs' path sets the working directory; the entry names it
        // alone, without arguments, since the program takes none.
        QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("tilvo"));
        QCOMPARE(entry.value(QStringLiteral("TryExec")), QStringLiteral("tilvo"));
        QVERIFY(QFile::exists(kSourceDir + QStringLiteral("/packaging/launcher-tilvo.sh.in")));
        QCOMPARE(entry.value(QStringLiteral("Icon")), kAppId);
        const QStringList categories =
            entry.value(QStringLiteral("Categories")).split(u';', Qt::SkipEmptyParts);
        QVERIFY(categories.contains(QStringLiteral("Office")));
        QVERIFY(categories.contains(QStringLiteral("Finance")));
        QVERIFY(!entry.value(QStringLiteral("Comment[fr]")).isEmpty());
        QVERIFY(!entry.value(QStringLiteral("GenericName[fr]")).isEmpty());
    }

    void metainfoDescribesTheEntry()
    {
        const QMultiMap<QString, QString> info = ReadMetainfo(MetainfoPath());
        QVERIFY(!info.isEmpty());
        QCOMPARE(info.value(QStringLiteral("id")), kAppId);
        QCOMPARE(info.value(QStringLiteral("launchable(desktop-id)")),
                 kAppId + QStringLiteral(".desktop"));
        const QStringList categories = info.values(QStringLiteral("category"));
        QVERIFY(categories.contains(QStringLiteral("Office")));
        QVERIFY(categories.contains(QStringLiteral("Finance")));
        const QString image = info.value(QStringLiteral("image"));
        QVERIFY(image.startsWith(QLatin1String("https://")));
        // The picture published there is kept beside the metainfo.
        const QImage screenshot(kSourceDir + QStringLiteral("/packaging/screenshots/") +
                                QUrl(image).fileName());
        QCOMPARE(screenshot.size(), QSize(800, 600));

        const QStringList binaries = info.values(QStringLiteral("binary"));
        QVERIFY(binaries.contains(QStringLiteral("tilvo")));
        QCOMPARE(binaries.contains(QStringLiteral("tilvo-cli")), bool(TILVO_HAS_CLI));
    }

    void metainfoSpeaksFrenchAndEnglish_data()
    {
        QTest::addColumn<QString>("element");
        QTest::newRow("summary") << QStringLiteral("summary");
        QTest::newRow("paragraphs") << QStringLiteral("p");
        QTest::newRow("list items") << QStringLiteral("li");
        QTest::newRow("screenshot caption") << QStringLiteral("caption");
    }

    void metainfoSpeaksFrenchAndEnglish()
    {
        QFETCH(QString, element);
        const QMultiMap<QString, QString> info = ReadMetainfo(MetainfoPath());
        const QStringList english = info.values(element);
        const QStringList french = info.values(element + QStringLiteral("[fr]"));
        QVERIFY(!english.isEmpty());
        // Each English text has its French one.
        QCOMPARE(french.size(), english.size());
        for (const QString& text : french)
            QVERIFY(!text.isEmpty());
    }

    void iconsHaveTheirSize_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : {48, 64, 128, 256})
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }

    void iconsHaveTheirSize()
    {
        QFETCH(int, size);
        const QString folder = QStringLiteral("%1x%1").arg(size);
        const QImage icon(IconPath(folder, QStringLiteral(".png")));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
    }

    void scalableIconIsAnSvg()
    {
        QFile svg(IconPath(QStringLiteral("scalable"), QStringLiteral(".svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("<svg"));
    }

    void windowIconIsTheMenuIcon()
    {
        // The program folder's icon, shown on the windows, is the menu's 64-pixel icon.
        const QImage window(kSourceDir + QStringLiteral("/shipped/root/tilvo.png"));
        const QImage menu(IconPath(QStringLiteral("64x64"), QStringLiteral(".png")));
        QVERIFY(!window.isNull());
        QCOMPARE(window.convertToFormat(QImage::Format_ARGB32),
                 menu.convertToFormat(QImage::Format_ARGB32));
    }
};

QTEST_APPLESS_MAIN(TestDesktopIntegration)
#include "tst_DesktopIntegration.moc"
