// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/BandReport.h"

#include "common/DateHelpers.h"
#include "common/Error.h"
#include "common/NumberPicture.h"
#include "images/BmpFile.h"
#include "publish/ReportData.h"
#include "stats/StatisticFormats.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <unordered_map>

namespace tilvo {

namespace {

// Stands for the page count until the last page is known.
constexpr char16_t kTotalPagesMark = 0xE000;
constexpr double kMeasureDpi = 600;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kWrapSpace = 0.8; // millimetres kept under wrapped text

struct Piece
{
    enum class Kind
    {
        Literal,
        Page,
        TotalPages,
        Date,
        Line,
        Count,
        Sum,
        Column,
    };
    enum class Format
    {
        None,
        Picture,
        DecimalsFromColumn,
    };

    Kind kind = Kind::Literal;
    QString text; // a literal, or a variable's value
    int column = -1;
    int sum = -1; // the running total of SUM(...)
    Format format = Format::None;
    QString picture;
    int decimalsColumn = -1;
};

struct CompiledText
{
    std::vector<Piece> pieces;
    bool constant = true; // no piece depends on the row or the page
    QString constantText;
};

// Where the run stands when a band is placed.
struct RunState
{
    int row = -1; // the row whose columns a band shows; -1 when there are none
    int page = 0; // from 1
    int line = 0; // rows placed so far
    std::vector<double> sums;
};

QFont FontOf(const ReportObject& o)
{
    QFont font(o.fontFamily);
    font.setPointSizeF(o.fontSize);
    font.setBold(o.bold);
    font.setItalic(o.italic);
    font.setUnderline(o.underline);
    return font;
}

QString NumberText(double value)
{
    return FormatNumberPicture(value, QStringLiteral("##############0.##########"));
}

class Run
{
public:
    Run(const ReportTemplate& layout, ReportData* data, const BandReport::ValueCallback& values,
        const QDate& runDate)
        : m_layout(layout), m_data(data), m_values(values), m_runDate(runDate)
    {
        m_measure = QImage(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(kMeasureDpi / kMillimetresPerInch * 1000);
        m_measure.setDotsPerMeterX(dotsPerMeter);
        m_measure.setDotsPerMeterY(dotsPerMeter);
        for (const ReportBand& band : layout.bands) {
            for (const ReportObject& o : band.objects) {
                if (o.kind == ReportObjectKind::Text)
                    m_texts.emplace(&o, compile(o));
            }
        }
    }

    void layOut(PreparedReport& report)
    {
        const int rows = m_data ? m_data->rowCount() : 0;
        const QSizeF paper = m_layout.paperSize();
        const ReportBand* pageHeader = m_layout.band(ReportBandKind::PageHeader);
        const ReportBand* title = m_layout.band(ReportBandKind::ReportTitle);
        const ReportBand* columnHeader = m_layout.band(ReportBandKind::ColumnHeader);
        const ReportBand* data = m_layout.band(ReportBandKind::MasterData);
        const ReportBand* summary = m_layout.band(ReportBandKind::Summary);
        const ReportBand* pageFooter = m_layout.band(ReportBandKind::PageFooter);
        const double top = m_layout.margins.top();
        const double limit =
            paper.height() - m_layout.margins.bottom() - (pageFooter ? pageFooter->height : 0);

        RunState state;
        state.sums.assign(m_sumColumns.size(), 0.0);
        std::vector<ReportItem>* page = nullptr;
        double y = top;
        int lastPlaced = -1;
        auto startPage = [&](int headerRow) {
            page = &report.addPage();
            ++state.page;
            y = top;
            if (pageHeader) {
                state.row = headerRow;
                y += place(*page, *pageHeader, y, pageHeader->height, state, false);
            }
        };
        auto endPage = [&] {
            if (pageFooter) {
                state.row = lastPlaced >= 0 ? lastPlaced : (rows > 0 ? 0 : -1);
                place(*page, *pageFooter, limit, pageFooter->height, state, false);
            }
        };
        // A band that does not fit goes to the next page, unless the page holds nothing yet
        // but its header: a band taller than a page is then cut rather than looping.
        bool bodyOnPage = false;
        bool columnsOnPage = false;
        auto makeRoom = [&](double height, int nextRow) {
            if (y + height <= limit + 1e-9 || !bodyOnPage)
                return;
            endPage();
            startPage(nextRow);
            bodyOnPage = false;
            columnsOnPage = false;
        };
        auto placeBand = [&](const ReportBand& band, double height, int row, bool stripe) {
            state.row = row;
            y += place(*page, band, y, height, state, stripe);
            bodyOnPage = true;
        };

        const int firstRow = rows > 0 ? 0 : -1;
        startPage(firstRow);
        if (title)
            placeBand(*title, title->height, firstRow, false);
        if (data && rows > 0) {
            for (int row = 0; row < rows; ++row) {
                state.row = row;
                const double height = rowHeight(*data, state);
                const double columns = columnHeader && !columnsOnPage ? columnHeader->height : 0;
                makeRoom(columns + height, row);
                if (columnHeader && !columnsOnPage) {
                    placeBand(*columnHeader, columnHeader->height, row, false);
                    columnsOnPage = true;
                }
                ++state.line;
                accumulate(row, state);
                placeBand(*data, height, row, data->stripe.isValid() && row % 2 == 1);
                lastPlaced = row;
            }
        } else {
            for (int row = 0; row < rows; ++row) {
                ++state.line;
                accumulate(row, state);
            }
            lastPlaced = rows - 1;
            if (columnHeader) {
                makeRoom(columnHeader->height, firstRow);
                placeBand(*columnHeader, columnHeader->height, firstRow, false);
            }
        }
        if (summary) {
            makeRoom(summary->height, lastPlaced);
            placeBand(*summary, summary->height, lastPlaced, false);
        }
        endPage();

        const QString total = QString::number(report.pageCount());
        for (std::vector<ReportItem>& items : report.pages()) {
            for (ReportItem& item : items) {
                if (item.text.contains(QChar(kTotalPagesMark)))
                    item.text.replace(QChar(kTotalPagesMark), total);
            }
        }
    }

private:
    [[noreturn]] void fail(const ReportObject& o, const QString& what) const
    {
        throw Error(QStringLiteral("Le modèle de rapport \"%1\" est incorrect à la ligne %2 : %3")
                        .arg(m_layout.fileName)
                        .arg(o.line)
                        .arg(what));
    }

    int column(const ReportObject& o, const QString& name) const
    {
        const int c = m_data ? m_data->columnIndex(name) : -1;
        if (c < 0)
            fail(o, QStringLiteral("la valeur [%1] n'existe pas").arg(name));
        return c;
    }

    int sumSlot(int column)
    {
        for (size_t i = 0; i < m_sumColumns.size(); ++i) {
            if (m_sumColumns[i] == column)
                return int(i);
        }
        m_sumColumns.push_back(column);
        return int(m_sumColumns.size() - 1);
    }

    Piece expression(const ReportObject& o, const QString& inside)
    {
        Piece p;
        QString name = inside.trimmed();
        const qsizetype colon = name.indexOf(u':');
        if (colon >= 0) {
            const QString format = name.mid(colon + 1);
            name = name.left(colon).trimmed();
            const QString lower = format.trimmed().toLower();
            if (lower.startsWith(QLatin1String("dec(")) && lower.endsWith(u')')) {
                p.format = Piece::Format::DecimalsFromColumn;
                p.decimalsColumn = column(o, format.trimmed().mid(4).chopped(1).trimmed());
            } else {
                p.format = Piece::Format::Picture;
                p.picture = format;
            }
        }
        const QString upper = name.toUpper();
        if (upper == QLatin1String("PAGE#")) {
            p.kind = Piece::Kind::Page;
        } else if (upper == QLatin1String("TOTALPAGES")) {
            p.kind = Piece::Kind::TotalPages;
        } else if (upper == QLatin1String("DATE")) {
            p.kind = Piece::Kind::Date;
        } else if (upper == QLatin1String("LINE#")) {
            p.kind = Piece::Kind::Line;
        } else if (upper == QLatin1String("COUNT")) {
            p.kind = Piece::Kind::Count;
        } else if (upper.startsWith(QLatin1String("SUM(")) && upper.endsWith(u')')) {
            p.kind = Piece::Kind::Sum;
            p.column = column(o, name.mid(4).chopped(1).trimmed());
            p.sum = sumSlot(p.column);
        } else if (const std::optional<QString> value =
                       m_values ? m_values(upper) : std::optional<QString>()) {
            p.kind = Piece::Kind::Literal;
            p.text = *value;
            if (p.format == Piece::Format::Picture) {
                bool ok = false;
                const double number = QString(*value).replace(u',', u'.').toDouble(&ok);
                if (ok)
                    p.text = FormatNumberPicture(number, p.picture);
            }
            p.format = Piece::Format::None;
        } else {
            p.kind = Piece::Kind::Column;
            p.column = column(o, name);
        }
        return p;
    }

    CompiledText compile(const ReportObject& o)
    {
        CompiledText result;
        const QString& text = o.text;
        QString literal;
        auto flush = [&] {
            if (!literal.isEmpty()) {
                Piece p;
                p.text = literal;
                result.pieces.push_back(p);
                literal.clear();
            }
        };
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c != u'[') {
                literal += c;
                continue;
            }
            if (i + 1 < text.size() && text.at(i + 1) == u'[') {
                literal += u'[';
                ++i;
                continue;
            }
            const qsizetype close = text.indexOf(u']', i + 1);
            if (close < 0)
                fail(o, QStringLiteral("\"[\" sans \"]\""));
            flush();
            const Piece p = expression(o, text.mid(i + 1, close - i - 1));
            if (p.kind == Piece::Kind::Literal)
                literal += p.text;
            else
                result.pieces.push_back(p);
            i = close;
        }
        flush();
        for (const Piece& p : result.pieces)
            result.constant = result.constant && p.kind == Piece::Kind::Literal;
        if (result.constant) {
            for (const Piece& p : result.pieces)
                result.constantText += p.text;
        }
        return result;
    }

    QString number(const Piece& p, double value, int row) const
    {
        switch (p.format) {
        case Piece::Format::None:
            return NumberText(value);
        case Piece::Format::Picture:
            return FormatNumberPicture(value, p.picture);
        case Piece::Format::DecimalsFromColumn: {
            const int decimals = row >= 0 ? int(m_data->number(row, p.decimalsColumn)) : 0;
            return FormatNumberPicture(value, QuantityEditFormat(decimals));
        }
        }
        return QString();
    }

    QString evaluate(const CompiledText& compiled, const RunState& state) const
    {
        if (compiled.constant)
            return compiled.constantText;
        QString out;
        for (const Piece& p : compiled.pieces) {
            switch (p.kind) {
            case Piece::Kind::Literal:
                out += p.text;
                break;
            case Piece::Kind::Page:
                out += QString::number(state.page);
                break;
            case Piece::Kind::TotalPages:
                out += QChar(kTotalPagesMark);
                break;
            case Piece::Kind::Date:
                out += FormatDateText(m_runDate);
                break;
            case Piece::Kind::Line:
                out += QString::number(state.line);
                break;
            case Piece::Kind::Count:
                out += QString::number(state.line);
                break;
            case Piece::Kind::Sum:
                out += number(p, state.sums.at(size_t(p.sum)), state.row);
                break;
            case Piece::Kind::Column:
                if (state.row < 0)
                    break;
                if (p.format == Piece::Format::None)
                    out += m_data->text(state.row, p.column);
                else
                    out += number(p, m_data->number(state.row, p.column), state.row);
                break;
            }
        }
        return out;
    }

    void accumulate(int row, RunState& state) const
    {
        for (size_t i = 0; i < m_sumColumns.size(); ++i)
            state.sums[i] += m_data->number(row, m_sumColumns[i]);
    }

    const QFontMetricsF& metrics(const ReportObject& o)
    {
        auto it = m_metrics.find(&o);
        if (it == m_metrics.end())
            it = m_metrics.emplace(&o, QFontMetricsF(FontOf(o), &m_measure)).first;
        return it->second;
    }

    // The band's height for the row: its own, or more when a wrapped text needs it.
    double rowHeight(const ReportBand& band, const RunState& state)
    {
        if (!band.stretch)
            return band.height;
        double height = band.height;
        const double pixelsPerMm = kMeasureDpi / kMillimetresPerInch;
        for (const ReportObject& o : band.objects) {
            if (o.kind != ReportObjectKind::Text || !o.wrap)
                continue;
            const QString text = evaluate(m_texts.at(&o), state);
            const double width = qMax(1.0, (o.rect.width() - 2 * o.padding) * pixelsPerMm);
            const QRectF needed = metrics(o).boundingRect(
                QRectF(0, 0, width, 1e6),
                int(o.alignment & Qt::AlignHorizontal_Mask) | Qt::TextWordWrap, text);
            height = qMax(height, o.rect.y() + needed.height() / pixelsPerMm + kWrapSpace);
        }
        return height;
    }

    // Places the band's objects at `y` and returns the height it takes.
    double place(std::vector<ReportItem>& items, const ReportBand& band, double y, double height,
                 const RunState& state, bool stripe) const
    {
        const double left = m_layout.margins.left();
        if (stripe)
            items.push_back(
                {nullptr, QRectF(left, y, m_layout.contentWidth(), height), {}, band.stripe});
        for (const ReportObject& o : band.objects) {
            QRectF rect = o.rect.translated(left, y);
            if (height > band.height && o.rect.bottom() >= band.height - 0.001)
                rect.setHeight(height - o.rect.y());
            ReportItem item{&o, rect, {}, {}};
            if (o.kind == ReportObjectKind::Text)
                item.text = evaluate(m_texts.at(&o), state);
            items.push_back(std::move(item));
        }
        return height;
    }

    const ReportTemplate& m_layout;
    ReportData* m_data;
    const BandReport::ValueCallback& m_values;
    QDate m_runDate;
    QImage m_measure;
    std::unordered_map<const ReportObject*, CompiledText> m_texts;
    std::unordered_map<const ReportObject*, QFontMetricsF> m_metrics;
    std::vector<int> m_sumColumns;
};

} // namespace

BandReport::BandReport() : m_layout(std::make_shared<ReportTemplate>())
{}

void BandReport::loadFromFile(const QString& path)
{
    setTemplate(LoadReportTemplate(path));
}

void BandReport::setTemplate(ReportTemplate layout)
{
    m_layout = std::make_shared<const ReportTemplate>(std::move(layout));
    m_pictures.clear();
}

bool BandReport::hasObject(const QString& name) const
{
    return m_layout->findObject(name) != nullptr;
}

void BandReport::loadPicture(const QString& objectName, const QString& path)
{
    QImage image;
    if (path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) {
        image = ReadBmpFile(path).toQImage();
    } else {
        QImageReader reader(path);
        image = reader.read();
        if (image.isNull())
            throw Error(QStringLiteral("Impossible de lire l'image \"%1\".").arg(path));
    }
    setPicture(objectName, image);
}

void BandReport::setPicture(const QString& objectName, const QImage& image)
{
    m_pictures.insert(objectName.toUpper(), image);
}

PreparedReport BandReport::prepare(ReportData* data) const
{
    if (data)
        data->open();
    PreparedReport report(m_layout, m_pictures, m_title);
    Run run(*m_layout, data, m_values, m_runDate.isValid() ? m_runDate : QDate::currentDate());
    run.layOut(report);
    return report;
}

} // namespace tilvo
