// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fluidsynth.h>

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "linux/music/FluidSynthHandles.h"
#include "platform/MidiPlayer.h"

namespace lumi::music {

// Plays MIDI tunes through a FluidSynth synthesizer.
//
// All FluidSynth work happens on one worker thread that the player owns: it loads the
// SoundFont once (the default one is about 140 MB, so neither construction nor play() may
// wait for it), then starts, watches and tears down one tune at a time. The user-interface
// thread only posts requests; a request posted while the SoundFont still loads is served as
// soon as the load is done, and a newer request replaces an older one that was not served yet.
//
// The sound goes to a sound server where one runs (PipeWire or PulseAudio), else to the sound
// card. Without either the tune is rendered in real time into a scratch buffer and thrown
// away, so that isPlaying() follows the tune's length exactly as with a sound card; the
// player says so once, in one line on standard error, and keeps the audio libraries' own
// complaints off it. When the sound server goes away while a tune plays, the player notices
// within two seconds and plays on silently, with one line on standard error; once a second it
// looks whether a server answers (also one that appears after the start), and then plays the
// sounding tune on it from its beginning, with one line more. No failure ends the process: a tune that cannot be played starts
// nothing and is reported with one line on standard error.
class FluidSynthPlayer final : public platform::MidiPlayer {
public:
    // Where the sound goes.
    enum class Output {
        Device,  // the machine's audio device; silent real-time rendering when there is none
        Silent,  // always silent real-time rendering (tests, machines that must stay quiet)
    };

    // The General MIDI SoundFont that the system's sound fonts package points at.
    static constexpr const char* kDefaultSoundFontPath = "/usr/share/sounds/sf2/default-GM.sf2";

    // Starts loading the SoundFont on the worker and returns at once. Only a SoundFont that
    // is missing or has no SoundFont header is known to be unusable right away; either way the
    // first play() reports it.
    explicit FluidSynthPlayer(QString soundFontPath = QString::fromLatin1(kDefaultSoundFontPath),
                              Output output = Output::Device);
    // Stops the tune and joins the worker; waits at most for a SoundFont load under way.
    ~FluidSynthPlayer() override;

    FluidSynthPlayer(const FluidSynthPlayer&) = delete;
    FluidSynthPlayer& operator=(const FluidSynthPlayer&) = delete;

    // play(), stop() and isPlaying() come from the user-interface thread only. play() reads
    // and checks the tune there (tunes are a few kilobytes), so that an unplayable file is
    // refused before play() returns.
    void play(std::string_view path, int reserved1, int reserved2) override;
    void stop() override;
    bool isPlaying() const override;
    void setVisible(bool visible) override;
    std::string silenceReason() const override;

private:
    using SettingsPtr = FluidSettingsPtr;
    using SynthPtr = FluidSynthPtr;
    using PlayerPtr = FluidPlayerPtr;
    using DriverPtr = FluidDriverPtr;

    // What the user-interface thread asks of the worker. Only the latest one counts.
    struct Request {
        QString path;     // empty for a stop
        QByteArray midi;  // the whole tune, read and checked by play()
        std::uint64_t serial = 0;
    };

    // How far the sounding tune has got. Written by whichever thread drives the tune's
    // fluid_player (the audio driver's, or the worker when silent), read by the worker.
    struct TuneProgress {
        fluid_player_t* player = nullptr;
        int totalTicks = -1;  // driving thread only; known once the tune has been loaded
        std::atomic<bool> loaded = false;
        std::atomic<bool> lastEventPlayed = false;
        std::atomic<int> tick = -1;  // the latest tick the tune has reached
    };
    static int onTick(void* progress, int tick);

    // Prints the SoundFont failure the first time a tune meets it. Needs mutex_ held.
    void reportSoundFontFailureLocked(const QString& tunePath);

    // Worker thread only.
    void run();
    bool loadSynth();
    // A synthesiser with the SoundFont loaded, at `sampleRate` frames a second, or nothing
    // when either fails.
    SynthPtr makeSynth(double sampleRate);
    // Makes `synth` the one that plays; false for none.
    bool useSynth(SynthPtr synth);
    void startTune(const Request& request);
    // Creates the tune's player on the synthesiser and starts it; false, after tuneOver(), when
    // FluidSynth refuses the tune.
    bool beginTune(const Request& request);
    // Replaces the synthesiser by one for the silent output and starts the tune on it again;
    // false when the tune was refused or no synthesiser could be made again.
    bool restartForSilence(const Request& request);
    // Opens the first audio driver that works; false when none does.
    bool openDevice();
    // From now on the tune plays silently; says so with `line` on standard error.
    void markSoundLost(const char* line);
    // Watches the audio driver's progress; when it has stopped and the sound server is gone,
    // plays the tune silently from its beginning.
    void watchDevice();
    // Once a second while the sound is lost: when a sound server answers, starts the tune again
    // from its beginning on it.
    void lookForSoundServer();
    // Sets the synthesiser up for the silent output: nothing anyone hears is rendered.
    void renderCheaply();
    void serveTune();
    bool renderSilentBlock();
    void tuneOver(const QString& failure);
    void endTune();

    const QString soundFontPath_;
    const Output output_;

    // Shared between the user-interface thread and the worker; guarded by mutex_.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Request> request_;  // posted and not yet taken by the worker
    std::uint64_t serial_ = 0;        // counts play() and stop() calls
    bool playing_ = false;            // what isPlaying() answers
    bool quit_ = false;
    QString soundFontFailure_;  // why the SoundFont is unusable; empty while it is fine
    bool soundFontReported_ = false;
    bool deviceMissing_ = false;  // no audio device could be opened: the player is silent

    // Worker thread only. Declared in creation order, so that they are destroyed in reverse;
    // the progress, which the player's tick callback writes, outlives the player.
    TuneProgress progress_;
    SettingsPtr settings_;
    SynthPtr synth_;
    PlayerPtr tunePlayer_;
    DriverPtr driver_;
    QString tunePath_;              // the tune being played; empty when none
    std::uint64_t tuneSerial_ = 0;  // the request that started it
    bool tuneOver_ = false;         // its last event has played; on a device it may still ring out
    // Device output only. True while no audio driver plays: none could be opened, or the one
    // that played went away. The tune then plays silently, and once a second the worker looks
    // whether a sound server answers, to play the tune on it again from its beginning.
    bool soundLost_ = false;
    std::chrono::steady_clock::time_point nextProbe_;  // when to look for a server next
    std::optional<Request> tuneRequest_;  // the tune on the synthesiser, to start it again
    int lastTick_ = -1;                   // TuneProgress::tick when last seen moving
    std::chrono::steady_clock::time_point lastProgress_;  // when the driver was last seen playing
    unsigned errorsBeforeDriver_ = 0;  // FluidSynth's error count when the driver was opened
    std::chrono::steady_clock::duration blockDuration_{};   // one silent block in real time
    std::chrono::steady_clock::time_point renderDeadline_;  // when the next block is due
    std::vector<float> scratch_;  // silent blocks are rendered here and dropped

    // Started by the constructor once everything above is set, joined by the destructor.
    std::thread worker_;
};

}  // namespace lumi::music
