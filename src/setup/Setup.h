#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>

#include "setup/SetupServices.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QWidget;

namespace lumi::setup {

// The Setup dialog: the picture list, the display options and the music options on two
// tabs, "Options" and "Music", above a row of buttons (About, Our Website, Help, Close).
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
// tests to read and click; only the dialog writes them.
class Setup final : public QDialog {
    Q_OBJECT

public:
    explicit Setup(SetupServices services, QWidget* parent = nullptr);

    // Loads every control from the settings store and the picture list from "List.txt".
    // Runs once, before the dialog is shown. A stored value that is no number takes the
    // value of its read default; a number outside its control's range takes the nearest
    // value inside it. A picture list that cannot be read is reported and left empty.
    void Form_Load();

    // Writes the list box to "List.txt" by atomic replace. Returns true when written;
    // otherwise reports the file and the reason in a message box, the file keeps its
    // previous contents, and the result is false.
    bool AddFiles();

    // Opens `WebPageURL` in the user's browser. `frm` is the window asking for it; the
    // desktop's browser opener takes no owner window, so it serves only the caller's
    // documentation. Failures are ignored.
    void Navigate(QWidget& frm, const QString& WebPageURL);

    // Dialog life cycle.
    void cmdOK_Click();
    void cmdRestore_Click();
    void cmdHelp_Click();
    void cmdWebsite_Click();
    void cmdAbout_Click();

    // Picture list editor. An edit whose list could not be written is undone, so that the
    // list box always shows what "List.txt" holds.
    void CmdAdd_Click();
    void CmdDelete_Click();
    void cmdClear_Click();

    // Display options.
    void hsbDelay_Change();
    void hsbMouseS_Change();
    void OptBG_Click(int Index);
    void cmdAddBG_Click();
    void chkCalendar_Click();

    // Music options.
    void chkMusic_Click();
    void chkMidi_Click(int Index);
    void cboSoundOff_Click();
    void cmdTest_Click(int Index);
    void Command1_Click();

    // The selected entry of List1, or -1 when none is selected.
    int listIndex() const;
    // The entries of List1, in order, as "List.txt" holds them. Each is shown on one row of
    // the list box, with any control character or line break made visible.
    QStringList listEntries() const;

    // The install folder, with its closing separator, set by Form_Load.
    QString InstallDir;

    // Frame.
    QTabWidget* SSTab1 = nullptr;
    QWidget* Picture1 = nullptr;  // the "Options" page
    QWidget* Picture2 = nullptr;  // the "Music" page
    QWidget* Picture3 = nullptr;  // the button row
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdWebsite = nullptr;
    QPushButton* cmdAbout = nullptr;
    QPushButton* cmdRestore = nullptr;

    // Picture list editor.
    QListWidget* List1 = nullptr;
    QLabel* lblNum = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* CmdAdd = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* CmdDelete = nullptr;

    // Display options.
    QLabel* Label17 = nullptr;
    QScrollBar* hsbDelay = nullptr;
    QLabel* lblDelay = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label18 = nullptr;
    QScrollBar* hsbMouseS = nullptr;
    QLabel* Label32 = nullptr;
    QLabel* Label33 = nullptr;
    QLineEdit* txtMouseS = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QRadioButton*, 4> OptBG{};
    QPushButton* cmdAddBG = nullptr;
    QLabel* lblBG = nullptr;
    QGroupBox* Frame6 = nullptr;
    QCheckBox* chkCalendar = nullptr;

    // Music options.
    QCheckBox* chkMusic = nullptr;
    std::array<QCheckBox*, 10> chkMidi{};
    std::array<QPushButton*, 10> cmdTest{};
    QFrame* Line1 = nullptr;
    QPushButton* Command1 = nullptr;
    std::array<QLabel*, 4> Label19to22{};
    QLabel* Label46 = nullptr;
    QComboBox* cboSoundOff = nullptr;

protected:
    // Escape does not close the dialog: only Close (with its empty-list warning) and the
    // window's own close command do. Enter clicks the button that has the focus and does
    // nothing anywhere else: the dialog has no default button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What an edit of the picture list changes, kept to undo an edit that was not stored.
    struct ListState {
        QStringList entries;
        int index = -1;
        QString countText;
    };

    void buildButtonRow();
    void buildPictureListEditor();
    void buildDisplayOptions();
    void buildMusicPage();
    void connectHandlers();

    void loadPictureList();
    // The stored value of `key`, read with the dialog's default, as a value of a control
    // that ranges from `minimum` to `maximum`.
    int loadValue(const QString& key, int minimum, int maximum) const;
    // The item of cboSoundOff that goes with the loaded text `text`: the item of that text;
    // for another number, the largest item not above it ("Never" counting as 0), so that the
    // next item down the list is the next larger time; for text that is no number, "Never".
    int soundOffItem(const QString& text) const;

    // Adds `entry` as the last row of List1.
    void appendEntry(const QString& entry);
    ListState listState() const;
    void restoreListState(const ListState& state);
    void setListIndex(int index);
    void showCount();

    // True when `path` names an existing file; otherwise tells the user so.
    bool existsOrReport(const QString& path);
    // True when the picture list file can hold `path`; otherwise tells the user so.
    bool holdableOrReport(const QString& path);
    // True when the user wants `path` although its file is empty, or when it is not empty.
    bool confirmedSize(const QString& path);

    void write(const QString& key, const QString& value);

    SetupServices services_;
};

}  // namespace lumi::setup
