// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/ProgramInfo.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QString::fromUtf8(tilvo::ProgramTitle));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
