// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/setup/MusicPage.h"

#include <algorithm>
#include <iterator>

#include "setup/SetupMessages.h"
#include "windows/platform/Utf16.h"
#include "windows/resources/resource.h"

namespace lumi::setup {
namespace {

// How often a tune that has just been started is asked whether it can be heard.
constexpr UINT kSilenceWatchMilliseconds = 200;
constexpr UINT_PTR kSilenceWatch = 1;

// The label's text before the box, and the run of spaces that the box stands over.
constexpr wchar_t kBeforeBox[] = L"Stop sound after: ";
constexpr int kSpacesUnderBox = 26;

}  // namespace

MusicPage::MusicPage(platform::SettingsStore& store, platform::MidiPlayer& player,
                     std::string installDir)
    : settings_(store), player_(player), installDir_(std::move(installDir)) {}

void MusicPage::prepare() {
    boxes_.setOwner(::GetAncestor(window(), GA_ROOT));
    HWND box = item(IDC_CBOSOUNDOFF);
    for (const std::string_view text : MusicPageSettings::soundOffItems()) {
        ::SendMessageW(box, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(platform::toUtf16(text).c_str()));
    }
    ::SendMessageW(box, CB_SETCURSEL, 0, 0);
}

void MusicPage::setFonts(UINT dpi) {
    boldFont_ = makeFont(L"Arial", 825, true, dpi);
    for (int id : {IDC_CHKMUSIC, IDC_LABEL19}) {
        ::SendMessageW(item(id), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.get()), TRUE);
    }
    placeSoundOffBox();
}

void MusicPage::placeSoundOffBox() {
    HWND label = item(IDC_LABEL46);
    RECT place{};
    ::GetWindowRect(label, &place);
    ::MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&place), 2);
    HDC dc = ::GetDC(label);
    HGDIOBJ before =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE lead{}, spaces{};
    ::GetTextExtentPoint32W(dc, kBeforeBox, static_cast<int>(std::size(kBeforeBox) - 1), &lead);
    const std::wstring run(kSpacesUnderBox, L' ');
    ::GetTextExtentPoint32W(dc, run.c_str(), kSpacesUnderBox, &spaces);
    ::SelectObject(dc, before);
    ::ReleaseDC(label, dc);

    HWND box = item(IDC_CBOSOUNDOFF);
    RECT closed{};
    ::GetWindowRect(box, &closed);
    const int height = static_cast<int>(::SendMessageW(box, CB_GETITEMHEIGHT, -1, 0)) + 6;
    RECT dropped{};
    ::SendMessageW(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const int listHeight = std::max<int>(dropped.bottom - dropped.top, height * 8);
    ::SetWindowPos(box, nullptr, place.left + lead.cx,
                   place.top + (place.bottom - place.top - height) / 2, spaces.cx, listHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Loading ----

void MusicPage::loadMusic() {
    loadCheckBox(settings_, item(IDC_CHKMUSIC), settings_.loadMusic(), [this] { chkMusic_Click(); });
    for (int i = 0; i < MusicPageSettings::kTunes; ++i) {
        loadCheckBox(settings_, item(IDC_CHKMIDI0 + i), settings_.loadTune(i),
                     [this, i] { chkMidi_Click(i); });
    }
}

void MusicPage::loadSoundOff() {
    const std::string soundOff = settings_.loadSoundOff();
    // The chosen item is where the arrow keys go on from; choosing it puts its own text in
    // the box, so the loaded text comes after it. Neither stores anything.
    HWND box = item(IDC_CBOSOUNDOFF);
    ::SendMessageW(box, CB_SETCURSEL, MusicPageSettings::soundOffItem(soundOff), 0);
    ::SetWindowTextW(box, platform::toUtf16(soundOff).c_str());
}

// ---- Messages ----

bool MusicPage::handle(UINT message, WPARAM wParam, LPARAM /*lParam*/, INT_PTR& /*result*/) {
    switch (message) {
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return true;
        case WM_TIMER:
            if (wParam == kSilenceWatch) {
                checkSilence();
            }
            return true;
        default:
            return false;
    }
}

void MusicPage::command(int id, int code) {
    if (id == IDC_CBOSOUNDOFF) {
        // Only choosing an item (from the list or with the arrow keys) stores the time;
        // typing stores nothing.
        if (code == CBN_SELCHANGE) {
            cboSoundOff_Click();
        }
        return;
    }
    if (code != BN_CLICKED) {
        return;
    }
    if (id == IDC_CHKMUSIC) {
        chkMusic_Click();
    } else if (id >= IDC_CHKMIDI0 && id < IDC_CHKMIDI0 + MusicPageSettings::kTunes) {
        chkMidi_Click(id - IDC_CHKMIDI0);
    } else if (id >= IDC_CMDTEST0 && id < IDC_CMDTEST0 + MusicPageSettings::kTunes) {
        cmdTest_Click(id - IDC_CMDTEST0);
    } else if (id == IDC_COMMAND1) {
        Command1_Click();
    }
}

void MusicPage::chkMusic_Click() {
    settings_.musicClicked(isChecked(item(IDC_CHKMUSIC)));
}

void MusicPage::chkMidi_Click(int Index) {
    settings_.tuneClicked(Index, isChecked(item(IDC_CHKMIDI0 + Index)));
}

void MusicPage::cboSoundOff_Click() {
    HWND box = item(IDC_CBOSOUNDOFF);
    const auto chosen = ::SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR) {
        return;
    }
    std::wstring text(static_cast<std::size_t>(::SendMessageW(box, CB_GETLBTEXTLEN, chosen, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        ::SendMessageW(box, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()))));
    settings_.soundOffChosen(platform::toUtf8(text));
}

void MusicPage::cmdTest_Click(int Index) {
    player_.play(MusicPageSettings::testTunePath(installDir_, Index), 0, -1);
    if (!silenceReported_) {
        ::SetTimer(window(), kSilenceWatch, kSilenceWatchMilliseconds, nullptr);
        checkSilence();
    }
}

void MusicPage::checkSilence() {
    const std::string reason = player_.silenceReason();
    if (reason.empty()) {
        if (!player_.isPlaying()) {
            ::KillTimer(window(), kSilenceWatch);
        }
        return;
    }
    ::KillTimer(window(), kSilenceWatch);
    if (silenceReported_) {
        return;
    }
    silenceReported_ = true;
    const MessageText silent = tunesSilent(reason);
    boxes_.information(silent.title, silent.text);
}

void MusicPage::Command1_Click() {
    player_.stop();
}

}  // namespace lumi::setup
