// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/CommandLine.h"

namespace lumi::startup {

std::string normaliseCommandLine(std::string_view commandLine) {
    const std::size_t first = commandLine.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = commandLine.find_last_not_of(' ');
    std::string line(commandLine.substr(first, last - first + 1));
    for (char& c : line) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return line;
}

std::string switchOf(std::string_view normalisedCommandLine) {
    // Two characters, not two bytes: a character of UTF-8 is its lead byte and the
    // continuation bytes (10xxxxxx) that follow it.
    std::size_t end = 0;
    for (int characters = 0; characters < 2 && end < normalisedCommandLine.size(); ++characters) {
        ++end;
        while (end < normalisedCommandLine.size() &&
               (static_cast<unsigned char>(normalisedCommandLine[end]) & 0xC0) == 0x80) {
            ++end;
        }
    }
    return std::string(normalisedCommandLine.substr(0, end));
}

RunMode modeFor(std::string_view switchText) {
    if (switchText.empty() || switchText == "/s") {
        return RunMode::FullScreen;
    }
    if (switchText == "/p") {
        return RunMode::Preview;
    }
    if (switchText == "/c") {
        return RunMode::Settings;
    }
    if (switchText == "/a") {
        return RunMode::ChangePassword;
    }
    return RunMode::None;
}

}  // namespace lumi::startup
