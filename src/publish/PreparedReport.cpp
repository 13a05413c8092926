// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/PreparedReport.h"

#include "common/Error.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

namespace tilvo {

namespace {

constexpr double kMillimetresPerInch = 25.4;

QFont FontOf(const ReportObject& o)
{
    QFont font(o.fontFamily);
    font.setPointSizeF(o.fontSize);
    font.setBold(o.bold);
    font.setItalic(o.italic);
    font.setUnderline(o.underline);
    return font;
}

class PageScale
{
public:
    explicit PageScale(const QPaintDevice& device)
        : m_x(device.logicalDpiX() / kMillimetresPerInch),
          m_y(device.logicalDpiY() / kMillimetresPerInch)
    {}
    QRectF rect(const QRectF& mm) const
    {
        return QRectF(mm.x() * m_x, mm.y() * m_y, mm.width() * m_x, mm.height() * m_y);
    }
    QPointF point(double x, double y) const { return QPointF(x * m_x, y * m_y); }
    double length(double mm) const { return mm * (m_x + m_y) / 2; }

private:
    double m_x;
    double m_y;
};

void DrawFrame(QPainter& painter, const PageScale& scale, const ReportObject& o, const QRectF& mm)
{
    if (o.frame.isEmpty())
        return;
    QPen pen(o.frameColor);
    pen.setWidthF(qMax(1.0, scale.length(o.frameWidth)));
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    const QRectF r = scale.rect(mm);
    if (o.frame.contains(u'l'))
        painter.drawLine(r.topLeft(), r.bottomLeft());
    if (o.frame.contains(u't'))
        painter.drawLine(r.topLeft(), r.topRight());
    if (o.frame.contains(u'r'))
        painter.drawLine(r.topRight(), r.bottomRight());
    if (o.frame.contains(u'b'))
        painter.drawLine(r.bottomLeft(), r.bottomRight());
}

} // namespace

PreparedReport::PreparedReport(std::shared_ptr<const ReportTemplate> layout,
                               QHash<QString, QImage> pictures, QString title)
    : m_layout(std::move(layout)), m_pictures(std::move(pictures)), m_title(std::move(title))
{}

QPageLayout PreparedReport::pageLayout() const
{
    return m_layout ? m_layout->pageLayout() : ReportTemplate().pageLayout();
}

std::vector<ReportItem>& PreparedReport::addPage()
{
    m_pages.emplace_back();
    return m_pages.back();
}

void PreparedReport::paintPage(QPainter& painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    const PageScale scale(*painter.device());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const ReportItem& item : m_pages[size_t(page)]) {
        const QRectF r = scale.rect(item.rect);
        if (!item.object) {
            painter.fillRect(r, item.fill);
            continue;
        }
        const ReportObject& o = *item.object;
        switch (o.kind) {
        case ReportObjectKind::Text: {
            if (o.fill.isValid())
                painter.fillRect(r, o.fill);
            const QFont font = FontOf(o);
            painter.setFont(font);
            painter.setPen(o.color);
            const double pad = scale.length(o.padding);
            const QRectF inner = r.adjusted(pad, 0, -pad, 0);
            if (o.wrap) {
                // A word longer than the column stays inside it, cut at its edge.
                painter.save();
                painter.setClipRect(r);
                painter.drawText(inner, int(o.alignment) | Qt::TextWordWrap, item.text);
                painter.restore();
            } else {
                const QFontMetricsF metrics(font, painter.device());
                const QString shown =
                    metrics.horizontalAdvance(item.text) > inner.width()
                        ? metrics.elidedText(item.text, Qt::ElideRight, inner.width())
                        : item.text;
                painter.drawText(inner, int(o.alignment) | Qt::TextSingleLine, shown);
            }
            DrawFrame(painter, scale, o, item.rect);
            break;
        }
        case ReportObjectKind::Rect:
            if (o.fill.isValid())
                painter.fillRect(r, o.fill);
            DrawFrame(painter, scale, o, item.rect);
            break;
        case ReportObjectKind::Line: {
            QPen pen(o.color);
            pen.setWidthF(qMax(1.0, scale.length(o.pen)));
            painter.setPen(pen);
            // A line runs along its rectangle's longer side, or is its diagonal.
            if (item.rect.height() == 0)
                painter.drawLine(r.topLeft(), r.topRight());
            else if (item.rect.width() == 0)
                painter.drawLine(r.topLeft(), r.bottomLeft());
            else
                painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        case ReportObjectKind::Picture: {
            const QImage image = m_pictures.value(o.name.toUpper());
            if (!image.isNull()) {
                QRectF target = r;
                if (o.keepAspect) {
                    const QSizeF size = QSizeF(image.size()).scaled(r.size(), Qt::KeepAspectRatio);
                    target = QRectF(r.x() + (r.width() - size.width()) / 2,
                                    r.y() + (r.height() - size.height()) / 2, size.width(),
                                    size.height());
                }
                painter.drawImage(target, image);
            }
            DrawFrame(painter, scale, o, item.rect);
            break;
        }
        }
    }
    painter.restore();
}

void PreparedReport::print(QPagedPaintDevice& device, int from, int to, int copies) const
{
    from = qMax(1, from);
    to = qMin(pageCount(), to);
    if (from > to)
        return;
    device.setPageLayout(pageLayout());
    QPainter painter;
    if (!painter.begin(&device))
        throw Error(QStringLiteral("Impossible d'imprimer le rapport \"%1\".").arg(m_title));
    bool first = true;
    for (int copy = 0; copy < qMax(1, copies); ++copy) {
        for (int page = from; page <= to; ++page) {
            if (!first && !device.newPage())
                throw Error(
                    QStringLiteral("Impossible d'imprimer le rapport \"%1\".").arg(m_title));
            first = false;
            paintPage(painter, page - 1);
        }
    }
    painter.end();
}

QStringList PreparedReport::pageTexts(int page) const
{
    QStringList texts;
    for (const ReportItem& item : m_pages.at(size_t(page))) {
        if (item.object && item.object->kind == ReportObjectKind::Text)
            texts.append(item.text);
    }
    return texts;
}

} // namespace tilvo
