// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Cursor.h"

namespace lumi::platform {

// The cursor of this application: hidden while the display count is below 0, by an
// application-wide blank override cursor.
class QtCursor final : public Cursor {
public:
    int showCursor(bool show) override;

private:
    int count_ = 0;
};

}  // namespace lumi::platform
