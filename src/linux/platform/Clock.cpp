// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/Clock.h"

namespace lumi::platform {

double SystemClock::secondsSinceMidnight() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

}  // namespace lumi::platform
