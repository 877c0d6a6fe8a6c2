// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QString>

#include "setup/StoredValues.h"

// Building blocks shared by the pages of the Setup dialog: the fonts, the makers of named
// controls at fixed places, and the loading of a stored value into a control's range.
namespace lumi::setup {

QFont arial(double pointSize, bool bold);

// `widget` with the object name `name` (the program's own name of the control, by which
// tests and scripts find it) at `geometry` within its parent.
template <typename Widget>
Widget* named(Widget* widget, const QString& name, const QRect& geometry) {
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QRect& geometry, const QString& toolTip = {});

// A label as wide as its text, or of the given size when one is given.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QPoint& pos,
                  const QString& toolTip = {}, QSize size = {});

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption,
                        const QRect& geometry, const QString& toolTip = {});

// What `box` stores: "1" when it is checked, "0" otherwise.
const char* checkValue(const QCheckBox* box);

}  // namespace lumi::setup
