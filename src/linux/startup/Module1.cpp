// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/startup/Module1.h"

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>
#include <cstdio>

#include "music/LazyMidiPlayer.h"
#include "linux/setup/Setup.h"
#include "startup/CommandLine.h"
#include "startup/PreviewCommandLine.h"
#include "linux/startup/PreviewForm.h"

namespace lumi::startup {
namespace {

// How often the preview checks that its host window still exists.
constexpr int kPreviewHostWatchMilliseconds = 250;

}  // namespace

Module1::Module1(StartupServices services) : services_(std::move(services)) {}

Module1::~Module1() = default;

Module1::Outcome Module1::Main(const QString& commandLine) {
    const std::string cmdLine = normaliseCommandLine(commandLine.toStdString());
    const std::string switchText = switchOf(cmdLine);
    const platform::NativeWindow displayProperties =
        services_.windows.findTopLevelWindow(QStringLiteral("Display Properties"));
    const bool anotherInstance = services_.instances.anotherInstanceRunning();
    if (switchText == "/s" && displayProperties == 0 && anotherInstance) {
        return Outcome::EndProcess;
    }
    switch (modeFor(switchText)) {
        case RunMode::FullScreen:
            return runFullScreen();
        case RunMode::ChangePassword:
            return changePassword();
        case RunMode::Settings:
            return runSettings();
        case RunMode::Preview:
            return runPreview(cmdLine);
        case RunMode::None:
            break;
    }
    return Outcome::EndProcess;
}

Module1::Outcome Module1::runFullScreen() {
    ScreenRect = services_.windows.screenRect();
    const QList<QRect> monitors = services_.windows.monitorRects();
    // The real player (and its SoundFont) is made only when the display plays music.
    player_ = std::make_unique<music::LazyMidiPlayer>(services_.makePlayer);
    display::DisplayServices displayServices{
        services_.settings, services_.cursor, services_.windows, services_.clock, *player_,
        services_.installDir, ScreenRect.size(), services_.endProcess};
    displayServices.makeSessionLock = services_.makeSessionLock;
    frmMain_ = std::make_unique<display::DisplayWindow>(std::move(displayServices));
    frmMain_->form.Form_Load();
    // A display that locks the session at its end also does so when it is told to end.
    if (frmMain_->form.locksSession() && services_.onTerminationRequest) {
        services_.onTerminationRequest(frmMain_.get(),
                                       [this] { frmMain_->form.TerminationRequested(); });
    }
    // The covers first, so that the form, shown last, holds the focus.
    coverOtherMonitors(monitors);
    const QPoint primaryOrigin = monitors.isEmpty() ? QPoint(0, 0) : monitors.first().topLeft();
    services_.windows.showTopMost(*frmMain_, QRect(primaryOrigin, ScreenRect.size()));
    services_.windows.setScreenSaverRunning(true);
    return Outcome::RunEventLoop;
}

void Module1::coverOtherMonitors(const QList<QRect>& monitors) {
    const QColor background = display::toQColor(frmMain_->form.backColor()).value_or(Qt::black);
    const display::CoverWindow::Input input{
        [this] { frmMain_->form.Form_MouseUp(); },
        [this](int keyAscii) { frmMain_->form.Pic2_KeyPress(keyAscii); },
        [this] {
            // A cover holds the focus that belongs to the form (keys still reach the display
            // through it): the display starts as if the form had been activated, and the form
            // asks for the focus.
            frmMain_->form.Form_Activate();
            frmMain_->activateWindow();
        },
        [this](display::ArrowStep step) { frmMain_->form.Pic2_ArrowKey(step); }};
    for (const QRect& monitor : display::monitorsToCover(monitors)) {
        auto cover = std::make_unique<display::CoverWindow>(background,
                                                            frmMain_->backgroundImage(), input);
        services_.windows.showTopMostWithoutFocus(*cover, monitor);
        coverWindows_.push_back(std::move(cover));
    }
}

Module1::Outcome Module1::runSettings() {
    // Modal and without an owner; the configuration run ends when the dialog closes.
    player_ = services_.makePlayer();
    setup::Setup dialog(setup::SetupServices{
        services_.settings, *player_, services_.setupDialogs, services_.shell, services_.installDir,
        services_.helpPage, services_.xscreensaverFile, services_.hostedDisplayCommand});
    dialog.Form_Load();
    dialog.exec();
    return Outcome::EndProcess;
}

Module1::Outcome Module1::runPreview(std::string_view cmdLine) {
    if (!services_.windows.canDrawInForeignWindows()) {
        std::fputs("lumiscribe: the preview needs an X11 window; this is a Wayland session\n",
                   stderr);
        return Outcome::EndProcessFailed;
    }
    PreviewWnd = static_cast<platform::NativeWindow>(std::max(previewWindowNumber(cmdLine), 0));
    const auto hostClient = services_.windows.clientRect(PreviewWnd);
    if (!hostClient) {
        // No number, or a window that does not exist: nothing to draw in.
        return Outcome::EndProcess;
    }
    ScreenRect = *hostClient;
    previewForm_ = std::make_unique<PreviewForm>(PreviewForm::builtInStill());
    services_.windows.embed(*previewForm_, PreviewWnd, QRect(QPoint(0, 0), ScreenRect.size()));

    // The preview lives as long as its host window.
    previewHostWatch_.setInterval(kPreviewHostWatchMilliseconds);
    QObject::connect(&previewHostWatch_, &QTimer::timeout, [this] {
        if (!services_.windows.clientRect(PreviewWnd)) {
            previewHostWatch_.stop();
            previewForm_.reset();
            QCoreApplication::exit(0);
        }
    });
    previewHostWatch_.start();
    return Outcome::RunEventLoop;
}

Module1::Outcome Module1::changePassword() {
    // The hidden owner window of the password dialog; it never shows.
    QWidget frmEnterPassword;
    services_.password.changePassword(QStringLiteral("SCRSAVE"), &frmEnterPassword, 0, 0);
    return Outcome::EndProcess;
}

}  // namespace lumi::startup
