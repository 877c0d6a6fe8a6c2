// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/SetupControls.h"

#include <algorithm>
#include <optional>

#include "linux/settings/IntegerConversion.h"
#include "linux/settings/SettingKeys.h"

namespace lumi::setup {

QFont arial(double pointSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QRect& geometry, const QString& toolTip) {
    auto* button = named(new QPushButton(caption, parent), name, geometry);
    button->setToolTip(toolTip);
    return button;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QPoint& pos,
                  const QString& toolTip, QSize size) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setToolTip(toolTip);
    label->move(pos);
    if (size.isValid()) {
        label->resize(size);
    } else {
        label->adjustSize();
    }
    return label;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption,
                        const QRect& geometry, const QString& toolTip) {
    auto* box = named(new QCheckBox(caption, parent), name, geometry);
    box->setToolTip(toolTip);
    return box;
}

QString checkValue(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

QString dialogDefault(const QString& key) {
    const settings::SettingKey* entry = settings::findSettingKey(key);
    return entry != nullptr ? QString::fromUtf8(entry->dialogReadDefault) : QString();
}

LoadedValue loadSetting(const platform::SettingsStore& settings, const QString& key, int minimum,
                        int maximum) {
    const std::optional<qint16> stored =
        settings::tryReadInteger(settings, key, dialogDefault(key));
    const int value = stored ? *stored : settings::valueBeforeRead(key);
    const int shown = std::clamp(value, minimum, maximum);
    return LoadedValue{shown, stored && shown == value};
}

LoadedValue loadCheckState(const platform::SettingsStore& settings, const QString& key,
                           SetWhen setWhen) {
    const std::optional<qint16> stored =
        settings::tryReadInteger(settings, key, dialogDefault(key));
    const int value = stored ? *stored : settings::valueBeforeRead(key);
    const bool set = setWhen == SetWhen::One ? value == 1 : value != 0;
    return LoadedValue{set ? 1 : 0, stored && (value == 0 || value == 1)};
}

int loadValue(const platform::SettingsStore& settings, const QString& key, int minimum,
              int maximum) {
    return loadSetting(settings, key, minimum, maximum).value;
}

}  // namespace lumi::setup
