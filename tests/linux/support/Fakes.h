// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fakes that stand behind the platform interfaces in unit tests. Each records what was
// asked of it so that a test can check the calls and their order.

#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "linux/platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/InstanceRegistry.h"
#include "support/FakeMusic.h"
#include "platform/MidiPlayer.h"
#include "linux/platform/PasswordService.h"
#include "linux/platform/SessionLock.h"
#include "platform/SettingsStore.h"
#include "linux/platform/WindowServices.h"

#include <optional>

namespace lumi::testing {

// An in-memory settings store with the real store's rule: names compared without regard
// to case, and a write replaces the value stored under another case.
class FakeSettingsStore final : public platform::SettingsStore {
public:
    std::string read(std::string_view key, std::string_view defaultValue) const override {
        const QString name = QString::fromUtf8(key);
        for (auto it = values_.cbegin(); it != values_.cend(); ++it) {
            if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
                return it.value().toStdString();
            }
        }
        return std::string(defaultValue);
    }

    std::optional<std::string> write(std::string_view key, std::string_view value) override {
        const QString name = QString::fromUtf8(key);
        const QString text = QString::fromUtf8(value);
        if (refusal) {
            refusedWrites.append(name + "=" + text);
            return refusal->toStdString();
        }
        for (auto it = values_.begin(); it != values_.end();) {
            it = it.key().compare(name, Qt::CaseInsensitive) == 0 ? values_.erase(it) : ++it;
        }
        values_.insert(name, text);
        writes.append(name + "=" + text);
        return std::nullopt;
    }

    bool contains(std::string_view key) const override {
        const QString name = QString::fromUtf8(key);
        for (auto it = values_.cbegin(); it != values_.cend(); ++it) {
            if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
        return false;
    }

    int size() const { return static_cast<int>(values_.size()); }

    QStringList writes;  // every write as "key=value", in order
    // While set, every write is refused with this reason and kept in refusedWrites instead.
    std::optional<QString> refusal;
    QStringList refusedWrites;

private:
    QMap<QString, QString> values_;
};

class FakeWindowServices final : public platform::WindowServices {
public:
    platform::NativeWindow findTopLevelWindow(const QString& title) override {
        searchedTitles.append(title);
        return windows.value(title, 0);
    }
    QRect screenRect() override { return screen; }
    QList<QRect> monitorRects() override {
        return monitors.isEmpty() ? QList<QRect>{screen} : monitors;
    }
    void showTopMost(QWidget& window, const QRect& rect) override {
        shownRect = rect;
        shownOrder.append(&window);
        window.setGeometry(rect);
        window.show();
    }
    void showTopMostWithoutFocus(QWidget& window, const QRect& rect) override {
        coverRects.append(rect);
        shownOrder.append(&window);
        window.setGeometry(rect);
        window.show();
    }
    bool setScreenSaverRunning(bool running) override {
        runningCalls.append(running);
        const bool previous = screenSaverRunning;
        screenSaverRunning = running;
        return previous;
    }

    bool canDrawInForeignWindows() override { return drawsInForeignWindows; }
    std::optional<QRect> clientRect(platform::NativeWindow window) override {
        if (!clientRects.contains(window)) {
            return std::nullopt;
        }
        return clientRects.value(window);
    }
    void embed(QWidget& child, platform::NativeWindow host, const QRect& rect) override {
        embeddedHost = host;
        embeddedRect = rect;
        child.setGeometry(rect);
        child.show();
    }

    QMap<QString, platform::NativeWindow> windows;    // title -> window
    QMap<platform::NativeWindow, QRect> clientRects;  // the windows that exist
    bool drawsInForeignWindows = true;                // false: as on Wayland
    platform::NativeWindow embeddedHost = 0;
    QRect embeddedRect;
    QRect screen{0, 0, 640, 480};
    QStringList searchedTitles;
    QList<QRect> monitors;  // empty: one monitor, `screen`
    QRect shownRect;
    QList<QRect> coverRects;     // every showTopMostWithoutFocus(), in order
    QList<QWidget*> shownOrder;  // every window shown top-most, in order
    QList<bool> runningCalls;
    bool screenSaverRunning = false;
};

class FakeCursor final : public platform::Cursor {
public:
    int showCursor(bool show) override {
        calls.append(show);
        count += show ? 1 : -1;
        return count;
    }
    int count = 0;
    QList<bool> calls;
};

class FakeClock final : public platform::Clock {
public:
    double secondsSinceMidnight() const override { return seconds; }
    QDateTime now() const override { return dateTime; }

    double seconds = 3600.0;
    QDateTime dateTime{QDate(2026, 12, 6), QTime(1, 23, 45)};
};

class FakeInstanceRegistry final : public platform::InstanceRegistry {
public:
    bool anotherInstanceRunning() override {
        ++queries;
        return another;
    }
    bool another = false;
    int queries = 0;
};

class FakePasswordService final : public platform::PasswordService {
public:
    void changePassword(const QString& provider, QWidget* owner, int reserved1,
                        int reserved2) override {
        calls.append(QStringLiteral("%1 %2 %3").arg(provider).arg(reserved1).arg(reserved2));
        lastOwner = owner;
        ownerWasVisible = owner && owner->isVisible();
    }
    QStringList calls;
    QWidget* lastOwner = nullptr;
    bool ownerWasVisible = false;
};

// A lock service that notes every call in a log shared with its siblings and keeps the
// answers for the test to give, as the event loop would, later.
class FakeLockService final : public platform::LockService {
public:
    FakeLockService(QString name, QStringList& log) : name_(std::move(name)), log_(log) {}
    QString name() const override { return name_; }
    void prepare() override { log_.append(name_ + " prepare"); }
    void requestLock(std::function<void(bool accepted)> answered) override {
        log_.append(name_ + " lock");
        lockAnswer = std::move(answered);
    }
    void queryLocked(std::function<void(bool locked)> answer) override {
        log_.append(name_ + " query");
        lockedAnswer = std::move(answer);
    }
    // Gives the outstanding answer, if any, and forgets it.
    void answerLock(bool accepted) { std::exchange(lockAnswer, nullptr)(accepted); }
    void answerLocked(bool locked) { std::exchange(lockedAnswer, nullptr)(locked); }

    std::function<void(bool)> lockAnswer;
    std::function<void(bool)> lockedAnswer;

private:
    QString name_;
    QStringList& log_;
};

// A clock for the lock's timers that moves only when the test says so.
class ManualLockScheduler {
public:
    platform::LockScheduler scheduler() {
        return [this](QObject*, std::chrono::milliseconds delay, std::function<void()> callback) {
            due_.push_back({now_ + delay, std::move(callback)});
        };
    }
    // Moves the clock on by `step`, running in time order every callback due by then,
    // also those that the callbacks schedule.
    void advance(std::chrono::milliseconds step) {
        const std::chrono::milliseconds until = now_ + step;
        for (;;) {
            auto next = std::min_element(due_.begin(), due_.end(),
                                         [](const auto& a, const auto& b) { return a.at < b.at; });
            if (next == due_.end() || next->at > until) {
                break;
            }
            now_ = next->at;
            auto callback = std::move(next->callback);
            due_.erase(next);
            callback();
        }
        now_ = until;
    }
    std::chrono::milliseconds now() const { return now_; }

private:
    struct Entry {
        std::chrono::milliseconds at;
        std::function<void()> callback;
    };
    std::chrono::milliseconds now_{0};
    std::vector<Entry> due_;
};

}  // namespace lumi::testing
