// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/ui/PrintTargets.h"

#include "common/ProgramInfo.h"
#include "publish/PreparedReport.h"

#include <QPdfWriter>
#include <QPrinter>

namespace tilvo {

void ApplyPrintTarget(QPrinter& printer, const Prompts::PrintTarget& target)
{
    if (!target.pdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target.pdfFile);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        if (!target.printerName.isEmpty())
            printer.setPrinterName(target.printerName);
    }
}

void PrintReport(const PreparedReport& report, const Prompts::PrintTarget& target, int from, int to,
                 int copies)
{
    QPrinter printer(QPrinter::HighResolution);
    ApplyPrintTarget(printer, target);
    printer.setDocName(report.title());
    printer.setCreator(QString::fromLatin1(ProgramTitle));
    printer.setFullPage(true);
    if (target.pdfFile.isEmpty() && copies > 1 && printer.supportsMultipleCopies()) {
        printer.setCopyCount(copies);
        report.print(printer, from, to, 1);
    } else {
        report.print(printer, from, to, copies);
    }
}

void SaveReportAsPdf(const PreparedReport& report, const QString& path)
{
    QPdfWriter writer(path);
    writer.setTitle(report.title());
    writer.setCreator(QString::fromLatin1(ProgramTitle));
    report.print(writer, 1, report.pageCount(), 1);
}

} // namespace tilvo
