// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up benchmark's baseline: the least a Qt Widgets program does to show a window of
// the main window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tilvo"));
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
