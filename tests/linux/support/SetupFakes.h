// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fakes for the Setup dialog's modal boxes and the desktop shell: they answer without a
// person and record what was shown.

#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

#include "linux/platform/Shell.h"
#include "linux/setup/SetupDialogs.h"

namespace lumi::testing {

class FakeSetupDialogs final : public setup::SetupDialogs {
public:
    // Answers from `answers`, in order; a question nobody expected fails the test.
    bool question(QWidget*, const QString& title, const QString& text) override {
        shown.append("question|" + title + "|" + text);
        if (answers.isEmpty()) {
            ADD_FAILURE() << "unexpected question: " << qPrintable(text);
            return false;
        }
        return answers.takeFirst();
    }
    void information(QWidget*, const QString& title, const QString& text) override {
        shown.append("information|" + title + "|" + text);
    }
    void error(QWidget*, const QString& title, const QString& text) override {
        shown.append("error|" + title + "|" + text);
    }
    QString openFiles(QWidget*, const QString& filter, bool multiple) override {
        openCalls.append(filter + (multiple ? "|multiple" : "|single"));
        return selection;
    }
    QString chooseFolder(QWidget*) override {
        ++folderCalls;
        return folder;
    }

    QList<bool> answers;    // Yes (true) or No (false) for the coming questions
    QString selection;      // what the file dialog returns; empty: cancelled
    QStringList shown;      // every box as "kind|title|text", in order
    QStringList openCalls;  // every file dialog as "filter|multiple" or "filter|single"
    QString folder;         // what the folder chooser returns; empty: cancelled
    int folderCalls = 0;    // how often the folder chooser was shown
};

class FakeShell final : public platform::Shell {
public:
    bool openUrl(const QString& url) override {
        opened.append(url);
        return browser;
    }
    QStringList opened;
    bool browser = true;  // whether a browser takes the address
};

}  // namespace lumi::testing
