// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace lumi::music {

// The sound-off limit in seconds for a stored number of minutes: one of 1, 2, 3, 4, 5, 10,
// 15, 20, 30, 45, 60, 90, 120, 180, 240, 300, 360, 420 or 480 minutes, the numbers that
// the Setup dialog offers. Any other number has no limit entry.
std::optional<std::int16_t> soundOffSeconds(int minutes);

}  // namespace lumi::music
