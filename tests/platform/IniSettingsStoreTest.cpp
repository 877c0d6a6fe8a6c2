// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

#include "platform/IniSettingsStore.h"
#include "support/Files.h"

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
        store.write("BGFile", value);
        EXPECT_EQ(store.read("BGFile", "d"), value);
    }
}

TEST_F(IniSettingsStoreTest, WriteIsSeenAtOnceByAnotherStore) {
    IniSettingsStore writer(path());
    IniSettingsStore reader(path());
    for (int i = 0; i < 100; ++i) {
        const QString value = QString::number(i % 10);  // always the same length
        writer.write("Delay", value);
        ASSERT_EQ(reader.read("Delay", "d"), value) << "round " << i;
        reader.write("Music", value);
        ASSERT_EQ(writer.read("music", "d"), value) << "round " << i;
    }
}

TEST_F(IniSettingsStoreTest, ChangeByAnotherProgramIsSeenAtOnce) {
    // Another program rewrites the file in place, within the same clock tick and with the
    // same length; a store must not answer from what it parsed before.
    IniSettingsStore store(path());
    for (int i = 0; i < 100; ++i) {
        const QByteArray value = QByteArray::number(i % 10);
        writeBytes("[Config]\nDelay=" + value + "\n");
        ASSERT_EQ(store.read("Delay", "d"), value) << "round " << i;
        writeBytes("[Config]\nDelay=" + value + "\nBG=" + value + "\n");
        store.write("Music", "1");
        ASSERT_EQ(store.read("BG", "d"), value) << "round " << i;
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

}  // namespace
}  // namespace lumi::platform
