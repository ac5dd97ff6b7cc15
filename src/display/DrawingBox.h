#pragma once

// The drawing tools: a small tool window of six buttons that choose what a click on the
// field makes (nothing, a point, a line, a rectangle, a circle, nothing).

#include <QDialog>
#include <functional>

class QButtonGroup;

namespace tessarin {

class CDrawingBox final : public QDialog {
    Q_OBJECT

public:
    explicit CDrawingBox(QWidget* display);

    int tool() const { return tool_; }
    void setTool(int tool);
    // Keys and dropped files reaching the box go here (the main frame's handler).
    void setKeyHandler(std::function<void(QKeyEvent*)> handler) { keyHandler_ = std::move(handler); }
    void setDropHandler(std::function<void(const QStringList&)> handler) { dropHandler_ = std::move(handler); }

    // Escape or closing the box: back to selecting only, and hidden.
    void reject() override;
    void accept() override {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    int tool_ = 0;
    QButtonGroup* buttons_ = nullptr;
    std::function<void(QKeyEvent*)> keyHandler_;
    std::function<void(const QStringList&)> dropHandler_;
};

}  // namespace tessarin
