// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace lumi::setup {

// Lets a widget take files and folders dragged onto it from a file manager.
//
// It watches `target`, the widget that receives the drag events (for an item view, its
// viewport), and takes over its drag events: a drag that carries at least one local file or
// folder is accepted as a copy; any other drag is refused. After a drop, `dropped` receives
// the local paths in the drag's order. The call is queued, so that the drag source learns
// that the drop is over before the receiver shows anything modal.
class FileDropTarget final : public QObject {
    Q_OBJECT

public:
    using Receiver = std::function<void(const QStringList& paths)>;

    FileDropTarget(QWidget* target, Receiver dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Receiver dropped_;
};

// The local paths that `mime` carries, in order, without the addresses of anything that is
// not a local file; empty when there is none.
QStringList droppedPaths(const QMimeData* mime);

}  // namespace lumi::setup
