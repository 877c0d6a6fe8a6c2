// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/SetupLifeCycle.h"

#include "settings/SettingKeys.h"
#include "setup/SetupMessages.h"

namespace lumi::setup {

void prepareStore(platform::SettingsStore& store, std::string_view installDir,
                  settings::KeyUses uses) {
    if (settings::readInteger(store, "SetReg", "1") != 2) {
        settings::SetRegistry(store, installDir, uses);
    }
}

bool mayClose(std::size_t listCount, platform::MessageBoxes& boxes) {
    if (listCount >= 1) {
        return true;
    }
    const MessageText warning = noFileWarning();
    return boxes.question(warning.title, warning.text);
}

void restoreSettings(platform::SettingsStore& store, std::string_view installDir,
                     platform::MessageBoxes& boxes, settings::KeyUses uses) {
    if (const std::optional<std::string> refusal =
            settings::writeRestoreValues(store, installDir, uses)) {
        const MessageText refused = settingsNotRestored(*refusal);
        boxes.error(refused.title, refused.text);
        return;
    }
    const MessageText restored = settingsRestored();
    boxes.information(restored.title, restored.text);
}

void Navigate(std::string_view address, const std::optional<std::string>& localFile,
              const platform::FileQuery& files, platform::MessageBoxes& boxes,
              const std::function<bool()>& openInBrowser) {
    if (localFile && !files.isFile(*localFile)) {
        const MessageText missing = pageMissing(*localFile);
        boxes.error(missing.title, missing.text);
        return;
    }
    if (openInBrowser()) {
        return;
    }
    const MessageText noBrowserMessage =
        noBrowser(localFile ? std::string_view(*localFile) : address);
    boxes.information(noBrowserMessage.title, noBrowserMessage.text);
}

void showAbout(std::string_view website, std::string_view helpPage, platform::MessageBoxes& boxes) {
    const MessageText text = about(website, helpPage);
    boxes.information(text.title, text.text);
}

}  // namespace lumi::setup
