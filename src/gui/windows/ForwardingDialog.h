#pragma once

// A tool window that is not a place of its own for dropped files and Escape: Escape closes
// it as the window defines (reject), and games dropped on it are announced through
// filesDropped, for the main frame to load. Every other key is left to the program's
// actions, whose shortcuts work in every window; Tab is one of them, so it never moves
// the focus between the window's children.

#include <QDialog>
#include <QStringList>

namespace tessarin {

class ForwardingDialog : public QDialog {
    Q_OBJECT

public:
    using QDialog::QDialog;

signals:
    void filesDropped(const QStringList& paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};

}  // namespace tessarin
