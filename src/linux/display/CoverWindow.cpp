// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/display/CoverWindow.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>

#include <optional>
#include <utility>

#include "linux/display/KeyAscii.h"

namespace lumi::display {

CoverWindow::CoverWindow(QColor background, QImage picture, Input input)
    : background_(background), picture_(std::move(picture)), input_(std::move(input)) {
    setWindowTitle(QStringLiteral("Lumiscribe"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void CoverWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), background_);
    if (!picture_.isNull()) {
        painter.drawImage(QPoint(0, 0), picture_);
    }
}

bool CoverWindow::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            event->accept();
            if (input_.buttonPressed) {
                input_.buttonPressed();
            }
            return true;
        case QEvent::MouseMove:
            event->accept();
            return true;
        case QEvent::WindowActivate:
            if (input_.activated) {
                input_.activated();
            }
            return QWidget::event(event);
        case QEvent::KeyPress: {
            // Taken before the widget sees it, so that Tab never moves the focus.
            const auto& key = *static_cast<QKeyEvent*>(event);
            if (const std::optional<int> code = keyAscii(key)) {
                if (input_.keyPressed) {
                    input_.keyPressed(*code);
                }
            } else if (const std::optional<ArrowStep> step = arrowStep(key)) {
                if (input_.arrowPressed) {
                    input_.arrowPressed(*step);
                }
            }
            return true;
        }
        default:
            return QWidget::event(event);
    }
}

QList<QRect> monitorsToCover(const QList<QRect>& monitors) {
    QList<QRect> covered;
    if (monitors.isEmpty()) {
        return covered;
    }
    const QRect primary = monitors.first();
    for (qsizetype i = 1; i < monitors.size(); ++i) {
        const QRect& monitor = monitors.at(i);
        if (monitor.isEmpty() || primary.contains(monitor) || covered.contains(monitor)) {
            continue;
        }
        covered.append(monitor);
    }
    return covered;
}

}  // namespace lumi::display
