// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/MorePage.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QScopedValueRollback>
#include <QSpinBox>

#include <utility>

#include "settings/SettingKeys.h"
#include "setup/SetupControls.h"

namespace lumi::setup {

MorePage::MorePage(SetupServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("Picture4"));

    // One sentence across the page, the box standing in it for the number.
    lblIdleWait = makeLabel(this, QStringLiteral("lblIdleWait"),
                            QStringLiteral("&Start the screen saver after"), QPoint(20, 26));
    lblIdleWait->setTextFormat(Qt::AutoText);  // the access key
    const int captionWidth = QFontMetrics(lblIdleWait->font())
                                 .horizontalAdvance(QStringLiteral("Start the screen saver after"));
    spnIdleWait = named(new QSpinBox(this), QStringLiteral("spnIdleWait"),
                        QRect(lblIdleWait->x() + captionWidth + 6, 22, 60, 22));
    spnIdleWait->setRange(0, settings::kIdleWaitMaximumMinutes);
    spnIdleWait->setSingleStep(1);
    spnIdleWait->setKeyboardTracking(false);
    spnIdleWait->setToolTip(QStringLiteral("0: never"));
    lblIdleWait->setBuddy(spnIdleWait);
    lblIdleMinutes =
        makeLabel(this, QStringLiteral("lblIdleMinutes"), QStringLiteral("minutes idle (0: never)"),
                  QPoint(spnIdleWait->geometry().right() + 6, 26));
    lblIdleNote = makeLabel(this, QStringLiteral("lblIdleNote"),
                            QStringLiteral("Under XScreenSaver, XScreenSaver's own \"Blank After\" "
                                           "time decides instead."),
                            QPoint(20, 60), {}, QSize(550, 16));

    chkFitLarge = makeCheckBox(this, QStringLiteral("chkFitLarge"),
                               QStringLiteral("Shrink large pictures to fit the screen"),
                               QRect(20, 100, 550, 20));
    chkShuffle =
        makeCheckBox(this, QStringLiteral("chkShuffle"),
                     QStringLiteral("Show pictures in random order"), QRect(20, 126, 550, 20));
    // As wide as their captions, so that a click beside a caption does not change it.
    for (QCheckBox* box : {chkFitLarge, chkShuffle}) {
        box->resize(box->sizeHint().width(), box->height());
    }

    connect(spnIdleWait, &QSpinBox::valueChanged, this, [this] { spnIdleWait_Change(); });
    connect(chkFitLarge, &QCheckBox::toggled, this, [this] { chkFitLarge_Click(); });
    connect(chkShuffle, &QCheckBox::toggled, this, [this] { chkShuffle_Click(); });
}

void MorePage::write(const QString& key, const QString& value) {
    if (!storing_) {
        return;
    }
    services_.settings.write(key, value);
}

void MorePage::loadIdleWait() {
    const LoadedValue wait = loadSetting(services_.settings, QStringLiteral("IdleWait"),
                                         spnIdleWait->minimum(), spnIdleWait->maximum());
    const QScopedValueRollback<bool> storing(storing_, wait.storable);
    spnIdleWait->setValue(wait.value);
}

void MorePage::loadPictureOptions() {
    for (const auto& [box, key] : {std::pair{chkFitLarge, QStringLiteral("FitLarge")},
                                   std::pair{chkShuffle, QStringLiteral("Shuffle")}}) {
        const LoadedValue state = loadCheckState(services_.settings, key, SetWhen::One);
        const QScopedValueRollback<bool> storing(storing_, state.storable);
        box->setChecked(state.value == 1);
    }
}

void MorePage::chkFitLarge_Click() {
    write(QStringLiteral("FitLarge"), checkValue(chkFitLarge));
}

void MorePage::chkShuffle_Click() {
    write(QStringLiteral("Shuffle"), checkValue(chkShuffle));
}

void MorePage::spnIdleWait_Change() {
    write(QStringLiteral("IdleWait"), QString::number(spnIdleWait->value()));
}

}  // namespace lumi::setup
