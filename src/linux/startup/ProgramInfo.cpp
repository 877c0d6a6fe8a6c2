// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/startup/ProgramInfo.h"

#include <cstdio>

namespace lumi::startup {

InfoRequest infoRequestOf(std::string_view normalisedCommandLine) {
    if (normalisedCommandLine == "--help") {
        return InfoRequest::Help;
    }
    if (normalisedCommandLine == "--version") {
        return InfoRequest::Version;
    }
    return InfoRequest::None;
}

QString versionText() {
    return QStringLiteral("Lumiscribe " LUMI_VERSION "\n");
}

QString screenSaverUsage() {
    return QStringLiteral(
        "Usage: lumiscribe [/s | /p <window> | /c | /a]\n"
        "A picture screen saver that paints your pictures with laser beams.\n"
        "\n"
        "  /s            full screen (also without a switch)\n"
        "  /p <window>   a still preview inside the given window\n"
        "  /c            the Setup dialog\n"
        "  /a            change the screen-saver password\n"
        "  --help        show this text\n"
        "  --version     show the version\n"
        "\n"
        "Only the first two characters of the command line count, in any case.\n");
}

QString hostedDisplayUsage() {
    return QStringLiteral(
        "Usage: lumiscribe-xscreensaver [-root] [-window-id ID] [--add-to-xscreensaver]\n"
        "The Lumiscribe display inside a window that XScreenSaver names.\n"
        "\n"
        "  -root                  draw in the window named by XSCREENSAVER_WINDOW, or the\n"
        "                         whole screen\n"
        "  -window-id ID          draw inside window ID (hexadecimal with 0x, or decimal)\n"
        "  --add-to-xscreensaver  add Lumiscribe to your list of savers in ~/.xscreensaver\n"
        "  --help                 show this text\n"
        "  --version              show the version\n"
        "\n"
        "Its options are set with: lumiscribe /c\n");
}

QString idleStarterUsage() {
    return QStringLiteral(
        "Usage: lumiscribe-idle [--after SECONDS]\n"
        "Starts the Lumiscribe screen saver (lumiscribe /s) once you have been idle for the\n"
        "wait set in Lumiscribe Setup (lumiscribe /c).\n"
        "\n"
        "  --after SECONDS   wait this many seconds instead, for trying it out\n"
        "  --help            show this text\n"
        "  --version         show the version\n");
}

bool answerInfoRequest(InfoRequest request, const QString& usage) {
    switch (request) {
        case InfoRequest::Help:
            std::fputs(qPrintable(usage), stdout);
            return true;
        case InfoRequest::Version:
            std::fputs(qPrintable(versionText()), stdout);
            return true;
        case InfoRequest::None:
            break;
    }
    return false;
}

}  // namespace lumi::startup
