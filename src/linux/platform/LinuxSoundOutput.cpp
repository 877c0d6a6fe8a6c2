// SPDX-License-Identifier: GPL-3.0-or-later
#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <glib.h>
#include <pulse/pulseaudio.h>

#include <QFileInfo>

#include <mutex>

#include "linux/platform/SoundOutput.h"

namespace lumi::platform {
namespace {

// Receives every diagnostic of libasound and drops it.
void dropAlsaMessage(const char* /*file*/, int /*line*/, const char* /*function*/, int /*err*/,
                     const char* /*format*/, ...) {}

// Receives the messages that libraries without a log domain of their own send through GLib,
// such as the SoundFont reader's complaints about a damaged file, and drops them.
void dropGLibMessage(const gchar* /*domain*/, GLogLevelFlags /*level*/, const gchar* /*message*/,
                     gpointer /*data*/) {}

bool isSocket(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

}  // namespace

QStringList soundDriverCandidates(const QString& runtimeFolder) {
    QStringList drivers;
    // PulseAudio, or PipeWire's PulseAudio service, which shares one socket name. It comes
    // first: FluidSynth reaches both servers through it on every release we support, and the
    // player tells from this protocol whether a server that went away is back.
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER") ||
        (!runtimeFolder.isEmpty() && isSocket(runtimeFolder + "/pulse/native"))) {
        drivers.append(QStringLiteral("pulseaudio"));
    }
    // PipeWire's own protocol, where FluidSynth speaks it (2.4 and later) and no PulseAudio
    // service runs.
    if (!qEnvironmentVariableIsEmpty("PIPEWIRE_REMOTE") ||
        (!runtimeFolder.isEmpty() && isSocket(runtimeFolder + "/pipewire-0"))) {
        drivers.append(QStringLiteral("pipewire"));
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
    std::call_once(once, [] {
        snd_lib_error_set_handler(&dropAlsaMessage);
        g_log_set_handler(nullptr, GLogLevelFlags(G_LOG_LEVEL_MASK & ~G_LOG_LEVEL_ERROR),
                          &dropGLibMessage, nullptr);
    });
}

void prepareSoundLibraries() {
    static std::once_flag once;  // PipeWire's library stays initialised for the process
    std::call_once(once, [] {
        // Only a FluidSynth built with PipeWire's driver has loaded PipeWire's library; nothing
        // is loaded here that the process would not otherwise hold.
        void* library = dlopen("libpipewire-0.3.so.0", RTLD_NOW | RTLD_NOLOAD);
        if (!library) {
            return;
        }
        using Init = void (*)(int*, char***);
        if (auto init = reinterpret_cast<Init>(dlsym(library, "pw_init"))) {
            init(nullptr, nullptr);
        }
        // The handle stays open: the library must stay where FluidSynth's driver finds it.
    });
}

bool soundServerAnswers(std::chrono::milliseconds timeout) {
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop) {
        return false;
    }
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "lumiscribe");
    bool ready = false;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY) {
                ready = true;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state)) {
                break;
            }
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || pa_mainloop_prepare(loop, static_cast<int>(left.count())) < 0 ||
                pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0) {
                break;
            }
        }
        pa_context_disconnect(context);
    }
    if (context) {
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    return ready;
}

}  // namespace lumi::platform
