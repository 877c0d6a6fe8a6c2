// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the desktop's session services on the session bus, for the end-to-end tests
// of the idle starter: "locked" answers GetActive of org.freedesktop.ScreenSaver with true,
// "inhibited" answers IsInhibited of org.gnome.SessionManager with true for the idle flag.
// Prints "ready" once its name is taken, and runs until it is ended.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>

#include <cstdio>

class ScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    bool GetActive() { return true; }
};

class SessionManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
public slots:
    bool IsInhibited(uint flags) { return (flags & 8u) != 0; }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString state = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    ScreenSaver screenSaver;
    SessionManager sessionManager;
    bool ok = false;
    if (state == u"locked") {
        ok = bus.registerObject("/org/freedesktop/ScreenSaver", &screenSaver,
                                QDBusConnection::ExportAllSlots) &&
             bus.registerService("org.freedesktop.ScreenSaver");
    } else if (state == u"inhibited") {
        ok = bus.registerObject("/org/gnome/SessionManager", &sessionManager,
                                QDBusConnection::ExportAllSlots) &&
             bus.registerService("org.gnome.SessionManager");
    }
    if (!ok) {
        std::fprintf(stderr, "usage: session_standin locked|inhibited (on a session bus)\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "session_standin.moc"
