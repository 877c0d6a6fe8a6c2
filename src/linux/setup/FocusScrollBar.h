// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QScrollBar>

namespace lumi::setup {

// A horizontal scroll bar that the keyboard drives like a slider: it takes the focus from Tab
// and from a click, Right, Up and Page Up raise its value (a plain scroll bar's keys run the
// other way, as for scrolling a view), and while it has the focus it shows the style's focus
// frame, which the style does not draw for a scroll bar by itself.
class FocusScrollBar final : public QScrollBar {
    Q_OBJECT

public:
    explicit FocusScrollBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace lumi::setup
