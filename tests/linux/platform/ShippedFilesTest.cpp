// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "linux/platform/ShippedFiles.h"
#include "support/Files.h"

namespace lumi::platform {
namespace {

using testing::fileBytes;
using testing::writeFileBytes;

// A shipped folder whose files each hold "shipped <name>", and an install folder beside it.
class ShippedFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString& name : shippedFileNames()) {
            ASSERT_TRUE(writeFileBytes(shipped() + name, shippedBytes(name)));
        }
    }

    QString shipped() const { return root_.path() + "/share/lumiscribe/"; }
    QString install() const { return root_.path() + "/data/Corvanta/Lumiscribe/"; }
    static QByteArray shippedBytes(const QString& name) { return "shipped " + name.toUtf8(); }

    QStringList installedNames() const {
        return QDir(install()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    QTemporaryDir root_;
};

TEST_F(ShippedFilesTest, TheTenTunesAndTwoPicturesShipButNotThePictureList) {
    const QStringList names = shippedFileNames();
    EXPECT_EQ(names.size(), 12);
    EXPECT_EQ(names.first(), "1.mid");
    EXPECT_EQ(names.at(9), "10.mid");
    EXPECT_TRUE(names.contains("default.jpg"));
    EXPECT_TRUE(names.contains("bg.jpg"));
    EXPECT_FALSE(names.contains("List.txt"));
}

TEST_F(ShippedFilesTest, AnEmptyInstallFolderGetsEveryShippedFileAndNothingElse) {
    // A stray list in the shipped folder must not appear as the user's list.
    ASSERT_TRUE(writeFileBytes(shipped() + "List.txt", "\"/somewhere/else.jpg\"\r\n"));

    const SeedReport report = seedInstallFolder(shipped(), install());

    EXPECT_TRUE(report.problem.isEmpty()) << report.problem.toStdString();
    EXPECT_EQ(report.copied, shippedFileNames());
    QStringList expected = shippedFileNames();
    expected.sort();
    EXPECT_EQ(installedNames(), expected);  // no temporary file left behind, no List.txt
    for (const QString& name : shippedFileNames()) {
        EXPECT_EQ(fileBytes(install() + name), shippedBytes(name)) << name.toStdString();
    }
}

TEST_F(ShippedFilesTest, FilesThatAreThereAreNeverOverwritten) {
    ASSERT_TRUE(writeFileBytes(install() + "default.jpg", "the user's own welcome picture"));
    ASSERT_TRUE(writeFileBytes(install() + "3.mid", ""));  // even an empty file is the user's
    ASSERT_TRUE(QFile::link(install() + "nowhere.jpg", install() + "bg.jpg"));  // a broken link

    const SeedReport report = seedInstallFolder(shipped(), install());

    EXPECT_TRUE(report.problem.isEmpty()) << report.problem.toStdString();
    EXPECT_EQ(report.copied.size(), 9);
    EXPECT_FALSE(report.copied.contains("default.jpg"));
    EXPECT_EQ(fileBytes(install() + "default.jpg"), "the user's own welcome picture");
    EXPECT_EQ(fileBytes(install() + "3.mid"), "");
    EXPECT_EQ(QFile::symLinkTarget(install() + "bg.jpg"), install() + "nowhere.jpg");
    EXPECT_EQ(fileBytes(install() + "4.mid"), shippedBytes("4.mid"));
}

TEST_F(ShippedFilesTest, NothingMissingMeansNothingToReportEvenWithoutAShippedFolder) {
    ASSERT_TRUE(seedInstallFolder(shipped(), install()).problem.isEmpty());
    ASSERT_TRUE(QDir(shipped()).removeRecursively());

    const SeedReport report = seedInstallFolder(shipped(), install());

    EXPECT_TRUE(report.copied.isEmpty());
    EXPECT_TRUE(report.problem.isEmpty()) << report.problem.toStdString();
}

struct FailureCase {
    const char* name;
    void (*arrange)(const QString& shipped, const QString& install);
    QStringList expectedCopied;
    const char* expectedInProblem;
};

void removeShippedFolder(const QString& shipped, const QString&) {
    QDir(shipped).removeRecursively();
}
void removeOneShippedTune(const QString& shipped, const QString&) {
    QFile::remove(shipped + "7.mid");
}
void blockTheInstallFolder(const QString&, const QString& install) {
    // A file where a parent folder should be: the install folder cannot be created.
    QDir().mkpath(QFileInfo(install + "../..").absoluteFilePath());
    writeFileBytes(QDir::cleanPath(install + ".."), "not a folder");
}

class ShippedFilesFailureTest : public ShippedFilesTest,
                                public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ShippedFilesFailureTest, TheProblemIsReportedAndTheRestStillCopied) {
    const FailureCase& failure = GetParam();
    failure.arrange(shipped(), install());

    const SeedReport report = seedInstallFolder(shipped(), install());

    EXPECT_EQ(report.copied, failure.expectedCopied);
    EXPECT_TRUE(report.problem.contains(failure.expectedInProblem)) << report.problem.toStdString();
}

QStringList allShippedBut(const QString& name) {
    QStringList names = shippedFileNames();
    names.removeAll(name);
    return names;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ShippedFilesFailureTest,
    ::testing::Values(
        FailureCase{"NoShippedFolder", removeShippedFolder, {}, "share/lumiscribe/"},
        FailureCase{"OneTuneNotShipped", removeOneShippedTune, allShippedBut("7.mid"), "7.mid"},
        FailureCase{"InstallFolderBlocked", blockTheInstallFolder, {}, "cannot create"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

}  // namespace
}  // namespace lumi::platform
