// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>

namespace lumi::platform {

// The wall clock. Tests replace it to control time.
class Clock {
public:
    virtual ~Clock() = default;

    // Seconds since local midnight, with their fraction (0 <= result < 86400).
    virtual double secondsSinceMidnight() const = 0;

    // The current local date and time.
    virtual QDateTime now() const = 0;
};

// The real clock of the machine.
class SystemClock final : public Clock {
public:
    double secondsSinceMidnight() const override;
    QDateTime now() const override;
};

}  // namespace lumi::platform
