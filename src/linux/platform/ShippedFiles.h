// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace lumi::platform {

// The files that ship with the program and belong in the install folder: the tunes "1.mid"
// to "10.mid", the welcome picture "default.jpg" and the background "bg.jpg". The picture
// list "List.txt" is the user's and never ships, so that its absence keeps its meaning.
QStringList shippedFileNames();

struct SeedReport {
    QStringList copied;  // the names copied into the install folder, in shippedFileNames() order
    QString problem;     // one sentence on what could not be done; empty when all went well
};

// Copies every shipped file that the install folder `installDir` lacks from `shippedDir`
// (both end with their separator), creating the install folder when needed. A file that is
// there, even a broken link, is the user's and is never overwritten. Each copy is written
// under a temporary name and then renamed without replacing anything, so a process that
// seeds at the same time, or one that reads the folder, never sees half a file. When nothing
// is missing the shipped folder is not looked at. Failures do not stop the program: they are
// summed up in `problem` for the caller to report once.
SeedReport seedInstallFolder(const QString& shippedDir, const QString& installDir);

}  // namespace lumi::platform
