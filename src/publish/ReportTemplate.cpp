// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/ReportTemplate.h"

#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/SqlText.h"

#include <QFileInfo>
#include <array>
#include <optional>

namespace tilvo {

namespace {

constexpr std::array<std::pair<ReportBandKind, const char*>, 6> kBandNames = {{
    {ReportBandKind::PageHeader, "PageHeader"},
    {ReportBandKind::ReportTitle, "ReportTitle"},
    {ReportBandKind::ColumnHeader, "ColumnHeader"},
    {ReportBandKind::MasterData, "MasterData"},
    {ReportBandKind::Summary, "Summary"},
    {ReportBandKind::PageFooter, "PageFooter"},
}};

constexpr double kLargestLength = 2000; // millimetres: more is a mistake

struct Attribute
{
    QString key; // lower-cased
    QString value;
    bool hasValue = false;
};

class Parser
{
public:
    Parser(const QString& fileName) : m_fileName(fileName) {}

    ReportTemplate parse(const QString& text)
    {
        m_result.fileName = m_fileName;
        const QStringList lines = SplitLines(text);
        for (int i = 0; i < lines.size(); ++i) {
            m_line = i + 1;
            parseLine(lines.at(i));
        }
        return std::move(m_result);
    }

private:
    [[noreturn]] void fail(const QString& what) const
    {
        throw Error(QStringLiteral("Le modèle de rapport \"%1\" est incorrect à la ligne %2 : %3")
                        .arg(m_fileName)
                        .arg(m_line)
                        .arg(what));
    }

    // Blank-separated words; a value in double quotes may hold blanks.
    std::vector<Attribute> attributes(const QString& head) const
    {
        std::vector<Attribute> result;
        const qsizetype n = head.size();
        qsizetype i = 0;
        while (i < n) {
            while (i < n && head.at(i).isSpace())
                ++i;
            if (i >= n)
                break;
            Attribute a;
            const qsizetype start = i;
            while (i < n && !head.at(i).isSpace() && head.at(i) != u'=')
                ++i;
            a.key = head.mid(start, i - start).toLower();
            if (i < n && head.at(i) == u'=') {
                a.hasValue = true;
                ++i;
                if (i < n && head.at(i) == u'"') {
                    const qsizetype close = head.indexOf(u'"', i + 1);
                    if (close < 0)
                        fail(QStringLiteral("guillemet non fermé"));
                    a.value = head.mid(i + 1, close - i - 1);
                    i = close + 1;
                } else {
                    const qsizetype valueStart = i;
                    while (i < n && !head.at(i).isSpace())
                        ++i;
                    a.value = head.mid(valueStart, i - valueStart);
                }
            }
            result.push_back(a);
        }
        return result;
    }

    double number(const Attribute& a, double minimum = 0) const
    {
        bool ok = false;
        const double value = a.value.toDouble(&ok);
        if (!ok || !(value >= minimum) || value > kLargestLength)
            fail(QStringLiteral("valeur incorrecte pour %1 : \"%2\"").arg(a.key, a.value));
        return value;
    }

    QColor color(const Attribute& a) const
    {
        const QColor c = QColor::fromString(a.value);
        if (!c.isValid())
            fail(QStringLiteral("couleur incorrecte : \"%1\"").arg(a.value));
        return c;
    }

    void needValue(const Attribute& a) const
    {
        if (!a.hasValue)
            fail(QStringLiteral("valeur attendue après %1").arg(a.key));
    }

    void parseLine(const QString& raw)
    {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            return;
        QString head = line;
        QString content;
        const qsizetype bar = line.indexOf(u'|');
        if (bar >= 0) {
            head = line.left(bar);
            content = line.mid(bar + 1).trimmed();
        }
        std::vector<Attribute> attrs = attributes(head);
        if (attrs.empty())
            fail(QStringLiteral("ligne sans mot-clé"));
        const QString keyword = attrs.front().key;
        attrs.erase(attrs.begin());
        if (bar >= 0 && keyword != QLatin1String("text"))
            fail(QStringLiteral("seul un texte a un contenu après \"|\""));
        if (keyword == QLatin1String("report"))
            parseReport(attrs);
        else if (keyword == QLatin1String("band"))
            parseBand(attrs);
        else if (keyword == QLatin1String("text"))
            parseObject(ReportObjectKind::Text, attrs, content);
        else if (keyword == QLatin1String("picture"))
            parseObject(ReportObjectKind::Picture, attrs, content);
        else if (keyword == QLatin1String("line"))
            parseObject(ReportObjectKind::Line, attrs, content);
        else if (keyword == QLatin1String("rect"))
            parseObject(ReportObjectKind::Rect, attrs, content);
        else
            fail(QStringLiteral("mot-clé inconnu \"%1\"").arg(keyword));
    }

    void parseReport(const std::vector<Attribute>& attrs)
    {
        if (!m_result.bands.empty())
            fail(QStringLiteral("la ligne report précède les bandes"));
        for (const Attribute& a : attrs) {
            needValue(a);
            if (a.key == QLatin1String("page")) {
                const QString v = a.value.toUpper();
                if (v == QLatin1String("A4"))
                    m_result.pageSize = QPageSize::A4;
                else if (v == QLatin1String("A3"))
                    m_result.pageSize = QPageSize::A3;
                else if (v == QLatin1String("A5"))
                    m_result.pageSize = QPageSize::A5;
                else if (v == QLatin1String("LETTER"))
                    m_result.pageSize = QPageSize::Letter;
                else if (v == QLatin1String("LEGAL"))
                    m_result.pageSize = QPageSize::Legal;
                else
                    fail(QStringLiteral("format de page inconnu \"%1\"").arg(a.value));
            } else if (a.key == QLatin1String("orientation")) {
                if (a.value == QLatin1String("portrait"))
                    m_result.orientation = QPageLayout::Portrait;
                else if (a.value == QLatin1String("landscape"))
                    m_result.orientation = QPageLayout::Landscape;
                else
                    fail(QStringLiteral("orientation inconnue \"%1\"").arg(a.value));
            } else if (a.key == QLatin1String("margins")) {
                const QStringList parts = a.value.split(u',');
                std::array<double, 4> m{};
                if (parts.size() != 1 && parts.size() != 4)
                    fail(QStringLiteral("marges : une valeur ou quatre (gauche,haut,droite,bas)"));
                for (int i = 0; i < 4; ++i)
                    m[size_t(i)] = number({a.key, parts.at(parts.size() == 1 ? 0 : i), true});
                m_result.margins = QMarginsF(m[0], m[1], m[2], m[3]);
            } else if (a.key == QLatin1String("font")) {
                m_result.fontFamily = a.value;
            } else if (a.key == QLatin1String("size")) {
                m_result.fontSize = number(a, 1);
            } else {
                fail(QStringLiteral("attribut inconnu \"%1\"").arg(a.key));
            }
        }
        const QSizeF paper = m_result.paperSize();
        if (m_result.margins.left() + m_result.margins.right() >= paper.width() ||
            m_result.margins.top() + m_result.margins.bottom() >= paper.height())
            fail(QStringLiteral("les marges ne laissent pas de place"));
    }

    void parseBand(const std::vector<Attribute>& attrs)
    {
        if (attrs.empty() || attrs.front().hasValue)
            fail(QStringLiteral("nom de bande attendu"));
        ReportBand band;
        std::optional<ReportBandKind> kind;
        for (const auto& [k, name] : kBandNames) {
            if (attrs.front().key == QString::fromLatin1(name).toLower())
                kind = k;
        }
        if (!kind)
            fail(QStringLiteral("bande inconnue \"%1\"").arg(attrs.front().key));
        if (m_result.band(*kind))
            fail(QStringLiteral("bande %1 déjà définie").arg(ReportBandName(*kind)));
        band.kind = *kind;
        for (size_t i = 1; i < attrs.size(); ++i) {
            const Attribute& a = attrs[i];
            if (a.key == QLatin1String("height")) {
                needValue(a);
                band.height = number(a);
            } else if (a.key == QLatin1String("stretch") && !a.hasValue) {
                band.stretch = true;
            } else if (a.key == QLatin1String("stripe")) {
                needValue(a);
                band.stripe = color(a);
            } else {
                fail(QStringLiteral("attribut inconnu \"%1\"").arg(a.key));
            }
        }
        m_result.bands.push_back(std::move(band));
    }

    void parseObject(ReportObjectKind kind, const std::vector<Attribute>& attrs,
                     const QString& content)
    {
        if (m_result.bands.empty())
            fail(QStringLiteral("objet hors d'une bande"));
        ReportObject o;
        o.kind = kind;
        o.line = m_line;
        o.text = content;
        o.fontFamily = m_result.fontFamily;
        o.fontSize = m_result.fontSize;
        double x = 0, y = 0, w = 0, h = 0;
        for (const Attribute& a : attrs) {
            const QString& k = a.key;
            if (!a.hasValue) {
                if (k == QLatin1String("bold"))
                    o.bold = true;
                else if (k == QLatin1String("italic"))
                    o.italic = true;
                else if (k == QLatin1String("underline"))
                    o.underline = true;
                else if (k == QLatin1String("wrap"))
                    o.wrap = true;
                else
                    fail(QStringLiteral("attribut inconnu \"%1\"").arg(k));
                continue;
            }
            if (k == QLatin1String("name"))
                o.name = a.value;
            else if (k == QLatin1String("x"))
                x = number(a);
            else if (k == QLatin1String("y"))
                y = number(a);
            else if (k == QLatin1String("w"))
                w = number(a);
            else if (k == QLatin1String("h"))
                h = number(a);
            else if (k == QLatin1String("font"))
                o.fontFamily = a.value;
            else if (k == QLatin1String("size"))
                o.fontSize = number(a, 1);
            else if (k == QLatin1String("color"))
                o.color = color(a);
            else if (k == QLatin1String("fill"))
                o.fill = color(a);
            else if (k == QLatin1String("align"))
                o.alignment = (o.alignment & Qt::AlignVertical_Mask) | horizontal(a.value);
            else if (k == QLatin1String("valign"))
                o.alignment = (o.alignment & Qt::AlignHorizontal_Mask) | vertical(a.value);
            else if (k == QLatin1String("frame"))
                o.frame = frame(a.value);
            else if (k == QLatin1String("framecolor"))
                o.frameColor = color(a);
            else if (k == QLatin1String("framewidth"))
                o.frameWidth = number(a);
            else if (k == QLatin1String("pen"))
                o.pen = number(a);
            else if (k == QLatin1String("pad"))
                o.padding = number(a);
            else if (k == QLatin1String("aspect") && a.value == QLatin1String("keep"))
                o.keepAspect = true;
            else if (k == QLatin1String("aspect") && a.value == QLatin1String("stretch"))
                o.keepAspect = false;
            else
                fail(QStringLiteral("attribut inconnu \"%1\"").arg(k));
        }
        if (kind == ReportObjectKind::Picture && o.name.isEmpty())
            fail(QStringLiteral("une image doit avoir un nom (name=...)"));
        if (!o.name.isEmpty() && m_result.findObject(o.name))
            fail(QStringLiteral("objet \"%1\" déjà défini").arg(o.name));
        o.rect = QRectF(x, y, w, h);
        m_result.bands.back().objects.push_back(std::move(o));
    }

    Qt::Alignment horizontal(const QString& v) const
    {
        if (v == QLatin1String("left"))
            return Qt::AlignLeft;
        if (v == QLatin1String("center"))
            return Qt::AlignHCenter;
        if (v == QLatin1String("right"))
            return Qt::AlignRight;
        fail(QStringLiteral("alignement inconnu \"%1\"").arg(v));
    }

    Qt::Alignment vertical(const QString& v) const
    {
        if (v == QLatin1String("top"))
            return Qt::AlignTop;
        if (v == QLatin1String("middle"))
            return Qt::AlignVCenter;
        if (v == QLatin1String("bottom"))
            return Qt::AlignBottom;
        fail(QStringLiteral("alignement vertical inconnu \"%1\"").arg(v));
    }

    QString frame(const QString& v) const
    {
        if (v == QLatin1String("all"))
            return QStringLiteral("ltrb");
        if (v == QLatin1String("none"))
            return QString();
        for (const QChar c : v) {
            if (!QStringLiteral("ltrb").contains(c))
                fail(QStringLiteral("cadre inconnu \"%1\" (all, none ou l, t, r, b)").arg(v));
        }
        return v;
    }

    QString m_fileName;
    int m_line = 0;
    ReportTemplate m_result;
};

} // namespace

QString ReportBandName(ReportBandKind kind)
{
    for (const auto& [k, name] : kBandNames) {
        if (k == kind)
            return QString::fromLatin1(name);
    }
    return QString();
}

QSizeF ReportTemplate::paperSize() const
{
    const QSizeF size = QPageSize(pageSize).size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? size.transposed() : size;
}

double ReportTemplate::contentWidth() const
{
    return paperSize().width() - margins.left() - margins.right();
}

QPageLayout ReportTemplate::pageLayout() const
{
    QPageLayout layout(QPageSize(pageSize), orientation, QMarginsF(), QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

const ReportBand* ReportTemplate::band(ReportBandKind kind) const
{
    for (const ReportBand& b : bands) {
        if (b.kind == kind)
            return &b;
    }
    return nullptr;
}

const ReportObject* ReportTemplate::findObject(const QString& name) const
{
    for (const ReportBand& b : bands) {
        for (const ReportObject& o : b.objects) {
            if (!o.name.isEmpty() && o.name.compare(name, Qt::CaseInsensitive) == 0)
                return &o;
        }
    }
    return nullptr;
}

ReportTemplate ParseReportTemplate(const QString& text, const QString& fileName)
{
    return Parser(fileName).parse(text);
}

ReportTemplate LoadReportTemplate(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw Error(QStringLiteral("Le modèle de rapport \"%1\" est introuvable.").arg(path));
    const std::optional<QString> text = ReadTextFile(path);
    if (!text)
        throw Error(QStringLiteral("Le modèle de rapport \"%1\" est illisible.").arg(path));
    return ParseReportTemplate(*text, path);
}

} // namespace tilvo
