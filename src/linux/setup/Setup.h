// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include <string>

#include "linux/setup/MorePage.h"
#include "linux/setup/MusicPage.h"
#include "linux/setup/OptionsPage.h"
#include "linux/setup/QtSetupPlatform.h"
#include "linux/setup/SetupServices.h"
#include "setup/SessionSettingsStore.h"

class QPushButton;
class QTabWidget;
class QWidget;

namespace lumi::setup {

// The Setup dialog: the picture list and the display options, the music options, and
// further options on three tabs, "Options", "Music" and "More" (each page a class of its
// own), above a row of buttons (About, Our Website, Help, Close).
//
// Flow of control: the start-up module constructs the dialog, calls Form_Load() once and
// shows it modally; when it closes, the configuration run is over. There is no OK/Cancel
// pair: every control stores its own setting the moment its value changes, and every edit
// of the picture list rewrites "List.txt" at once. Closing writes nothing.
//
// Each handler is connected to its control's value-changed signal, so a value set by the
// program runs the handler exactly as a user's change does, and a value that does not
// change runs nothing. Form_Load relies on this: it only puts the stored values into the
// controls, and the handlers write them back and refresh the labels that go with them.
//
// The controls carry the program's own names, which are also their object names (indexed
// ones as "chkMidi3"), so that tests and scripts can find them. They are public for the
// tests to read and click (those of a page through the page); only the dialog writes them.
class Setup final : public QDialog {
    Q_OBJECT

public:
    explicit Setup(SetupServices services, QWidget* parent = nullptr);

    // Loads every control from the settings store and the picture list from "List.txt", page
    // by page in one fixed order. A store whose "SetReg" is not 2 first gets the first-run
    // values of the keys that hold none, and "SetReg" 2 last, as at the display's first start. Runs
    // once, before the dialog is shown. A stored value that is no number takes the value of its
    // read default; a number outside its control's range takes the nearest value inside it. A
    // picture list that cannot be read is reported and left empty.
    void Form_Load();

    // Opens `WebPageURL` in the user's browser. `frm` is the window asking for it, which owns
    // the message box that says so, with the page's path or address, when no browser could
    // be started for it, or that names a local page that is missing. The desktop's browser
    // opener itself takes no owner window.
    void Navigate(QWidget& frm, const QString& WebPageURL);

    // Dialog life cycle. Help opens the help page that ships with the program; Our Website
    // opens the address chosen when the program was built, by default that same page.
    void cmdOK_Click();
    void cmdRestore_Click();
    void cmdHelp_Click();
    void cmdWebsite_Click();
    void cmdAbout_Click();

    // The install folder, with its closing separator, set by Form_Load.
    QString InstallDir;

    QTabWidget* SSTab1 = nullptr;
    OptionsPage* Picture1 = nullptr;  // the "Options" page, with Restore Settings
    MusicPage* Picture2 = nullptr;    // the "Music" page
    QWidget* Picture3 = nullptr;      // the button row
    MorePage* Picture4 = nullptr;     // the "More" page
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdWebsite = nullptr;
    QPushButton* cmdAbout = nullptr;

protected:
    // Escape does not close the dialog: only Close (with its empty-list warning) and the
    // window's own close command do. Enter clicks the button that has the focus and does
    // nothing anywhere else: the dialog has no default button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The help page as a file: URL, and what Our Website opens.
    QString helpPageUrl() const;
    QString websiteUrl() const;

    void buildButtonRow();
    void connectHandlers();

    // Shows a refused settings write.
    void reportRefusedWrite(const std::string& reason);

    // Sets every control of the pages to the value that is stored, as the dialog's load
    // does; also after a refused write, so that no control shows a value that is not stored.
    void loadControls();

    SessionSettingsStore sessionStore_;  // before services_, which the pages use
    SetupServices services_;
    QtMessageBoxes boxes_;
    QtFileQuery files_;
};

}  // namespace lumi::setup
