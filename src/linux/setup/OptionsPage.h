// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

#include "linux/setup/QtSetupPlatform.h"
#include "linux/setup/SetupServices.h"
#include "setup/PictureListEditor.h"
#include "setup/SetupPages.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace lumi::setup {

// The "Options" page of the Setup dialog: the picture list editor, which keeps "List.txt"
// in step with its list box, and the display options (delay, mouse sensitivity, background,
// calendar), each stored the moment it changes. It also carries the dialog's Restore
// Settings button, whose handler is the dialog's.
//
// The dialog loads the page in steps (loadPictureList(), loadDisplayOptions(),
// loadCalendar()), interleaved with the other pages, so that the whole dialog loads its
// values in one fixed order. Each handler is connected to its control's value-changed
// signal, so loading a value that changes a control stores it back; a stored value that does
// not convert, or lies outside the control's range, shows as the display will use it (brought
// into the range) and stays stored as it is.
class OptionsPage final : public QWidget {
    Q_OBJECT

public:
    explicit OptionsPage(SetupServices& services, QWidget* parent = nullptr);

    // Fills the list box from "List.txt"; a list that cannot be read is reported and left
    // empty, and no file leaves the count blank.
    void loadPictureList();
    // "BG", "BGFile", "Delay" and "MouseSen".
    void loadDisplayOptions();
    void loadCalendar();

    // Picture list editor. Each edit is applied to what "List.txt" holds at that moment,
    // under the list's lock (settings::editPictureList()), so that the edits of two dialogs
    // open at once all land; the list box then shows what the file holds. An edit that could
    // not be written leaves the list box as it was and is reported in a message box.
    void CmdAdd_Click();
    // Adds the folder that the user chooses as one entry, which stands for every picture in
    // it and its subfolders.
    void cmdAddFolder_Click();
    void CmdDelete_Click();
    void cmdClear_Click();

    // Display options.
    void hsbDelay_Change();
    void hsbMouseS_Change();
    void OptBG_Click(int Index);
    void cmdAddBG_Click();
    void chkCalendar_Click();

    // The selected entry of List1, or -1 when none is selected.
    int listIndex() const;
    // The entries of List1, in order, as "List.txt" holds them. Each is shown on one row of
    // the list box, with any control character or line break made visible, and a folder's
    // entry with a closing "/".
    QStringList listEntries() const;

    // Picture list editor.
    QListWidget* List1 = nullptr;
    QLabel* lblNum = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* CmdAdd = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* CmdDelete = nullptr;
    QPushButton* cmdAddFolder = nullptr;
    QPushButton* cmdRestore = nullptr;

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

private:
    void buildPictureListEditor();
    void buildDisplayOptions();
    void connectHandlers();

    // Adds `entry` as the last row of List1.
    void appendEntry(const QString& entry);
    // Appends `paths` (from the folder chooser or a drop) as the editor adds them.
    void addPaths(const QStringList& paths);
    // What List1 shows now, and showing `view` there (nothing for nullopt).
    PictureListView shownView() const;
    void showView(const std::optional<PictureListView>& view);
    void setListIndex(int index);

    SetupServices& services_;
    OptionsPageSettings settings_;
    QtMessageBoxes boxes_;
    QtFileQuery files_;
    QtPictureListFile listFile_;
    PictureListEditor editor_;
};

}  // namespace lumi::setup
