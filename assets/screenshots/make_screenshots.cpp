// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the two screenshots that the AppStream metadata names, for the website that serves
// them: display.png, the display on a 1280 x 720 screen (16:9) with the welcome picture two
// thirds painted by the laser beams over the default background, and setup.png, the Setup
// dialog on its Options page with a few pictures in its list. Both are drawn offscreen, so the
// build needs no display.
//
// Usage: make_screenshots <default.jpg> <bg.jpg> <output folder>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

#include "display/LaserPainter.h"
#include "linux/display/CorePixels.h"
#include "music/NoMusicPlayer.h"
#include "linux/platform/IniSettingsStore.h"
#include "linux/platform/QtShell.h"
#include "linux/settings/PictureList.h"
#include "linux/setup/QtSetupDialogs.h"
#include "linux/setup/Setup.h"

namespace {

constexpr QSize kScreenSize(1280, 720);
constexpr double kPaintedShare = 0.66;

// The display as it stands while the welcome picture is painted: the background picture from
// the top-left corner, the picture centred, its beams from the bottom-right corner of the
// holder, as the display draws them.
QImage displayScreenshot(const QImage& picture, const QImage& background) {
    QImage screen(kScreenSize, QImage::Format_RGB32);
    screen.fill(Qt::black);
    {
        QPainter painter(&screen);
        painter.drawImage(QPoint(0, 0), background);
    }
    const QSize canvasSize = lumi::display::toQSize(
        lumi::display::LaserPainter::canvasSize(lumi::display::toSize(picture.size())));
    const QPoint topLeft((kScreenSize.width() - picture.width()) / 2,
                         (kScreenSize.height() - picture.height()) / 2);
    QImage canvas = screen.copy(QRect(topLeft, canvasSize));
    lumi::display::LaserPainter laser;
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    laser.start(lumi::display::constPixelsOf(source), lumi::display::pixelsOf(canvas), {},
                {picture.width(), picture.height()}, {}, std::nullopt);
    const int columns = static_cast<int>(laser.stepCount() * kPaintedShare);
    for (int column = 0; column < columns; ++column) {
        laser.step();
    }
    QPainter painter(&screen);
    painter.drawImage(topLeft, canvas);
    return screen;
}

QImage setupScreenshot(const QString& folder) {
    const QString installDir = folder + QStringLiteral("/install/");
    QDir().mkpath(installDir);
    lumi::settings::writePictureList(lumi::settings::pictureListPath(installDir),
                                     {QStringLiteral("/home/you/Pictures/Harbour at dusk.jpg"),
                                      QStringLiteral("/home/you/Pictures/Lighthouse.png"),
                                      QStringLiteral("/home/you/Pictures/Summer/Meadow.jpg"),
                                      QStringLiteral("/home/you/Pictures/Summer/Sunflowers.heic")});
    lumi::platform::IniSettingsStore settings(folder + QStringLiteral("/Lumiscribe.ini"));
    // The background picture where a user's first start puts it, rather than the scratch folder.
    settings.write("BGFile", "/home/you/.local/share/Corvanta/Lumiscribe/bg.jpg");
    lumi::music::NoMusicPlayer player;
    lumi::setup::QtSetupDialogs dialogs(settings);
    lumi::platform::QtShell shell;
    lumi::setup::Setup dialog(lumi::setup::SetupServices{
        settings, player, dialogs, shell, installDir, QString(), QString(), QString()});
    dialog.Form_Load();
    dialog.show();
    QApplication::processEvents();
    return dialog.grab().toImage();
}

bool save(const QImage& image, const QString& path) {
    if (image.isNull() || !image.save(path, "PNG")) {
        std::fprintf(stderr, "make_screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_screenshots <default.jpg> <bg.jpg> <output folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir scratch;
    // The dialog's settings and picture list stay in the scratch folder.
    qputenv("XDG_CONFIG_HOME", scratch.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", scratch.path().toLocal8Bit());
    QApplication app(argc, argv);
    const QImage picture =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage background(QString::fromLocal8Bit(argv[2]));
    if (picture.isNull() || background.isNull()) {
        std::fprintf(stderr, "make_screenshots: cannot read %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    const QDir output(QString::fromLocal8Bit(argv[3]));
    if (!QDir().mkpath(output.path())) {
        std::fprintf(stderr, "make_screenshots: cannot make %s\n", argv[3]);
        return 1;
    }
    const bool saved =
        save(displayScreenshot(picture, background),
             output.filePath(QStringLiteral("display.png"))) &&
        save(setupScreenshot(scratch.path()), output.filePath(QStringLiteral("setup.png")));
    return saved ? 0 : 1;
}
