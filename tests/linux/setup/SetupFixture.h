// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "linux/setup/Setup.h"
#include "support/Fakes.h"
#include "support/Files.h"
#include "support/SetupFakes.h"

// Lets googletest print texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace lumi::setup {

// googletest's fixture base reserves the plain name "Setup" for a trap.
using SetupDialog = Setup;

// A Setup dialog on fakes, with an install folder and a picture folder of its own.
class SetupTest : public ::testing::Test {
protected:
    // The store starts as the display's first start leaves it set up, but otherwise empty, so
    // that the dialog's own read defaults show; the first run on an empty store is tested on
    // its own.
    SetupTest() {
        settings_.write("SetReg", "2");
        settings_.writes.clear();
    }

    QString installDir() const { return installDir_.path() + "/"; }
    QString listFile() const { return installDir() + "List.txt"; }
    QString helpPage() const { return installDir_.path() + "/doc/help.html"; }
    QString xscreensaverFile() const { return installDir_.path() + "/home/.xscreensaver"; }

    // A new dialog, loaded and shown (not modally).
    std::unique_ptr<SetupDialog> openDialog(QString folder = {}) {
        auto dialog = std::make_unique<SetupDialog>(SetupServices{
            settings_, player_, dialogs_, shell_, folder.isEmpty() ? installDir() : folder,
            helpPage(), xscreensaverFile(), "lumiscribe-xscreensaver"});
        dialog->Form_Load();
        dialog->show();
        return dialog;
    }

    static void writeBytes(const QString& path, const QByteArray& bytes) {
        ASSERT_TRUE(testing::writeFileBytes(path, bytes));
    }

    // The bytes of "List.txt", or "<missing>".
    QByteArray listBytes() const { return testing::fileBytes(listFile()); }

    // The bytes that the list file holds for `paths`.
    static QByteArray lines(const QStringList& paths) {
        QByteArray bytes;
        for (const QString& path : paths) {
            bytes += "\"" + path.toLocal8Bit() + "\"\r\n";
        }
        return bytes;
    }

    // Creates the picture `name` of `size` bytes in the picture folder; returns its path.
    QString picture(const QString& name, int size = 10) {
        const QString path = pictures_.path() + "/" + name;
        writeBytes(path, QByteArray(size, 'x'));
        return path;
    }

    // The selection string for names chosen together in the picture folder.
    QString chosen(const QStringList& names) const {
        return pictures_.path() + QChar(u'\0') + names.join(QChar(u'\0'));
    }

    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    QTemporaryDir installDir_;
    QTemporaryDir pictures_;
    testing::FakeSettingsStore settings_;
    testing::FakeMidiPlayer player_;
    testing::FakeSetupDialogs dialogs_;
    testing::FakeShell shell_;
};

}  // namespace lumi::setup
