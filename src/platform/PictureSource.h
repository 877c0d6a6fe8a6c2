// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "display/Geometry.h"
#include "display/LoadedPicture.h"

namespace lumi::platform {

// How the display wants its pictures decoded.
struct PictureRequest {
    // Pictures larger than this in either direction (once upright) come out shrunk to
    // fittedSize() of their size; an empty size leaves every picture at its own size.
    display::Size shrinkBound;
    // Also read the day each photo was taken.
    bool photoDates = false;
};

// The display's pictures, decoded off the user-interface thread so that no event waits on a
// decode. One load is delivered at a time, and the next picture can be decoded ahead.
//
// Each file is decoded once while it stays as it is: the picture delivered last is kept, and
// a load or prefetch of the same path uses it again; a file that gave no picture keeps its
// failure (with the file's size and modification time) unless that failure may pass, and is
// not read again until it changes.
class PictureSource {
public:
    using Callback = std::function<void(const display::LoadedPicture&)>;

    virtual ~PictureSource() = default;

    // Sets how pictures are decoded; called by the display's load, before the first load()
    // or prefetch().
    virtual void setRequest(const PictureRequest& request) = 0;

    // Decodes `path` and hands the result to `done` on the user-interface thread, from its
    // event loop, never from within this call. A later load() or cancel() replaces a load
    // whose result has not been delivered: its callback never runs.
    virtual void load(const std::string& path, Callback done) = 0;

    // Starts decoding `path` in the background for a later load(); replaces an earlier one.
    virtual void prefetch(const std::string& path) = 0;

    // Drops the load in progress, if any; its callback never runs.
    virtual void cancel() = 0;

    // True from load() until its callback has run (or cancel()).
    virtual bool loading() const = 0;

    // Decodes `path` at its own size, without its date, on the calling thread: the
    // background picture, which the display needs before it is shown.
    virtual display::LoadedPicture decodeNow(const std::string& path) = 0;
};

}  // namespace lumi::platform
