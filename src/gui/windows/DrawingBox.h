#pragma once

// The drawing tools: a small tool window of six buttons that choose what a click on the
// field makes (nothing, a point, a line, a rectangle, a circle, nothing).

#include "windows/ForwardingDialog.h"

class QButtonGroup;

namespace tessarin {

class CDrawingBox final : public ForwardingDialog {
    Q_OBJECT

public:
    explicit CDrawingBox(QWidget* display);

    int tool() const { return tool_; }
    void setTool(int tool);
    // Escape or closing the box: back to selecting only, and hidden.
    void reject() override;
    void accept() override {}

signals:
    void toolChanged(int tool);

private:
    int tool_ = 0;
    QButtonGroup* buttons_ = nullptr;
};

}  // namespace tessarin
