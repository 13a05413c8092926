// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <vector>

namespace tilvo {

// The bands of a report, in the order a page shows them.
enum class ReportBandKind
{
    PageHeader,   // top of every page
    ReportTitle,  // once, on the first page
    ColumnHeader, // above the rows, on every page that has rows
    MasterData,   // once per row of the query
    Summary,      // once, after the last row
    PageFooter,   // bottom of every page
};

enum class ReportObjectKind
{
    Text,
    Picture,
    Line,
    Rect,
};

// One object of a band. Lengths are millimetres, from the band's top and the left margin.
struct ReportObject
{
    ReportObjectKind kind = ReportObjectKind::Text;
    QString name;
    QRectF rect;
    QString text; // Text: literal text with [expressions]
    QString fontFamily;
    double fontSize = 9; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color = Qt::black;
    QColor fill; // invalid: none
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString frame; // the sides drawn: any of "l", "t", "r", "b"
    QColor frameColor = Qt::black;
    double frameWidth = 0.2;
    double pen = 0.2; // Line: its width
    bool wrap = false;
    double padding = 1.0;   // Text: between the frame and the text, left and right
    bool keepAspect = true; // Picture: fitted and centred, or stretched over the rectangle
    int line = 0;           // where the template defines it
};

struct ReportBand
{
    ReportBandKind kind = ReportBandKind::MasterData;
    double height = 0;
    // A row band grows to hold its wrapped texts; the objects reaching its bottom grow with it.
    bool stretch = false;
    QColor stripe; // every second row band is painted in this colour first
    std::vector<ReportObject> objects;
};

// A report layout read from our text format (see the README): the page, the default font and
// the bands with their objects.
struct ReportTemplate
{
    QString fileName;
    QPageSize::PageSizeId pageSize = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{15, 12, 15, 12}; // millimetres
    QString fontFamily = QStringLiteral("Arial");
    double fontSize = 9;
    std::vector<ReportBand> bands;

    // The paper in millimetres, turned for a landscape page.
    QSizeF paperSize() const;
    double contentWidth() const;
    QPageLayout pageLayout() const;

    const ReportBand* band(ReportBandKind kind) const;
    const ReportObject* findObject(const QString& name) const;
};

QString ReportBandName(ReportBandKind kind);

// Reads a template's text; throws Error naming the file and the line of a mistake.
ReportTemplate ParseReportTemplate(const QString& text, const QString& fileName);
// Reads a template file; throws Error naming the file when it is missing or unreadable.
ReportTemplate LoadReportTemplate(const QString& path);

} // namespace tilvo
