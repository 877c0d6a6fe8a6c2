// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/startup/PreviewForm.h"

#include <QPaintEvent>
#include <QPainter>

namespace lumi::startup {

PreviewForm::PreviewForm(QImage still, QWidget* parent)
    : QWidget(parent), still_(std::move(still)) {
    setWindowTitle(QStringLiteral("Preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

QImage PreviewForm::builtInStill() {
    return QImage(QStringLiteral(":/lumiscribe/preview.png"));
}

void PreviewForm::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Active, QPalette::Button));
    painter.drawImage(QPoint(0, 0), still_);
}

}  // namespace lumi::startup
