// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/music/SoundOffTable.h"

#include <array>

namespace lumi::music {

std::optional<qint16> soundOffSeconds(int minutes) {
    static constexpr std::array kOfferedMinutes{1,  2,  3,   4,   5,   10,  15,  20,  30, 45,
                                                60, 90, 120, 180, 240, 300, 360, 420, 480};
    for (const int offered : kOfferedMinutes) {
        if (offered == minutes) {
            return static_cast<qint16>(minutes * 60);
        }
    }
    return std::nullopt;
}

}  // namespace lumi::music
