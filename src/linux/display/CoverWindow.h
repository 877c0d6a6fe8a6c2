// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QWidget>

#include <functional>

#include "linux/display/KeyAscii.h"

namespace lumi::display {

// A plain window over one monitor beside the one that shows the display form, so that no
// monitor keeps showing the desktop while the screen saver runs. It shows the form's
// background: its colour, and its background picture drawn from the top-left corner at its
// own size.
//
// Input ends the screen saver as it does over the form outside its canvas, and a key acts
// as it does on the canvas: the start-up module connects `buttonPressed` to the form's stop
// and CloseDown (any button pressed, released or double-clicked) and `keyPressed` to the
// form's key handler, which receives what keyAscii() makes of each key, exactly as from the
// canvas (so space, "n", "q" and "s" keep their meaning wherever the focus is, and the keys
// that the canvas ignores are ignored here too), and `arrowPressed` to the form's arrow keys.
// Mouse movement does nothing, as over the form outside the canvas. The keyboard focus
// belongs to the form; where the window system gives it to a cover all the same (a Wayland
// compositor may, on the output it had the focus on), `activated` lets the form start and ask
// for the focus back.
class CoverWindow final : public QWidget {
    Q_OBJECT

public:
    struct Input {
        std::function<void()> buttonPressed;
        std::function<void(int keyAscii)> keyPressed;
        std::function<void()> activated;
        std::function<void(ArrowStep step)> arrowPressed = nullptr;
    };

    CoverWindow(QColor background, QImage picture, Input input);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QColor background_;
    QImage picture_;
    Input input_;
};

// The monitors that need a cover window: all of `monitors` after the first, which is the
// primary one that shows the form, except those that lie wholly within the primary (a
// monitor that mirrors it shows the form already, and a cover there would hide it) and
// repeats of a rectangle already listed.
QList<QRect> monitorsToCover(const QList<QRect>& monitors);

}  // namespace lumi::display
