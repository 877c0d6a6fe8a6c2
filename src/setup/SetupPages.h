// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"
#include "setup/StoredValues.h"

// What each control of the Setup dialog's pages loads and stores, and the text of the labels
// that go with it, the same in every edition. An edition's page keeps its controls and
// connects each control's value-changed notice to the handler here (…Changed, …Clicked,
// …Chosen), which stores the setting the moment it changes and gives what the control's
// labels show.
//
// A load puts the stored value into its control through load(), which lets the control's
// handler refresh the labels but store nothing when the stored text is not the control's
// value itself (a value that does not convert, or lies outside the control's range), so that
// such a value stays stored as it is.
namespace lumi::setup {

class PictureListEditor;

// The settings store as one page writes it.
class PageSettings {
public:
    // `store` outlives the page.
    explicit PageSettings(platform::SettingsStore& store) : store_(store) {}

    const platform::SettingsStore& store() const { return store_; }

    // Runs `setControl`, which puts a loaded value into a control and so runs its handler;
    // the handler stores only when `storable`.
    template <typename SetControl>
    void load(bool storable, SetControl&& setControl) {
        const bool before = storing_;
        storing_ = storable;
        struct Restore {
            bool& flag;
            bool value;
            ~Restore() { flag = value; }
        } restore{storing_, before};
        setControl();
    }

protected:
    // Stores `value` under `key`, unless a load holds the store.
    void write(std::string_view key, std::string_view value);

private:
    platform::SettingsStore& store_;
    bool storing_ = true;
};

// The "Options" page: "Delay", "MouseSen", "BG", "BGFile" and "Calendar".
class OptionsPageSettings final : public PageSettings {
public:
    static constexpr int kDelayMinimum = 0;
    static constexpr int kDelayMaximum = 300;  // seconds
    static constexpr int kMouseMinimum = 1;
    static constexpr int kMouseMaximum = 20;
    static constexpr int kCustomBackground = 3;  // the choice of a background picture

    using PageSettings::PageSettings;

    // "BG" as the display takes it: a value that names no background shows black (choice 1)
    // and is not storable.
    LoadedValue loadBackground() const;
    std::string loadBackgroundFile() const;
    LoadedValue loadDelay() const;
    LoadedValue loadMouseSensitivity() const;
    LoadedValue loadCalendar() const;

    // Stores the delay; the label under the bar: "N seconds".
    std::string delayChanged(int seconds);
    // Stores the sensitivity; the text of the box beside the bar.
    std::string mouseSensitivityChanged(int value);
    // Stores the background choice `index` (0 white, 1 black, 2 gray, 3 a picture); true when
    // the picture's Select button and its name are enabled, which is for a picture only.
    bool backgroundChosen(int index);
    // Select: the picture chosen in `selection` (see SelectionString.h) that exists and, when
    // it is empty, that the user still wants (checked as the list editor checks a file), the
    // last such of several, else `shown`, the picture shown now. Stores it and gives the
    // name to show; an empty selection (cancelled) stores nothing and gives `shown`.
    std::string backgroundPictureChosen(const std::string& selection, std::string shown,
                                        PictureListEditor& checks);
    void calendarClicked(bool checked);
};

// The "Music" page: "Music", the ten tune flags and "SoundOff".
class MusicPageSettings final : public PageSettings {
public:
    static constexpr int kTunes = 10;
    // The items of the stop-sound box, in ascending order; "Never" stands for 0 minutes.
    static const std::array<std::string_view, 20>& soundOffItems();

    using PageSettings::PageSettings;

    // "Music" is on for anything but 0; a tune (`index` from 0) only for 1.
    LoadedValue loadMusic() const;
    LoadedValue loadTune(int index) const;
    // "SoundOff" as the display reads it: "Never" for 0 and for a value that does not
    // convert, otherwise the whole minutes. Loading it stores nothing.
    std::string loadSoundOff() const;
    // The item that goes with the loaded text `text`: the item of that text; for another
    // number, the largest item not above it ("Never" counting as 0), so that the next item
    // down the list is the next larger time; for text that is no number, "Never".
    static int soundOffItem(std::string_view text);

    void musicClicked(bool checked);
    void tuneClicked(int index, bool checked);
    // An item chosen from the list (typing stores nothing): its minutes, "Never" as 0.
    void soundOffChosen(std::string_view itemText);

    // The tune that test button `index` plays: "N.mid" (N from 1) in the install folder
    // `installDir`, which ends with its separator.
    static std::string testTunePath(std::string_view installDir, int index);
};

// The "More" page: "IdleWait", "FitLarge", "Shuffle", "LockScreen" and "PhotoDate".
class MorePageSettings final : public PageSettings {
public:
    static constexpr int kIdleWaitMinimum = 0;  // never

    using PageSettings::PageSettings;

    LoadedValue loadIdleWait() const;
    LoadedValue loadFitLarge() const;
    LoadedValue loadShuffle() const;
    // Checked for a stored 1; the box stores what it shows.
    bool loadLockScreen() const;
    bool loadPhotoDate() const;

    void idleWaitChanged(int minutes);
    void fitLargeClicked(bool checked);
    void shuffleClicked(bool checked);
    void lockScreenClicked(bool checked);
    void photoDateClicked(bool checked);
};

}  // namespace lumi::setup
