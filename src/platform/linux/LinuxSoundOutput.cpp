// SPDX-License-Identifier: GPL-3.0-or-later
#include <alsa/asoundlib.h>

#include <QFileInfo>

#include <mutex>

#include "platform/SoundOutput.h"

namespace lumi::platform {
namespace {

// Receives every diagnostic of libasound and drops it.
void dropAlsaMessage(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
                     const char* /*format*/, ...) {}

bool isSocket(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

}  // namespace

QStringList soundDriverCandidates(const QString& runtimeFolder) {
    QStringList drivers;
    // PipeWire's own protocol, where FluidSynth speaks it.
    if (!qEnvironmentVariableIsEmpty("PIPEWIRE_REMOTE") ||
        (!runtimeFolder.isEmpty() && isSocket(runtimeFolder + "/pipewire-0"))) {
        drivers.append(QStringLiteral("pipewire"));
    }
    // PulseAudio, or PipeWire's PulseAudio service, which shares one socket name.
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER") ||
        (!runtimeFolder.isEmpty() && isSocket(runtimeFolder + "/pulse/native"))) {
        drivers.append(QStringLiteral("pulseaudio"));
    }
    // The card itself; where a sound server runs without a socket of its own that FluidSynth
    // can reach, the default ALSA device usually leads to it.
    drivers.append(QStringLiteral("alsa"));
    return drivers;
}

QStringList soundDriverCandidates() {
    return soundDriverCandidates(qEnvironmentVariable("XDG_RUNTIME_DIR"));
}

void quietSoundLibraries() {
    static std::once_flag once;  // one process-wide hook, set once
    std::call_once(once, [] { snd_lib_error_set_handler(&dropAlsaMessage); });
}

}  // namespace lumi::platform
