// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/Setup.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

#include "settings/SettingKeys.h"
#include "linux/setup/SetupControls.h"
#include "linux/setup/TabOrder.h"

namespace lumi::setup {
namespace {

constexpr QRgb kButtonFace = qRgb(255, 255, 192);

}  // namespace

Setup::Setup(SetupServices services, QWidget* parent)
    : QDialog(parent),
      sessionStore_(
          services.settings,
          [this](const std::string& reason) { reportRefusedWrite(QString::fromStdString(reason)); },
          [this] { loadControls(); }),
      services_{sessionStore_,
                services.player,
                services.dialogs,
                services.shell,
                std::move(services.installDir),
                std::move(services.helpPage),
                std::move(services.xscreensaverFile),
                std::move(services.hostedDisplayCommand)} {
    setObjectName(QStringLiteral("Setup"));
    setWindowTitle(QStringLiteral("Lumiscribe Screensaver"));
    setFont(arial(8.25, false));
    setFixedSize(604, 455);

    SSTab1 = named(new QTabWidget(this), QStringLiteral("SSTab1"), QRect(4, 4, 597, 407));
    // Made inside the dialog, so that the pages measure their texts in the dialog's font.
    Picture1 = new OptionsPage(services_, SSTab1);
    Picture2 = new MusicPage(services_, SSTab1);
    Picture4 = new MorePage(services_, SSTab1);
    SSTab1->addTab(Picture1, QStringLiteral("Options"));
    SSTab1->addTab(Picture2, QStringLiteral("Music"));
    SSTab1->addTab(Picture4, QStringLiteral("More"));
    SSTab1->setCurrentIndex(0);

    buildButtonRow();
    connectHandlers();
    // Tab goes through the tab bar, the page in front and the button row, each in the order in
    // which the controls stand.
    orderTabsByReading(*this);

    // The dialog has no default button: Enter clicks the button that has the focus and does
    // nothing elsewhere (see keyPressEvent). A dialog's buttons are automatic defaults unless
    // told otherwise, and the first of them would then answer Enter anywhere in the dialog.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void Setup::buildButtonRow() {
    Picture3 = named(new QWidget(this), QStringLiteral("Picture3"), QRect(0, 407, 604, 48));
    cmdAbout = makeButton(Picture3, QStringLiteral("cmdAbout"), QStringLiteral("&About"),
                          QRect(99, 8, 81, 30));
    const QString needsConnection = QStringLiteral("An Internet connection must be made first");
    cmdWebsite = makeButton(Picture3, QStringLiteral("cmdWebsite"), QStringLiteral("Our &Website"),
                            QRect(362, 8, 80, 29), needsConnection);
    cmdHelp = makeButton(Picture3, QStringLiteral("cmdHelp"), QStringLiteral("&Help"),
                         QRect(451, 8, 61, 29), needsConnection);
    cmdOK = makeButton(Picture3, QStringLiteral("cmdOK"), QStringLiteral("&Close"),
                       QRect(522, 4, 76, 39), QStringLiteral("Exit"));
    // A flat pale yellow face: the widget style would shade a palette colour into a
    // gradient that is nearly white.
    Picture3->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid rgb(128, 128, 128);"
                       " border-radius: 2px; }"
                       "QPushButton:focus { border: 2px solid rgb(64, 64, 64); }"
                       "QPushButton:pressed { background-color: %2; }")
            .arg(QColor(kButtonFace).name(), QColor(kButtonFace).darker(110).name()));
    cmdOK->setFont(arial(8.25, true));
    cmdHelp->setFont(arial(8.25, true));
}

void Setup::connectHandlers() {
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(Picture1->cmdRestore, &QPushButton::clicked, this, [this] { cmdRestore_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdWebsite, &QPushButton::clicked, this, [this] { cmdWebsite_Click(); });
    connect(cmdAbout, &QPushButton::clicked, this, [this] { cmdAbout_Click(); });
}

// ---- Life cycle ----

void Setup::Form_Load() {
    InstallDir = services_.installDir;
    // A store that the display has not yet set up gets the first-run values first, exactly
    // as the display's first start writes them, so that the dialog shows and keeps what the
    // display will use rather than its own read defaults.
    if (settings::readInteger(services_.settings, "SetReg", "1") != 2) {
        settings::SetRegistry(services_.settings, InstallDir.toStdString());
    }
    services_.player.setVisible(false);
    Picture1->loadPictureList();
    sessionStore_.withoutReports([this] { loadControls(); });
}

void Setup::loadControls() {
    Picture1->loadDisplayOptions();
    Picture2->loadMusic();
    Picture1->loadCalendar();
    Picture2->loadSoundOff();
    Picture4->loadIdleWait();
    Picture4->loadPictureOptions();
    Picture4->loadLockScreen();
    Picture4->loadPhotoDate();
}

void Setup::cmdOK_Click() {
    if (Picture1->List1->count() < 1 &&
        !services_.dialogs.question(
            this, QStringLiteral("No File Warning"),
            QStringLiteral("There are no pictures in the list. This will create an error!  "
                           "Do you wish to close anyway?"))) {
        return;
    }
    accept();
}

void Setup::cmdRestore_Click() {
    // Straight to the user's store: the refusal is shown here, in Restore's own words.
    if (const std::optional<std::string> refusal =
            settings::writeRestoreValues(sessionStore_.store(), InstallDir.toStdString())) {
        services_.dialogs.error(this, QStringLiteral("Corvanta Lumiscribe"),
                                QStringLiteral("Settings have not been restored: %1.")
                                    .arg(QString::fromStdString(*refusal)));
        return;
    }
    services_.dialogs.information(this, QStringLiteral("Corvanta Lumiscribe"),
                                  QStringLiteral("Settings have been restored"));
}

void Setup::reportRefusedWrite(const QString& reason) {
    services_.dialogs.error(this, QStringLiteral("Lumiscribe Screensaver"),
                            QStringLiteral("Your changes cannot be saved: %1. The screen saver "
                                           "goes on with the settings it had.")
                                .arg(reason));
}

QString Setup::helpPageUrl() const {
    return QUrl::fromLocalFile(services_.helpPage).toString();
}

QString Setup::websiteUrl() const {
    const QString configured = QStringLiteral(LUMI_WEBSITE_URL);
    return configured.isEmpty() ? helpPageUrl() : configured;
}

void Setup::cmdHelp_Click() {
    Navigate(*this, helpPageUrl());
}

void Setup::cmdWebsite_Click() {
    Navigate(*this, websiteUrl());
}

void Setup::Navigate(QWidget& frm, const QString& WebPageURL) {
    const QUrl url(WebPageURL);
    const QString where = url.isLocalFile() ? url.toLocalFile() : WebPageURL;
    if (url.isLocalFile() && !QFileInfo(where).isFile()) {
        services_.dialogs.error(&frm, QStringLiteral("Corvanta Lumiscribe"),
                                QStringLiteral("The page %1 is missing.").arg(where));
        return;
    }
    if (services_.shell.openUrl(WebPageURL)) {
        return;
    }
    services_.dialogs.information(
        &frm, QStringLiteral("Corvanta Lumiscribe"),
        QStringLiteral("No browser could be started to show the page. You can open it "
                       "yourself:\n%1")
            .arg(where));
}

void Setup::cmdAbout_Click() {
    QString text = QStringLiteral("Lumiscribe v 1.02\nCorvanta\n");
    const QString website = QStringLiteral(LUMI_WEBSITE_URL);
    if (!website.isEmpty()) {
        text += QStringLiteral("Web site: %1\n").arg(website);
    }
    text += QStringLiteral("Help: %1").arg(services_.helpPage);
    services_.dialogs.information(this, QStringLiteral("Lumiscribe Pictures Screensaver"), text);
}

void Setup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    const bool enter = (event->key() == Qt::Key_Return && event->modifiers() == Qt::NoModifier) ||
                       (event->key() == Qt::Key_Enter &&
                        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier);
    if (enter) {
        // Buttons pass Enter on, since none is an automatic default; every other control
        // that does not use Enter itself passes it on too.
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button != nullptr && button->isEnabled() && button->isVisible()) {
            button->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace lumi::setup
