// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileQuery.h"
#include "platform/MessageBoxes.h"
#include "platform/SettingsStore.h"
#include "settings/SettingKeys.h"

// The Setup dialog's life cycle, the same in every edition: what Form_Load does to the store
// before the controls load, whether Close closes, Restore Settings, Help and Our Website, and
// About. The edition's dialog calls these from its handlers and holds no rule of its own.
namespace lumi::setup {

// Form_Load, before any control loads: a store that the display has not yet set up ("SetReg"
// not 2) first gets the first-run values of the keys that hold none, exactly as the
// display's first start writes them, so that the dialog shows and keeps what the display
// will use rather than its own read defaults. `uses`: the features of the edition, whose keys
// alone are written.
void prepareStore(platform::SettingsStore& store, std::string_view installDir,
                  settings::KeyUses uses = settings::kEveryKeyUse);

// Close: true when the dialog may close, which with no picture in the list (`listCount` 0)
// the user must confirm in the empty-list warning.
bool mayClose(std::size_t listCount, platform::MessageBoxes& boxes);

// Restore Settings: writes the restore values straight to the user's store and says whether
// they landed; a refusal is shown here, in Restore's own words.
void restoreSettings(platform::SettingsStore& store, std::string_view installDir,
                     platform::MessageBoxes& boxes,
                     settings::KeyUses uses = settings::kEveryKeyUse);

// Help and Our Website: the page at `address`, whose local file is `localFile` when the
// address names one. A missing local page is reported and not opened. Otherwise
// `openInBrowser` opens it; when it could not (false), a message gives the page's path, or
// its address, for the user to open.
void Navigate(std::string_view address, const std::optional<std::string>& localFile,
              const platform::FileQuery& files, platform::MessageBoxes& boxes,
              const std::function<bool()>& openInBrowser);

// About: the version, the maker, the web site (`website`, empty when the program was built
// without one) and the help page's path.
void showAbout(std::string_view website, std::string_view helpPage, platform::MessageBoxes& boxes);

}  // namespace lumi::setup
