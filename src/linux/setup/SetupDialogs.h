// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace lumi::setup {

// The modal boxes that the Setup dialog shows: message boxes, the open-file dialog and the
// folder chooser. Each call returns when the user has answered. The program uses the Qt
// implementation (QtSetupDialogs); tests answer with a fake.
class SetupDialogs {
public:
    virtual ~SetupDialogs() = default;

    // A question with Yes and No buttons and no icon; true when the user answered Yes.
    // Closing the box counts as No.
    virtual bool question(QWidget* owner, const QString& title, const QString& text) = 0;

    // A message with an OK button and no icon.
    virtual void information(QWidget* owner, const QString& title, const QString& text) = 0;

    // A message with an OK button and the error icon.
    virtual void error(QWidget* owner, const QString& title, const QString& text) = 0;

    // The open-file dialog with `filter` in the form "description|patterns|description|
    // patterns" (patterns separated by ";"), the first choice in front. `multiple` allows
    // several files to be chosen in one folder. Returns the selection string (see
    // SelectionString.h): empty when the user cancelled.
    virtual QString openFiles(QWidget* owner, const QString& filter, bool multiple) = 0;

    // The platform's folder chooser. Returns the absolute path of the chosen folder, or the
    // empty string when the user cancelled.
    virtual QString chooseFolder(QWidget* owner) = 0;
};

}  // namespace lumi::setup
