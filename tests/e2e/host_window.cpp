// SPDX-License-Identifier: GPL-3.0-or-later
// A host window for the end-to-end tests: a plain top-level window at the top-left corner
// of the screen, filled with magenta, whose X11 window id it prints on standard output.
//
// Usage: lumi_host_window <title> <width> <height>

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: lumi_host_window <title> <width> <height>\n");
        return 2;
    }
    QWidget host;
    host.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    host.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    host.setAutoFillBackground(true);
    QPalette palette = host.palette();
    palette.setColor(QPalette::Window, Qt::magenta);
    host.setPalette(palette);
    host.setGeometry(0, 0, QString(argv[2]).toInt(), QString(argv[3]).toInt());
    host.show();
    std::printf("%llu\n", static_cast<unsigned long long>(host.winId()));
    std::fflush(stdout);
    return QApplication::exec();
}
