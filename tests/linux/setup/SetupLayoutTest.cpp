// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>

#include "setup/SetupFixture.h"

namespace lumi::setup {
namespace {

// What is wrong with the caption of `widget`, or nothing: a caption must fit inside its
// control, and the control inside its parent. The unit tests run this at 96 dpi, and also
// at the scales of a desktop at 120 and 192 dpi (QT_SCALE_FACTOR 1.25 and 2 with the fonts
// measured at 96 dpi, as the program sets them there), where glyphs are measured at their
// scaled sizes.
QString misfit(const QWidget& widget) {
    const QString name = widget.objectName();
    if (!widget.parentWidget()->rect().contains(widget.geometry())) {
        return name + " reaches outside its parent";
    }
    const QFontMetrics metrics(widget.font());
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        const QRect room = label->contentsRect();
        if (label->wordWrap()) {
            const QRect needed = metrics.boundingRect(room, Qt::TextWordWrap, label->text());
            return room.contains(needed) ? QString() : name + " wraps beyond its box";
        }
        return metrics.horizontalAdvance(label->text()) <= room.width()
                   ? QString()
                   : name + " is wider than its box";
    }
    const bool check = qobject_cast<const QCheckBox*>(&widget) != nullptr;
    if (check || qobject_cast<const QRadioButton*>(&widget) != nullptr) {
        const auto& button = static_cast<const QAbstractButton&>(widget);
        QStyleOptionButton option;
        option.initFrom(&button);
        option.text = button.text();
        const QRect room = button.style()->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option, &button);
        return metrics.horizontalAdvance(button.text()) <= room.width()
                   ? QString()
                   : name + " is wider than its box";
    }
    if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
        const QString caption = QString(button->text()).remove(u'&');
        return metrics.horizontalAdvance(caption) + 4 <= button->width()
                   ? QString()
                   : name + " is wider than its button";
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(&widget)) {
        return metrics.horizontalAdvance(frame->title()) + 8 <= frame->width()
                   ? QString()
                   : name + " has a title wider than the frame";
    }
    return {};
}

TEST_F(SetupTest, EveryCaptionFitsItsControlOnEveryPage) {
    writeBytes(listFile(), lines({"/p/a.jpg"}));
    settings_.write("Delay", "300");  // the widest delay caption, "300 seconds"
    const auto dialog = openDialog();
    QStringList misfits;
    for (int page = 0; page < dialog->SSTab1->count(); ++page) {
        dialog->SSTab1->setCurrentIndex(page);
        for (const QWidget* control : dialog->SSTab1->widget(page)->findChildren<QWidget*>()) {
            // The program's own controls are those with a name of the program's own.
            const QString name = control->objectName();
            if (control->isVisible() && !name.isEmpty() && !name.startsWith("qt_")) {
                const QString fault = misfit(*control);
                if (!fault.isEmpty()) {
                    misfits.append(fault);
                }
            }
        }
    }
    for (const QWidget* button : dialog->Picture3->findChildren<QPushButton*>()) {
        const QString fault = misfit(*button);
        if (!fault.isEmpty()) {
            misfits.append(fault);
        }
    }
    EXPECT_EQ(misfits, QStringList{}) << "scale " << dialog->devicePixelRatioF();
}

}  // namespace
}  // namespace lumi::setup
