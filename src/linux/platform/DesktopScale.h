// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>

namespace lumi::platform {

// The font resolution that an X11 desktop sets for its programs, the resource "Xft.dpi", taken
// from `resources`, the text of the root window's resource database ("name:<tab>value" lines).
// nullopt when the resource is missing or not a positive number.
std::optional<double> xftDpiFromResources(const QByteArray& resources);

// The scale factor for the dialogs on a desktop whose font resolution is `xftDpi`, as the
// value of QT_SCALE_FACTOR: the desktop's scale, `xftDpi` / 96, times the factor that the user
// set in QT_SCALE_FACTOR (`userFactor`; empty, or a value that is no positive number, counts
// as 1). nullopt when nothing is to change: no resolution known, or exactly 96 dpi.
std::optional<QByteArray> dialogScaleFactor(std::optional<double> xftDpi,
                                            const QByteArray& userFactor);

// The root window's "Xft.dpi" on the X server named by DISPLAY, read before the application
// object exists; nullopt without an X server or without the resource.
std::optional<double> readXftDpi();

}  // namespace lumi::platform
