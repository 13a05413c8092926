// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// How DrawHistoryGraphs draws and saves the two graphs of a history: where the values come
// from, the pictures' size and background, and the two files.
struct HistoryGraphOptions
{
    int width = 1000;
    int height = 600;
    bool gradient = false;
    // The left axis takes the quantity, then the money format; else it keeps "###0".
    bool setAxisFormat = false;
    QString quantityColumn;
    QString dateColumn;
    QString unitColumn;
    QString amountColumn;
    QString firstFile;
    QString secondFile;
    // The source goes back to its first row once the amounts are drawn.
    bool backToFirstAfterAmounts = false;

    // The history page with graphs: 330 × 198 with the gradient, axis formats set, the
    // columns of the page's query, Html/Temp/graph1.bmp and graph2.bmp in the data folder.
    static HistoryGraphOptions ForHtmlPage(const QString& dataFolder);
    // The history reports: 1000 × 600 without gradient, the axis left at "###0", the
    // report query's columns, temp1.bmp and temp2.bmp in the data folder.
    static HistoryGraphOptions ForReports(const QString& dataFolder);
};

} // namespace tilvo
