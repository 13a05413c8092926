// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/ui/PictureReport.h"

#include "common/Error.h"
#include "common/ProgramInfo.h"
#include "publish/BandReport.h"
#include "publish/ui/PrintTargets.h"

#include <QPainter>
#include <QPrinter>
#include <memory>

namespace tilvo {

namespace {

constexpr double kMargin = 10; // millimetres

} // namespace

ReportTemplate PicturePageLayout(QPageLayout::Orientation orientation)
{
    ReportTemplate layout;
    layout.fileName = orientation == QPageLayout::Landscape ? QStringLiteral("frReport2")
                                                            : QStringLiteral("frReport1");
    layout.pageSize = QPageSize::A4;
    layout.orientation = orientation;
    layout.margins = QMarginsF(kMargin, kMargin, kMargin, kMargin);
    const QSizeF paper = layout.paperSize();
    ReportBand band;
    band.kind = ReportBandKind::PageHeader;
    band.height = paper.height() - 2 * kMargin;
    ReportObject picture;
    picture.kind = ReportObjectKind::Picture;
    picture.name = QStringLiteral("Img");
    picture.rect = QRectF(0, 0, paper.width() - 2 * kMargin, band.height);
    picture.keepAspect = true;
    band.objects.push_back(picture);
    layout.bands.push_back(band);
    return layout;
}

PreparedReport PreparePictureReport(const QImage& picture, const QString& title)
{
    BandReport report;
    report.setTemplate(PicturePageLayout(
        picture.width() > picture.height() ? QPageLayout::Landscape : QPageLayout::Portrait));
    report.setTitle(title);
    if (report.hasObject(QStringLiteral("Img")))
        report.setPicture(QStringLiteral("Img"), picture);
    return report.prepare(nullptr);
}

void PrintPictureReports(const std::vector<std::pair<PreparedReport, int>>& reports,
                         const Prompts::PrintTarget& target)
{
    if (reports.empty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    ApplyPrintTarget(printer, target);
    printer.setDocName(reports.front().first.title());
    printer.setCreator(QString::fromLatin1(ProgramTitle));
    printer.setFullPage(true);
    const QString failure =
        QStringLiteral("Impossible d'imprimer l'image \"%1\".").arg(reports.front().first.title());
    QPainter painter;
    bool started = false;
    for (const auto& [report, copies] : reports) {
        for (int copy = 0; copy < qMax(1, copies); ++copy) {
            for (int page = 0; page < report.pageCount(); ++page) {
                // Each page takes its own paper before it starts.
                printer.setPageLayout(report.pageLayout());
                if (!started) {
                    if (!painter.begin(&printer))
                        throw Error(failure);
                    started = true;
                } else if (!printer.newPage()) {
                    throw Error(failure);
                }
                report.paintPage(painter, page);
            }
        }
    }
    if (started && !painter.end())
        throw Error(failure);
}

} // namespace tilvo
