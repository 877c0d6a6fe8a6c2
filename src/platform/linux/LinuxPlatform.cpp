#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#include "platform/Platform.h"
#include "platform/linux/CryptPasswordService.h"
#include "platform/linux/X11WindowServices.h"

namespace lumi::platform {

void prepareApplication() {
    // Scaling would make one picture pixel cover several screen pixels.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // The window services speak X11; on a Wayland desktop the program runs through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

std::unique_ptr<WindowServices> createWindowServices() {
    return std::make_unique<X11WindowServices>();
}

std::unique_ptr<PasswordService> createPasswordService() {
    return std::make_unique<CryptPasswordService>(defaultPasswordFile());
}

void endProcessNow() {
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace lumi::platform
