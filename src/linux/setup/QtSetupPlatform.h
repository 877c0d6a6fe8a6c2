// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>

#include "platform/FileQuery.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureListFile.h"

class QWidget;

namespace lumi::setup {

class SetupDialogs;

// The core's name bytes of the file name `name` as the program holds it, and back (see
// platform::encodeFileName()): UTF-8, a name's own bytes where it is not UTF-8.
std::string fileNameBytes(const QString& name);
QString fileNameOf(const std::string& bytes);

// The core's message boxes as the Setup dialog's SetupDialogs show them, owned by `owner`.
// A text shows as fileNameOf() gives it: UTF-8 as it is, and a quoted file name that is not
// UTF-8 as the program holds the name.
class QtMessageBoxes final : public platform::MessageBoxes {
public:
    QtMessageBoxes(SetupDialogs& dialogs, QWidget* owner) : dialogs_(dialogs), owner_(owner) {}

    bool question(const std::string& title, const std::string& text) override;
    void information(const std::string& title, const std::string& text) override;
    void error(const std::string& title, const std::string& text) override;

private:
    SetupDialogs& dialogs_;
    QWidget* owner_;
};

// The file system as QFileInfo sees it.
class QtFileQuery final : public platform::FileQuery {
public:
    bool isFile(const std::string& path) const override;
    bool isFolder(const std::string& path) const override;
    std::uint64_t size(const std::string& path) const override;
};

// The picture list file at `path`, read and written by settings/PictureList.h.
class QtPictureListFile final : public platform::PictureListFile {
public:
    explicit QtPictureListFile(QString path) : path_(std::move(path)) {}

    bool exists() const override;
    Result read() const override;
    Result edit(const Edit& edit) override;
    bool canHold(const std::string& entry) const override;

private:
    QString path_;
};

}  // namespace lumi::setup
