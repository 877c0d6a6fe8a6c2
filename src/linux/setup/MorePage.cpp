// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/MorePage.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>

#include <algorithm>
#include <utility>

#include "settings/SettingKeys.h"
#include "linux/settings/XScreenSaverPrograms.h"
#include "linux/setup/SetupControls.h"

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

void MorePage::loadPhotoDate() {
    chkPhotoDate->setChecked(loadValue(services_.settings, "PhotoDate", 0, 1) == 1);
}

void MorePage::chkPhotoDate_Click() {
    services_.settings.write("PhotoDate", checkValue(chkPhotoDate));
}

void MorePage::write(std::string_view key, std::string_view value) {
    if (!storing_) {
        return;
    }
    services_.settings.write(key, value);
}

void MorePage::loadIdleWait() {
    const LoadedValue wait = loadSetting(services_.settings, "IdleWait",
                                         spnIdleWait->minimum(), spnIdleWait->maximum());
    const QScopedValueRollback<bool> storing(storing_, wait.storable);
    spnIdleWait->setValue(wait.value);
}

void MorePage::loadPictureOptions() {
    for (const auto& [box, key] : {std::pair{chkFitLarge, "FitLarge"},
                                   std::pair{chkShuffle, "Shuffle"}}) {
        const LoadedValue state = loadCheckState(services_.settings, key, SetWhen::One);
        const QScopedValueRollback<bool> storing(storing_, state.storable);
        box->setChecked(state.value == 1);
    }
}

void MorePage::chkFitLarge_Click() {
    write("FitLarge", checkValue(chkFitLarge));
}

void MorePage::chkShuffle_Click() {
    write("Shuffle", checkValue(chkShuffle));
}

void MorePage::cmdAddToXScreenSaver_Click() {
    const settings::XScreenSaverListing listing =
        settings::addToXScreenSaver(services_.xscreensaverFile, services_.hostedDisplayCommand);
    const QString title = QStringLiteral("Corvanta Lumiscribe");
    if (listing.outcome == settings::XScreenSaverListing::Outcome::Failed) {
        services_.dialogs.error(this, title, settings::listingMessage(listing));
        return;
    }
    services_.dialogs.information(this, title, settings::listingMessage(listing));
}

void MorePage::spnIdleWait_Change() {
    write("IdleWait", std::to_string(spnIdleWait->value()));
}

void MorePage::loadLockScreen() {
    chkLockScreen->setChecked(loadValue(services_.settings, "LockScreen", 0, 1) ==
                              1);
}

void MorePage::chkLockScreen_Click() {
    services_.settings.write("LockScreen", checkValue(chkLockScreen));
}

}  // namespace lumi::setup
