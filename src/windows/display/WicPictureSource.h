// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/PictureSource.h"

namespace lumi::display {

// The display's pictures on Windows, decoded by decodeWithWic() off the user-interface thread.
//
// Flow of control: the source is made on the user-interface thread, where it creates a
// message-only window. Two threads of its own decode, one for loads and one for prefetches,
// each working on the newest request it was given and dropping those it had not started. A
// finished decode posts a message to the window, and its window procedure, run by the
// thread's message loop, delivers the result: the callback runs there and nowhere else. All
// methods are called on that thread.
//
// Each picture is decoded once while its file stays as it is: the picture delivered last is
// kept, and a load or prefetch of the same path uses it again; it is dropped once a prefetch
// of another path has decoded its picture. Every delivery first compares the file's size and
// modification time with those it had when its decode began, and decodes it again if they
// differ. Each file that gives no picture keeps its failure with its size and modification
// time for the life of the source (unless the failure may pass): a load of it delivers that
// failure again without reading the file, and a prefetch of it decodes nothing.
//
// The constructor throws std::runtime_error when the system refuses the window or a thread.
// The destructor never waits for a decode: it tells the threads to end and lets them go. A
// decode in progress finishes on its own, holding only state that it shares with nothing
// but its thread, and its result is dropped; at the end of the process, ExitProcess ends it.
class WicPictureSource final : public platform::PictureSource {
public:
    // Decodes one file; called on the source's threads, so it must be safe on any thread.
    using Decoder =
        std::function<LoadedPicture(const std::string&, const platform::PictureRequest&)>;

    // Made on the thread whose message loop delivers the pictures. `decode` is meant for
    // tests; the default decodes with the system's imaging codecs.
    explicit WicPictureSource(Decoder decode = {});
    ~WicPictureSource() override;
    WicPictureSource(const WicPictureSource&) = delete;
    WicPictureSource& operator=(const WicPictureSource&) = delete;

    void setRequest(const platform::PictureRequest& request) override { request_ = request; }
    void load(const std::string& path, Callback done) override;
    void prefetch(const std::string& path) override;
    void cancel() override { callback_ = nullptr; }
    bool loading() const override { return static_cast<bool>(callback_); }
    LoadedPicture decodeNow(const std::string& path) override;

    // The decodes started by load() and prefetch() since construction.
    int decodeCount() const { return decodeCount_; }

    // What identifies the content of a file without reading it.
    struct FileStamp {
        bool exists = false;
        std::uint64_t size = 0;
        std::uint64_t modified = 0;  // the last write, in the system's file time

        bool operator==(const FileStamp&) const = default;
    };
    struct Stamped {
        LoadedPicture picture;
        FileStamp stamp;  // taken before the decode began
    };

    // The state that the threads share with this object; defined in the .cpp.
    struct Shared;

private:
    friend struct SourceWindow;
    class Worker;
    // Destroys the message-only window, an HWND.
    struct WindowDestroyer {
        void operator()(void* window) const;
    };
    enum class Kind { Load, Prefetch };
    struct Prefetched {
        std::string path;
        std::uint64_t ticket = 0;
        std::optional<Stamped> result;  // once its decode has finished
    };

    static FileStamp stampOf(const std::string& path);
    // Starts decoding `path` on the thread of `kind`; the result comes back with the ticket.
    std::uint64_t startDecode(const std::string& path, Kind kind);
    // Hands `result` back through the message loop, as if a decode had given it.
    std::uint64_t postReady(const Stamped& result);
    // Called by the window procedure for each finished ticket.
    void finished(std::uint64_t ticket);
    void deliver(Stamped result);
    void prefetchFinished();
    void keepFailure(const Stamped& result);

    Decoder decode_;
    platform::PictureRequest request_;
    std::unique_ptr<void, WindowDestroyer> window_;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<Worker> loader_;
    std::unique_ptr<Worker> prefetcher_;
    int decodeCount_ = 0;
    std::uint64_t nextTicket_ = 1;
    std::uint64_t loadTicket_ = 0;  // the ticket whose result the callback waits for
    std::optional<Stamped> held_;   // the picture delivered last, if it loaded
    std::unordered_map<std::string, Stamped> failed_;  // by path: the files that gave no picture
    std::optional<Prefetched> prefetched_;
    Callback callback_;
};

}  // namespace lumi::display
