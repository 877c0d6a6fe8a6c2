// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/TabOrder.h"

#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace lumi::setup {
namespace {

bool takesTab(const QWidget& widget) {
    return (widget.focusPolicy() & Qt::TabFocus) != 0;
}

void appendInReadingOrder(QWidget& container, QList<QWidget*>& order);

// True when Tab can reach `widget` or a control inside it. Only such widgets take part in the
// reading order: a rule or a picture beside the controls must not join rows that it spans.
bool holdsControls(QWidget& widget) {
    if (qobject_cast<QTabWidget*>(&widget) != nullptr || takesTab(widget)) {
        return true;
    }
    for (QObject* child : widget.children()) {
        auto* inner = qobject_cast<QWidget*>(child);
        if (inner != nullptr && !inner->isWindow() && inner->isVisibleTo(&widget) &&
            holdsControls(*inner)) {
            return true;
        }
    }
    return false;
}

// Adds `widget` to `order`: a tab widget as its bar and its pages, a control as itself, a
// container as its controls.
void appendWidget(QWidget& widget, QList<QWidget*>& order) {
    if (auto* tabs = qobject_cast<QTabWidget*>(&widget)) {
        order.append(tabs->tabBar());
        for (int i = 0; i < tabs->count(); ++i) {
            appendInReadingOrder(*tabs->widget(i), order);
        }
        return;
    }
    if (takesTab(widget)) {
        order.append(&widget);
        return;
    }
    appendInReadingOrder(widget, order);
}

// The direct children of `container` in reading order (see readingOrder()).
void appendInReadingOrder(QWidget& container, QList<QWidget*>& order) {
    QList<QWidget*> children;
    for (QObject* child : container.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow() && widget->isVisibleTo(&container) &&
            holdsControls(*widget)) {
            children.append(widget);
        }
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
    // Rows: each starts with its topmost box; a box that begins above that box's middle
    // belongs to the row. Within a row, left to right.
    for (qsizetype rowStart = 0; rowStart < children.size();) {
        const QRect first = children[rowStart]->geometry();
        const int rowMiddle = first.top() + first.height() / 2;
        qsizetype rowEnd = rowStart + 1;
        while (rowEnd < children.size() && children[rowEnd]->y() < rowMiddle) {
            ++rowEnd;
        }
        std::stable_sort(children.begin() + rowStart, children.begin() + rowEnd,
                         [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
        for (qsizetype i = rowStart; i < rowEnd; ++i) {
            appendWidget(*children[i], order);
        }
        rowStart = rowEnd;
    }
}

}  // namespace

QList<QWidget*> readingOrder(QWidget& root) {
    QList<QWidget*> order;
    appendInReadingOrder(root, order);
    return order;
}

void orderTabsByReading(QWidget& root) {
    const QList<QWidget*> order = readingOrder(root);
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

}  // namespace lumi::setup
