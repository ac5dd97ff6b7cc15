#pragma once

// The object details window: a tool window of the display with eleven rows of two
// columns of the selected object's values and a read-only box of its received messages,
// filled after every paint. It opens beside the display's window, follows it when that
// moves (staying on screen), and can be shown opaque, half transparent, or with only its
// texts seen where the window system composes translucent windows.

#include <QRect>
#include <array>
#include <functional>
#include <optional>
#include "windows/ForwardingDialog.h"

#include "display/ObjectDetails.h"

class QLabel;
class QPlainTextEdit;

namespace tessarin {

class Profile;

enum DetailTransparency : int { kTransparent = 0, kOpaque = 1, kAlpha = 2 };

// Control ids of the rows 1..11, left and right column, and of the message box.
inline constexpr std::array<int, kDetailRows> kDetailLeftIds = {1011, 1015, 1025, 1023, 1009, 1013,
                                                                1017, 1019, 1020, 1027, 1029};
inline constexpr std::array<int, kDetailRows> kDetailRightIds = {1012, 1016, 1006, 1024, 1010, 1014,
                                                                 1018, 1021, 1026, 1028, 1030};
inline constexpr int kDetailMessageId = 1022;

class CObjectDetailDialog final : public ForwardingDialog {
    Q_OBJECT

public:
    // Reads its transparency ("ODWindow") and its last position from section "Displayer".
    CObjectDetailDialog(Profile& profile, QWidget* display);
    // Writes them back.
    ~CObjectDetailDialog() override;

    // Shows the texts; none (no current record) keeps the present ones.
    void refresh(const std::optional<DetailTexts>& texts);
    QString line(int row, int column) const;
    QString messages() const;

    // The chosen mode, kept in the settings even where it cannot be applied.
    int transparency() const { return transparency_; }
    void setTransparency(int mode);
    // The mode the window shows: the chosen one, or opaque without translucent windows.
    int appliedTransparency() const;
    // Whether the window system composes translucent windows here (a Wayland compositor,
    // or an X11 compositing manager).
    static bool layeredWindowsAvailable();

    // The reference window (the main frame, or the display's own window) now has this
    // frame rectangle: the first call records it, later calls move this window by the
    // change of its top-left corner.
    void followReference(const QRect& reference);
    // Starts following anew: the next reference rectangle is only recorded.
    void resetReference() { reference_.reset(); }

    void accept() override {}  // OK does nothing
    void reject() override { hide(); }

signals:
    // Said once: a see-through mode was asked for where windows cannot be translucent.
    void notice(const QString& text);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyTransparency();
    // Widens a label that its text would not fit; labels never shrink, so the window does
    // not jump from cycle to cycle.
    void fitLabel(QLabel& label);
    // Beside the display's window, on its screen.
    void placeBesideDisplay();
    void keepOnScreen();
    void sayWhenOpaqueInstead();

    Profile& profile_;
    QWidget& display_;
    bool placed_ = false;  // a stored position or an earlier showing placed the window
    bool fallbackSaid_ = false;
    std::array<std::array<QLabel*, 2>, kDetailRows> labels_{};
    QPlainTextEdit* messageBox_ = nullptr;
    int transparency_ = kTransparent;
    std::optional<QRect> reference_;
};

}  // namespace tessarin
