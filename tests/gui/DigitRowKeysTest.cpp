// The digit row selects players by its keys' places, as an AZERTY keyboard reports them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <vector>

#include "app/DigitRowKeys.h"

namespace tessarin {
namespace {

struct Selection {
    int unum;
    bool right;
    bool operator==(const Selection&) const = default;
};

class DigitRowKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.setFocus();
        qApp->installEventFilter(&filter);
    }
    // A key of the digit row as X11 delivers it: its keycode, and what the layout makes of it.
    bool press(quint32 keycode, Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               QWidget* target = nullptr) {
        QWidget* to = target ? target : &window;
        QKeyEvent override(QEvent::ShortcutOverride, key, modifiers, keycode, 0, 0, text);
        QApplication::sendEvent(to, &override);
        QKeyEvent event(QEvent::KeyPress, key, modifiers, keycode, 0, 0, text);
        QApplication::sendEvent(to, &event);
        return override.isAccepted();
    }

    std::vector<Selection> selected;
    DigitRowKeys filter{[this](int unum, bool right) { selected.push_back({unum, right}); }, true};
    QWidget window;
};

TEST_F(DigitRowKeysTest, TheKeysPlaceChoosesThePlayerNotItsCharacter) {
    // AZERTY: the key "1" gives "&" unshifted and "1" with Shift; the key right of "0" gives ")".
    EXPECT_TRUE(press(10, Qt::Key_Ampersand, QStringLiteral("&")));
    press(10, Qt::Key_1, QStringLiteral("1"), Qt::ShiftModifier);
    press(19, Qt::Key_Agrave, QStringLiteral("\u00e0"));
    press(20, Qt::Key_ParenRight, QStringLiteral(")"));
    EXPECT_EQ(selected, (std::vector<Selection>{{1, false}, {1, true}, {10, false}, {11, false}}));
}

TEST_F(DigitRowKeysTest, OtherKeysChordsAndTypedTextPassThrough) {
    EXPECT_FALSE(press(24, Qt::Key_A, QStringLiteral("a")));                       // not the digit row
    EXPECT_FALSE(press(10, Qt::Key_1, QStringLiteral("1"), Qt::ControlModifier));  // a chord of its own
    EXPECT_FALSE(press(0, Qt::Key_1, QStringLiteral("1")));                        // no keycode
    QLineEdit box(&window);
    box.show();
    box.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.hasFocus(); }));
    press(11, Qt::Key_2, QStringLiteral("2"), Qt::NoModifier, &box);
    EXPECT_EQ(box.text(), QStringLiteral("2")) << "a number typed into a box stays a number";
    EXPECT_TRUE(selected.empty());

    DigitRowKeys inactive([this](int unum, bool right) { selected.push_back({unum, right}); }, false);
    qApp->removeEventFilter(&filter);
    qApp->installEventFilter(&inactive);
    window.setFocus();
    press(10, Qt::Key_Ampersand, QStringLiteral("&"));
    EXPECT_TRUE(selected.empty()) << "where keycodes are not XKB's the shortcuts decide";
}

}  // namespace
}  // namespace tessarin
