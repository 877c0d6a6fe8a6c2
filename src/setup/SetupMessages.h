// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The title and text of every message box of the Setup dialog, the same bytes in every
// edition. Texts are UTF-8; a quoted file name or reason is put in as it is given (a name in
// the edition's bytes of a file name).
namespace lumi::setup {

struct MessageText {
    std::string title;
    std::string text;
};

// Close with an empty picture list: a question, Yes closes.
MessageText noFileWarning();

// Restore Settings: done, or refused by the store for `reason`.
MessageText settingsRestored();
MessageText settingsNotRestored(std::string_view reason);

// A setting that the store refused to write, for `reason`.
MessageText refusedWrite(std::string_view reason);

// The picture list and the chosen files. `error` is the list file's own message.
MessageText pictureListError(std::string_view error);
MessageText listIsEmpty();
MessageText chooseAFileToDelete();
MessageText fileDoesNotExist(std::string_view path);
// A name that the picture list cannot hold; `folder` tells which kind of name `path` is.
MessageText cannotHoldName(std::string_view path, bool folder);
// A question: Yes adds the empty file.
MessageText zeroByteFile(std::string_view path);

// Help and Our Website: the local page `path` is missing, or no browser could be started
// for the page at `where` (its path, or its address).
MessageText pageMissing(std::string_view path);
MessageText noBrowser(std::string_view where);

// About: the version, the maker, the web site when the program was built with one
// (`website` not empty) and the help page.
MessageText about(std::string_view website, std::string_view helpPage);

// The music page's test button found that the tunes cannot sound, for `reason`.
MessageText tunesSilent(std::string_view reason);

// The More page's report of adding the saver to a screen saver daemon's list, whose words
// `text` the edition gives.
MessageText saverListing(std::string_view text);

}  // namespace lumi::setup
