// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "publish/ReportTemplate.h"

#include <QHash>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace tilvo {

// One thing drawn on a prepared page, at its place in millimetres from the paper's corner.
struct ReportItem
{
    const ReportObject* object = nullptr; // null for a row's stripe
    QRectF rect;
    QString text;
    QColor fill; // the stripe's colour
};

// The pages a report run produced, ready to be painted on any device: a printer, a PDF
// writer, the preview. Independent of the data it came from.
class PreparedReport
{
public:
    PreparedReport() = default;
    PreparedReport(std::shared_ptr<const ReportTemplate> layout, QHash<QString, QImage> pictures,
                   QString title);

    int pageCount() const { return int(m_pages.size()); }
    const QString& title() const { return m_title; }
    // The paper of every page, without printer margins (the template keeps its own).
    QPageLayout pageLayout() const;
    const ReportTemplate* layout() const { return m_layout.get(); }

    // Paints one page (from 0) at the painter's device resolution, with the paper's top left
    // corner at the painter's origin.
    void paintPage(QPainter& painter, int page) const;

    // Prints the pages `from` to `to` (from 1, inclusive), the whole run `copies` times, on a
    // printer or a PDF writer set to this report's paper. Throws Error when the device cannot
    // be painted on.
    void print(QPagedPaintDevice& device, int from, int to, int copies) const;

    // The texts of a page, in the order they are drawn.
    QStringList pageTexts(int page) const;
    const std::vector<ReportItem>& items(int page) const { return m_pages.at(size_t(page)); }

    // Used while preparing.
    std::vector<ReportItem>& addPage();
    std::vector<std::vector<ReportItem>>& pages() { return m_pages; }

private:
    std::shared_ptr<const ReportTemplate> m_layout;
    QHash<QString, QImage> m_pictures; // by upper-cased object name
    QString m_title;
    std::vector<std::vector<ReportItem>> m_pages;
};

} // namespace tilvo
