#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "setup/QtSetupDialogs.h"

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
    QtSetupDialogs dialogs;
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

}  // namespace
}  // namespace lumi::setup
