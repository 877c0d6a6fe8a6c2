// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "setup/SetupFixture.h"

namespace lumi::setup {
namespace {

const QString kError = "error|Corvanta Lumiscribe Pictures|";

TEST_F(SetupTest, AddAsksAboutAZeroByteFileAndTakesItOnlyOnYes) {
    const QString a = picture("a.jpg"), empty = picture("empty.jpg", 0), c = picture("c d.jpg");
    for (const bool yes : {false, true}) {
        QFile::remove(listFile());
        const auto dialog = openDialog();
        dialogs_.shown.clear();
        dialogs_.selection = chosen({"a.jpg", "empty.jpg", "c d.jpg"});
        dialogs_.answers = {yes};
        click(dialog->Picture1->CmdAdd);
        // The two classic choices, then every extension that the loader reads.
        const QStringList call = dialogs_.openCalls.last().split('|');
        ASSERT_EQ(call.size(), 7);
        EXPECT_EQ(call.mid(0, 4).join('|'),
                  "Pictures (*.bmp;*.gif;*.jpg )|*.bmp;*.gif;*.jpg| All (*.*)|*.*");
        EXPECT_EQ(call[4], "All pictures");
        for (const char* pattern : {"*.png", "*.jpeg", "*.jpg", "*.bmp", "*.gif"}) {
            EXPECT_TRUE(call[5].split(';').contains(pattern)) << pattern;
        }
        EXPECT_EQ(call[6], "multiple");
        EXPECT_EQ(dialogs_.shown, QStringList{"question|Error|The file " + empty +
                                              " is zero bytes in length!\rAre you Sure you want "
                                              "to add it?"});
        const QStringList expected = yes ? QStringList{a, empty, c} : QStringList{a, c};
        EXPECT_EQ(dialog->Picture1->listEntries(), expected);
        EXPECT_EQ(dialog->Picture1->lblNum->text(), QString::number(expected.size()));
        EXPECT_EQ(dialog->Picture1->listIndex(), -1);
        EXPECT_EQ(listBytes(), lines(expected));
    }
}

TEST_F(SetupTest, TheSamePictureTwiceAndNamesOfNoFileOrThatTheListCannotHold) {
    const QString a = picture("a.jpg"), quoted = picture("say \"cheese\".jpg");
    const auto dialog = openDialog();
    dialogs_.selection = a;  // one file: its full path
    click(dialog->Picture1->CmdAdd);
    dialogs_.selection = chosen({"gone.jpg", "a.jpg", "say \"cheese\".jpg"});
    click(dialog->Picture1->CmdAdd);
    ASSERT_EQ(dialogs_.shown.size(), 2);
    EXPECT_EQ(dialogs_.shown[0],
              kError + "The file " + pictures_.path() + "/gone.jpg does not exist.");
    EXPECT_TRUE(dialogs_.shown[1].startsWith(kError + "The file " + quoted + " cannot be added"));
    EXPECT_EQ(dialog->Picture1->listEntries(), QStringList({a, a}));
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "2");
    EXPECT_EQ(listBytes(), lines({a, a}));
}

TEST_F(SetupTest, AnEntryWithALineBreakTakesOneRowAlsoAfterTheAddItRefuses) {
    // A hand-written list may hold a line break inside quotes; the list file cannot be
    // written with it, so every add is refused until that entry is deleted.
    const QString a = picture("a.jpg"), broken = pictures_.path() + "/two\r\nlines.jpg";
    const QByteArray bytes = lines({a}) + "\"" + broken.toLocal8Bit() + "\"\r\n";
    writeBytes(listFile(), bytes);
    const auto dialog = openDialog();
    dialogs_.selection = picture("b.jpg");
    click(dialog->Picture1->CmdAdd);
    ASSERT_EQ(dialogs_.shown.size(), 1);
    EXPECT_TRUE(dialogs_.shown[0].startsWith(kError));
    EXPECT_EQ(listBytes(), bytes);
    EXPECT_EQ(dialog->Picture1->listEntries(), QStringList({a, broken}));
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "2");
    // Two rows of one line each, as the user counts them.
    ASSERT_EQ(dialog->Picture1->List1->count(), 2);
    EXPECT_EQ(dialog->Picture1->List1->item(1)->text(),
              pictures_.path() + "/two\u240D\u240Alines.jpg");
    EXPECT_EQ(dialog->Picture1->List1->visualItemRect(dialog->Picture1->List1->item(1)).height(),
              dialog->Picture1->List1->visualItemRect(dialog->Picture1->List1->item(0)).height());
}

// Drags `urls` onto `list` and drops them, as a file manager does; true when the drag was
// accepted.
bool dropOn(QListWidget* list, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = list->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &drop);
    QCoreApplication::processEvents();  // the dropped paths are handed over after the drop
    return drop.isAccepted();
}

TEST_F(SetupTest, AddFolderAndDropsAddFolderEntriesAndFilesAsAddFilesDoes) {
    QDir(pictures_.path()).mkpath("Holiday/2026");
    const QString holiday = pictures_.path() + "/Holiday";
    writeBytes(listFile(), lines({holiday + "/2026"}));  // written by hand: no closing "/"
    const QString a = picture("a.jpg"), empty = picture("empty.jpg", 0);
    const auto dialog = openDialog();
    OptionsPage& page = *dialog->Picture1;
    EXPECT_EQ(page.List1->item(0)->text(), holiday + "/2026/");

    click(page.cmdAddFolder);  // cancelled
    EXPECT_EQ(dialogs_.folderCalls, 1);
    EXPECT_EQ(page.lblNum->text(), "1");
    dialogs_.folder = holiday;
    click(page.cmdAddFolder);

    EXPECT_FALSE(dropOn(page.List1, {QUrl("https://example.org/b.jpg")}));
    dialogs_.answers = {false};  // the empty file is refused, as in Add Files
    EXPECT_TRUE(
        dropOn(page.List1, {QUrl::fromLocalFile(pictures_.path()), QUrl::fromLocalFile(a),
                            QUrl::fromLocalFile(empty), QUrl("https://example.org/b.jpg")}));
    EXPECT_EQ(dialogs_.shown.size(), 1);

    const QStringList expected{holiday + "/2026", holiday + "/", pictures_.path() + "/", a};
    EXPECT_EQ(page.listEntries(), expected);
    EXPECT_EQ(page.List1->item(2)->text(), pictures_.path() + "/");
    EXPECT_EQ(page.lblNum->text(), "4");
    EXPECT_EQ(listBytes(), lines(expected));
}

TEST_F(SetupTest, CancelledAddChangesNothing) {
    const auto dialog = openDialog();
    click(dialog->Picture1->CmdAdd);
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "");
    EXPECT_EQ(listBytes(), "<missing>");
}

TEST_F(SetupTest, DeleteRemovesTheSelectedEntryAndSelectsTheNextOrTheNewLast) {
    struct Case {
        QStringList before;
        int selected;
        QStringList after;
        int selectedAfter;
    };
    for (const Case& c : {Case{{"/a", "/b", "/c"}, 2, {"/a", "/b"}, 1},
                          Case{{"/a", "/b", "/c"}, 1, {"/a", "/c"}, 1}, Case{{"/a"}, 0, {}, -1}}) {
        writeBytes(listFile(), lines(c.before));
        const auto dialog = openDialog();
        dialog->Picture1->List1->setCurrentRow(c.selected);
        click(dialog->Picture1->CmdDelete);
        EXPECT_EQ(dialog->Picture1->listEntries(), c.after);
        EXPECT_EQ(dialog->Picture1->listIndex(), c.selectedAfter) << c.selected;
        EXPECT_EQ(dialog->Picture1->lblNum->text(), QString::number(c.after.size()));
        EXPECT_EQ(listBytes(), lines(c.after));
    }
    EXPECT_TRUE(dialogs_.shown.isEmpty());
}

TEST_F(SetupTest, DeleteWithNothingSelectedIsRefusedAndClearAsksNothing) {
    writeBytes(listFile(), lines({"/a", "/b"}));
    const auto dialog = openDialog();
    click(dialog->Picture1->CmdDelete);
    EXPECT_EQ(dialogs_.shown, QStringList{kError + "Choose a file to delete!"});
    EXPECT_EQ(dialog->Picture1->listEntries(), QStringList({"/a", "/b"}));
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "2");
    EXPECT_EQ(listBytes(), lines({"/a", "/b"}));

    click(dialog->Picture1->cmdClear);
    click(dialog->Picture1->cmdClear);  // an empty list
    EXPECT_EQ(listBytes(), "");
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "0");
    click(dialog->Picture1->CmdDelete);
    EXPECT_EQ(dialogs_.shown.last(), kError + "List is empty!");
    EXPECT_EQ(dialogs_.shown.size(), 2);
}

TEST_F(SetupTest, AMissingInstallFolderIsReportedAndTheAddUndone) {
    // A folder whose parent is a regular file cannot exist, even for root.
    writeBytes(installDir() + "file", "x");
    const QString unreachable = installDir() + "file/Lumiscribe/";
    const auto dialog = openDialog(unreachable);
    dialogs_.selection = picture("a.jpg");
    click(dialog->Picture1->CmdAdd);
    ASSERT_EQ(dialogs_.shown.size(), 1);
    EXPECT_TRUE(dialogs_.shown[0].startsWith(kError));
    EXPECT_TRUE(dialogs_.shown[0].contains(unreachable + "List.txt"));
    EXPECT_EQ(dialog->Picture1->List1->count(), 0);
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "");
}

// Makes a folder read-only while it lives: by its permissions, or, for root, whom they do not
// stop, by the file system's immutable flag.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(folder) {
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner);
        immutable_ = writable() && setImmutable(true);
    }
    ~ReadOnlyFolder() {
        if (immutable_) {
            setImmutable(false);
        }
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool writable() const {
        QFile probe(folder_ + "/probe");
        return probe.open(QIODevice::WriteOnly) && probe.remove();
    }

private:
    bool setImmutable(bool on) const {
        const int fd = ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QString folder_;
    bool immutable_ = false;
};

// A refused edit shows the list that the file holds, here as another program left it.
TEST_F(SetupTest, AReadOnlyInstallFolderKeepsTheListBytesAndEveryEditIsUndone) {
    const QString a = picture("a.jpg"), b = picture("b.jpg"), c = picture("c.jpg");
    writeBytes(listFile(), lines({a, b}));
    const auto dialog = openDialog();
    dialog->Picture1->List1->setCurrentRow(1);
    dialogs_.selection = a;
    writeBytes(listFile(), lines({a, b, c}));
    {
        const ReadOnlyFolder readOnly(installDir_.path());
        if (readOnly.writable()) {
            GTEST_SKIP() << "cannot make a folder read-only here";
        }
        click(dialog->Picture1->CmdAdd);
        click(dialog->Picture1->CmdDelete);
        click(dialog->Picture1->cmdClear);
    }
    ASSERT_EQ(dialogs_.shown.size(), 3);
    for (const QString& shown : dialogs_.shown) {
        EXPECT_TRUE(shown.startsWith(kError) && shown.contains(listFile())) << qPrintable(shown);
    }
    EXPECT_EQ(listBytes(), lines({a, b, c}));
    EXPECT_EQ(dialog->Picture1->listEntries(), QStringList({a, b, c}));
    EXPECT_EQ(dialog->Picture1->listIndex(), 1);
    EXPECT_EQ(dialog->Picture1->lblNum->text(), "3");
    click(dialog->Picture1->CmdDelete);  // writable again: the same edit now succeeds
    EXPECT_EQ(listBytes(), lines({a, c}));
}

// Two dialogs open at once: each edit changes what the file holds, so no dialog's edit is
// lost, and a delete still deletes the entry that the user chose where it stands now.
TEST_F(SetupTest, TwoDialogsOpenAtOnceKeepEachOthersEdits) {
    const QString a = picture("a.jpg"), b = picture("b.jpg"), c = picture("c.jpg");
    writeBytes(listFile(), lines({c}));
    const auto first = openDialog();
    const auto second = openDialog();
    dialogs_.selection = a;
    click(first->Picture1->CmdAdd);
    dialogs_.selection = b;
    click(second->Picture1->CmdAdd);
    EXPECT_EQ(listBytes(), lines({c, a, b}));
    EXPECT_EQ(second->Picture1->listEntries(), (QStringList{c, a, b}));

    // The first dialog still shows c, a; the user deletes a (row 1), which the file now holds
    // at row 1 as well. Then c is deleted in the second dialog and a in the first is gone
    // already: b stays.
    first->Picture1->List1->setCurrentRow(1);
    click(first->Picture1->CmdDelete);
    EXPECT_EQ(listBytes(), lines({c, b}));
    EXPECT_EQ(first->Picture1->listEntries(), (QStringList{c, b}));
    second->Picture1->List1->setCurrentRow(0);
    click(second->Picture1->CmdDelete);
    EXPECT_EQ(listBytes(), lines({b}));
    // The second dialog showed c, a, b with b at row 2; the file holds b at row 0.
    second->Picture1->List1->clear();
    for (const QString& entry : {c, a, b}) {
        second->Picture1->List1->addItem(entry);
        second->Picture1->List1->item(second->Picture1->List1->count() - 1)
            ->setData(Qt::UserRole, entry);
    }
    second->Picture1->List1->setCurrentRow(2);
    click(second->Picture1->CmdDelete);
    EXPECT_EQ(listBytes(), QByteArray());
    EXPECT_TRUE(dialogs_.shown.isEmpty()) << dialogs_.shown.join('\n').toStdString();
}
}  // namespace
}  // namespace lumi::setup
