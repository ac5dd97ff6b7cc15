#pragma once

// "Present": a small tool window of six buttons that chooses what the field display
// overlays from the behaviour analysis: the shots, dribbles, passes or interceptions of
// the selected player, the whole track of the selected object, or nothing. It holds
// only the mode; the display draws it. Its place is kept in section "Present".

#include "windows/ForwardingDialog.h"

namespace tessarin {

class Profile;

class CPresentDialog final : public ForwardingDialog {
    Q_OBJECT

public:
    // The window's place is read from `profile` now and written back whenever it is
    // hidden, and when it is destroyed while shown.
    CPresentDialog(QWidget* display, Profile& profile);
    ~CPresentDialog() override;

    int Mode() const { return mode_; }
    // Sets the mode as its button does, and announces it.
    void setMode(int mode);
    // Escape or the close box: back to no overlay, and hidden (not destroyed).
    void reject() override;
    void accept() override {}

signals:
    void modeChanged(int mode);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    Profile& profile_;
    int mode_ = 0;
};

}  // namespace tessarin
