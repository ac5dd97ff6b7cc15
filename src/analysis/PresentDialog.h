#pragma once

// "Present": a small tool window of six buttons that chooses what the field display
// overlays from the behaviour analysis: the shots, dribbles, passes or interceptions of
// the selected player, the whole track of the selected object, or nothing. It holds
// only the mode; the display draws it.

#include <functional>

#include "display/ForwardingDialog.h"

namespace tessarin {

class CPresentDialog final : public ForwardingDialog {
    Q_OBJECT

public:
    // `redraw` is called whenever the mode changes; `display` owns the dialog.
    CPresentDialog(QWidget* display, std::function<void()> redraw);

    int Mode() const { return mode_; }
    // Sets the mode as its button does, and has the display redrawn.
    void setMode(int mode);
    // Escape or the close box: back to no overlay, and hidden (not destroyed).
    void reject() override;
    void accept() override {}

private:
    std::function<void()> redraw_;
    int mode_ = 0;
};

}  // namespace tessarin
