// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "platform/MidiPlayer.h"

namespace lumi::music {

// Plays Standard MIDI Files through the system's MIDI synthesiser (the MIDI mapper) with
// winmm's MIDI output, timing each message itself from the tune that music::readMidiFile()
// reads.
//
// Flow of control. play() reads and checks the file on the caller's thread (a tune is a few
// kilobytes), so that a file that cannot be played starts nothing and replaces the sounding
// tune by silence before play() returns. Everything that touches the device happens on a
// worker thread that the player owns, because opening and closing the device can take seconds
// (the MIDI service of recent Windows) and the caller is the user-interface thread with its
// message loop: play(), stop() and prepare() post a request and return at once, and a newer
// request replaces one the worker has not taken yet. The worker opens the device when the
// first tune (or prepare()) needs it and keeps it open while the player lives. Before every
// tune it resets the synthesiser (General MIDI System On, then on each channel all sound and
// notes off, every controller reset, bank and program 0, volume and pan at their defaults, the
// pitch bend centred), so that no tune inherits the instruments of the one before; stop() and
// the end of a tune silence every note.
//
// isPlaying() is true from play() until stop(), the end of the tune, or the worker finding that
// no device can play it. silenceReason() then says why ("no MIDI output device"), and stays
// empty while the device plays or has not been tried. Once the worker has found no device,
// play() leaves isPlaying() false unless the worker then finds one after all: every play()
// looks again, so that a synthesiser connected later is used.
//
// Destruction. The destructor asks the worker to silence the device, close it and end, and
// waits for that at most kWorkerExitWait. A worker caught in a device call that does not
// return by then is detached: it holds its own share of the state it uses, ends by itself once
// the call returns, and touches nothing of the destroyed player. (The display ends its process
// without destroying its player; the Setup dialog destroys its player when it closes and must
// not hang on a device.)
class WinmmMidiPlayer final : public platform::MidiPlayer {
public:
    static constexpr std::chrono::milliseconds kWorkerExitWait{1000};

    // Starts the worker, which touches no device before the first prepare() or play().
    WinmmMidiPlayer();
    ~WinmmMidiPlayer() override;

    WinmmMidiPlayer(const WinmmMidiPlayer&) = delete;
    WinmmMidiPlayer& operator=(const WinmmMidiPlayer&) = delete;

    // Opens the device on the worker now rather than at the first play().
    void prepare() override;
    // `path` is UTF-8.
    void play(std::string_view path, int reserved1, int reserved2) override;
    void stop() override;
    bool isPlaying() const override;
    std::string silenceReason() const override;
    void setVisible(bool visible) override;

private:
    // The state shared with the worker, and the worker's own; defined where they are used.
    struct Shared;
    class Worker;

    std::shared_ptr<Shared> shared_;
    std::thread worker_;
};

}  // namespace lumi::music
