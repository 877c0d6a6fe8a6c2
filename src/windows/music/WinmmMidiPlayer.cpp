// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/music/WinmmMidiPlayer.h"

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "music/MidiFile.h"
#include "windows/platform/Utf16.h"

namespace lumi::music {

namespace {

using std::chrono::steady_clock;

// Anything this large is no tune and is not read.
constexpr LONGLONG kMaxTuneBytes = 16 * 1024 * 1024;

// The time a synthesiser may take to carry out General MIDI System On before the tune starts.
constexpr auto kResetSettleTime = std::chrono::milliseconds(100);

// A tune that falls this far behind its time (the machine was suspended, say) goes on from
// now instead of racing through the part it missed.
constexpr auto kMaxLag = std::chrono::milliseconds(250);

// How long a system exclusive message may take to reach the synthesiser.
constexpr DWORD kLongMessageTimeoutMs = 2000;

constexpr std::array<std::uint8_t, 6> kGeneralMidiSystemOn = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// Closing silences the device first: midiOutClose() refuses while buffers are queued.
struct MidiOutCloser {
    void operator()(HMIDIOUT device) const {
        midiOutReset(device);
        midiOutClose(device);
    }
};
using MidiOutHandle = std::unique_ptr<std::remove_pointer_t<HMIDIOUT>, MidiOutCloser>;

// One-millisecond timer resolution while a tune plays, so that the worker wakes on time for
// each message rather than on the default 15.6 ms ticks.
class FineTimerResolution {
public:
    FineTimerResolution() : raised_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~FineTimerResolution() {
        if (raised_) {
            timeEndPeriod(1);
        }
    }
    FineTimerResolution(const FineTimerResolution&) = delete;
    FineTimerResolution& operator=(const FineTimerResolution&) = delete;

private:
    const bool raised_;
};

std::string midiErrorText(MMRESULT result) {
    std::array<wchar_t, MAXERRORLENGTH> text{};
    if (midiOutGetErrorTextW(result, text.data(), static_cast<UINT>(text.size())) !=
        MMSYSERR_NOERROR) {
        return "MIDI error " + std::to_string(result);
    }
    std::wstring_view view(text.data());
    while (!view.empty() && (view.back() == L'.' || view.back() == L' ')) {
        view.remove_suffix(1);
    }
    return platform::toUtf8(view);
}

// The tune in the file at `path` (UTF-8), or why it cannot be played.
MidiFileRead readTuneFile(std::string_view path) {
    const std::wstring name = platform::toUtf16(path);
    const HANDLE opened = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return {{}, "cannot open the file"};
    }
    const KernelHandle file(opened);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxTuneBytes) {
        return {{}, "not a MIDI file"};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD received = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &received, nullptr)) {
        return {{}, "cannot read the file"};
    }
    bytes.resize(received);
    return readMidiFile(bytes);
}

}  // namespace

// What the caller's thread and the worker share; guarded by `mutex`.
struct WinmmMidiPlayer::Shared {
    // A tune to play, or nothing for a stop; `serial` tells it from later requests.
    struct Request {
        std::uint64_t serial = 0;
        std::optional<MidiTune> tune;
    };

    std::mutex mutex;
    std::condition_variable wake;    // the worker waits on it for requests
    std::condition_variable ended;   // the destructor waits on it for the worker's end
    std::optional<Request> request;  // posted and not yet taken by the worker
    bool prepare = false;
    bool quit = false;
    std::uint64_t serial = 0;  // counts play() and stop() calls
    bool playing = false;      // what isPlaying() answers
    bool noDevice = false;     // the last look found no MIDI output device at all
    std::string silenceReason;
    bool workerEnded = false;
};

// The worker's side: the device and the tune it plays. Everything here runs on the worker, and
// no device call is made while the shared mutex is held, so that the caller's thread never
// waits on the device.
class WinmmMidiPlayer::Worker {
public:
    explicit Worker(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    // Serves requests until the player asks it to end; then silences and closes the device.
    void run() {
        for (;;) {
            std::optional<Shared::Request> request;
            bool prepare = false;
            {
                std::unique_lock lock(shared_->mutex);
                const auto woken = [this] {
                    return shared_->quit || shared_->request || shared_->prepare;
                };
                if (tune_) {
                    shared_->wake.wait_until(lock, nextDue(), woken);
                } else {
                    shared_->wake.wait(lock, woken);
                }
                if (shared_->quit) {
                    return;
                }
                request.swap(shared_->request);
                prepare = std::exchange(shared_->prepare, false);
            }
            if (request) {
                endTune();
                if (request->tune) {
                    startTune(std::move(*request->tune), request->serial);
                }
            } else if (prepare) {
                openDevice();
            }
            if (tune_) {
                playDueEvents();
            }
        }
    }

private:
    struct Tune {
        MidiTune tune;
        std::uint64_t serial = 0;
        steady_clock::time_point start;
        std::size_t next = 0;  // the first event not sent yet
        FineTimerResolution resolution;
    };

    // Opens the MIDI mapper unless it is open; false when there is no device to open. Records
    // why for silenceReason().
    bool openDevice() {
        if (device_) {
            return true;
        }
        std::string reason;
        bool noDevice = false;
        if (midiOutGetNumDevs() == 0) {
            reason = "no MIDI output device";
            noDevice = true;
        } else {
            if (!done_) {
                done_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
            }
            HMIDIOUT opened = nullptr;
            const MMRESULT result =
                midiOutOpen(&opened, MIDI_MAPPER, reinterpret_cast<DWORD_PTR>(done_.get()), 0,
                            done_ ? CALLBACK_EVENT : CALLBACK_NULL);
            if (result == MMSYSERR_NOERROR) {
                device_.reset(opened);
            } else {
                reason = "the MIDI output device cannot be opened: " + midiErrorText(result);
            }
        }
        std::lock_guard lock(shared_->mutex);
        shared_->noDevice = noDevice;
        shared_->silenceReason = reason;
        return static_cast<bool>(device_);
    }

    // Sends one message of a tune; false when the device refuses it.
    bool send(std::span<const std::uint8_t> message) {
        if (message.empty()) {
            return true;
        }
        if (message[0] != 0xF0) {
            DWORD packed = 0;
            for (std::size_t n = 0; n < message.size() && n < 3; ++n) {
                packed |= DWORD{message[n]} << (8 * n);
            }
            return midiOutShortMsg(device_.get(), packed) == MMSYSERR_NOERROR;
        }
        std::vector<char> buffer(message.begin(), message.end());
        MIDIHDR header{};
        header.lpData = buffer.data();
        header.dwBufferLength = static_cast<DWORD>(buffer.size());
        if (midiOutPrepareHeader(device_.get(), &header, sizeof header) != MMSYSERR_NOERROR) {
            return false;
        }
        const MMRESULT result = midiOutLongMsg(device_.get(), &header, sizeof header);
        if (result == MMSYSERR_NOERROR) {
            // The device signals the event when it is done with the buffer; one that never is
            // gets its buffer taken back by a reset.
            const volatile DWORD& flags = header.dwFlags;
            while ((flags & MHDR_DONE) == 0 && done_ &&
                   WaitForSingleObject(done_.get(), kLongMessageTimeoutMs) == WAIT_OBJECT_0) {
            }
            if ((flags & MHDR_DONE) == 0) {
                midiOutReset(device_.get());
            }
        }
        midiOutUnprepareHeader(device_.get(), &header, sizeof header);
        return result == MMSYSERR_NOERROR;
    }

    // Puts every channel of the synthesiser into its power-on state; false when the device
    // refuses. A device that takes no system exclusive messages is reset by the channel
    // messages alone.
    bool reset() {
        send(kGeneralMidiSystemOn);
        bool sent = true;
        for (std::uint8_t channel = 0; channel < 16; ++channel) {
            const std::uint8_t control = 0xB0 | channel;
            const std::uint8_t messages[][3] = {
                {control, 120, 0},                                     // all sound off
                {control, 123, 0},                                     // all notes off
                {control, 121, 0},                                     // reset all controllers
                {control, 0, 0},                                       // bank select
                {control, 32, 0},                                      // bank select, low byte
                {control, 7, 100},                                     // volume
                {control, 10, 64},                                     // pan
                {static_cast<std::uint8_t>(0xC0 | channel), 0, 0},     // program 0
                {static_cast<std::uint8_t>(0xE0 | channel), 0, 0x40},  // pitch bend centred
            };
            for (const auto& message : messages) {
                sent = sent && send(message);
            }
        }
        return sent;
    }

    void startTune(MidiTune tune, std::uint64_t serial) {
        const bool opened = openDevice();
        const bool ready = opened && reset();
        if (opened && !ready) {
            dropDevice();
        }
        std::lock_guard lock(shared_->mutex);
        if (serial != shared_->serial) {
            return;  // replaced while the device opened; the newer request follows
        }
        shared_->playing = ready;
        if (ready) {
            tune_.emplace(std::move(tune), serial, steady_clock::now() + kResetSettleTime);
        }
    }

    // The device refused a message (a synthesiser unplugged, say): it is closed, and the next
    // tune opens one again.
    void dropDevice() {
        device_.reset();
        std::lock_guard lock(shared_->mutex);
        shared_->silenceReason = "the MIDI output device stopped taking messages";
    }

    steady_clock::time_point nextDue() const {
        const auto& events = tune_->tune.events;
        return tune_->start +
               (tune_->next < events.size() ? events[tune_->next].time : tune_->tune.length);
    }

    void playDueEvents() {
        const auto& events = tune_->tune.events;
        const steady_clock::time_point now = steady_clock::now();
        if (tune_->next < events.size() && now - nextDue() > kMaxLag) {
            tune_->start = now - events[tune_->next].time;
        }
        for (; tune_->next < events.size() && nextDue() <= now; ++tune_->next) {
            if (!send(events[tune_->next].message)) {
                dropDevice();
                finishTune();
                return;
            }
        }
        if (tune_->next == events.size() && nextDue() <= now) {
            finishTune();
        }
    }

    // The tune has played to its end or cannot go on.
    void finishTune() {
        {
            std::lock_guard lock(shared_->mutex);
            if (tune_->serial == shared_->serial) {
                shared_->playing = false;
            }
        }
        endTune();
    }

    // Silences the tune's notes and forgets it.
    void endTune() {
        if (tune_ && device_) {
            midiOutReset(device_.get());
        }
        tune_.reset();
    }

    const std::shared_ptr<Shared> shared_;
    // Declared in creation order: the event outlives the device that signals it.
    KernelHandle done_;
    MidiOutHandle device_;
    std::optional<Tune> tune_;
};

WinmmMidiPlayer::WinmmMidiPlayer() : shared_(std::make_shared<Shared>()) {
    worker_ = std::thread([shared = shared_] {
        try {
            Worker(shared).run();
        } catch (...) {
            // Out of memory: the player falls silent, and the caller's thread goes on.
        }
        {
            std::lock_guard lock(shared->mutex);
            shared->playing = false;
            shared->workerEnded = true;
        }
        shared->ended.notify_all();
    });
}

WinmmMidiPlayer::~WinmmMidiPlayer() {
    std::unique_lock lock(shared_->mutex);
    shared_->quit = true;
    shared_->wake.notify_one();
    const bool ended =
        shared_->ended.wait_for(lock, kWorkerExitWait, [this] { return shared_->workerEnded; });
    lock.unlock();
    if (ended) {
        worker_.join();
    } else {
        worker_.detach();
    }
}

void WinmmMidiPlayer::prepare() {
    std::lock_guard lock(shared_->mutex);
    shared_->prepare = true;
    shared_->wake.notify_one();
}

void WinmmMidiPlayer::play(std::string_view path, int /*reserved1*/, int /*reserved2*/) {
    MidiFileRead read = readTuneFile(path);
    std::lock_guard lock(shared_->mutex);
    ++shared_->serial;
    if (!read.problem.empty()) {
        shared_->request = Shared::Request{shared_->serial, std::nullopt};
        shared_->playing = false;
    } else {
        shared_->request = Shared::Request{shared_->serial, std::move(read.tune)};
        shared_->playing = !shared_->noDevice;
    }
    shared_->wake.notify_one();
}

void WinmmMidiPlayer::stop() {
    std::lock_guard lock(shared_->mutex);
    ++shared_->serial;
    shared_->request = Shared::Request{shared_->serial, std::nullopt};
    shared_->playing = false;
    shared_->wake.notify_one();
}

bool WinmmMidiPlayer::isPlaying() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->playing;
}

std::string WinmmMidiPlayer::silenceReason() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->silenceReason;
}

void WinmmMidiPlayer::setVisible(bool /*visible*/) {
    // Nothing to show: the player has no window.
}

}  // namespace lumi::music
