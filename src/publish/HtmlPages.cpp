// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/HtmlPages.h"

#include "common/DateHelpers.h"
#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/ProgramInfo.h"
#include "common/SqlText.h"
#include "common/TextHelpers.h"
#include "common/WaitDisplay.h"
#include "db/DataSet.h"
#include "images/BmpFile.h"
#include "images/JpegFile.h"
#include "images/ResizePicture.h"
#include "images/ScalePictureColumn.h"
#include "publish/HtmlText.h"

#include <QDir>
#include <QFile>

namespace tilvo {

namespace {

constexpr int kIconSize = 50;
constexpr int kJpegQuality = 100;
constexpr int kMaxDecimals = 10;

const QString kCellLabel = QStringLiteral(
    "<td width=\"50%\" bgColor=#E4E4E4><font face=\"Arial\" size=\"1\" color=\"#000000\">"
    "&nbsp;<b>%1</b></font></td>");
const QString kCellValue = QStringLiteral("<td width=\"50%\" bgColor=#F4F4F4 align=\"right\">"
                                          "<font face=\"Arial\" size=\"1\" color=\"#000000\">");

// A number column read as the pages count it: 0 when it is empty or no number.
double NumberOf(const Field& field)
{
    if (field.isNull())
        return 0;
    if (field.type() == FieldType::ftFloat || field.type() == FieldType::ftInteger ||
        field.type() == FieldType::ftSmallint || field.type() == FieldType::ftAutoInc)
        return field.asDouble();
    QString text = field.asText();
    if (!IsNumberText(text))
        return 0;
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0)
        text[comma] = u'.';
    return text.toDouble();
}

int DecimalsOf(const Field& field)
{
    return qBound(0, int(NumberOf(field)), kMaxDecimals);
}

// The row's text of a column, escaped; empty when the query has no row.
QString TextOf(DataSet& query, const QString& column)
{
    if (query.isEmpty())
        return QString();
    return HtmlText(query.fieldByName(column).asText());
}

QString PageFile(const HtmlPageTarget& target)
{
    return target.filePath(QStringLiteral("index.htm"));
}

// A chart saved as a bitmap becomes a JPEG of quality 100 beside it; the bitmap is deleted.
void BitmapToJpeg(const QString& bitmap, const QString& jpeg)
{
    const Picture picture = ReadBmpFile(bitmap);
    WriteJpegFile(picture.toBgr24(), jpeg, kJpegQuality);
    QFile::remove(bitmap);
}

void SavePage(const QStringList& lines, const HtmlPageTarget& target)
{
    const QString path = PageFile(target);
    if (!WriteFileAtomically(path, EncodeHtmlLines(lines)))
        throw Error(QStringLiteral("Impossible d'écrire la page \"%1\".").arg(path));
}

} // namespace

QString HtmlPageTarget::filePath(const QString& name) const
{
    QString path = folder;
    if (!subPath.isEmpty())
        path += u'/' + subPath;
    return QDir::cleanPath(path + u'/' + name);
}

QString HtmlPageQueryText(qint64 accountId)
{
    return QStringLiteral("SELECT * FROM CONSUMPTION LEFT JOIN ACCOUNT ON CONSUMPTION.Id_Account = "
                          "ACCOUNT.Id WHERE Id_Account=") +
           QString::number(accountId) + QStringLiteral(" ORDER BY DateAction");
}

QString HtmlPageQueryText(qint64 accountId, const QDate& begin, const QDate& end)
{
    return QStringLiteral("SELECT * FROM CONSUMPTION LEFT JOIN ACCOUNT ON CONSUMPTION.Id_Account = "
                          "ACCOUNT.Id WHERE Id_Account=") +
           QString::number(accountId) + QStringLiteral(" AND DateAction>=#") +
           SqlDateLiteral(begin) + QStringLiteral("# AND DateAction<=#") + SqlDateLiteral(end) +
           QStringLiteral("# ORDER BY DateAction");
}

QString HtmlNumber(double value, int decimals)
{
    return TrimLeadingBlanks(FormatReal(value, 7, decimals));
}

QString HtmlFooter()
{
    const QString site = QString::fromLatin1(MakerWebSite);
    QString shown = site;
    shown.remove(QStringLiteral("https://")).remove(QStringLiteral("http://"));
    if (shown.endsWith(u'/'))
        shown.chop(1);
    return QStringLiteral("<br><font face=\"Arial\" size=\"1\" color=\"#808080\">Page créée par ") +
           QString::fromLatin1(ProgramTitle) + u' ' + QString::fromLatin1(ProgramVersion) +
           QStringLiteral(" - <a href=\"") + site + QStringLiteral("\">") + shown +
           QStringLiteral("</a></font>");
}

QStringList AccountHeaderLines(DataSet& query, const QString& title, const QString& srcPrefix)
{
    const QString safeTitle = HtmlText(title);
    const bool hasRow = !query.isEmpty();
    const int decimals = hasRow ? DecimalsOf(query.fieldByName(QStringLiteral("DECIMAL"))) : 0;
    const double counter = hasRow ? NumberOf(query.fieldByName(QStringLiteral("COUNT"))) : 0;
    const QString unit = TextOf(query, QStringLiteral("UNIT"));

    QStringList lines;
    lines.reserve(26);
    lines << QStringLiteral("<html><head><title>") + safeTitle +
                 QStringLiteral(
                     "</title><script language=\"javascript\">function "
                     "centerwindow(page,largeur,hauteur,options){var "
                     "top=(screen.height-hauteur)/2;var "
                     "left=(screen.width-largeur)/2;window.open(page,\"\",\"top=\"+top+\",left=\"+"
                     "left+\",width=\"+largeur+\",height=\"+hauteur+\",\"+options);}</script>"
                     "</head><body topmargin=\"0\" leftmargin=\"0\"><center>")
          << QStringLiteral("<table border=\"0\" width=\"680\" cellspacing=\"0\" "
                            "cellpadding=\"0\"><tr><td width=\"100%\">")
          << QStringLiteral("<table border=\"0\" width=\"100%\"><tr>")
          << QStringLiteral("<td width=\"100%\" bgcolor=\"#0000FF\" align=\"center\"><b><font "
                            "face=\"Arial\" size=\"3\" color=\"#FFFFFF\">") +
                 safeTitle + QStringLiteral("</font></b></td>")
          << QStringLiteral("</tr></table><br>")
          << QStringLiteral("<table border=\"0\" width=\"100%\"><tr>")
          << QStringLiteral("<td width=\"0\" valign=\"middle\">")
          << QStringLiteral("<img border=\"1\" src=\"") + srcPrefix +
                 QStringLiteral("icone.jpg\" width=\"50\" height=\"50\" hspace=\"0\" vspace=\"0\">")
          << QStringLiteral("</td>") << QStringLiteral("<td width=\"400\" valign=\"middle\">")
          << QStringLiteral("<b><font face=\"Arial\" size=\"5\">") +
                 TextOf(query, QStringLiteral("TITLE")) + QStringLiteral("</font></b><br>")
          << QStringLiteral("<font face=\"Arial\" size=\"3\"><i>") +
                 TextOf(query, QStringLiteral("ACCOUNT.DESCRIPTION")) +
                 QStringLiteral("</i></font><br>")
          << QStringLiteral("</td>")
          << QStringLiteral("<td width=\"250\" align=\"right\" cellspacing=\"1\" cellpadding=\"0\" "
                            "valign=\"middle\">")
          << QStringLiteral("<table border=\"0\" width=\"100%\"><tr>")
          << kCellLabel.arg(QStringLiteral("Date de création"))
          << kCellValue + TextOf(query, QStringLiteral("CREATEDATE")) +
                 QStringLiteral("&nbsp;</font></td>")
          << QStringLiteral("</tr><tr>") << kCellLabel.arg(QStringLiteral("Unité"))
          << kCellValue + unit + QStringLiteral("&nbsp;</font></td>") << QStringLiteral("</tr><tr>")
          << kCellLabel.arg(QStringLiteral("Compteur"))
          << kCellValue + HtmlNumber(counter, decimals) + u' ' + unit +
                 QStringLiteral("&nbsp;</font></td>")
          << QStringLiteral("</tr></table>") << QStringLiteral("</td>")
          << QStringLiteral("</tr></table><br>");
    return lines;
}

void WriteAccountPicture(DataSet& query, const HtmlPageTarget& target)
{
    Picture icon;
    if (!query.isEmpty()) {
        try {
            ScalePictureColumn(icon, query.fieldByName(QStringLiteral("ACCOUNT.IMGMINI1")),
                               kIconSize, kIconSize);
        } catch (const Error&) {
            // A thumbnail that cannot be read shows like a missing one.
            icon = Picture();
        }
    }
    if (icon.isEmpty()) {
        if (target.defaultPicture.isNull()) {
            icon = Picture(kIconSize, kIconSize);
            icon.fill(255, 255, 255);
        } else {
            icon = Picture::fromQImage(target.defaultPicture).toBgr24();
            ResizePicture(icon, kIconSize, kIconSize);
        }
    }
    WriteJpegFile(icon.toBgr24(), target.filePath(QStringLiteral("icone.jpg")), kJpegQuality);
}

void WriteStatisticPage(DataSet& query, const HtmlPageTarget& target, const QString& title)
{
    QStringList lines = AccountHeaderLines(query, title, target.srcPrefix);
    WriteAccountPicture(query, target);
    BitmapToJpeg(target.filePath(QStringLiteral("graph.bmp")),
                 target.filePath(QStringLiteral("graph.jpg")));
    lines << QStringLiteral("<center><img border=\"1\" src=\"") + target.srcPrefix +
                 QStringLiteral("graph.jpg\" width=\"670\" height=\"402\" hspace=\"0\" "
                                "vspace=\"0\">")
          << HtmlFooter() << QStringLiteral("</td></tr></table></body></html>");
    SavePage(lines, target);
}

void WriteHistoryPage(DataSet& query, const HtmlPageTarget& target, const QString& title,
                      const QString& progressText, bool withGraphs, const QString& currencySymbol,
                      WaitDisplay& progress)
{
    // The gauge is told only when its filled part grows, so that a long history does not
    // repaint it for every row.
    struct ProgressGuard
    {
        WaitDisplay& display;
        ~ProgressGuard() { display.close(); }
    };
    const int rows = query.recordCount();
    const int maximum = rows + 1;
    progress.open(progressText, QString(), maximum, true);
    ProgressGuard guard{progress};
    progress.setPosition(1);

    query.first();
    QStringList lines = AccountHeaderLines(query, title, target.srcPrefix);
    WriteAccountPicture(query, target);
    if (withGraphs) {
        BitmapToJpeg(target.filePath(QStringLiteral("graph1.bmp")),
                     target.filePath(QStringLiteral("graph1.jpg")));
        BitmapToJpeg(target.filePath(QStringLiteral("graph2.bmp")),
                     target.filePath(QStringLiteral("graph2.jpg")));
        const QString image = QStringLiteral("<img border=\"1\" src=\"") + target.srcPrefix +
                              QStringLiteral("%1\" width=\"330\" height=\"198\" hspace=\"0\" "
                                             "vspace=\"0\">");
        lines << QStringLiteral("<table border=\"0\" width=\"100%\"><tr>")
              << QStringLiteral("<td width=\"0\" valign=\"middle\" align=\"left\">")
              << image.arg(QStringLiteral("graph1.jpg")) << QStringLiteral("</td>")
              << QStringLiteral("<td width=\"0\" valign=\"middle\" align=\"right\">")
              << image.arg(QStringLiteral("graph2.jpg")) << QStringLiteral("</td>")
              << QStringLiteral("</tr></table><br>");
    }

    const QString head = QStringLiteral("<td width=\"%1\" bgColor=#0099FF><font face=\"Arial\" "
                                        "size=\"2\" color=\"#FFFFFF\"><b>%2</b></font></td>");
    lines << QStringLiteral("<table border=\"0\" width=\"100%\"><tr>")
          << head.arg(QStringLiteral("10%"), QStringLiteral("Date"))
          << head.arg(QStringLiteral("15%"), QStringLiteral("Quantité"))
          << head.arg(QStringLiteral("15%"), QStringLiteral("Montant"))
          << head.arg(QStringLiteral("60%"), QStringLiteral("Commentaire"))
          << QStringLiteral("</tr>");
    lines.reserve(lines.size() + 6 * rows + 16);

    const QString symbol = HtmlText(currencySymbol);
    const QString cellStart = QStringLiteral("<td bgcolor=\"#F4F4F4\"><font face=\"Arial\" "
                                             "size=\"2\">&nbsp;");
    const QString numberStart = QStringLiteral("<td bgcolor=\"#F4F4F4\" align=\"right\"><font "
                                               "face=\"Arial\" size=\"2\">");
    const QString numberEnd = QStringLiteral("&nbsp;</font></td>");
    const QString cellEnd = QStringLiteral("</font></td>");
    double totalQuantity = 0;
    double totalAmount = 0;
    int lastDecimals = 0;
    QString lastUnit;
    if (rows > 0) {
        const Field date = query.fieldByName(QStringLiteral("DATEACTION"));
        const Field quantity = query.fieldByName(QStringLiteral("QUANTITY"));
        const Field amount = query.fieldByName(QStringLiteral("PRICE"));
        const Field unit = query.fieldByName(QStringLiteral("UNIT"));
        const Field decimals = query.fieldByName(QStringLiteral("DECIMAL"));
        const Field comment = query.fieldByName(QStringLiteral("CONSUMPTION.DESCRIPTION"));
        int position = 1;
        int shownWidth = -1;
        for (query.first(); !query.eof(); query.next()) {
            ++position;
            const int width = int(qint64(position) * 251 / maximum);
            if (width != shownWidth || position == maximum) {
                progress.setPosition(position);
                shownWidth = width;
            }
            const double q = NumberOf(quantity);
            const double a = NumberOf(amount);
            lastDecimals = DecimalsOf(decimals);
            lastUnit = HtmlText(unit.asText());
            lines << QStringLiteral("<tr>") << cellStart + date.asText() + cellEnd
                  << numberStart + HtmlNumber(q, lastDecimals) + u' ' + lastUnit + numberEnd
                  << numberStart + HtmlNumber(a, 3) + u' ' + symbol + numberEnd
                  << cellStart + HtmlText(comment.asText()) + cellEnd << QStringLiteral("</tr>");
            totalQuantity += q;
            totalAmount += a;
        }
    }

    const QString totalStart = QStringLiteral("<td bgcolor=\"#E4E4E4\" align=\"right\"><font "
                                              "face=\"Arial\" size=\"2\"><b>");
    lines << QStringLiteral("<tr>")
          << QStringLiteral("<td bgcolor=\"#E4E4E4\"><font face=\"Arial\" "
                            "size=\"2\">&nbsp;&nbsp;<b>TOTAUX</font></td>")
          << totalStart + HtmlNumber(totalQuantity, lastDecimals) + u' ' + lastUnit + numberEnd
          << totalStart + HtmlNumber(totalAmount, 3) + u' ' + symbol + numberEnd
          << QStringLiteral("<td bgcolor=\"#E4E4E4\"><font face=\"Arial\" "
                            "size=\"2\">&nbsp;</font></td>")
          << QStringLiteral("</tr>") << QStringLiteral("</tr></table>") << HtmlFooter()
          << QStringLiteral("</td></tr></table></body></html>");
    SavePage(lines, target);
}

} // namespace tilvo
