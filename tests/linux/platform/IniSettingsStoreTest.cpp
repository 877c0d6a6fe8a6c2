// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "linux/platform/FileSystem.h"
#include "linux/platform/IniSettingsStore.h"
#include "settings/SettingKeys.h"
#include "support/Files.h"
#include "support/HostileFiles.h"
#include "support/SmallDisk.h"

namespace lumi::platform {
namespace {

class IniSettingsStoreTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath("cfg/Lumiscribe.ini"); }

    void writeBytes(const QByteArray& bytes) const {
        ASSERT_TRUE(testing::writeFileBytes(path(), bytes));
    }

    QByteArray readBytes() const { return testing::fileBytes(path()); }

    QTemporaryDir dir_;
};

TEST_F(IniSettingsStoreTest, DefaultFileIsInTheUserConfigFolder) {
    EXPECT_TRUE(defaultSettingsFile().endsWith("/Lumiscribe.ini"));
    EXPECT_TRUE(QDir::isAbsolutePath(defaultSettingsFile()));
}

TEST_F(IniSettingsStoreTest, FirstWriteCreatesFolderAndFileAsText) {
    IniSettingsStore store(path());
    EXPECT_EQ(store.read("BG", "dflt"), "dflt");
    store.write("BG", "3");
    EXPECT_EQ(readBytes(), QByteArray("[Config]\nBG=3\n"));
    EXPECT_EQ(store.read("BG", "dflt"), "3");
}

TEST_F(IniSettingsStoreTest, NamesAreComparedWithoutRegardToCase) {
    writeBytes("[Config]\nMIDI7=0\n");
    IniSettingsStore store(path());
    EXPECT_EQ(store.read("Midi7", "1"), "0");
    EXPECT_EQ(store.read("midi7", "1"), "0");

    store.write("Midi7", "5");
    EXPECT_EQ(readBytes(), QByteArray("[Config]\nMidi7=5\n"));
    EXPECT_EQ(store.read("MIDI7", "1"), "5");
}

TEST_F(IniSettingsStoreTest, ContainsTellsAStoredValueFromNone) {
    IniSettingsStore store(path());
    EXPECT_FALSE(store.contains("BG"));  // no file yet
    writeBytes("[Other]\nBG=1\n\n[Config]\nMIDI7=0\nEmpty=\n");
    EXPECT_TRUE(store.contains("Midi7"));
    EXPECT_TRUE(store.contains("EMPTY"));  // the empty text is a value
    EXPECT_FALSE(store.contains("BG"));    // another section
    EXPECT_FALSE(store.contains("Delay"));
}

TEST_F(IniSettingsStoreTest, WriteReplacesEveryOtherCaseAndKeepsOtherValues) {
    writeBytes("[General]\nx=1\n\n[Config]\nBG=1\nbg=2\nDelay=5\n");
    IniSettingsStore store(path());
    EXPECT_EQ(store.read("BG", "d"), "2");  // the last line of the key wins
    store.write("Bg", "4");
    EXPECT_EQ(readBytes(), QByteArray("[General]\nx=1\n\n[Config]\nBg=4\nDelay=5\n"));
}

TEST_F(IniSettingsStoreTest, TextValuesRoundTrip) {
    IniSettingsStore store(path());
    const QStringList values{"a, b",
                             " spaced ",
                             "@at",
                             QString::fromUtf8("/home/zoë/bg.jpg"),
                             "q\"uo\\te;c=d",
                             "",
                             R"(C:\Pics\bg.jpg)",
                             QString("\x01"
                                     "5\r\n\t\v\f;#[x]"),
                             "@@",
                             "\\x41"};
    for (const QString& value : values) {
        store.write("BGFile", value.toStdString());
        EXPECT_EQ(store.read("BGFile", "d"), value.toStdString());
    }
}

TEST_F(IniSettingsStoreTest, WriteIsSeenAtOnceByAnotherStore) {
    IniSettingsStore writer(path());
    IniSettingsStore reader(path());
    for (int i = 0; i < 100; ++i) {
        const std::string value = std::to_string(i % 10);  // always the same length
        writer.write("Delay", value);
        ASSERT_EQ(reader.read("Delay", "d"), value) << "round " << i;
        reader.write("Music", value);
        ASSERT_EQ(writer.read("music", "d"), value) << "round " << i;
    }
}

// Restore replaces the file once: a write killed at any moment leaves every old value or
// every restored one, never a mix, and the keys stay in the order of the file.
TEST_F(IniSettingsStoreTest, AWriteOfManyValuesKilledAtAnyMomentLeavesAllOldOrAllNew) {
    const std::vector<std::pair<std::string, std::string>> restored =
        settings::restoreValues("/inst/");
    QByteArray old = "[Config]\nSetReg=2\n";
    for (const auto& [key, value] : restored) {
        old += QByteArray::fromStdString(key) + "=old\n";
    }
    QByteArray expected = "[Config]\nSetReg=2\n";
    for (const auto& [key, value] : restored) {
        expected += QByteArray::fromStdString(key + "=" + value) + "\n";
    }
    std::mt19937 random(7);
    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < 60; ++round) {
        writeBytes(old);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniSettingsStore store(path());
            ::_exit(store.writeAll(restored) ? 1 : 0);
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 20000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const QByteArray bytes = readBytes();
        ASSERT_TRUE(bytes == old || bytes == expected) << "round " << round << ":\n"
                                                       << bytes.toStdString();
        ++(bytes == old ? sawOld : sawNew);
    }
    RecordProperty("old", sawOld);
    RecordProperty("restored", sawNew);
}

TEST_F(IniSettingsStoreTest, ChangeByAnotherProgramIsSeenAtOnce) {
    // Another program rewrites the file in place, within the same clock tick and with the
    // same length; a store must not answer from what it parsed before.
    IniSettingsStore store(path());
    for (int i = 0; i < 100; ++i) {
        const QByteArray value = QByteArray::number(i % 10);
        writeBytes("[Config]\nDelay=" + value + "\n");
        ASSERT_EQ(store.read("Delay", "d"), value.toStdString()) << "round " << i;
        writeBytes("[Config]\nDelay=" + value + "\nBG=" + value + "\n");
        store.write("Music", "1");
        ASSERT_EQ(store.read("BG", "d"), value.toStdString()) << "round " << i;
    }
}

// Files as people and other programs leave them. Each is read, then "b" is written once: the
// lines that can be read keep their place and bytes, and a file with lines that cannot be
// read is first kept beside itself as it was.
struct SettingsFileCase {
    const char* name;
    QByteArray bytes;
    const char* readBefore;  // what "a" reads as before any write
    QByteArray written;      // the file after writing b=2
    bool damaged;            // lines were left out, so the bytes are kept in a copy
};

class SettingsFileTest : public IniSettingsStoreTest,
                         public ::testing::WithParamInterface<SettingsFileCase> {};

TEST_P(SettingsFileTest, ReadsWhatItCanAndWritesEveryReadableLine) {
    const SettingsFileCase& file = GetParam();
    writeBytes(file.bytes);
    IniSettingsStore store(path());
    EXPECT_EQ(store.read("a", "dflt"), file.readBefore);
    EXPECT_EQ(store.contains("a"), file.readBefore != std::string("dflt"));
    ::testing::internal::CaptureStderr();
    store.write("b", "2");
    EXPECT_EQ(readBytes(), file.written);
    store.write("c", "3");  // a later write finds a clean file: no further copy, no message
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(store.read("a", "dflt"), file.readBefore);
    EXPECT_EQ(store.read("b", "dflt"), "2");
    EXPECT_EQ(store.read("c", "dflt"), "3");
    if (!file.damaged) {
        EXPECT_FALSE(QFileInfo::exists(path() + ".damaged"));
        EXPECT_EQ(errors, "");
        return;
    }
    EXPECT_EQ(testing::fileBytes(path() + ".damaged"), file.bytes);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find(QDir::toNativeSeparators(path()).toStdString() + " has lines"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find(QDir::toNativeSeparators(path() + ".damaged").toStdString()),
              std::string::npos)
        << errors;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsFileTest,
    ::testing::Values(
        SettingsFileCase{"ByteOrderMarkAndCrLf", "\xEF\xBB\xBF[Config]\r\na=1\r\n", "1",
                         "[Config]\na=1\nb=2\n", false},
        SettingsFileCase{"FormFeedAndVerticalTabLines", "[Config]\na=1\n\f\n \v \n", "1",
                         "[Config]\na=1\nb=2\n\f\n \v \n", false},
        SettingsFileCase{"SemicolonInKey", "[Config]\nx;y=1\na=1\n", "1",
                         "[Config]\nx;y=1\na=1\nb=2\n", false},
        SettingsFileCase{"CrLineEnds", "[Config]\ra=1\r\r[Other]\rb=0\r", "1",
                         "[Config]\na=1\nb=2\n\n[Other]\nb=0\n", false},
        SettingsFileCase{"DuplicateKeysLastWins", "[Config]\na=1\nA=3\nB=0\nb=1\n", "3",
                         "[Config]\na=1\nA=3\nb=2\n", false},
        SettingsFileCase{"TextBeforeTheFirstSectionAndComments",
                         "a=9\n# note\n[config] ; ours\n; about a\na=1\n\n[Other]\nx\n", "1",
                         "a=9\n# note\n[config] ; ours\n; about a\na=1\nb=2\n\n[Other]\n", true},
        SettingsFileCase{"UnclosedSection", "[Config]\na=1\n[Other\nb=2\n", "1",
                         "[Config]\na=1\nb=2\n[Other]\nb=2\n", true},
        SettingsFileCase{"LoneBracketAndLinesWithoutValue", "[Config]\n[\na=1\nsomething\n=5\n",
                         "1", "[Config]\na=1\nb=2\n", true},
        SettingsFileCase{"TextOfAnotherFormat", "{\n  \"BG\": 3\n}\n", "dflt", "[Config]\nb=2\n",
                         true},
        SettingsFileCase{"BinaryGarbage", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18),
                         "dflt", "[Config]\nb=2\n", true},
        SettingsFileCase{"Latin1Text", "[Config]\na=caf\xe9\nd=4\n", "dflt", "[Config]\nd=4\nb=2\n",
                         true},
        SettingsFileCase{"ByteOrderMarkAfterALineLeftOut", "\xb5\n\xEF\xBB\xBF[Config]\na=1\n", "1",
                         "\xEF\xBB\xBF[Config]\na=1\nb=2\n", true},
        SettingsFileCase{"NulByte", QByteArray("[Config]\na=1\n\0", 14), "1",
                         "[Config]\na=1\nb=2\n", true}),
    [](const ::testing::TestParamInfo<SettingsFileCase>& info) {
        return std::string(info.param.name);
    });

// A copy is never written over: a later damage, while an earlier copy waits, gets the next
// number, and the write goes on. A copy of these very bytes means that a rewrite after this
// damage was interrupted: nothing is copied again.
TEST_F(IniSettingsStoreTest, LaterDamageIsKeptUnderTheNextNumber) {
    ASSERT_TRUE(testing::writeFileBytes(path() + ".damaged", "earlier\n"));
    writeBytes("[Config]\na=1\nbroken\n");
    IniSettingsStore store(path());
    ::testing::internal::CaptureStderr();
    store.write("b", "2");
    writeBytes("[Config]\na=1\nbroken again\n");
    store.write("c", "3");
    writeBytes("[Config]\na=1\nbroken\n");  // the first damage once more
    store.write("d", "4");
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::fileBytes(path() + ".damaged"), QByteArray("earlier\n"));
    EXPECT_EQ(testing::fileBytes(path() + ".damaged.2"), QByteArray("[Config]\na=1\nbroken\n"));
    EXPECT_EQ(testing::fileBytes(path() + ".damaged.3"),
              QByteArray("[Config]\na=1\nbroken again\n"));
    EXPECT_FALSE(QFileInfo::exists(path() + ".damaged.4"));
    EXPECT_EQ(readBytes(), QByteArray("[Config]\na=1\nd=4\n"));
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    EXPECT_NE(errors.find(".damaged.3 and wrote the file without them"), std::string::npos)
        << errors;
}

TEST_F(IniSettingsStoreTest, UnreadableFileReadsAsEmptyAndIsNeverReplaced) {
    ASSERT_TRUE(QDir().mkpath(path()));  // a folder where the file belongs
    QFile marker(path() + "/keep");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    IniSettingsStore store(path());
    EXPECT_EQ(store.read("a", "dflt"), "dflt");
    EXPECT_FALSE(store.contains("a"));
    ::testing::internal::CaptureStderr();
    store.write("a", "2");
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(QDir::toNativeSeparators(path()).toStdString()), std::string::npos);
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_TRUE(QFileInfo::exists(path() + "/keep"));
}

// A folder that cannot be made is named with the system's reason, and nothing is written.
TEST_F(IniSettingsStoreTest, RefusedWriteNamesTheReason) {
    ASSERT_TRUE(testing::writeFileBytes(dir_.filePath("cfg"), "a file where the folder belongs"));
    IniSettingsStore store(path());
    ::testing::internal::CaptureStderr();
    store.write("a", "2");
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("cannot create folder"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Not a directory"), std::string::npos) << errors;
    EXPECT_EQ(testing::fileBytes(dir_.filePath("cfg")), "a file where the folder belongs");
}

// Without HOME (a service started without one) the file is in the account's home folder,
// not under "/".
TEST(DefaultSettingsFileTest, WithoutHomeTheAccountsHomeFolderIsUsed) {
    const QByteArray home = qgetenv("HOME");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const QString file = defaultSettingsFile();
    qputenv("HOME", home);
    if (!configHome.isNull()) {
        qputenv("XDG_CONFIG_HOME", configHome);
    }
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(file, QFile::decodeName(account->pw_dir) + "/.config/Lumiscribe.ini");
}

// What stands where the settings file belongs is read as no settings at once, never waited
// on, never replaced, and said once on standard error.
TEST_F(IniSettingsStoreTest, HostileSettingsFilesReadAsDefaultsAndAreNeverReplaced) {
    struct Expected {
        testing::Hostile kind;
        const char* readLine;  // in the one line that a read gives; empty: no line
        bool writes;           // whether a write replaces it with a settings file
    };
    const Expected table[] = {
        {testing::Hostile::Fifo, "it is a named pipe, not a regular file", false},
        {testing::Hostile::Folder, "it is a folder, not a regular file", false},
        {testing::Hostile::Device, "it is a device, not a regular file", false},
        {testing::Hostile::Unreadable, "Permission denied", false},
        {testing::Hostile::Vanished, "", true},
    };
    for (const Expected& expected : table) {
        QTemporaryDir dir;
        const QString file = dir.filePath("Lumiscribe.ini");
        if (!testing::makeHostile(expected.kind, file)) {
            continue;  // this user reads every file
        }
        IniSettingsStore store(file);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(store.read("BG", "dflt"), "dflt");
        EXPECT_FALSE(store.contains("BG"));
        const std::string readErrors = ::testing::internal::GetCapturedStderr();
        if (*expected.readLine == '\0') {
            EXPECT_EQ(readErrors, "");
        } else {
            EXPECT_EQ(std::count(readErrors.begin(), readErrors.end(), '\n'), 1) << readErrors;
            EXPECT_NE(readErrors.find(expected.readLine), std::string::npos) << readErrors;
        }
        ::testing::internal::CaptureStderr();
        const std::optional<std::string> refusal = store.write("BG", "2");
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(!refusal, expected.writes) << expected.readLine;
        if (expected.writes) {
            EXPECT_EQ(testing::fileBytes(file), "[Config]\nBG=2\n");
        } else {
            EXPECT_TRUE(refusal->starts_with("the file cannot be read")) << *refusal;
        }
    }
}

// A lock file that no live process holds (a kill can leave it empty) is taken over at once;
// one that a live writer holds is not.
TEST_F(IniSettingsStoreTest, AnAbandonedLockFileIsTakenOverAtOnce) {
    for (const QByteArray& lockBytes : {QByteArray(), QByteArray("999999999\nlumiscribe\nx\n")}) {
        QTemporaryDir dir;
        const QString file = dir.filePath("Lumiscribe.ini");
        ASSERT_TRUE(testing::writeFileBytes(file + ".lock", lockBytes));
        IniSettingsStore store(file);
        EXPECT_EQ(store.write("BG", "2"), std::nullopt);
        EXPECT_EQ(testing::fileBytes(file), "[Config]\nBG=2\n");
        EXPECT_FALSE(QFileInfo::exists(file + ".lock"));
    }
    QTemporaryDir dir;
    const QString file = dir.filePath("Lumiscribe.ini");
    QLockFile held(file + ".lock");
    ASSERT_TRUE(held.tryLock(0));
    EXPECT_FALSE(removeAbandonedLockFile(file + ".lock"));
    EXPECT_TRUE(QFileInfo::exists(file + ".lock"));
}

// The temporary file of a write that was killed goes at the next write; names that only look
// alike stay.
TEST_F(IniSettingsStoreTest, AKilledWritesTemporaryFileGoesAtTheNextWrite) {
    const QString folder = QFileInfo(path()).absolutePath();
    const char* stale[] = {"Lumiscribe.ini.aB3xYz", "Lumiscribe.ini.000123"};
    const char* kept[] = {"Lumiscribe.ini.backup", "Lumiscribe.ini.Ab3xY", "Lumiscribe.ini.lock2",
                          "Other.ini.aB3xYz"};
    for (const char* name : stale) {
        ASSERT_TRUE(testing::writeFileBytes(folder + "/" + name, "[Config]\nBG=1\n"));
    }
    for (const char* name : kept) {
        ASSERT_TRUE(testing::writeFileBytes(folder + "/" + name, "mine"));
    }
    IniSettingsStore store(path());
    EXPECT_EQ(store.write("BG", "2"), std::nullopt);
    for (const char* name : stale) {
        EXPECT_FALSE(QFileInfo::exists(folder + "/" + name)) << name;
    }
    for (const char* name : kept) {
        EXPECT_EQ(testing::fileBytes(folder + "/" + name), "mine") << name;
    }
}

// A refused write gives the disk's true state as its reason, and on a full disk a damaged file
// leaves no partial copy behind and is tried once per store.
TEST(IniSettingsStoreDiskTest, RefusedWritesNameTheDisksState) {
    {
        testing::SmallDisk disk;
        if (!disk.mounted()) {
            GTEST_SKIP() << "cannot mount a small file system here";
        }
        const QString file = disk.path() + "/Lumiscribe.ini";
        ASSERT_TRUE(testing::writeFileBytes(file, "[Config]\nBG=1\nbroken line\n"));
        disk.fill(4096);  // room for the lock file, none for the copy
        IniSettingsStore store(file);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(store.write("BG", "2"), "the disk is full");
        EXPECT_EQ(store.write("Delay", "7"), "the disk is full");
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_FALSE(QFileInfo::exists(file + ".damaged"));
        EXPECT_EQ(testing::fileBytes(file), "[Config]\nBG=1\nbroken line\n");
    }
    {
        testing::SmallDisk disk;
        ASSERT_TRUE(disk.mounted());
        const QString file = disk.path() + "/Lumiscribe.ini";
        ASSERT_TRUE(testing::writeFileBytes(file, "[Config]\nBG=1\n"));
        disk.fill();
        IniSettingsStore store(file);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(store.write("BG", "2"), "the disk is full");
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::fileBytes(file), "[Config]\nBG=1\n");
    }
    {
        testing::SmallDisk disk;
        ASSERT_TRUE(disk.mounted());
        const QString file = disk.path() + "/Lumiscribe.ini";
        ASSERT_TRUE(testing::writeFileBytes(file, "[Config]\nBG=1\n"));
        ASSERT_TRUE(disk.makeReadOnly());
        IniSettingsStore store(file);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(store.write("BG", "2"), "the disk is read-only");
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::fileBytes(file), "[Config]\nBG=1\n");
    }
}

// A folder of another user, written by a process without the right: the reason is the
// permission, not the disk.
TEST(IniSettingsStoreDiskTest, AMissingPermissionIsNamedAsSuch) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("cfg");
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Root gives the right away; any other user has not got it in a folder of its own
        // made read-only either.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(2);
        }
        if (::geteuid() != 0) {
            ::chmod(QFile::encodeName(folder).constData(), 0555);
        }
        IniSettingsStore store(folder + "/Lumiscribe.ini");
        const std::string reason = store.write("BG", "2").value_or("written");
        [[maybe_unused]] const ssize_t written =
            ::write(ends[1], reason.data(), reason.size());
        ::_exit(0);
    }
    ::close(ends[1]);
    QByteArray reason;
    char chunk[256];
    for (ssize_t count; (count = ::read(ends[0], chunk, sizeof chunk)) > 0;) {
        reason.append(chunk, count);
    }
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) {
        GTEST_SKIP() << "cannot change to an unprivileged user";
    }
    EXPECT_EQ(QString::fromUtf8(reason),
              "no permission to create files in folder " + QDir::toNativeSeparators(folder));
}

}  // namespace
}  // namespace lumi::platform
