// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/startup/PreviewCommandLine.h"

#include <cmath>
#include <limits>

#include "linux/settings/IntegerConversion.h"

namespace lumi::startup {

qint32 previewWindowNumber(const QString& normalisedCommandLine) {
    for (qsizetype length = normalisedCommandLine.size(); length >= 1; --length) {
        const auto number = settings::toNumber(normalisedCommandLine.right(length));
        if (!number) {
            continue;
        }
        const double rounded = std::nearbyint(*number);
        if (rounded < std::numeric_limits<qint32>::min() ||
            rounded > std::numeric_limits<qint32>::max()) {
            return 0;
        }
        return static_cast<qint32>(rounded);
    }
    return 0;
}

}  // namespace lumi::startup
