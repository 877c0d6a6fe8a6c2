// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "linux/display/PictureLoader.h"
#include "platform/PictureSource.h"

namespace lumi::display {

// The display's pictures as the core asks for them, decoded by the Linux edition's loader:
// paths cross as the bytes of the file names, and every picture keeps its QImage, whose
// pixels the core reads in place.
class QtPictureSource final : public platform::PictureSource {
public:
    const PictureLoader& loader() const { return loader_; }

    void setRequest(const platform::PictureRequest& request) override;
    void load(const std::string& path, Callback done) override;
    void prefetch(const std::string& path) override;
    void cancel() override { loader_.cancel(); }
    bool loading() const override { return loader_.loading(); }
    LoadedPicture decodeNow(const std::string& path) override;

private:
    PictureLoader loader_;
};

// `picture` as the core holds it, sharing its pixels.
LoadedPicture toLoadedPicture(const DecodedPicture& picture);

}  // namespace lumi::display
