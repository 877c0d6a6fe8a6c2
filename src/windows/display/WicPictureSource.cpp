// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/display/WicPictureSource.h"

#include <objbase.h>
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

#include "windows/display/FileStatus.h"
#include "windows/display/WicDecoder.h"

namespace lumi::display {

// What the threads share with the source: the window that their results are posted to and
// the results that wait for its message loop. It outlives the source for as long as a thread
// holds it.
struct WicPictureSource::Shared {
    std::mutex mutex;
    HWND window = nullptr;  // null once the source is gone: results are then dropped
    std::unordered_map<std::uint64_t, Stamped> finished;  // by ticket

    // Keeps `result` for the window and tells the window about it.
    void post(std::uint64_t ticket, Stamped result) {
        const std::lock_guard lock(mutex);
        if (window == nullptr) {
            return;
        }
        finished.insert_or_assign(ticket, std::move(result));
        if (!PostMessageW(window, WM_APP, static_cast<WPARAM>(ticket), 0)) {
            finished.erase(ticket);
        }
    }

    std::optional<Stamped> take(std::uint64_t ticket) {
        const std::lock_guard lock(mutex);
        const auto found = finished.find(ticket);
        if (found == finished.end()) {
            return std::nullopt;
        }
        Stamped result = std::move(found->second);
        finished.erase(found);
        return result;
    }
};

// One decoding thread. It works on the newest job it was given; a job given before that and
// not yet started is dropped. The thread holds COM for its whole life. Destroying the worker
// tells the thread to end after the decode in progress, if any, and does not wait for it.
class WicPictureSource::Worker {
public:
    struct Job {
        std::uint64_t ticket = 0;
        std::string path;
        platform::PictureRequest request;
    };

    Worker(std::shared_ptr<Shared> shared, Decoder decode) : state_(std::make_shared<State>()) {
        thread_ = std::thread([state = state_, shared = std::move(shared),
                               decode = std::move(decode)] { run(*state, *shared, decode); });
    }
    ~Worker() {
        {
            const std::lock_guard lock(state_->mutex);
            state_->stopping = true;
            state_->next.reset();
        }
        state_->changed.notify_one();
        thread_.detach();
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void start(Job job) {
        {
            const std::lock_guard lock(state_->mutex);
            state_->next = std::move(job);
        }
        state_->changed.notify_one();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::optional<Job> next;
        bool stopping = false;
    };

    static void run(State& state, Shared& shared, const Decoder& decode) {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        // Nothing may escape the thread. Were a result not even postable, the thread would
        // end, and the loads given to it would stay undelivered.
        try {
            while (std::optional<Job> job = nextJob(state)) {
                // Stamped first: a file replaced during the decode then reads as changed.
                Stamped result{{}, stampOf(job->path)};
                try {
                    result.picture = decode(job->path, job->request);
                } catch (const std::exception& error) {
                    result.picture = {};
                    result.picture.error = std::string("the decoder failed: ") + error.what();
                }
                result.picture.path = job->path;
                shared.post(job->ticket, std::move(result));
            }
        } catch (...) {
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
    }

    // The next job, once there is one; nothing once the worker is destroyed.
    static std::optional<Job> nextJob(State& state) {
        std::unique_lock lock(state.mutex);
        state.changed.wait(lock, [&] { return state.stopping || state.next; });
        if (state.stopping) {
            return std::nullopt;
        }
        return std::exchange(state.next, std::nullopt);
    }

    std::shared_ptr<State> state_;
    std::thread thread_;
};

namespace {

constexpr wchar_t kWindowClass[] = L"LumiscribePictureSource";

}  // namespace

// The message-only window's procedure: each WM_APP carries the ticket of a finished decode.
struct SourceWindow {
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_APP) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        auto* source =
            reinterpret_cast<WicPictureSource*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (source != nullptr) {
            try {
                source->finished(static_cast<std::uint64_t>(wParam));
            } catch (...) {
                // A callback's failure ends with it; the message loop goes on.
            }
        }
        return 0;
    }

    static HWND create() {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        // Registered by the first source of the process and kept for the others.
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            return nullptr;
        }
        return CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                               nullptr);
    }
};

void WicPictureSource::WindowDestroyer::operator()(void* window) const {
    DestroyWindow(static_cast<HWND>(window));
}

WicPictureSource::WicPictureSource(Decoder decode)
    : decode_(decode ? std::move(decode) : Decoder(decodeWithWic)),
      window_(SourceWindow::create()),
      shared_(std::make_shared<Shared>()) {
    if (!window_) {
        throw std::runtime_error("the picture source's window cannot be created");
    }
    const HWND window = static_cast<HWND>(window_.get());
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    shared_->window = window;
    loader_ = std::make_unique<Worker>(shared_, decode_);
    prefetcher_ = std::make_unique<Worker>(shared_, decode_);
}

WicPictureSource::~WicPictureSource() {
    // The threads post nothing from now on; the window goes last, with the members.
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->window = nullptr;
        shared_->finished.clear();
    }
    SetWindowLongPtrW(static_cast<HWND>(window_.get()), GWLP_USERDATA, 0);
}

WicPictureSource::FileStamp WicPictureSource::stampOf(const std::string& path) {
    const FileStatus status = fileStatus(path);
    if (status.kind != FileStatus::Kind::Regular) {
        return {};
    }
    return {true, status.size, status.modified};
}

std::uint64_t WicPictureSource::startDecode(const std::string& path, Kind kind) {
    ++decodeCount_;
    const std::uint64_t ticket = nextTicket_++;
    (kind == Kind::Load ? loader_ : prefetcher_)->start({ticket, path, request_});
    return ticket;
}

std::uint64_t WicPictureSource::postReady(const Stamped& result) {
    const std::uint64_t ticket = nextTicket_++;
    shared_->post(ticket, result);
    return ticket;
}

void WicPictureSource::load(const std::string& path, Callback done) {
    const auto failed = failed_.find(path);
    if (held_ && held_->picture.path == path) {
        loadTicket_ = postReady(*held_);
    } else if (prefetched_ && prefetched_->path == path) {
        loadTicket_ = prefetched_->result ? postReady(*prefetched_->result) : prefetched_->ticket;
    } else if (failed != failed_.end()) {
        // Delivered as it was; deliver() decodes the file afresh if it has changed since.
        loadTicket_ = postReady(failed->second);
    } else {
        loadTicket_ = startDecode(path, Kind::Load);
    }
    prefetched_.reset();
    callback_ = std::move(done);
}

void WicPictureSource::prefetch(const std::string& path) {
    if (held_ && held_->picture.path == path) {
        prefetched_.reset();
        return;
    }
    if (prefetched_ && prefetched_->path == path) {
        return;
    }
    if (const auto failed = failed_.find(path);
        failed != failed_.end() && failed->second.stamp == stampOf(path)) {
        prefetched_.reset();  // the load will deliver the kept failure
        return;
    }
    prefetched_ = Prefetched{path, startDecode(path, Kind::Prefetch), std::nullopt};
}

LoadedPicture WicPictureSource::decodeNow(const std::string& path) {
    LoadedPicture picture = decode_(path, {});
    picture.path = path;
    return picture;
}

void WicPictureSource::finished(std::uint64_t ticket) {
    std::optional<Stamped> result = shared_->take(ticket);
    if (!result) {
        return;
    }
    if (ticket == loadTicket_ && callback_) {
        deliver(std::move(*result));
    } else if (prefetched_ && prefetched_->ticket == ticket) {
        prefetched_->result = std::move(result);
        prefetchFinished();
    }
}

void WicPictureSource::prefetchFinished() {
    const Stamped& result = *prefetched_->result;
    if (!result.picture.ok()) {
        // Kept now, so that a prefetch of the same file after a step the other way reads
        // nothing.
        if (result.stamp == stampOf(result.picture.path)) {
            keepFailure(result);
        }
        return;
    }
    held_.reset();  // the next picture is ready: the one on the screen is no longer needed
}

void WicPictureSource::keepFailure(const Stamped& result) {
    if (!result.picture.mayPass) {
        failed_.insert_or_assign(result.picture.path, result);
    }
}

void WicPictureSource::deliver(Stamped result) {
    const std::string path = result.picture.path;
    if (result.stamp != stampOf(path)) {
        // The file changed after its decode began: what the display shows must be the file as
        // it is now. The callback stays for the new decode.
        loadTicket_ = startDecode(path, Kind::Load);
        return;
    }
    failed_.erase(path);
    if (result.picture.ok()) {
        held_ = result;
    } else {
        // The picture in hand stays for the next load of its path, unless it is this file,
        // which has changed and no longer loads.
        if (held_ && held_->picture.path == path) {
            held_.reset();
        }
        keepFailure(result);
    }
    loadTicket_ = 0;
    const Callback done = std::exchange(callback_, nullptr);
    done(result.picture);
}

}  // namespace lumi::display
