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
    if (keyHandler_) {
        keyHandler_(event);
    } else {
        QDialog::keyPressEvent(event);
    }
}

bool ForwardingDialog::focusNextPrevChild(bool) { return false; }

void ForwardingDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!localPaths(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ForwardingDialog::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty() || !dropHandler_) return;
    event->acceptProposedAction();
    dropHandler_(paths);
}

}  // namespace tessarin
