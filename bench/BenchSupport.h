// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the display benchmarks need to run the real display form without a desktop: settings
// in memory, a cursor and window services that do nothing, and a photo-like test picture.

#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QMap>
#include <QPainter>
#include <QString>

#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Cursor.h"
#include "platform/SettingsStore.h"
#include "linux/platform/WindowServices.h"

namespace lumi::bench {

class MemoryStore final : public platform::SettingsStore {
public:
    std::string read(std::string_view key, std::string_view fallback) const override {
        const auto found = values_.find(lowered(key));
        return found != values_.end() ? found->second : std::string(fallback);
    }
    bool contains(std::string_view key) const override { return values_.contains(lowered(key)); }
    std::optional<std::string> write(std::string_view key, std::string_view value) override {
        values_.insert_or_assign(lowered(key), std::string(value));
        return std::nullopt;
    }

private:
    static std::string lowered(std::string_view key) {
        std::string text(key);
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    }

    std::map<std::string, std::string> values_;
};

class NoCursor final : public platform::Cursor {
public:
    int showCursor(bool) override { return 0; }
};

class NoWindows final : public platform::WindowServices {
public:
    explicit NoWindows(QRect screen) : screen_(screen) {}
    platform::NativeWindow findTopLevelWindow(const QString&) override { return 0; }
    QRect screenRect() override { return screen_; }
    QList<QRect> monitorRects() override { return {screen_}; }
    void showTopMost(QWidget&, const QRect&) override {}
    void showTopMostWithoutFocus(QWidget&, const QRect&) override {}
    bool setScreenSaverRunning(bool) override { return false; }
    bool canDrawInForeignWindows() override { return false; }
    std::optional<QRect> clientRect(platform::NativeWindow) override { return std::nullopt; }
    void embed(QWidget&, platform::NativeWindow, const QRect&) override {}

private:
    QRect screen_;
};

// A photo-like picture: gradients and fine detail, so that its JPEG is realistic.
inline QImage photo(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor(20, 60, 140));
    gradient.setColorAt(0.5, QColor(220, 160, 60));
    gradient.setColorAt(1, QColor(30, 120, 50));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 4000; ++i) {
        painter.setPen(QColor::fromHsv((i * 37) % 360, 200, 230));
        painter.drawEllipse(QPoint((i * 7919) % size.width(), (i * 104729) % size.height()),
                            20 + i % 90, 10 + i % 50);
    }
    return image;
}

// A line of /proc/self/status without its key, such as "812345 kB" for "VmHWM:".
inline QString procStatus(const char* key) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return "?";
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return QString::fromLatin1(line.mid(qstrlen(key))).simplified();
        }
    }
    return "?";
}

}  // namespace lumi::bench
