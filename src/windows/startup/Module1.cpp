// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/startup/Module1.h"

#include <cstdint>
#include <optional>
#include <string>

#include "startup/CommandLine.h"
#include "startup/PreviewCommandLine.h"
#include "windows/display/DisplayWindow.h"
#include "windows/platform/ChangePasswordDialog.h"
#include "windows/platform/FullScreenInstance.h"
#include "windows/platform/InstallFolder.h"
#include "windows/platform/Utf16.h"
#include "windows/platform/WinHandles.h"
#include "windows/setup/SetupDialog.h"
#include "windows/startup/PreviewForm.h"

namespace lumi::startup {
namespace {

// Runs the thread's message loop until WM_QUIT; its exit code is the result.
int runMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

}  // namespace

int Module1::Main(std::wstring_view commandLine) {
    const std::string cmdLine = normaliseCommandLine(platform::toUtf8(commandLine));
    const std::string switchText = switchOf(cmdLine);
    const RunMode mode = modeFor(switchText);
    const HWND displayProperties = ::FindWindowW(nullptr, L"Display Properties");

    // Only full-screen processes hold the mark of a running display, and only a full-screen
    // start asks for it: a running preview or Setup never keeps "/s" from starting.
    std::optional<platform::FullScreenInstance> fullScreen;
    if (mode == RunMode::FullScreen) {
        fullScreen = platform::FullScreenInstance::claim();
    }
    const bool anotherInstance = fullScreen && fullScreen->claimedBefore();
    if (switchText == "/s" && !displayProperties && anotherInstance) {
        return 0;
    }

    switch (mode) {
        case RunMode::FullScreen:
            return runFullScreen();
        case RunMode::Preview:
            return runPreview(cmdLine);
        case RunMode::Settings:
            return setup::runSetup(instance_);
        case RunMode::ChangePassword:
            return changePassword();
        case RunMode::None:
            break;
    }
    return 0;
}

int Module1::runFullScreen() {
    ::GetWindowRect(::GetDesktopWindow(), &ScreenRect);
    return display::runFullScreen(instance_, platform::kInstallDir);
}

int Module1::runPreview(std::string_view cmdLine) {
    // Window handles carry 32 significant bits and widen by sign extension.
    const std::int32_t number = previewWindowNumber(cmdLine);
    PreviewWnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(number));
    // No number, or a window that does not exist: there is nothing to draw in, and nothing
    // would ever end the preview.
    if (!PreviewWnd || !::IsWindow(PreviewWnd)) {
        return 0;
    }

    ::GetClientRect(PreviewWnd, &ScreenRect);
    PreviewForm previewForm(instance_);
    HWND form = previewForm.hwnd();
    if (!form) {
        return 1;
    }
    // A child window cannot be a pop-up as well: the pop-up bit goes as the child bit comes.
    const LONG_PTR style = ::GetWindowLongPtrW(form, GWL_STYLE);
    ::SetWindowLongPtrW(form, GWL_STYLE, (style & ~LONG_PTR{WS_POPUP}) | WS_CHILD);
    // The host went away since it was found: nothing to draw in.
    if (!::SetParent(form, PreviewWnd)) {
        return 0;
    }
    ::SetWindowLongPtrW(form, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(PreviewWnd));
    ::SetWindowPos(form, nullptr, 0, 0, ScreenRect.right, ScreenRect.bottom,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
    // The form's destruction, which comes with its host's, ends the loop.
    return runMessageLoop();
}

int Module1::changePassword() {
    // The dialog's owner is a hidden window of this process, whatever window the command line
    // names; it never shows and goes with the dialog.
    const platform::UniqueWindow owner(::CreateWindowExW(
        0, L"STATIC", L"Lumiscribe", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr));
    platform::showChangePasswordDialog(instance_, owner.get());
    return 0;
}

}  // namespace lumi::startup
