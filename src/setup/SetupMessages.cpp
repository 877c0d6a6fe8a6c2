// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/SetupMessages.h"

#include <initializer_list>
#include <utility>

namespace lumi::setup {
namespace {

// The title of every message about the picture list and the chosen files.
constexpr std::string_view kListTitle = "Corvanta Lumiscribe Pictures";
constexpr std::string_view kMakerTitle = "Corvanta Lumiscribe";

MessageText message(std::string_view title, std::string text) {
    return {std::string(title), std::move(text)};
}

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text.append(part);
    }
    return text;
}

}  // namespace

MessageText noFileWarning() {
    return message("No File Warning",
                   "There are no pictures in the list. This will create an error!  "
                   "Do you wish to close anyway?");
}

MessageText settingsRestored() {
    return message(kMakerTitle, "Settings have been restored");
}

MessageText settingsNotRestored(std::string_view reason) {
    return message(kMakerTitle, joined({"Settings have not been restored: ", reason, "."}));
}

MessageText refusedWrite(std::string_view reason) {
    return message("Lumiscribe Screensaver",
                   joined({"Your changes cannot be saved: ", reason,
                           ". The screen saver goes on with the settings it had."}));
}

MessageText pictureListError(std::string_view error) {
    return message(kListTitle, std::string(error));
}

MessageText listIsEmpty() {
    return message(kListTitle, "List is empty!");
}

MessageText chooseAFileToDelete() {
    return message(kListTitle, "Choose a file to delete!");
}

MessageText fileDoesNotExist(std::string_view path) {
    return message(kListTitle, joined({"The file ", path, " does not exist."}));
}

MessageText cannotHoldName(std::string_view path, bool folder) {
    return message(kListTitle,
                   joined({folder ? "The folder " : "The file ", path,
                           " cannot be added: the picture list cannot hold a name with a double "
                           "quote, a line break or a character outside the system's character "
                           "set."}));
}

MessageText zeroByteFile(std::string_view path) {
    return message(
        "Error",
        joined({"The file ", path, " is zero bytes in length!\rAre you Sure you want to add it?"}));
}

MessageText pageMissing(std::string_view path) {
    return message(kMakerTitle, joined({"The page ", path, " is missing."}));
}

MessageText noBrowser(std::string_view where) {
    return message(kMakerTitle,
                   joined({"No browser could be started to show the page. You can open it "
                           "yourself:\n",
                           where}));
}

MessageText about(std::string_view website, std::string_view helpPage) {
    std::string text = "Lumiscribe v 1.02\nCorvanta\n";
    if (!website.empty()) {
        text += joined({"Web site: ", website, "\n"});
    }
    text += joined({"Help: ", helpPage});
    return message("Lumiscribe Pictures Screensaver", std::move(text));
}

MessageText tunesSilent(std::string_view reason) {
    return message(kMakerTitle,
                   joined({"The tunes cannot be heard on this computer: ", reason, "."}));
}

MessageText saverListing(std::string_view text) {
    return message(kMakerTitle, std::string(text));
}

}  // namespace lumi::setup
