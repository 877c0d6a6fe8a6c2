// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/display/DisplayWindow.h"

#include <objbase.h>

#include <memory>

#include "music/LazyMidiPlayer.h"
#include "windows/display/FormWindow.h"
#include "windows/display/VirtualScreen.h"
#include "windows/display/WicPictureSource.h"
#include "windows/music/WinmmMidiPlayer.h"
#include "windows/platform/RegistrySettingsStore.h"
#include "windows/platform/Utf16.h"
#include "windows/settings/PictureListFile.h"

namespace lumi::display {

int runFullScreen(HINSTANCE instance, const std::wstring& installDir) {
    // WIC on this thread decodes the background picture; the picture source's own threads
    // initialise COM for themselves.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const VirtualScreen screen = coverMonitors(attachedMonitors());

    // The display usually ends the process from inside the message loop (CloseDown), with
    // everything here still in place.
    platform::RegistrySettingsStore settings;
    // The synthesiser is opened only when the display plays music.
    music::LazyMidiPlayer player(
        [] { return std::make_unique<music::WinmmMidiPlayer>(); });
    WicPictureSource pictures;
    FormOptions options{platform::toUtf8(installDir),
                        Size{screen.primary.width(), screen.primary.height()}};
    // Windows starts its screen saver itself and shows its own sign-in after it.
    options.keyUses = 0;
    FormWindow window(
        instance, FormPlacement{screen.window, screen.primary, screen.others},
        FormWindowServices{settings, player, pictures, &settings::readDisplayPictureList,
                           std::move(options)});
    window.form().Form_Load();
    window.showTopMost();
    UINT previous = 0;
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, TRUE, &previous, 0);
    return window.runMessageLoop();
}

}  // namespace lumi::display
