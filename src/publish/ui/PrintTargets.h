// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Prompts.h"

class QPrinter;

namespace tilvo {

class PreparedReport;

// Points the printer at the target: the named printer, or a PDF file.
void ApplyPrintTarget(QPrinter& printer, const Prompts::PrintTarget& target);

// Prints pages `from` to `to` of the report `copies` times on the target: a printer that makes
// its own copies is asked for them, otherwise every copy is sent. Throws Error when the
// target cannot be printed on.
void PrintReport(const PreparedReport& report, const Prompts::PrintTarget& target, int from, int to,
                 int copies);

// The whole report as a PDF file; throws Error when the file cannot be written.
void SaveReportAsPdf(const PreparedReport& report, const QString& path);

} // namespace tilvo
