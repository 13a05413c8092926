// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Prompts.h"
#include "publish/PreparedReport.h"
#include "publish/ReportTemplate.h"

#include <QImage>
#include <QString>
#include <utility>
#include <vector>

namespace tilvo {

// The one-page layouts a picture prints on: `frReport1` an A4 portrait page, `frReport2` an
// A4 landscape page, each with the picture object "Img" over nearly the whole page, the
// picture fitted into it keeping its proportions and centred.
ReportTemplate PicturePageLayout(QPageLayout::Orientation orientation);

// The page of one picture: landscape when it is wider than tall, portrait otherwise; the
// report's title is `title`.
PreparedReport PreparePictureReport(const QImage& picture, const QString& title);

// Prints the reports one after the other as one print job, each as many times as its count,
// every page on its own paper orientation. Throws Error when the target cannot be printed on.
void PrintPictureReports(const std::vector<std::pair<PreparedReport, int>>& reports,
                         const Prompts::PrintTarget& target);

} // namespace tilvo
