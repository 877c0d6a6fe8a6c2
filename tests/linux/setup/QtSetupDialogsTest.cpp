// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "linux/platform/IniSettingsStore.h"
#include "linux/setup/QtSetupDialogs.h"
#include "support/Fakes.h"

namespace lumi::setup {
namespace {

// Runs `answer` on the modal box that the next call brings up, from that box's event loop.
void whenModalShows(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->deleteLater();
            timer->stop();
            answer(modal);
        }
    });
    timer->start(10);
}

TEST(QtSetupDialogsTest, OpenFilesGivesTheSelectionStringOrNothingWhenCancelled) {
    QTemporaryDir folder;
    for (const char* name : {"a.jpg", "b c.jpg"}) {
        QFile(folder.path() + "/" + name).open(QIODevice::WriteOnly);
    }
    const QString filter = "Pictures (*.bmp;*.gif;*.jpg )|*.bmp;*.gif;*.jpg| All (*.*)|*.*";
    testing::FakeSettingsStore settings;
    QtSetupDialogs dialogs(settings);
    whenModalShows([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(dialogs.openFiles(nullptr, filter, true), "");

    QStringList filters;
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        filters = dialog->nameFilters();
        dialog->setDirectory(folder.path());
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("\"a.jpg\" \"b c.jpg\"");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(dialogs.openFiles(nullptr, filter, true),
              folder.path() + QChar(u'\0') + "a.jpg" + QChar(u'\0') + "b c.jpg");
    EXPECT_EQ(filters, QStringList({"Pictures (*.bmp *.gif *.jpg)", "All (*)"}));
}

TEST(QtSetupDialogsTest, TheFirstDialogOpensInThePicturesFolderAndEachNextWhereTheLastLeftOff) {
    QTemporaryDir config, pictures, elsewhere;
    QDir(elsewhere.path()).mkdir("Chosen");
    {
        QFile dirs(config.path() + "/user-dirs.dirs");
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_PICTURES_DIR=\"" + QFile::encodeName(pictures.path()) + "\"\n");
    }
    const bool hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));

    testing::FakeSettingsStore settings;
    QtSetupDialogs dialogs(settings);
    QStringList openedIn;
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        openedIn.append(dialog->directory().absolutePath());
        dialog->setDirectory(elsewhere.path());
        dialog->reject();
    });
    EXPECT_EQ(dialogs.openFiles(nullptr, "All (*.*)|*.*", false), "");
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        openedIn.append(dialog->directory().absolutePath());
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("Chosen");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(dialogs.chooseFolder(nullptr), elsewhere.path() + "/Chosen");
    EXPECT_EQ(openedIn, QStringList({pictures.path(), elsewhere.path()}));

    // Without a pictures folder the first dialog opens in the home folder.
    QDir(pictures.path()).removeRecursively();
    EXPECT_EQ(picturesFolder(), QDir::homePath());
    hadConfigHome ? qputenv("XDG_CONFIG_HOME", configHome) : qunsetenv("XDG_CONFIG_HOME");
}

// The file dialogs open on the filter that the last of them showed, in this process or in an
// earlier one, which keeps it in the settings file; until then, and when that filter is no
// longer offered, on the first.
TEST(QtSetupDialogsTest, TheFilterLastChosenStaysAcrossDialogsAndProcesses) {
    QTemporaryDir config;
    const QString file = config.path() + "/Lumiscribe.ini";
    const QString filter =
        "Pictures (*.bmp;*.gif;*.jpg )|*.bmp;*.gif;*.jpg| All (*.*)|*.*|All pictures|*.jpg;*.png";
    QStringList openedOn;
    // Notes the filter in front, then shows `choose` (when given) and cancels.
    const auto open = [&](QtSetupDialogs& dialogs, const QString& choose) {
        whenModalShows([&openedOn, choose](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            openedOn.append(dialog->selectedNameFilter());
            if (!choose.isEmpty()) {
                dialog->selectNameFilter(choose);
            }
            dialog->reject();
        });
        EXPECT_EQ(dialogs.openFiles(nullptr, filter, false), "");
    };
    {
        platform::IniSettingsStore settings(file);
        QtSetupDialogs dialogs(settings);
        open(dialogs, {});
        open(dialogs, "All pictures (*.jpg *.png)");
        open(dialogs, {});
        open(dialogs, {});
    }
    {
        platform::IniSettingsStore settings(file);  // the next Setup
        QtSetupDialogs dialogs(settings);
        open(dialogs, "All (*)");
        open(dialogs, {});
        EXPECT_EQ(settings.read("PictureFilter", ""), "All");
        // A choice that is no longer offered falls back to the first filter.
        settings.write("PictureFilter", "Videos");
        open(dialogs, {});
    }
    EXPECT_EQ(openedOn, QStringList({"Pictures (*.bmp *.gif *.jpg)", "Pictures (*.bmp *.gif *.jpg)",
                                     "All pictures (*.jpg *.png)", "All pictures (*.jpg *.png)",
                                     "All pictures (*.jpg *.png)", "All (*)",
                                     "Pictures (*.bmp *.gif *.jpg)"}));
}

}  // namespace
}  // namespace lumi::setup
