// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

class QWidget;

namespace lumi::setup {

// The controls under `root` that Tab visits, in reading order: top to bottom, and left to
// right within a row. Controls whose boxes overlap the first box of a row by at least half
// its height count as one row. A container without focus of its own (a page, a frame, the
// button row) takes its place in its parent's order by its own box and lists its controls
// there in their own reading order, so that the controls of a frame stay together; widgets
// without such controls (labels, rules) play no part in the rows. A tab
// widget lists its tab bar and then its pages in tab order. Controls hidden on purpose are
// left out; those of a page that is merely not in front are kept.
QList<QWidget*> readingOrder(QWidget& root);

// Makes Tab visit the controls under `root` in readingOrder(). Called once the dialog's
// controls are all built, so that every control added to a page takes its place by where it
// stands, with no list to keep up to date.
void orderTabsByReading(QWidget& root);

}  // namespace lumi::setup
