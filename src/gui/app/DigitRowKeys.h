#pragma once

// The digit row selects players by where its keys sit, whatever the keyboard layout. On
// layouts that give the digits only with Shift (AZERTY and others) the unshifted keys give
// punctuation, which the shortcuts would take for other commands ("&" is right player 7);
// X11 and Wayland report each key's place as its XKB keycode, which this filter reads.

#include <QObject>
#include <functional>

namespace tessarin {

class DigitRowKeys final : public QObject {
    Q_OBJECT

public:
    // `select(unum, right)` selects left player `unum` (1..11), or the right one with
    // Shift. Inactive, the filter lets every key through (platforms without XKB keycodes).
    DigitRowKeys(std::function<void(int unum, bool right)> select, bool active, QObject* parent = nullptr);

    // Whether the platform's key events carry XKB keycodes (X11, Wayland).
    static bool platformReportsXkbKeycodes();
    // The player of the digit-row key with this XKB keycode: 10..19 are the keys "1".."0"
    // of a US keyboard, 20 the key right of "0"; 0 for any other key.
    static int playerOfKeycode(quint32 keycode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(int, bool)> select_;
    bool active_ = false;
};

}  // namespace tessarin
