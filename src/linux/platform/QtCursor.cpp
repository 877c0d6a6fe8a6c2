// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/QtCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace lumi::platform {

int QtCursor::showCursor(bool show) {
    const bool wasHidden = count_ < 0;
    count_ += show ? 1 : -1;
    const bool isHidden = count_ < 0;
    if (isHidden && !wasHidden) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
    } else if (!isHidden && wasHidden) {
        QGuiApplication::restoreOverrideCursor();
    }
    return count_;
}

}  // namespace lumi::platform
