// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/platform/DesktopScale.h"

#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <QList>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace lumi::platform {
namespace {

constexpr double kBaseDpi = 96.0;

// The resource database is a few kilobytes; a longer one is cut here, in 32-bit units.
constexpr std::uint32_t kLongestDatabase = 1 << 20;

struct ConnectionDeleter {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

}  // namespace

std::optional<double> xftDpiFromResources(const QByteArray& resources) {
    for (const QByteArray& line : resources.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed() != "Xft.dpi") {
            continue;
        }
        bool ok = false;
        const double dpi = line.mid(colon + 1).trimmed().toDouble(&ok);
        if (ok && dpi > 0) {
            return dpi;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QByteArray> dialogScaleFactor(std::optional<double> xftDpi,
                                            const QByteArray& userFactor) {
    if (!xftDpi || *xftDpi == kBaseDpi) {
        return std::nullopt;
    }
    bool ok = false;
    double user = userFactor.trimmed().toDouble(&ok);
    if (!ok || user <= 0) {
        user = 1.0;
    }
    return QByteArray::number(user * *xftDpi / kBaseDpi, 'g', 6);
}

std::optional<double> readXftDpi() {
    const std::unique_ptr<xcb_connection_t, ConnectionDeleter> connection(
        xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()) != 0) {
        return std::nullopt;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data;
    if (screen == nullptr) {
        return std::nullopt;
    }
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection.get(), 0, screen->root, XCB_ATOM_RESOURCE_MANAGER,
                         XCB_ATOM_STRING, 0, kLongestDatabase);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection.get(), cookie, nullptr), &std::free);
    if (!reply || reply->format != 8) {
        return std::nullopt;
    }
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return xftDpiFromResources(QByteArray(text, xcb_get_property_value_length(reply.get())));
}

}  // namespace lumi::platform
