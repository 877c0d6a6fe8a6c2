// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace lumi::setup {

// The selection string (setup/SelectionString.h) for `paths`, the absolute paths that the
// user chose in the open-file dialog, in the dialog's order; separators are the platform's
// own. Paths from one folder give the folder and the names; paths from several folders give
// the empty folder and the full paths.
QString selectionString(const QStringList& paths);

}  // namespace lumi::setup
