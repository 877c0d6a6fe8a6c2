// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace lumi::platform {

// The modal message boxes of the Setup dialog, owned by the window that asks for them. Each
// call returns when the user has answered. Titles and texts are UTF-8 (a file name in them in
// the edition's bytes of the name); a line break may be CR, LF or CR LF, and each edition
// shows every one of them as a line break.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // A question with Yes and No buttons and no icon; true when the user answered Yes.
    // Closing the box counts as No.
    virtual bool question(const std::string& title, const std::string& text) = 0;

    // A message with an OK button and no icon.
    virtual void information(const std::string& title, const std::string& text) = 0;

    // A message with an OK button and the error icon.
    virtual void error(const std::string& title, const std::string& text) = 0;
};

}  // namespace lumi::platform
