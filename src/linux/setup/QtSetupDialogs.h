// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QList>
#include <QStringList>

class QFileDialog;

#include "platform/SettingsStore.h"
#include "linux/setup/SetupDialogs.h"

namespace lumi::setup {

// The Setup dialog's modal boxes as Qt shows them: QMessageBox and QFileDialog. Texts are
// shown as plain text, never as markup, since they quote file names.
//
// The file dialogs and the folder chooser share one starting folder: the first of them in a
// process opens in the user's pictures folder (the home folder when there is none), and each
// later one where the one before left off, whether it was answered or cancelled. The program
// keeps one instance for the whole process.
//
// The file dialogs also share their filter: each opens on the filter that the last of them
// showed when it closed, answered or cancelled, in this process or an earlier one, and on the
// first filter until one was chosen, or when the one chosen is no longer offered. The choice
// is kept by its description ("All pictures") under settings::kPictureFilterKey in the
// settings store.
class QtSetupDialogs final : public SetupDialogs {
public:
    // `settings` keeps the chosen filter and must outlive the dialogs.
    explicit QtSetupDialogs(platform::SettingsStore& settings);

    bool question(QWidget* owner, const QString& title, const QString& text) override;
    void information(QWidget* owner, const QString& title, const QString& text) override;
    void error(QWidget* owner, const QString& title, const QString& text) override;

    // Qt's open dialog only accepts names of files that exist; a typed name that names none
    // is refused by the dialog itself.
    QString openFiles(QWidget* owner, const QString& filter, bool multiple) override;
    QString chooseFolder(QWidget* owner) override;

private:
    // Shows `dialog` in the starting folder and remembers where it was left. True when the
    // user answered it.
    bool run(QFileDialog& dialog);

    platform::SettingsStore& settings_;
    QString lastFolder_;  // empty until the first dialog has closed
};

// The user's pictures folder (XDG_PICTURES_DIR) when it exists, otherwise the home folder.
QString picturesFolder();

// The width that a message box needs so that a window manager shows its whole `title` in the
// title bar beside its buttons. The title bar's font is the window manager's own and unknown
// to the program, so the width is reckoned from the widest of `fonts` in bold, with a margin
// for a somewhat wider title font and for the title bar's buttons.
int messageBoxWidthForTitle(const QString& title, const QList<QFont>& fonts);

// Qt's name filters for a filter of the form "description|patterns|…": each pair becomes
// "description (pattern pattern …)". A description's own bracketed pattern list is replaced,
// and "*.*", which means every file, becomes "*", since Qt would demand a dot in the name.
QStringList qtNameFilters(const QString& filter);

// The description of a Qt name filter "description (pattern pattern …)", without its patterns.
QString nameFilterDescription(const QString& nameFilter);

// `text` with every line break written as CR alone or CR LF turned into LF, which is the
// only line break that a Qt label shows.
QString messageBoxText(const QString& text);

}  // namespace lumi::setup
