// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

namespace lumi::platform {

// Where the music player's sound can go on this system, and how to keep the system's audio
// libraries from writing to standard error while the player looks for a way out.

// The names of FluidSynth's audio drivers worth trying, best first: a sound server that runs
// for this user (PipeWire or PulseAudio), then the sound card. `runtimeFolder` is the user's
// run-time folder in which a server keeps its socket, empty when there is none; a server
// named by the environment counts as running. The player skips names its FluidSynth lacks.
QStringList soundDriverCandidates(const QString& runtimeFolder);

// soundDriverCandidates() for this process's environment.
QStringList soundDriverCandidates();

// Keeps the audio libraries' and the SoundFont reader's own diagnostics off standard error for
// the rest of the process: without a sound device they report every device they fail to open,
// a damaged SoundFont makes the reader complain, and the player says what matters in its own
// words. Affects the whole process; harmless to call more than once, from any thread, before
// the first SoundFont is loaded.
void quietSoundLibraries();

// Makes the audio libraries ready for FluidSynth's drivers. FluidSynth's PipeWire driver (2.4
// and later) expects the program to have initialised PipeWire's client library, as FluidSynth's
// own command-line program does; without that it can reach no server. Affects the whole
// process; harmless to call more than once, from any thread, before the first driver is made.
void prepareSoundLibraries();

// Whether a sound server (PulseAudio, or PipeWire's PulseAudio service) accepts a client within
// `timeout`: connects, waits for the server's welcome, and hangs up. Blocks the caller for at
// most `timeout`; a server that is not there answers at once.
bool soundServerAnswers(std::chrono::milliseconds timeout);

}  // namespace lumi::platform
