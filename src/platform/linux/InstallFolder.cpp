#include "platform/InstallFolder.h"

#include <QStandardPaths>

namespace lumi::platform {

QString installDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Corvanta/Lumiscribe/");
}

}  // namespace lumi::platform
