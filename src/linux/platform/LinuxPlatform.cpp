// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>
#include <QtGlobal>

#include <wayland-client.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

#include "linux/platform/Platform.h"
#include "linux/platform/DesktopLockPasswordService.h"
#include "linux/platform/DesktopScale.h"
#include "linux/platform/QtPlatformChoice.h"
#include "linux/platform/WaylandWindowServices.h"
#include "linux/platform/X11WindowServices.h"

namespace lumi::platform {
namespace {

// An X11 desktop sets its scale as the font resolution "Xft.dpi". Left to itself, Qt would
// only enlarge the fonts by it, in windows of unchanged size. The dialogs instead grow as a
// whole, positions, sizes and fonts together, by Xft.dpi / 96 on top of the user's own
// QT_SCALE_FACTOR, while the fonts are measured at 96 dpi inside that scale. A user who fixed
// the font resolution with QT_FONT_DPI keeps it, and no desktop scale is applied then.
void scaleDialogsForX11Desktop() {
    if (qEnvironmentVariableIsSet("QT_FONT_DPI")) {
        return;
    }
    const std::optional<QByteArray> factor =
        dialogScaleFactor(readXftDpi(), qgetenv("QT_SCALE_FACTOR"));
    if (!factor) {
        return;
    }
    qputenv("QT_SCALE_FACTOR", *factor);
    qputenv("QT_FONT_DPI", "96");
}

// True when an X server answers at DISPLAY. The connection that answered stays open for the
// life of the process: an X server resets when its last client leaves (Xvfb and Xorg do,
// unless started with -noreset), and a reset between this probe and the toolkit's own
// connection would refuse the toolkit, which then ends the program with an abort.
bool x11DisplayAnswers() {
    static xcb_connection_t* held = nullptr;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return false;
    }
    if (held != nullptr) {
        xcb_disconnect(held);
    }
    held = connection;
    return true;
}

// True when a compositor answers at WAYLAND_DISPLAY (by default wayland-0).
bool waylandDisplayAnswers() {
    // A socket handed over in WAYLAND_SOCKET serves one connection only: it is the toolkit's.
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET")) {
        return true;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return false;
    }
    wl_display_disconnect(display);
    return true;
}

}  // namespace

void prepareApplication(PixelScaling scaling, WindowSystem windowSystem) {
    // The scale that Qt derives from the desktop stays off in every mode; the dialogs take the
    // desktop's scale from Xft.dpi below.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    if (scaling == PixelScaling::DevicePixels) {
        // Qt applies these factors even with its high-DPI scaling off; a scaled desktop may
        // set them for every program it starts. Any factor other than 1 would make one
        // picture pixel cover several screen pixels, blurred, and put the screen's far
        // half out of reach.
        qunsetenv("QT_SCALE_FACTOR");
        qunsetenv("QT_SCREEN_SCALE_FACTORS");
    }
    const QString platform =
        windowSystem == WindowSystem::X11
            ? QStringLiteral("xcb")
            : qtPlatformFor({qEnvironmentVariable("QT_QPA_PLATFORM"),
                             qEnvironmentVariable("WAYLAND_DISPLAY"),
                             qEnvironmentVariable("XDG_SESSION_TYPE")});
    qputenv("QT_QPA_PLATFORM", platform.toLocal8Bit());
    if (scaling == PixelScaling::DesktopScale && platform.startsWith(QLatin1String("xcb"))) {
        scaleDialogsForX11Desktop();
    }
}

QString windowSystemProblem(const QStringList& arguments, WindowSystem windowSystem) {
    for (const QString& argument : arguments) {
        if (argument == u"-platform" || argument == u"--platform") {
            return {};
        }
    }
    const SessionEnvironment environment =
        windowSystem == WindowSystem::X11
            ? SessionEnvironment{QStringLiteral("xcb"), {}, {}}
            : SessionEnvironment{qEnvironmentVariable("QT_QPA_PLATFORM"),
                                 qEnvironmentVariable("WAYLAND_DISPLAY"),
                                 qEnvironmentVariable("XDG_SESSION_TYPE")};
    return displayProblem(environment, qEnvironmentVariable("DISPLAY"),
                          DisplayProbes{x11DisplayAnswers, waylandDisplayAnswers});
}

std::unique_ptr<WindowServices> createWindowServices() {
    // Qt's wayland platforms are "wayland" and "wayland-egl"; every other one (xcb, and the
    // offscreen one of the tests) gets the X11 services, which find nothing without X11.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        return std::make_unique<WaylandWindowServices>();
    }
    return std::make_unique<X11WindowServices>();
}

std::unique_ptr<PasswordService> createPasswordService(SettingsStore& settings) {
    return std::make_unique<DesktopLockPasswordService>(settings);
}

void endProcessNow() {
    // Only the standard streams: fflush(nullptr) would also wait for the lock of every other
    // open stream, and FluidSynth holds the lock of its SoundFont's stream for the whole of
    // one large read while it loads the SoundFont on its own thread.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

}  // namespace lumi::platform
