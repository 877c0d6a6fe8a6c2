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
    EXPECT_EQ(store.read("BG", "d"), "1");  // the exact case wins
    store.write("Bg", "4");
    EXPECT_EQ(readBytes(), QByteArray("[General]\nx=1\n\n[Config]\nBg=4\nDelay=5\n"));
}

TEST_F(IniSettingsStoreTest, TextValuesRoundTrip) {
    IniSettingsStore store(path());
    const QStringList values{
        "a, b", " spaced ",         "@at", QString::fromUtf8("/home/zoë/bg.jpg"), "q\"uo\\te;c=d",
        "",     R"(C:\Pics\bg.jpg)"};
    for (const QString& value : values) {
        store.write("BGFile", value);
        EXPECT_EQ(store.read("BGFile", "d"), value);
    }
}

TEST_F(IniSettingsStoreTest, HandWrittenListReadsAsJoinedText) {
    writeBytes("[Config]\nBGFile=x,y, z\nOther=\"p, q\"\n");
    IniSettingsStore store(path());
    EXPECT_EQ(store.read("BGFile", "d"), "x, y, z");
    EXPECT_EQ(store.read("Other", "d"), "p, q");
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

struct DamagedCase {
    const char* name;
    QByteArray bytes;
    const char* readBefore;  // what "a" reads as before any write
    QByteArray clean;        // the file after writing b=2
};

class DamagedFileTest : public IniSettingsStoreTest,
                        public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedFileTest, ReadsTheLinesThatParseAndKeepsTheFileBesideTheCleanOne) {
    writeBytes(GetParam().bytes);
    IniSettingsStore store(path());
    EXPECT_EQ(store.read("a", "dflt"), GetParam().readBefore);
    EXPECT_EQ(store.contains("a"), GetParam().readBefore != std::string("dflt"));
    ::testing::internal::CaptureStderr();
    store.write("b", "2");
    EXPECT_EQ(readBytes(), GetParam().clean);
    store.write("c", "3");  // a later write finds a clean file: no further copy, no message
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::fileBytes(path() + ".damaged"), GetParam().bytes);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find(QDir::toNativeSeparators(path()).toStdString() + " has lines"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find(QDir::toNativeSeparators(path() + ".damaged").toStdString()),
              std::string::npos)
        << errors;
    EXPECT_EQ(store.read("a", "dflt"), GetParam().readBefore);
    EXPECT_EQ(store.read("c", "dflt"), "3");
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedFileTest,
    ::testing::Values(
        DamagedCase{"UnclosedSection", "[Config]\na=1\n[Other\nb=2\n", "1",
                    "[Config]\na=1\nb=2\n\n[Other]\nb=2\n"},
        DamagedCase{"LoneBracket", "[Config]\n[\na=1\n", "1", "[Config]\na=1\nb=2\n"},
        DamagedCase{"LineWithoutValue", "[Config]\na=1\nsomething\n", "1", "[Config]\na=1\nb=2\n"},
        DamagedCase{"LineWithoutValueInOtherSection", "[Other]\nx\n[Config]\na=1\n", "1",
                    "[Config]\na=1\nb=2\n"},
        DamagedCase{"HashComment", "# note\n[Config]\na=1\n", "1", "[Config]\na=1\nb=2\n"},
        DamagedCase{"TextOfAnotherFormat", "{\n  \"BG\": 3\n}\n", "dflt", "[Config]\nb=2\n"},
        DamagedCase{"BinaryGarbage", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18),
                    "dflt", "[Config]\nb=2\n"},
        DamagedCase{"Latin1Text", "[Config]\na=caf\xe9\nd=4\n", "dflt", "[Config]\nb=2\nd=4\n"},
        DamagedCase{"NulByte", QByteArray("[Config]\na=1\n\0", 14), "1", "[Config]\na=1\nb=2\n"}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

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
    EXPECT_NE(errors.find(".damaged.3 and wrote a clean file"), std::string::npos) << errors;
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

TEST_F(IniSettingsStoreTest, CommentsAndBlankLinesAreNoDamageButDoNotSurviveAWrite) {
    writeBytes("; note\n\n[Config]\n; about a\na=1\n   \n");
    IniSettingsStore store(path());
    EXPECT_EQ(store.read("a", "d"), "1");
    store.write("b", "2");
    EXPECT_EQ(readBytes(), QByteArray("[Config]\na=1\nb=2\n"));
}

}  // namespace
}  // namespace lumi::platform
