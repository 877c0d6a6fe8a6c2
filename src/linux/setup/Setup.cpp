// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/Setup.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

#include "linux/setup/SetupControls.h"
#include "linux/setup/TabOrder.h"
#include "setup/SetupLifeCycle.h"
#include "setup/SetupMessages.h"

namespace lumi::setup {
namespace {

constexpr QRgb kButtonFace = qRgb(255, 255, 192);

}  // namespace

Setup::Setup(SetupServices services, QWidget* parent)
    : QDialog(parent),
      sessionStore_(
          services.settings, [this](const std::string& reason) { reportRefusedWrite(reason); },
          [this] { loadControls(); }),
      services_{sessionStore_,
                services.player,
                services.dialogs,
                services.shell,
                std::move(services.installDir),
                std::move(services.helpPage),
                std::move(services.xscreensaverFile),
                std::move(services.hostedDisplayCommand)},
      boxes_(services_.dialogs, this) {
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
    prepareStore(services_.settings, InstallDir.toStdString());
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
    if (!mayClose(static_cast<std::size_t>(Picture1->List1->count()), boxes_)) {
        return;
    }
    accept();
}

void Setup::cmdRestore_Click() {
    // Straight to the user's store: the refusal is shown by Restore, in its own words.
    restoreSettings(sessionStore_.store(), InstallDir.toStdString(), boxes_);
}

void Setup::reportRefusedWrite(const std::string& reason) {
    const MessageText refused = refusedWrite(reason);
    boxes_.error(refused.title, refused.text);
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
    const std::optional<std::string> localFile =
        url.isLocalFile() ? std::optional(fileNameBytes(url.toLocalFile())) : std::nullopt;
    QtMessageBoxes boxes(services_.dialogs, &frm);
    setup::Navigate(fileNameBytes(WebPageURL), localFile, files_, boxes,
                    [&] { return services_.shell.openUrl(WebPageURL); });
}

void Setup::cmdAbout_Click() {
    showAbout(LUMI_WEBSITE_URL, fileNameBytes(services_.helpPage), boxes_);
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
