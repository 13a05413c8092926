// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TerminalOutput.h"

#include <QTextStream>

namespace tilvo {

namespace {

constexpr int kWidth = 78;
constexpr int kBarWidth = 24;

QString LineBreaks(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    return shown;
}

} // namespace

TerminalOutput::TerminalOutput(QTextStream& out, QTextStream& err, bool progressLine)
    : m_out(out), m_err(err), m_progressLine(progressLine)
{}

void TerminalOutput::result(const QString& text)
{
    endProgress();
    m_out << LineBreaks(text) << '\n';
    m_out.flush();
}

void TerminalOutput::message(const QString& text)
{
    endProgress();
    m_err << LineBreaks(text) << '\n';
    m_err.flush();
}

void TerminalOutput::progress(const QString& label, int position, int maximum)
{
    if (!m_progressLine)
        return;
    QString line;
    if (maximum > 0) {
        const int done = std::clamp(int(qint64(position) * kBarWidth / maximum), 0, kBarWidth);
        const int percent = std::clamp(int(qint64(position) * 100 / maximum), 0, 100);
        line = QStringLiteral("[%1%2] %3 % ")
                   .arg(QString(done, u'#'), QString(kBarWidth - done, u'.'))
                   .arg(percent, 3);
    }
    line += LineBreaks(label).simplified();
    if (line.size() > kWidth)
        line = line.left(kWidth - 1) + u'…';
    if (line == m_shown)
        return;
    // A new label always shows; the bar alone is redrawn at most ten times a second.
    const bool sameLabel = m_shown.endsWith(LineBreaks(label).simplified());
    if (sameLabel && m_sinceDrawn.isValid() && m_sinceDrawn.elapsed() < 100 && position < maximum)
        return;
    m_err << '\r' << line.leftJustified(std::max<int>(int(m_shown.size()), int(line.size())));
    m_err.flush();
    m_shown = line;
    m_sinceDrawn.start();
}

void TerminalOutput::endProgress()
{
    if (!m_progressLine || m_shown.isEmpty())
        return;
    m_err << '\r' << QString(m_shown.size(), u' ') << '\r';
    m_err.flush();
    m_shown.clear();
}

} // namespace tilvo
