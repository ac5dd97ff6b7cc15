#pragma once

class QWidget;

namespace tessarin {

// What the main frame asks of the application that owns it: to place the display again
// when it is torn off or docked (command 305) and to show the about box. The frame keeps
// no other tie to the application.
class FrameOwner {
public:
    virtual void placeDisplay(bool separated) = 0;
    virtual void showAbout(QWidget* parent) = 0;

protected:
    ~FrameOwner() = default;
};

}  // namespace tessarin
