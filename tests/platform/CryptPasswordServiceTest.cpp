// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>

#include "platform/PasswordDialog.h"
#include "platform/linux/CryptPasswordService.h"

namespace lumi::platform {
namespace {

using Status = StoredPassword::Status;

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray hashOf(const char* plain) {
    return hashPassword(plain).value_or(QByteArray());
}

class HashRoundTrip : public ::testing::TestWithParam<QByteArray> {};

TEST_P(HashRoundTrip, VerifiesOnlyTheSamePassword) {
    const QByteArray plain = GetParam();
    const std::optional<QByteArray> hash = hashPassword(plain);
    ASSERT_TRUE(hash.has_value());
    EXPECT_TRUE(hash->startsWith("$y$")) << hash->constData();
    EXPECT_TRUE(verifyPassword(plain, *hash));
    EXPECT_FALSE(verifyPassword(plain + "x", *hash));
    EXPECT_FALSE(verifyPassword(plain.toUpper() == plain ? plain + " " : plain.toUpper(), *hash));
    EXPECT_NE(hashPassword(plain), hash) << "the salt must be fresh each time";
}

INSTANTIATE_TEST_SUITE_P(Passwords, HashRoundTrip,
                         ::testing::Values(QByteArray(""), QByteArray("correct horse"),
                                           QByteArray("p\xc3\xa4sswort"), QByteArray(300, 'z')));

TEST(CryptPassword, NulBytesAndMalformedHashesMatchNothing) {
    const QByteArray withNul("abc\0def", 7);
    EXPECT_FALSE(hashPassword(withNul).has_value());
    EXPECT_FALSE(verifyPassword(withNul, hashOf("abc")));
    for (const QByteArray& hash : {QByteArray(""), QByteArray("*0"), QByteArray("$y$"),
                                   hashOf("") + "\n", hashOf("").chopped(2)}) {
        EXPECT_FALSE(verifyPassword("", hash)) << hash.constData();
    }
}

struct LoadCase {
    const char* name;
    QByteArray content;
    Status status;
};

class LoadHash : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadHash, AcceptsOnlyOneHashLine) {
    const QByteArray hash = "$y$j9T$abcdefghijklmnopqrstu.$0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabc";
    QTemporaryDir dir;
    const QString path = dir.filePath("Lumiscribe.password");
    writeBytes(path, QByteArray(GetParam().content).replace("HASH", hash));

    const StoredPassword stored = loadHash(path);
    EXPECT_EQ(stored.status, GetParam().status);
    EXPECT_EQ(stored.hash, stored.status == Status::Hash ? hash : QByteArray());
    EXPECT_EQ(stored.problem.contains(path), stored.status == Status::Unusable);
}

INSTANTIATE_TEST_SUITE_P(Contents, LoadHash,
                         ::testing::Values(LoadCase{"HashAndNewline", "HASH\n", Status::Hash},
                                           LoadCase{"HashOnly", "HASH", Status::Hash},
                                           LoadCase{"Empty", "", Status::Unusable},
                                           LoadCase{"TwoLines", "HASH\nHASH\n", Status::Unusable},
                                           LoadCase{"NotAHash", "hunter2\n", Status::Unusable},
                                           LoadCase{"Huge", "HASH" + QByteArray(4000, 'a'),
                                                    Status::Unusable}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CryptPasswordFile, OnlyAMissingFileMeansNoPassword) {
    QTemporaryDir dir;
    writeBytes(dir.filePath("file"), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_EQ(loadHash(dir.filePath("missing")).status, Status::None);
    EXPECT_EQ(loadHash(dir.filePath("folder")).status, Status::Unusable);
    EXPECT_EQ(loadHash(dir.filePath("file/Lumiscribe.password")).status, Status::Unusable);
}

TEST(CryptPasswordFile, StoresHashAndNewlineReadableByOwnerOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("config/Lumiscribe.password");
    const QByteArray hash = hashOf("second");
    const mode_t oldMask = ::umask(0);  // the process's umask must not widen the mode
    const bool stored = storeHash(path, hashOf("first")) &&
                        ::chmod(QFile::encodeName(path).constData(), 0644) == 0 &&
                        storeHash(path, hash);
    ::umask(oldMask);

    ASSERT_TRUE(stored);
    EXPECT_EQ(readBytes(path), hash + "\n");
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(QDir(dir.filePath("config")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Lumiscribe.password"});
}

// Makes writes past `bytes` fail for the lifetime of the object, like a full disk. Unlike
// permission bits this also stops root, who runs the tests.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, handler_);
    }

private:
    sighandler_t handler_;
    rlimit saved_{};
};

TEST(CryptPasswordFile, FailedWriteKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Lumiscribe.password");
    ASSERT_TRUE(storeHash(path, hashOf("old")));
    const QByteArray before = readBytes(path);
    const QByteArray next = hashOf("new");

    {
        FileSizeLimit limit(16);
        EXPECT_FALSE(storeHash(path, next));
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Lumiscribe.password"});
    writeBytes(dir.filePath("file"), "x");  // a file where the folder should be
    EXPECT_FALSE(storeHash(dir.filePath("file/Lumiscribe.password"), next));
}

// Runs `steps` on the PasswordDialog once changePassword() has opened it modally, then
// cancels it if the steps left it open, so that a failing test cannot hang in exec().
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(PasswordDialog&)> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(0);
    }
    bool ran() const { return ran_; }

private:
    void poll() {
        auto* dialog = qobject_cast<PasswordDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer_.stop();
        ran_ = true;
        steps_(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    }

    std::function<void(PasswordDialog&)> steps_;
    QTimer timer_;
    bool ran_ = false;
};

void fill(PasswordDialog& dialog, const char* oldText, const char* newText, const char* confirm) {
    if (oldText != nullptr) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>("oldPassword"), oldText);
    }
    QTest::keyClicks(dialog.findChild<QLineEdit*>("newPassword"), newText);
    QTest::keyClicks(dialog.findChild<QLineEdit*>("confirmPassword"), confirm);
}

void press(PasswordDialog& dialog, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
}

QString messageOf(PasswordDialog& dialog) {
    const QLabel* message = dialog.findChild<QLabel*>("message");
    return message->isVisible() ? message->text() : QString();
}

class CryptPasswordServiceDialog : public ::testing::Test {
protected:
    void change(const QString& path, std::function<void(PasswordDialog&)> steps) {
        DialogDriver driver(std::move(steps));
        CryptPasswordService(path).changePassword("SCRSAVE", &owner_, 0, 0);
        EXPECT_TRUE(driver.ran()) << "no dialog opened";
    }

    QTemporaryDir dir_;
    const QString path_ = dir_.filePath("Lumiscribe.password");
    QWidget owner_;  // hidden, like the program's owner window
};

TEST_F(CryptPasswordServiceDialog, FirstPasswordNeedsNoOldOne) {
    change(path_, [](PasswordDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Change Password");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("oldPassword"), nullptr);
        EXPECT_EQ(dialog.findChild<QLineEdit*>("newPassword")->echoMode(), QLineEdit::Password);
        fill(dialog, nullptr, "first", "first");
        press(dialog, QDialogButtonBox::Ok);
        EXPECT_FALSE(dialog.isVisible());
    });
    const StoredPassword stored = loadHash(path_);
    EXPECT_EQ(readBytes(path_), stored.hash + "\n");
    EXPECT_TRUE(verifyPassword("first", stored.hash));
}

TEST_F(CryptPasswordServiceDialog, RightOldPasswordChangesOrRemovesIt) {
    ASSERT_TRUE(storeHash(path_, hashOf("old")));
    change(path_, [](PasswordDialog& dialog) {
        fill(dialog, "old", "new", "new");
        press(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(verifyPassword("new", loadHash(path_).hash));

    change(path_, [](PasswordDialog& dialog) {
        fill(dialog, "new", "", "");
        press(dialog, QDialogButtonBox::Ok);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_FALSE(QFile::exists(path_));
}

struct RefusedCase {
    const char* name;
    const char* oldText;
    const char* newText;
    const char* confirm;
    bool pressOk;  // false: Cancel
};

class RefusedChange : public CryptPasswordServiceDialog,
                      public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedChange, LeavesTheFileUnchanged) {
    ASSERT_TRUE(storeHash(path_, hashOf("old")));
    const QByteArray before = readBytes(path_);
    const RefusedCase& c = GetParam();
    change(path_, [&c](PasswordDialog& dialog) {
        fill(dialog, c.oldText, c.newText, c.confirm);
        press(dialog, c.pressOk ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
        EXPECT_EQ(dialog.isVisible(), c.pressOk) << "a refused OK keeps the dialog open";
        EXPECT_EQ(messageOf(dialog).isEmpty(), !c.pressOk);
    });
    EXPECT_EQ(readBytes(path_), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedChange,
                         ::testing::Values(RefusedCase{"WrongOld", "olf", "new", "new", true},
                                           RefusedCase{"Mismatch", "old", "new", "neq", true},
                                           RefusedCase{"Cancel", "old", "new", "new", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CryptPasswordServiceDialog, SaveFailureIsShownInTheDialog) {
    FileSizeLimit limit(16);
    change(path_, [this](PasswordDialog& dialog) {
        fill(dialog, nullptr, "a", "a");
        press(dialog, QDialogButtonBox::Ok);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(messageOf(dialog).contains(path_));
    });
    EXPECT_FALSE(QFile::exists(path_));
}

TEST_F(CryptPasswordServiceDialog, DamagedFileIsReportedAndNeverOverwritten) {
    writeBytes(path_, "garbage\n");
    change(path_, [this](PasswordDialog& dialog) {
        EXPECT_TRUE(messageOf(dialog).contains(path_));
        EXPECT_FALSE(
            dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
    });
    EXPECT_EQ(readBytes(path_), "garbage\n");
}

TEST_F(CryptPasswordServiceDialog, OtherProvidersAreIgnored) {
    DialogDriver driver([](PasswordDialog&) {});
    CryptPasswordService(path_).changePassword("NETWORK", &owner_, 0, 0);
    EXPECT_FALSE(driver.ran());
}

}  // namespace
}  // namespace lumi::platform
