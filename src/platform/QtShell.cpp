#include "platform/QtShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace lumi::platform {

void QtShell::openUrl(const QString& url) {
    // The result only says whether the desktop took the request; callers ignore failures.
    QDesktopServices::openUrl(QUrl(url));
}

}  // namespace lumi::platform
