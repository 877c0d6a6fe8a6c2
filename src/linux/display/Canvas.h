// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

namespace lumi::display {

// The visible canvas `Pic2` of the display. Its pixels live in an offscreen image that
// covers only the part of the canvas that lies on the screen; paintEvent() copies from it
// exactly the region to repaint, each pixel once. Everything else draws into image() and then
// calls update() with the changed region.
class Canvas final : public QWidget {
    Q_OBJECT

public:
    explicit Canvas(QWidget* parent);

    // The offscreen pixels, and the canvas coordinate of their top-left pixel.
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    QPoint imageOrigin() const { return imageOrigin_; }

    // Gives the canvas a new size and position in its parent, keeping the pixels of the part
    // that the new size keeps, as a picture box does when it is resized. Only the part
    // within `visibleArea` (in parent coordinates) gets offscreen pixels.
    void place(const QRect& geometry, const QRect& visibleArea);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    QPoint imageOrigin_;
};

}  // namespace lumi::display
