#include "windows/ForwardingDialog.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>

#include "files/DroppedFiles.h"

namespace tessarin {

void ForwardingDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    // Enter and Return would press a default button these windows do not have.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
    QDialog::keyPressEvent(event);
}

bool ForwardingDialog::focusNextPrevChild(bool) { return false; }

void ForwardingDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!localPaths(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ForwardingDialog::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    emit filesDropped(paths);
}

}  // namespace tessarin
