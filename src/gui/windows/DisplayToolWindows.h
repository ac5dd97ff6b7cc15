#pragma once

// The field display's tool windows: the object details, the drawing tools and the present
// dialog. The display knows none of them; this object makes them and wires them to it
// (the details follow its window and show what it painted, the drawing tools choose what
// a click draws, the present dialog chooses its overlay). The main frame owns one per
// display; tests of the display make their own.

#include <QObject>
#include <QPointer>
#include <QStringList>

namespace tessarin {

class CDisplayer;
class CDrawingBox;
class CObjectDetailDialog;
class CPresentDialog;
class Profile;

class DisplayToolWindows final : public QObject {
    Q_OBJECT

public:
    // The details window is made at once (hidden), for it is filled at every paint; the
    // other two on first use. All three are children of the display's widget.
    DisplayToolWindows(CDisplayer& display, Profile& profile);
    // Destroys the windows, which write their settings, while the display still exists.
    ~DisplayToolWindows() override;
    DisplayToolWindows(const DisplayToolWindows&) = delete;
    DisplayToolWindows& operator=(const DisplayToolWindows&) = delete;

    // Shows each window when hidden, hides it (keeping its choice) when shown.
    void toggleDetails();
    void toggleDrawingBox();
    void togglePresent();

    CObjectDetailDialog* details() const;
    // None until first shown.
    CDrawingBox* drawingBox() const;
    CPresentDialog* presentDialog() const;

signals:
    // Game files dropped on one of the windows.
    void filesDropped(const QStringList& paths);
    // A line for the status bar from one of the windows.
    void notice(const QString& text);

private:
    void ensureDrawingBox();
    void ensurePresent();

    CDisplayer& display_;
    Profile& profile_;
    QPointer<CObjectDetailDialog> details_;
    QPointer<CDrawingBox> drawingBox_;
    QPointer<CPresentDialog> present_;
};

}  // namespace tessarin
