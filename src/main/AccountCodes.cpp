// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/AccountCodes.h"

#include <QStringList>

namespace tilvo {

QString PeriodTypeLines()
{
    return QStringLiteral("Mois\rAnnée\rDécennie\rDates");
}

QString StatTypeLines()
{
    return QStringLiteral("Ligne 3D\rHistogramme\rAire\rPoint\rSectoriel\rLigne simple");
}

QString ValueTypeLines()
{
    return QStringLiteral("Quantité\rMontant");
}

QString DecimalLines()
{
    return QStringLiteral("0\r1\r2\r3");
}

QString CodeLineText(const QString& lines, int index)
{
    const QStringList all = lines.split(u'\r');
    return index >= 0 && index < all.size() ? all.at(index) : QString();
}

} // namespace tilvo
