// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

class QTextStream;

namespace tilvo {

// What the command line prints: results on the standard output, messages and errors on the
// error output, and, on a terminal only, one progress line redrawn in place (a label and a
// bar), so that scripts and scheduled runs get clean output.
class TerminalOutput
{
public:
    TerminalOutput(QTextStream& out, QTextStream& err, bool progressLine);
    TerminalOutput(const TerminalOutput&) = delete;
    TerminalOutput& operator=(const TerminalOutput&) = delete;

    // A result line on the standard output.
    void result(const QString& text);
    // A message on the error output; carriage returns become line breaks.
    void message(const QString& text);

    // The progress line: a label and, when `maximum` is positive, a bar with the percentage.
    // Redrawn when the text changes, at most ten times a second.
    void progress(const QString& label, int position = 0, int maximum = 0);
    // Clears the progress line.
    void endProgress();

private:
    QTextStream& m_out;
    QTextStream& m_err;
    bool m_progressLine;
    QString m_shown;
    QElapsedTimer m_sinceDrawn;
};

} // namespace tilvo
