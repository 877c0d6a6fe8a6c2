// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the desktop's session services, for the end-to-end tests of the idle
// starter and of the lock at the end of the display:
//   locked     answers GetActive of org.freedesktop.ScreenSaver with true (session bus);
//   inhibited  answers IsInhibited of org.gnome.SessionManager with true for the idle flag;
//   logind FILE        stands in for logind on the system bus: one session, "c1", that
//                      GetSessionByPID and GetSession find, with Lock and LockedHint;
//   freedesktop FILE   org.freedesktop.ScreenSaver with Lock and GetActive (session bus);
//   gnome FILE         org.gnome.ScreenSaver likewise.
// A lock service, when asked to lock, first takes a screenshot of the X display into FILE
// (so that it shows what covered the screen when the request came), prints "lock requested",
// answers, and from then on says that the session is locked. The screenshot is taken in
// this process, which is connected to the X server from its start: a screenshot program
// started only then can take longer than the display's wait for the lock on a busy machine. Prints
// "ready" once its name is taken, and runs until it is ended.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QGuiApplication>
#include <QObject>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <memory>

namespace {

// What every lock service does when asked to lock.
class LockState {
public:
    explicit LockState(QString screenshot) : screenshot_(std::move(screenshot)) {}
    void lock() {
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        const bool saved = screen.save(screenshot_, "PNG");
        std::printf("lock requested%s\n", saved ? "" : " (no screenshot)");
        std::fflush(stdout);
        locked_ = true;
    }
    bool locked() const { return locked_; }

private:
    QString screenshot_;
    bool locked_ = false;
};

}  // namespace

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

class FreedesktopLock : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    explicit FreedesktopLock(LockState& state) : state_(state) {}
public slots:
    void Lock() { state_.lock(); }
    bool GetActive() { return state_.locked(); }

private:
    LockState& state_;
};

class GnomeLock : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.ScreenSaver")
public:
    explicit GnomeLock(LockState& state) : state_(state) {}
public slots:
    void Lock() { state_.lock(); }
    bool GetActive() { return state_.locked(); }

private:
    LockState& state_;
};

class LogindManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    QDBusObjectPath GetSessionByPID(uint) { return session(); }
    QDBusObjectPath GetSession(const QString&) { return session(); }

private:
    static QDBusObjectPath session() {
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/session/c1"));
    }
};

class LogindSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool LockedHint READ LockedHint)
public:
    explicit LogindSession(LockState& state) : state_(state) {}
    bool LockedHint() const { return state_.locked(); }
public slots:
    void Lock() { state_.lock(); }

private:
    LockState& state_;
};

int main(int argc, char** argv) {
    // The lock services take screenshots of the X display; the others need no display.
    const std::unique_ptr<QCoreApplication> app =
        argc > 2 ? std::make_unique<QGuiApplication>(argc, argv)
                 : std::make_unique<QCoreApplication>(argc, argv);
    const QString state = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    LockState lockState(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString());
    QDBusConnection bus = QDBusConnection::sessionBus();
    ScreenSaver screenSaver;
    SessionManager sessionManager;
    FreedesktopLock freedesktopLock(lockState);
    GnomeLock gnomeLock(lockState);
    LogindManager logindManager;
    LogindSession logindSession(lockState);
    const auto exportAll = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties;
    bool ok = false;
    if (state == u"locked") {
        ok = bus.registerObject("/org/freedesktop/ScreenSaver", &screenSaver,
                                QDBusConnection::ExportAllSlots) &&
             bus.registerService("org.freedesktop.ScreenSaver");
    } else if (state == u"inhibited") {
        ok = bus.registerObject("/org/gnome/SessionManager", &sessionManager,
                                QDBusConnection::ExportAllSlots) &&
             bus.registerService("org.gnome.SessionManager");
    } else if (argc > 2 && state == u"freedesktop") {
        ok = bus.registerObject("/org/freedesktop/ScreenSaver", &freedesktopLock, exportAll) &&
             bus.registerService("org.freedesktop.ScreenSaver");
    } else if (argc > 2 && state == u"gnome") {
        ok = bus.registerObject("/org/gnome/ScreenSaver", &gnomeLock, exportAll) &&
             bus.registerService("org.gnome.ScreenSaver");
    } else if (argc > 2 && state == u"logind") {
        // The idle starter asks for the session of its caller as "auto".
        QDBusConnection system = QDBusConnection::systemBus();
        ok = system.registerObject("/org/freedesktop/login1", &logindManager, exportAll) &&
             system.registerObject("/org/freedesktop/login1/session/c1", &logindSession,
                                   exportAll) &&
             system.registerObject("/org/freedesktop/login1/session/auto", &logindSession,
                                   exportAll) &&
             system.registerService("org.freedesktop.login1");
    }
    if (!ok) {
        std::fprintf(stderr,
                     "usage: session_standin locked|inhibited|logind FILE|freedesktop FILE|"
                     "gnome FILE (on the buses of the test)\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "session_standin.moc"
