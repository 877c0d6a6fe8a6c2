// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include "linux/settings/XScreenSaverPrograms.h"
#include "support/Files.h"

// Lets googletest print texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace lumi::settings {
namespace {

using Outcome = XScreenSaverListing::Outcome;
using testing::fileBytes;

const QByteArray kEntry = R"("Lumiscribe"  lumiscribe-xscreensaver --root)";
// The line that the entry takes, without its continuing backslash and line end.
const QByteArray kLine = R"(  "Lumiscribe"  lumiscribe-xscreensaver --root \n)";

TEST(XScreenSaverProgramsTest, TheEntryQuotesAPathForTheShellOrRefusesIt) {
    struct Case {
        QString command;
        std::optional<QByteArray> entry;
    };
    for (const Case& c : {
             Case{"lumiscribe-xscreensaver", kEntry},
             Case{"/home/ann/lumiscribe/build/src/lumiscribe-xscreensaver",
                  R"("Lumiscribe"  /home/ann/lumiscribe/build/src/lumiscribe-xscreensaver --root)"},
             Case{"/home/ann/my builds/$HOME/lumiscribe-xscreensaver",
                  R"("Lumiscribe"  '/home/ann/my builds/$HOME/lumiscribe-xscreensaver' --root)"},
             Case{"/home/zoë/lumiscribe-xscreensaver",
                  "\"Lumiscribe\"  '/home/zo\xc3\xab/lumiscribe-xscreensaver' --root"},
             Case{R"(/home/ann/a\nb/lumiscribe-xscreensaver)", std::nullopt},
             Case{"/home/ann's/lumiscribe-xscreensaver", std::nullopt},
             Case{"/home/\"ann\"/lumiscribe-xscreensaver", std::nullopt},
             Case{"/home/ann\n/lumiscribe-xscreensaver", std::nullopt},
             Case{"", std::nullopt},
         }) {
        EXPECT_EQ(lumiscribeEntry(c.command), c.entry) << c.command.toStdString();
    }
}

TEST(XScreenSaverProgramsTest, TheSaverCountsAsListedByItsProgramOnOrOff) {
    struct Case {
        const char* file;
        bool listed;
    };
    for (const Case& c : {
             Case{"programs: lumiscribe-xscreensaver --root \\n\n", true},
             // The line that earlier packages put into XScreenSaver's defaults.
             Case{"programs:\t\\\n  maze -root \\n\\\n"
                  "  \"Lumiscribe\"  lumiscribe-xscreensaver --root                     \\n\\\n"
                  "  qix -root \\n\n",
                  true},
             Case{"programs: maze -root \\n\\\n-  \"Lumiscribe\" lumiscribe-xscreensaver -root\n",
                  true},
             Case{"programs: \\\n GL: /home/ann/build/src/lumiscribe-xscreensaver -root \\n\n",
                  true},
             Case{"programs: '/opt/my saver/lumiscribe-xscreensaver' --root \\n\n", true},
             Case{"  programs  :lumiscribe-xscreensaver", true},
             Case{"programs: maze -root \\n lumiscribe-xscreensaverx -root \\n\n", false},
             Case{"programs: \"lumiscribe-xscreensaver\" maze -root \\n\n", false},
             Case{"programs: maze lumiscribe-xscreensaver \\n\n", false},
             Case{"# programs: lumiscribe-xscreensaver -root \\n\n", false},
             Case{"textLiteral: lumiscribe-xscreensaver\n", false},
             Case{"textLiteral: a \\\nprograms: lumiscribe-xscreensaver -root\n", false},
             // Of two resources the last one counts, as for XScreenSaver.
             Case{"programs: lumiscribe-xscreensaver -root\nprograms: maze -root\n", false},
             Case{"", false},
         }) {
        EXPECT_EQ(listsProgram(c.file, kHostedDisplayProgram), c.listed) << c.file;
    }
}

TEST(XScreenSaverProgramsTest, TheEntryTakesALineOfItsOwnAndEveryOtherLineKeepsItsBytes) {
    struct Case {
        const char* name;
        QByteArray file;
        QByteArray expected;
    };
    const QByteArray gui =
        "# XScreenSaver Preferences File\n"
        "timeout:\t0:10:00\n"
        "programs:\t\t\t\t\t\t\t\t      \\\n"
        "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
        "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\n"
        "\n"
        "pointerHysteresis:\t10\n";
    for (const Case& c : {
             Case{"no file yet", "", "programs:\\\n" + kLine + "\n"},
             Case{"as XScreenSaver writes it", gui,
                  gui.left(gui.indexOf("\t\t\t\tmaze")) + kLine + "\\\n" +
                      gui.mid(gui.indexOf("\t\t\t\tmaze"))},
             Case{"one entry on the resource's line",
                  "mode: one\nprograms: \"X\" x -root \\n\nlock: False\n",
                  "mode: one\nprograms: \"X\" x -root \\n\\\n" + kLine + "\nlock: False\n"},
             Case{"an entry without its \\n", "programs: maze -root\n",
                  "programs: maze -root\\n\\\n" + kLine + "\n"},
             Case{"an empty resource", "programs:", "programs:\\\n" + kLine + "\n"},
             Case{"the resource's line continues an entry", "programs: maze \\\n  -root \\n\n",
                  "programs: maze \\\n  -root \\n\\\n" + kLine + "\n"},
             Case{"the file ends inside an entry", "programs: maze \\",
                  "programs: maze \\\n\\n" + kLine + "\n"},
             Case{"no resource, no last line end", "mode: one",
                  "mode: one\nprograms:\\\n" + kLine + "\n"},
             Case{"no resource, the last line continues", "textLiteral: a \\",
                  "textLiteral: a \\\n\nprograms:\\\n" + kLine + "\n"},
             Case{"a commented and a continued look-alike",
                  "# programs:\\\ntextLiteral: a \\\nprograms: b\n",
                  "# programs:\\\ntextLiteral: a \\\nprograms: b\nprograms:\\\n" + kLine + "\n"},
             Case{"the last of two resources", "programs: a \\n\nprograms:\\\n b \\n\n",
                  "programs: a \\n\nprograms:\\\n" + kLine + "\\\n b \\n\n"},
             Case{"CR LF lines", "programs: a \\n\r\nlock: False\r\n",
                  "programs: a \\n\r\\\n" + kLine + "\nlock: False\r\n"},
         }) {
        const QByteArray result = withProgramEntry(c.file, kEntry);
        EXPECT_EQ(result, c.expected) << c.name;
        EXPECT_TRUE(listsProgram(result, kHostedDisplayProgram)) << c.name;
    }
}

class XScreenSaverFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = ".xscreensaver") const { return home_.path() + "/" + name; }
    void write(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(testing::writeFileBytes(path(name), bytes));
    }

    QTemporaryDir home_;
};

TEST_F(XScreenSaverFileTest, AMissingFileIsMadeWithTheEntryAlone) {
    const XScreenSaverListing listing = addToXScreenSaver(path(), "lumiscribe-xscreensaver");
    EXPECT_EQ(listing.outcome, Outcome::Created);
    EXPECT_EQ(fileBytes(path()), "programs:\\\n" + kLine + "\n");
    EXPECT_FALSE(QFileInfo::exists(path(".xscreensaver.lumiscribe-backup")));
    EXPECT_EQ(listingMessage(listing),
              "Lumiscribe is now in XScreenSaver's list of screen savers: " + path() +
                  " was made for it, as XScreenSaver had no settings of yours yet. Choose "
                  "\"Lumiscribe\" in XScreenSaver's settings (xscreensaver-settings).");
}

TEST_F(XScreenSaverFileTest, AnExistingFileIsKeptInABackupFirstWithItsPermissions) {
    const QByteArray before = "mode: one\nprograms: maze -root \\n\n";
    write(".xscreensaver", before);
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);

    const XScreenSaverListing listing = addToXScreenSaver(path(), "lumiscribe-xscreensaver");
    EXPECT_EQ(listing.outcome, Outcome::Added);
    EXPECT_EQ(listing.backupPath, path(".xscreensaver.lumiscribe-backup"));
    EXPECT_EQ(fileBytes(listing.backupPath), before);
    EXPECT_EQ(fileBytes(path()), withProgramEntry(before, kEntry));
    EXPECT_EQ(QFile::permissions(path()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(listingMessage(listing),
              "Lumiscribe is now in XScreenSaver's list of screen savers, in " + path() +
                  ". The file as it was is kept in " + listing.backupPath +
                  ". Choose \"Lumiscribe\" in XScreenSaver's settings (xscreensaver-settings).");

    // Listed already: nothing is written, not even a backup.
    const QByteArray after = fileBytes(path());
    QFile::remove(listing.backupPath);
    EXPECT_EQ(addToXScreenSaver(path(), "/elsewhere/lumiscribe-xscreensaver").outcome,
              Outcome::AlreadyListed);
    EXPECT_EQ(fileBytes(path()), after);
    EXPECT_FALSE(QFileInfo::exists(listing.backupPath));
}

TEST_F(XScreenSaverFileTest, ABackupWithOtherBytesIsNeverOverwritten) {
    write(".xscreensaver.lumiscribe-backup", "older\n");
    write(".xscreensaver.lumiscribe-backup.2", "mode: one\n");  // these very bytes: reused
    write(".xscreensaver", "mode: one\n");
    EXPECT_EQ(addToXScreenSaver(path(), "lumiscribe-xscreensaver").backupPath,
              path(".xscreensaver.lumiscribe-backup.2"));

    write(".xscreensaver", "mode: random\n");
    EXPECT_EQ(addToXScreenSaver(path(), "lumiscribe-xscreensaver").backupPath,
              path(".xscreensaver.lumiscribe-backup.3"));
    EXPECT_EQ(fileBytes(path(".xscreensaver.lumiscribe-backup")), "older\n");
    EXPECT_EQ(fileBytes(path(".xscreensaver.lumiscribe-backup.2")), "mode: one\n");
    EXPECT_EQ(fileBytes(path(".xscreensaver.lumiscribe-backup.3")), "mode: random\n");
}

TEST_F(XScreenSaverFileTest, ALinkedFileIsWrittenThroughTheLink) {
    write("dotfiles/xscreensaver", "mode: one\n");
    ASSERT_TRUE(QFile::link(path("dotfiles/xscreensaver"), path()));
    EXPECT_EQ(addToXScreenSaver(path(), "lumiscribe-xscreensaver").outcome, Outcome::Added);
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(fileBytes(path("dotfiles/xscreensaver")), withProgramEntry("mode: one\n", kEntry));
}

TEST_F(XScreenSaverFileTest, FailuresLeaveTheFileAsItWasAndSaySo) {
    ASSERT_TRUE(QDir(home_.path()).mkdir(".xscreensaver"));
    const XScreenSaverListing directory = addToXScreenSaver(path(), "lumiscribe-xscreensaver");
    EXPECT_EQ(directory.outcome, Outcome::Failed);
    EXPECT_EQ(listingMessage(directory),
              "Lumiscribe could not be added to XScreenSaver's list of screen savers: " + path() +
                  " is not a file. " + path() + " is as it was.");

    const QString nowhere = path("missing/.xscreensaver");
    const XScreenSaverListing uncreatable = addToXScreenSaver(nowhere, "lumiscribe-xscreensaver");
    EXPECT_EQ(uncreatable.outcome, Outcome::Failed);
    EXPECT_TRUE(uncreatable.error.startsWith(nowhere + " could not be created: "))
        << uncreatable.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));

    EXPECT_EQ(addToXScreenSaver(path(), "/home/ann's/lumiscribe-xscreensaver").outcome,
              Outcome::Failed);
    const QString gone = path("build/lumiscribe-xscreensaver");
    const XScreenSaverListing missingSaver = addToXScreenSaver(path("other"), gone);
    EXPECT_EQ(missingSaver.error,
              "the saver " + gone + " is missing; XScreenSaver could not start it");
    EXPECT_FALSE(QFileInfo::exists(path("other")));
}

TEST_F(XScreenSaverFileTest, AFileThatCannotBeReplacedKeepsItsBytesAndItsBackup) {
    // A file that can be read but whose folder takes no new file, even for root.
    const QString unwritable = QStringLiteral("/proc/version");
    const QByteArray before = fileBytes(unwritable);
    if (before == "<missing>") {
        GTEST_SKIP() << "no /proc";
    }
    ASSERT_TRUE(QFile::link(unwritable, path()));
    const XScreenSaverListing listing = addToXScreenSaver(path(), "lumiscribe-xscreensaver");
    EXPECT_EQ(listing.outcome, Outcome::Failed);
    EXPECT_TRUE(listing.error.startsWith(path() + " could not be written: "))
        << listing.error.toStdString();
    EXPECT_TRUE(
        listing.error.endsWith("; a copy of it is in " + path(".xscreensaver.lumiscribe-backup")))
        << listing.error.toStdString();
    EXPECT_EQ(fileBytes(path(".xscreensaver.lumiscribe-backup")), before);
}

}  // namespace
}  // namespace lumi::settings
