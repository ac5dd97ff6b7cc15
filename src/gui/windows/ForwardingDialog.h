#pragma once

// A tool window that is not a place of its own for keys and files: Escape closes it as the
// window defines (reject), every other key and every dropped game go on to the handlers the
// owner sets (the main frame's), so the game can be stepped while the window has the focus.
// Tab is a command key there, so it never moves the focus between the window's children.

#include <QDialog>
#include <QStringList>
#include <functional>

namespace tessarin {

class ForwardingDialog : public QDialog {
    Q_OBJECT

public:
    using QDialog::QDialog;

    void setKeyHandler(std::function<void(QKeyEvent*)> handler) { keyHandler_ = std::move(handler); }
    void setDropHandler(std::function<void(const QStringList&)> handler) { dropHandler_ = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    std::function<void(QKeyEvent*)> keyHandler_;
    std::function<void(const QStringList&)> dropHandler_;
};

}  // namespace tessarin
