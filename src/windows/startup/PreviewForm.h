// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include "windows/platform/WinHandles.h"

namespace lumi::startup {

// The preview's window: the still picture stored in the program's resources, drawn at its
// own size from the top-left corner, and the rest of the window in the button-face colour. It
// reads no setting, plays nothing and ignores input. Its destruction (which comes with its
// host's) posts the quit message that ends the preview's message loop.
class PreviewForm {
public:
    // Creates the window, hidden, as a borderless pop-up captioned "Preview"; the still comes
    // from the RCDATA resource IDR_PREVIEW_STILL of `instance` (a PNG). Without that resource,
    // or when it does not decode, the window shows the button-face colour alone.
    explicit PreviewForm(HINSTANCE instance);
    ~PreviewForm();
    PreviewForm(const PreviewForm&) = delete;
    PreviewForm& operator=(const PreviewForm&) = delete;

    // Null when the window could not be made.
    HWND hwnd() const { return window_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HWND window);

    platform::UniqueBitmap still_;  // a top-down 32-bit DIB section
    SIZE stillSize_{};
    HWND window_ = nullptr;  // destroyed by its host, or by the destructor
};

}  // namespace lumi::startup
