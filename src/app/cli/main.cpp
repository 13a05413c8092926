// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "common/Clock.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    using namespace tilvo;
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const SystemClock clock;
    CommandLineContext context{QCoreApplication::applicationDirPath(),
                               SystemPlatform(),
                               clock,
                               out,
                               err,
                               isatty(fileno(stderr)) != 0};
    return RunCommandLine(QCoreApplication::arguments().mid(1), context);
}
