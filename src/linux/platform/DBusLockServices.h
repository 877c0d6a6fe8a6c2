// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

#include "linux/platform/SessionLock.h"

namespace lumi::platform {

// logind's lock of the session that this process belongs to, on the system bus. prepare()
// finds the session (GetSessionByPID, or GetSession of XDG_SESSION_ID when the process
// belongs to none); requestLock() calls its Lock, queryLocked() reads its LockedHint. A
// request made while the session is still being looked for goes out once it is found.
class LogindLockService final : public QObject, public LockService {
    Q_OBJECT
public:
    QString name() const override { return QStringLiteral("logind"); }
    void prepare() override;
    void requestLock(std::function<void(bool accepted)> answered) override;
    void queryLocked(std::function<void(bool locked)> answer) override;

private:
    enum class Search { NotStarted, Running, Found, Failed };
    void findSession(const QString& method, const QVariantList& arguments,
                     std::function<void()> onFailure);
    void sessionSearchEnded(Search result);

    Search search_ = Search::NotStarted;
    QString sessionPath_;
    std::vector<std::function<void()>> waiting_;  // requests that wait for the session
};

// The Lock and GetActive of a screen-saver service on the session bus
// (org.freedesktop.ScreenSaver, org.gnome.ScreenSaver).
class ScreenSaverLockService final : public QObject, public LockService {
    Q_OBJECT
public:
    ScreenSaverLockService(QString service, QString path);
    QString name() const override { return service_; }
    void requestLock(std::function<void(bool accepted)> answered) override;
    void queryLocked(std::function<void(bool locked)> answer) override;

private:
    QString service_;
    QString path_;
};

}  // namespace lumi::platform
