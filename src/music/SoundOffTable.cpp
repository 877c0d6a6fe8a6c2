// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/SoundOffTable.h"

#include <array>

namespace lumi::music {

std::optional<std::int16_t> soundOffSeconds(int minutes) {
    static constexpr std::array kOfferedMinutes{1,  2,  3,   4,   5,   10,  15,  20,  30, 45,
                                                60, 90, 120, 180, 240, 300, 360, 420, 480};
    for (const int offered : kOfferedMinutes) {
        if (offered == minutes) {
            return static_cast<std::int16_t>(minutes * 60);
        }
    }
    return std::nullopt;
}

}  // namespace lumi::music
