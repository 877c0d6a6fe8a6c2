// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/MorePage.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

#include "linux/settings/XScreenSaverPrograms.h"
#include "linux/setup/SetupControls.h"
#include "settings/SettingKeys.h"
#include "setup/SetupMessages.h"

namespace lumi::setup {

MorePage::MorePage(SetupServices& services, QWidget* parent)
    : QWidget(parent),
      services_(services),
      settings_(services.settings),
      boxes_(services.dialogs, this) {
    setObjectName(QStringLiteral("Picture4"));

    // One sentence across the page, the box standing in it for the number.
    lblIdleWait = makeLabel(this, QStringLiteral("lblIdleWait"),
                            QStringLiteral("&Start the screen saver after"), QPoint(20, 26));
    lblIdleWait->setTextFormat(Qt::AutoText);  // the access key
    const int captionWidth = QFontMetrics(lblIdleWait->font())
                                 .horizontalAdvance(QStringLiteral("Start the screen saver after"));
    spnIdleWait = named(new QSpinBox(this), QStringLiteral("spnIdleWait"),
                        QRect(lblIdleWait->x() + captionWidth + 6, 22, 60, 22));
    spnIdleWait->setRange(MorePageSettings::kIdleWaitMinimum, settings::kIdleWaitMaximumMinutes);
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

    lblXScreenSaver = makeLabel(
        this, QStringLiteral("lblXScreenSaver"),
        QStringLiteral("XScreenSaver lists Lumiscribe once it is in your own list of its savers."),
        QPoint(20, 170), {}, QSize(550, 16));
    cmdAddToXScreenSaver = makeButton(this, QStringLiteral("cmdAddToXScreenSaver"),
                                      QStringLiteral("Add Lumiscribe to XScreenSaver"),
                                      QRect(20, 192, 0, 26), services_.xscreensaverFile);
    cmdAddToXScreenSaver->resize(cmdAddToXScreenSaver->sizeHint().width() + 16, 26);

    connect(spnIdleWait, &QSpinBox::valueChanged, this, [this] { spnIdleWait_Change(); });
    connect(chkFitLarge, &QCheckBox::toggled, this, [this] { chkFitLarge_Click(); });
    connect(chkShuffle, &QCheckBox::toggled, this, [this] { chkShuffle_Click(); });
    connect(cmdAddToXScreenSaver, &QPushButton::clicked, this,
            [this] { cmdAddToXScreenSaver_Click(); });

    chkLockScreen = makeCheckBox(this, QStringLiteral("chkLockScreen"),
                                 QStringLiteral("Lock the screen when the screen saver ends"),
                                 QRect(20, 300, 550, 20));
    chkLockScreen->resize(chkLockScreen->sizeHint().width(), chkLockScreen->height());
    lblLockNote = makeLabel(this, QStringLiteral("lblLockNote"),
                            QStringLiteral("Under XScreenSaver, XScreenSaver's own \"Lock screen "
                                           "after\" decides instead."),
                            QPoint(20, 326), {}, QSize(550, 16));
    connect(chkLockScreen, &QCheckBox::toggled, this, [this] { chkLockScreen_Click(); });

    // Below the page's lowest control.
    int photoDateTop = 0;
    for (const QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        photoDateTop = std::max(photoDateTop, control->geometry().bottom() + 7);
    }
    chkPhotoDate = makeCheckBox(this, QStringLiteral("chkPhotoDate"),
                                QStringLiteral("Show the date each photo was taken"),
                                QRect(20, photoDateTop, 550, 20));
    chkPhotoDate->resize(chkPhotoDate->sizeHint().width(), chkPhotoDate->height());
    connect(chkPhotoDate, &QCheckBox::toggled, this, [this] { chkPhotoDate_Click(); });
}

void MorePage::loadCheckBox(QCheckBox* box, const LoadedValue& state) {
    settings_.load(state.storable, [&] { box->setChecked(state.value == 1); });
}

void MorePage::loadIdleWait() {
    const LoadedValue wait = settings_.loadIdleWait();
    settings_.load(wait.storable, [&] { spnIdleWait->setValue(wait.value); });
}

void MorePage::loadPictureOptions() {
    loadCheckBox(chkFitLarge, settings_.loadFitLarge());
    loadCheckBox(chkShuffle, settings_.loadShuffle());
}

void MorePage::loadLockScreen() {
    chkLockScreen->setChecked(settings_.loadLockScreen());
}

void MorePage::loadPhotoDate() {
    chkPhotoDate->setChecked(settings_.loadPhotoDate());
}

void MorePage::spnIdleWait_Change() {
    settings_.idleWaitChanged(spnIdleWait->value());
}

void MorePage::chkFitLarge_Click() {
    settings_.fitLargeClicked(chkFitLarge->isChecked());
}

void MorePage::chkShuffle_Click() {
    settings_.shuffleClicked(chkShuffle->isChecked());
}

void MorePage::chkLockScreen_Click() {
    settings_.lockScreenClicked(chkLockScreen->isChecked());
}

void MorePage::chkPhotoDate_Click() {
    settings_.photoDateClicked(chkPhotoDate->isChecked());
}

void MorePage::cmdAddToXScreenSaver_Click() {
    const settings::XScreenSaverListing listing =
        settings::addToXScreenSaver(services_.xscreensaverFile, services_.hostedDisplayCommand);
    const MessageText message = saverListing(fileNameBytes(settings::listingMessage(listing)));
    if (listing.outcome == settings::XScreenSaverListing::Outcome::Failed) {
        boxes_.error(message.title, message.text);
        return;
    }
    boxes_.information(message.title, message.text);
}

}  // namespace lumi::setup
