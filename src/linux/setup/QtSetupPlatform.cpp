// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/setup/QtSetupPlatform.h"

#include <QByteArray>
#include <QFileInfo>
#include <QStringList>

#include "linux/platform/RegularFile.h"
#include "linux/settings/FileExists.h"
#include "linux/settings/PictureList.h"
#include "linux/setup/SetupDialogs.h"

namespace lumi::setup {
namespace {

platform::PictureListFile::Entries entriesOf(const QStringList& names) {
    platform::PictureListFile::Entries entries;
    entries.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        entries.push_back(fileNameBytes(name));
    }
    return entries;
}

QStringList namesOf(const platform::PictureListFile::Entries& entries) {
    QStringList names;
    names.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) {
        names.append(fileNameOf(entry));
    }
    return names;
}

}  // namespace

std::string fileNameBytes(const QString& name) {
    return platform::encodeFileName(name).toStdString();
}

QString fileNameOf(const std::string& bytes) {
    return platform::decodeFileName(QByteArray::fromStdString(bytes));
}

bool QtMessageBoxes::question(const std::string& title, const std::string& text) {
    return dialogs_.question(owner_, fileNameOf(title), fileNameOf(text));
}

void QtMessageBoxes::information(const std::string& title, const std::string& text) {
    dialogs_.information(owner_, fileNameOf(title), fileNameOf(text));
}

void QtMessageBoxes::error(const std::string& title, const std::string& text) {
    dialogs_.error(owner_, fileNameOf(title), fileNameOf(text));
}

bool QtFileQuery::isFile(const std::string& path) const {
    return QFileInfo(fileNameOf(path)).isFile();
}

bool QtFileQuery::isFolder(const std::string& path) const {
    return QFileInfo(fileNameOf(path)).isDir();
}

std::uint64_t QtFileQuery::size(const std::string& path) const {
    const qint64 size = QFileInfo(fileNameOf(path)).size();
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

bool QtPictureListFile::exists() const {
    return settings::FileExists(path_);
}

platform::PictureListFile::Result QtPictureListFile::read() const {
    const settings::PictureListReadResult read = settings::readPictureList(path_);
    return Result{entriesOf(read.entries), fileNameBytes(read.error)};
}

platform::PictureListFile::Result QtPictureListFile::edit(const Edit& edit) {
    const settings::PictureListEditResult result = settings::editPictureList(
        path_, [&edit](QStringList entries) { return namesOf(edit(entriesOf(entries))); });
    return Result{entriesOf(result.entries), fileNameBytes(result.error)};
}

bool QtPictureListFile::canHold(const std::string& entry) const {
    return settings::canHoldPath(fileNameOf(entry));
}

}  // namespace lumi::setup
