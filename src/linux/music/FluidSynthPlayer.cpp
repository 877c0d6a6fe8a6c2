// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/music/FluidSynthPlayer.h"

#include "linux/platform/RegularFile.h"
#include "linux/music/PowerOnState.h"
#include "linux/platform/SoundOutput.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstdio>
#include <cstring>
#include <utility>

namespace lumi::music {

namespace {

using std::chrono::steady_clock;

// Frames rendered at a time when there is no sound device. 1024 frames at kSilentSampleRate
// wake the worker about 22 times a second, and the end of a tune is noticed within 47 ms.
constexpr int kSilentBlockFrames = 1024;

// The rate of the silent output: nobody hears it, so half the usual rate keeps the tune's time
// for half the work.
constexpr double kSilentSampleRate = 22050.0;
constexpr double kListenerSampleRate = 44100.0;  // FluidSynth's default

// If the silent output falls this far behind real time (the machine was suspended, say), it
// resumes from now instead of racing through the missed part of the tune.
constexpr auto kMaxSilentLag = std::chrono::milliseconds(250);

// How often the worker looks whether a tune sounding on the device has ended.
constexpr auto kDevicePollInterval = std::chrono::milliseconds(50);

// The frames that the audio driver asks for at a time. FluidSynth's default of 64 gives a
// PulseAudio server a buffer of 1.5 ms, which it cannot keep filled without dropouts; 1024
// frames (23 ms) keep it filled, and q and n still silence or replace a tune within 50 ms.
constexpr int kDevicePeriodFrames = 1024;

// The audio driver that plays a tune has not moved it on for this long: the worker looks whether
// the sound server is still there. A driver that loads a large instrument may stall as long;
// one that stalls for kDeviceStallLimit has gone, whatever the server says.
constexpr auto kDeviceStallBeforeProbe = std::chrono::milliseconds(1500);
constexpr auto kDeviceStallLimit = std::chrono::seconds(10);
// A driver that has stalled this long after FluidSynth logged an error has failed: its thread
// ends on a write that the server refused (a server restarted at once answers a probe, but
// not the driver's old connection).
constexpr auto kDeviceStallAfterError = std::chrono::milliseconds(500);

// While the sound is lost, the worker looks this often whether a sound server answers, and
// waits this long for its answer.
constexpr auto kProbeInterval = std::chrono::seconds(1);
constexpr auto kProbeTimeout = std::chrono::milliseconds(250);

constexpr char kSilentLine[] =
    "lumiscribe: no sound device or sound server; the music plays silently\n";
constexpr char kLostLine[] =
    "lumiscribe: the sound server went away; the music plays silently until it is back\n";
constexpr char kBackLine[] = "lumiscribe: the sound server is back; the music plays again\n";

// The shipped tunes are a few kilobytes; anything this large is no tune and is not read.
constexpr qint64 kMaxTuneBytes = 16 * 1024 * 1024;

void report(const QString& tunePath, const QString& reason) {
    const QByteArray line =
        QStringLiteral("lumiscribe: cannot play %1: %2\n").arg(tunePath, reason).toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

// The audio drivers that this FluidSynth was built with.
QStringList availableAudioDrivers(fluid_settings_t* settings) {
    QStringList names;
    fluid_settings_foreach_option(
        settings, "audio.driver", &names, [](void* data, const char* /*name*/, const char* option) {
            static_cast<QStringList*>(data)->append(QString::fromLatin1(option));
        });
    return names;
}

// The errors FluidSynth has logged in this process. Its audio drivers log one when their
// connection fails, and then their thread ends.
std::atomic<unsigned> fluidSynthErrors = 0;

// FluidSynth logs through one process-wide hook; its messages about missing sound servers
// and the like are noise here, because the player reports its own failures. Its errors are
// only counted.
void silenceFluidSynthLog() {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
    const auto countError = [](int /*level*/, const char* /*message*/, void* /*data*/) {
        fluidSynthErrors.fetch_add(1, std::memory_order_relaxed);
    };
    fluid_set_log_function(FLUID_PANIC, countError, nullptr);
    fluid_set_log_function(FLUID_ERR, countError, nullptr);
}

// Why the SoundFont at `path` cannot be used, or an empty string when it looks usable. Reads
// only the file's first bytes, so the user-interface thread may call it.
QString soundFontProblem(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("no such file");
    }
    if (!info.isFile()) {
        return QStringLiteral("not a file");
    }
    if (!info.isReadable()) {
        return QStringLiteral("permission denied");
    }
    if (!fluid_is_soundfont(QFile::encodeName(path).constData())) {
        return QStringLiteral("not a SoundFont");
    }
    return {};
}

// Why `data` is not a Standard MIDI File that FluidSynth can load, or an empty string. Checks
// the header and that every track the header announces is present in full.
QString midiProblem(const QByteArray& data) {
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < 14 || std::memcmp(bytes, "MThd", 4) != 0) {
        return QStringLiteral("not a MIDI file");
    }
    const qint64 headerLength = qFromBigEndian<quint32>(bytes + 4);
    if (headerLength < 6) {
        return QStringLiteral("not a MIDI file");
    }
    const int trackCount = qFromBigEndian<quint16>(bytes + 10);
    if (trackCount == 0) {
        return QStringLiteral("MIDI file without tracks");
    }
    qint64 at = 8 + headerLength;
    for (int found = 0; found < trackCount;) {
        if (at + 8 > size) {
            return QStringLiteral("truncated MIDI file");
        }
        const qint64 chunkLength = qFromBigEndian<quint32>(bytes + at + 4);
        if (at + 8 + chunkLength > size) {
            return QStringLiteral("truncated MIDI file");
        }
        if (std::memcmp(bytes + at, "MTrk", 4) == 0) {
            ++found;
        }
        at += 8 + chunkLength;
    }
    return {};
}

// Reads the tune at `path` into `midi`; returns why it cannot be played, or an empty string.
QString readTune(const QString& path, QByteArray& midi) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("no such file");
    }
    if (!info.isFile()) {
        return QStringLiteral("not a file");
    }
    if (info.size() > kMaxTuneBytes) {
        return QStringLiteral("not a MIDI file (too large)");
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("cannot read it (%1)").arg(file.errorString());
    }
    midi = file.readAll();
    return midiProblem(midi);
}

}  // namespace

FluidSynthPlayer::FluidSynthPlayer(QString soundFontPath, Output output)
    : soundFontPath_(std::move(soundFontPath)), output_(output) {
    silenceFluidSynthLog();
    platform::quietSoundLibraries();
    platform::prepareSoundLibraries();
    soundFontFailure_ = soundFontProblem(soundFontPath_);
    if (!soundFontFailure_.isEmpty()) {
        return;  // play() reports it; there is nothing for a worker to do
    }
    worker_ = std::thread(&FluidSynthPlayer::run, this);
}

FluidSynthPlayer::~FluidSynthPlayer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        playing_ = false;
    }
    wake_.notify_one();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void FluidSynthPlayer::play(std::string_view name, int /*reserved1*/, int /*reserved2*/) {
    const QString path = platform::decodeFileName(QByteArray(name.data(), name.size()));
    QByteArray midi;
    const QString tuneProblem = readTune(path, midi);

    std::lock_guard lock(mutex_);
    ++serial_;
    if (!soundFontFailure_.isEmpty() || !tuneProblem.isEmpty()) {
        if (!soundFontFailure_.isEmpty()) {
            reportSoundFontFailureLocked(path);
        } else {
            report(path, tuneProblem);
        }
        request_ = Request{{}, {}, serial_};  // the tune sounding before is replaced by nothing
        playing_ = false;
    } else {
        // The tune counts as playing from now on, although the worker may still be loading
        // the SoundFont: a caller that polls isPlaying() must not take "starting" for "ended".
        request_ = Request{path, std::move(midi), serial_};
        playing_ = true;
    }
    wake_.notify_one();
}

void FluidSynthPlayer::stop() {
    std::lock_guard lock(mutex_);
    ++serial_;
    request_ = Request{{}, {}, serial_};
    playing_ = false;
    wake_.notify_one();
}

bool FluidSynthPlayer::isPlaying() const {
    std::lock_guard lock(mutex_);
    return playing_;
}

std::string FluidSynthPlayer::silenceReason() const {
    std::lock_guard lock(mutex_);
    if (!soundFontFailure_.isEmpty()) {
        return QStringLiteral("the SoundFont %1 cannot be loaded: %2")
            .arg(soundFontPath_, soundFontFailure_)
            .toStdString();
    }
    if (deviceMissing_) {
        return "there is no sound device or sound server";
    }
    return {};
}

void FluidSynthPlayer::setVisible(bool /*visible*/) {
    // Nothing to show: the player has no window.
}

void FluidSynthPlayer::reportSoundFontFailureLocked(const QString& tunePath) {
    if (soundFontReported_) {
        return;
    }
    soundFontReported_ = true;
    report(tunePath,
           QStringLiteral("cannot load SoundFont %1: %2").arg(soundFontPath_, soundFontFailure_));
}

int FluidSynthPlayer::onTick(void* progress, int tick) {
    auto& tune = *static_cast<TuneProgress*>(progress);
    if (tune.totalTicks < 0) {
        // The player has just loaded the tune, on this same thread; walking all of its events
        // once is enough. A tune FluidSynth cannot parse never gets here.
        tune.totalTicks = fluid_player_get_total_ticks(tune.player);
        tune.loaded.store(true);
    }
    tune.tick.store(tick);
    if (tick >= tune.totalTicks) {
        tune.lastEventPlayed.store(true);
    }
    return FLUID_OK;
}

void FluidSynthPlayer::run() {
    if (!loadSynth()) {
        std::lock_guard lock(mutex_);
        soundFontFailure_ = QStringLiteral("FluidSynth cannot load it");
        if (request_ && !request_->path.isEmpty()) {
            reportSoundFontFailureLocked(request_->path);
        }
        request_.reset();
        playing_ = false;
        return;  // every later play() sees the failure and posts nothing the worker must serve
    }

    for (;;) {
        std::optional<Request> request;
        {
            std::unique_lock lock(mutex_);
            const auto woken = [this] { return quit_ || request_.has_value(); };
            if (!tunePlayer_) {
                wake_.wait(lock, woken);
            } else if (driver_) {
                wake_.wait_for(lock, kDevicePollInterval, woken);
            } else {
                wake_.wait_until(lock, renderDeadline_, woken);
            }
            if (quit_) {
                break;
            }
            request.swap(request_);
        }
        if (!request) {
            serveTune();
            continue;
        }
        endTune();
        if (!request->path.isEmpty()) {
            startTune(*request);
        }
    }
    endTune();
    synth_.reset();
    settings_.reset();
}

bool FluidSynthPlayer::loadSynth() {
    settings_.reset(new_fluid_settings());
    if (!settings_) {
        return false;
    }
    // Only the samples of the instruments that a tune selects are read, when it selects them,
    // and dropped when no channel uses them any more: a tune needs a few megabytes of the
    // 140 MB General MIDI SoundFont. Pinning them in memory is not worth it for background
    // music.
    fluid_settings_setint(settings_.get(), "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(settings_.get(), "synth.lock-memory", 0);
    fluid_settings_setstr(settings_.get(), "player.timing-source", "sample");
    // A FluidSynth reset gives every channel the piano and the percussion channel the drum kit,
    // and with the samples loaded on selection that reads both, about 16 MB, whatever the tune
    // plays. The player therefore prepares each tune with prepareForTune() instead.
    fluid_settings_setint(settings_.get(), "player.reset-synth", 0);
    fluid_settings_setint(settings_.get(), "audio.period-size", kDevicePeriodFrames);
    scratch_.resize(2 * kSilentBlockFrames);
    return useSynth(makeSynth(output_ == Output::Silent ? kSilentSampleRate : kListenerSampleRate));
}

FluidSynthPlayer::SynthPtr FluidSynthPlayer::makeSynth(double sampleRate) {
    fluid_settings_setnum(settings_.get(), "synth.sample-rate", sampleRate);
    SynthPtr synth(new_fluid_synth(settings_.get()));
    if (!synth || fluid_synth_sfload(synth.get(), QFile::encodeName(soundFontPath_).constData(),
                                     0) == FLUID_FAILED) {
        return nullptr;
    }
    return synth;
}

bool FluidSynthPlayer::useSynth(SynthPtr synth) {
    if (!synth) {
        return false;
    }
    synth_ = std::move(synth);
    double sampleRate = 44100.0;
    fluid_settings_getnum(settings_.get(), "synth.sample-rate", &sampleRate);
    blockDuration_ = std::chrono::duration_cast<steady_clock::duration>(
        std::chrono::duration<double>(kSilentBlockFrames / sampleRate));
    return true;
}

void FluidSynthPlayer::startTune(const Request& request) {
    tunePath_ = request.path;
    tuneSerial_ = request.serial;
    tuneOver_ = false;
    tuneRequest_ = request;
    if (!beginTune(request)) {
        return;
    }
    // The driver pulls audio from the synth on its own thread, which drives the player; it
    // is created after the player and deleted before it (see endTune()).
    if (output_ == Output::Device && !soundLost_) {
        if (openDevice()) {
            lastTick_ = -1;
            lastProgress_ = steady_clock::now();
        } else {
            markSoundLost(kSilentLine);
            // From now on nothing will be heard: the tune starts again on a synthesiser made
            // for the silent output, if one can be made.
            if (!restartForSilence(request)) {
                return;
            }
        }
    }
    if (!driver_) {
        renderCheaply();
    }
    renderDeadline_ = steady_clock::now();
}

bool FluidSynthPlayer::restartForSilence(const Request& request) {
    // The synthesiser made for a listener goes first, so that two never take memory at once.
    tunePlayer_.reset();
    synth_.reset();
    if (!useSynth(makeSynth(kSilentSampleRate)) && !useSynth(makeSynth(kListenerSampleRate))) {
        std::lock_guard lock(mutex_);
        soundFontFailure_ = QStringLiteral("FluidSynth cannot load it");
    }
    return beginTune(request);
}

bool FluidSynthPlayer::beginTune(const Request& request) {
    if (!synth_) {
        tuneOver(QStringLiteral("cannot load SoundFont %1").arg(soundFontPath_));
        return false;
    }
    PlayerPtr player(new_fluid_player(synth_.get()));
    if (!player) {
        tuneOver(QStringLiteral("FluidSynth cannot create a player"));
        return false;
    }
    progress_.player = player.get();
    progress_.totalTicks = -1;
    progress_.loaded.store(false);
    progress_.lastEventPlayed.store(false);
    progress_.tick.store(-1);
    fluid_player_set_tick_callback(player.get(), &FluidSynthPlayer::onTick, &progress_);
    if (fluid_player_add_mem(player.get(), request.midi.constData(),
                             static_cast<size_t>(request.midi.size())) != FLUID_OK) {
        tuneOver(QStringLiteral("FluidSynth refused the tune"));
        return false;
    }
    // The tune before may have left any controller anywhere; this one starts as on a new
    // synthesiser.
    prepareForTune(synth_.get(), request.midi);
    if (fluid_player_play(player.get()) != FLUID_OK) {
        tuneOver(QStringLiteral("FluidSynth refused the tune"));
        return false;
    }
    tunePlayer_ = std::move(player);
    return true;
}

void FluidSynthPlayer::renderCheaply() {
    // The silent output only keeps the tune's time, which the frames rendered set; what they
    // sound like does not matter. Without effects and interpolation a block costs about half
    // of what it costs for a listener.
    fluid_synth_reverb_on(synth_.get(), -1, 0);
    fluid_synth_chorus_on(synth_.get(), -1, 0);
    fluid_synth_set_interp_method(synth_.get(), -1, FLUID_INTERP_NONE);
}

bool FluidSynthPlayer::openDevice() {
    const QStringList available = availableAudioDrivers(settings_.get());
    for (const QString& driverName : platform::soundDriverCandidates()) {
        if (!available.contains(driverName)) {
            continue;
        }
        fluid_settings_setstr(settings_.get(), "audio.driver", driverName.toLatin1().constData());
        errorsBeforeDriver_ = fluidSynthErrors.load(std::memory_order_relaxed);
        driver_.reset(new_fluid_audio_driver(settings_.get(), synth_.get()));
        if (driver_) {
            return true;
        }
    }
    return false;
}

void FluidSynthPlayer::markSoundLost(const char* line) {
    soundLost_ = true;
    nextProbe_ = steady_clock::now() + kProbeInterval;
    {
        std::lock_guard lock(mutex_);
        deviceMissing_ = true;
    }
    std::fputs(line, stderr);
}

void FluidSynthPlayer::watchDevice() {
    const auto now = steady_clock::now();
    const int tick = progress_.tick.load();
    if (tick != lastTick_ || tuneOver_) {
        lastTick_ = tick;
        lastProgress_ = now;
        return;
    }
    const auto stalled = now - lastProgress_;
    const bool driverFailed = fluidSynthErrors.load(std::memory_order_relaxed) !=
                              errorsBeforeDriver_ && stalled >= kDeviceStallAfterError;
    if (!driverFailed && stalled < kDeviceStallBeforeProbe) {
        return;
    }
    if (!driverFailed && stalled < kDeviceStallLimit) {
        if (now < nextProbe_) {
            return;
        }
        nextProbe_ = now + kProbeInterval;
        if (platform::soundServerAnswers(kProbeTimeout)) {
            return;  // a slow driver, not a lost one
        }
    }
    // FluidSynth's driver thread ends when the server goes; the tune no longer advances.
    driver_.reset();
    markSoundLost(kLostLine);
    if (restartForSilence(*tuneRequest_)) {
        renderCheaply();
        renderDeadline_ = steady_clock::now();
    }
}

void FluidSynthPlayer::lookForSoundServer() {
    const auto now = steady_clock::now();
    if (now < nextProbe_) {
        return;
    }
    nextProbe_ = now + kProbeInterval;
    if (!platform::soundServerAnswers(kProbeTimeout)) {
        return;
    }
    // The silent synthesiser goes first, so that two never take memory at once.
    const Request request = *tuneRequest_;
    tunePlayer_.reset();
    synth_.reset();
    if (useSynth(makeSynth(kListenerSampleRate)) && beginTune(request) && openDevice()) {
        soundLost_ = false;
        lastTick_ = -1;
        lastProgress_ = steady_clock::now();
        {
            std::lock_guard lock(mutex_);
            deviceMissing_ = false;
        }
        std::fputs(kBackLine, stderr);
        return;
    }
    // The server went again at once, or the tune cannot start: as before, silent.
    if (restartForSilence(request)) {
        renderCheaply();
        renderDeadline_ = steady_clock::now();
    }
}

// Called when the worker wakes with no new request while a tune is loaded: either a silent
// block is due or it is time to look at a tune sounding on the device.
void FluidSynthPlayer::serveTune() {
    // FluidSynth lets the last notes and the reverb die away before it calls a tune done;
    // for the caller the tune is over with its last event, as a sequencer would report it.
    const bool ringingDone = fluid_player_get_status(tunePlayer_.get()) != FLUID_PLAYER_PLAYING;
    if (!tuneOver_ && (ringingDone || progress_.lastEventPlayed.load())) {
        // play() checked the file's layout, not its events; FluidSynth drops a tune whose
        // events it cannot parse without a word.
        tuneOver(progress_.loaded.load() ? QString()
                                         : QStringLiteral("FluidSynth cannot read the tune"));
    }
    if (ringingDone || (tuneOver_ && !driver_)) {
        endTune();  // nobody hears a silent output ring out
        return;
    }
    if (driver_) {
        watchDevice();
        return;
    }
    if (!renderSilentBlock()) {
        tuneOver(QStringLiteral("the silent audio output failed"));
        endTune();
        return;
    }
    if (soundLost_ && !tuneOver_) {
        lookForSoundServer();
    }
}

bool FluidSynthPlayer::renderSilentBlock() {
    float* left = scratch_.data();
    float* right = left + kSilentBlockFrames;
    if (fluid_synth_write_float(synth_.get(), kSilentBlockFrames, left, 0, 1, right, 0, 1) !=
        FLUID_OK) {
        return false;
    }
    renderDeadline_ += blockDuration_;
    const auto now = steady_clock::now();
    if (now - renderDeadline_ > kMaxSilentLag) {
        renderDeadline_ = now;
    }
    return true;
}

void FluidSynthPlayer::tuneOver(const QString& failure) {
    tuneOver_ = true;
    std::lock_guard lock(mutex_);
    if (!failure.isEmpty()) {
        report(tunePath_, failure);
    }
    if (tuneSerial_ == serial_) {
        playing_ = false;  // no newer play() or stop() came in meanwhile
    }
}

void FluidSynthPlayer::endTune() {
    tunePath_.clear();
    tuneRequest_.reset();
    if (!tunePlayer_) {
        return;
    }
    driver_.reset();
    tunePlayer_.reset();
    // Silences the notes the stopped tune left sounding; the next tune's prepareForTune() puts
    // the channels back to their power-on state.
    fluid_synth_all_sounds_off(synth_.get(), -1);
}

}  // namespace lumi::music
