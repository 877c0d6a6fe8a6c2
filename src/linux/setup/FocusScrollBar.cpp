// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/FocusScrollBar.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace lumi::setup {

FocusScrollBar::FocusScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::StrongFocus);
    setInvertedControls(false);
}

void FocusScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

}  // namespace lumi::setup
