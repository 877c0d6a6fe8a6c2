// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/startup/HostedDisplay.h"

#include <algorithm>

namespace lumi::startup {
namespace {

constexpr QSize kOwnWindowSize(800, 600);
constexpr int kHostWatchMilliseconds = 500;

}  // namespace

HostedDisplay::HostedDisplay(Services services) : services_(std::move(services)) {}

HostedDisplay::~HostedDisplay() = default;

double previewScale(QSize preview, QSize screen) {
    if (preview.isEmpty() || screen.isEmpty()) {
        return 1.0;
    }
    const double across = double(preview.width()) / screen.width();
    const double down = double(preview.height()) / screen.height();
    return std::min({across, down, 1.0});
}

std::unique_ptr<display::DisplayWindow> HostedDisplay::makeForm(QSize size, bool preview) {
    // A preview shrinks large pictures whatever the setting says, and its calendar caption
    // with the whole screen that it stands for.
    display::DisplayServices displayServices{
        services_.settings, cursor_, services_.windows, services_.clock, services_.player,
        services_.installDir, size, services_.quit, display::DisplayMode::Hosted,
        preview ? std::optional(display::LargePictures::Shrink) : std::nullopt};
    displayServices.calendarScale =
        preview ? previewScale(size, services_.windows.screenRect().size()) : 1.0;
    auto form = std::make_unique<display::DisplayWindow>(std::move(displayServices));
    form->form.Form_Load();
    return form;
}

bool HostedDisplay::start(const HostOptions& options) {
    switch (options.target) {
        case HostOptions::Target::HostWindow: {
            const auto client = services_.windows.clientRect(options.window);
            if (!client) {
                return false;
            }
            form_ = makeForm(client->size(), options.preview);
            services_.windows.embed(*form_, options.window, *client);
            watchHost(options.window);
            break;
        }
        case HostOptions::Target::WholeScreen: {
            const QRect screen = services_.windows.screenRect();
            form_ = makeForm(screen.size(), false);
            services_.windows.showTopMost(*form_, screen);
            break;
        }
        case HostOptions::Target::OwnWindow:
            form_ = makeForm(kOwnWindowSize, false);
            form_->resize(kOwnWindowSize);
            form_->show();
            break;
    }
    form_->form.Form_Activate();
    return true;
}

void HostedDisplay::watchHost(platform::NativeWindow host) {
    hostWatch_.setInterval(kHostWatchMilliseconds);
    QObject::connect(&hostWatch_, &QTimer::timeout, [this, host] {
        if (!services_.windows.clientRect(host)) {
            hostWatch_.stop();
            services_.quit();
        }
    });
    hostWatch_.start();
}

}  // namespace lumi::startup
