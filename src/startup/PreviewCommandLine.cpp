// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/PreviewCommandLine.h"

#include <cmath>
#include <limits>

#include "settings/IntegerConversion.h"

namespace lumi::startup {

std::int32_t previewWindowNumber(std::string_view normalisedCommandLine) {
    for (std::size_t length = normalisedCommandLine.size(); length >= 1; --length) {
        const auto number =
            settings::toNumber(normalisedCommandLine.substr(normalisedCommandLine.size() - length));
        if (!number) {
            continue;
        }
        const double rounded = std::nearbyint(*number);
        if (rounded < std::numeric_limits<std::int32_t>::min() ||
            rounded > std::numeric_limits<std::int32_t>::max()) {
            return 0;
        }
        return static_cast<std::int32_t>(rounded);
    }
    return 0;
}

}  // namespace lumi::startup
