// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/SetupControls.h"


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

const char* checkValue(const QCheckBox* box) {
    return checkValue(box->isChecked());
}

}  // namespace lumi::setup
