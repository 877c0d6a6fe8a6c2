// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

#include "platform/Timer.h"

namespace lumi::platform {

// A form's QTimer as the core's units switch it: the form keeps the QTimer, its interval and
// the connection of its ticks; this only starts and stops it.
class QtTimer final : public Timer {
public:
    explicit QtTimer(QTimer& timer) : timer_(timer) {}

    void start() override { timer_.start(); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer& timer_;
};

}  // namespace lumi::platform
