// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QString>

#include "linux/platform/SettingsStore.h"

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

// "1" when `box` is checked, "0" otherwise: what a check box stores.
QString checkValue(const QCheckBox* box);

// The default that the dialog passes when it reads `key`.
QString dialogDefault(const QString& key);

// A stored setting as a control of the dialog loads it.
struct LoadedValue {
    // What the control shows.
    int value = 0;
    // True when the stored text converted to `value` itself. Only then may the load store
    // the control's value back; otherwise the stored text stays as it is.
    bool storable = false;
};

// The stored value of `key`, read with the dialog's default, as the program that reads it
// will use it, brought into a control that ranges from `minimum` to `maximum`: the value of
// the conversion of every reader (settings::toInteger), or, when the text does not convert,
// settings::valueBeforeRead(key), the value that the reader keeps then; a value outside the
// range shows as the nearest value inside it.
LoadedValue loadSetting(const platform::SettingsStore& settings, const QString& key, int minimum,
                        int maximum);

// When the display takes a stored flag as set.
enum class SetWhen {
    One,      // only 1: "Calendar", the tune flags, "FitLarge", "Shuffle"
    NotZero,  // anything but 0: "Music"
};

// The state of a check box for the flag `key`, read with the dialog's default: 1 (checked)
// when the display takes the stored value as set by `setWhen`, 0 otherwise, a value that does
// not convert being settings::valueBeforeRead(key). Storable when the text converted to 0 or
// 1.
LoadedValue loadCheckState(const platform::SettingsStore& settings, const QString& key,
                           SetWhen setWhen);

// loadSetting(...).value.
int loadValue(const platform::SettingsStore& settings, const QString& key, int minimum,
              int maximum);

}  // namespace lumi::setup
