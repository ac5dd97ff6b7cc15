#include "app/DigitRowKeys.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tessarin {

namespace {

// XKB keycodes (evdev + 8) of the US keys "1" and "-".
constexpr quint32 kFirstDigitKeycode = 10;
constexpr quint32 kMinusKeycode = 20;

// Where digits are typed they stay digits.
bool typingText() {
    const QWidget* focus = QApplication::focusWidget();
    return qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus) ||
           qobject_cast<const QTextEdit*>(focus) || qobject_cast<const QPlainTextEdit*>(focus);
}

}  // namespace

DigitRowKeys::DigitRowKeys(std::function<void(int, bool)> select, bool active, QObject* parent)
    : QObject(parent), select_(std::move(select)), active_(active) {}

bool DigitRowKeys::platformReportsXkbKeycodes() {
    const QString platform = QGuiApplication::platformName();
    return platform == QStringLiteral("xcb") || platform.startsWith(QStringLiteral("wayland"));
}

int DigitRowKeys::playerOfKeycode(quint32 keycode) {
    if (keycode < kFirstDigitKeycode || keycode > kMinusKeycode) return 0;
    return static_cast<int>(keycode - kFirstDigitKeycode) + 1;
}

bool DigitRowKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (!active_ || (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const int unum = playerOfKeycode(key->nativeScanCode());
    const Qt::KeyboardModifiers others = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (unum == 0 || others != Qt::NoModifier || (key->modifiers() & Qt::KeypadModifier) || typingText()) {
        return QObject::eventFilter(watched, event);
    }
    // Taking the override keeps the shortcuts from reading the key's character; the key
    // press that follows selects.
    event->accept();
    if (type == QEvent::KeyPress && select_) select_(unum, (key->modifiers() & Qt::ShiftModifier) != 0);
    return true;
}

}  // namespace tessarin
