// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/DesktopLockPasswordService.h"

#include "linux/platform/LockScreenDialog.h"

namespace lumi::platform {

void DesktopLockPasswordService::changePassword(const QString& provider, QWidget* owner,
                                                int /*reserved1*/, int /*reserved2*/) {
    if (provider.compare(QLatin1String("SCRSAVE"), Qt::CaseInsensitive) != 0) {
        qWarning("No password provider named %s", qPrintable(provider));
        return;
    }
    LockScreenDialog dialog(settings_, owner);
    dialog.exec();
}

}  // namespace lumi::platform
