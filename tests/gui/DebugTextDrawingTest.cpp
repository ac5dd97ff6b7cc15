// The drawing of a client's "(debug" message, checked on rendered pixels.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include "display/DebugTextOverlay.h"
#include "display/Displayer.h"
#include "display/FieldRenderer.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

TEST(DebugTextDrawingTest, TargetsMarkingsAndPointAreDrawnOnlyWhileDebugIsOn) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(1150, 850));  // 10 pixels per metre, centre spot at (575, 460)
    DebugTextOverlay overlay(renderer);
    renderer.addOverlay(OverlayStage::VisualObjects, &overlay);
    FieldScene scene;
    // Own (left) player 4 at (-30, 20), opponent 9 at (10, 20).
    scene.setCurrent(showRecord(ShowBuilder(1).player(3, 1, 0, -30, 20).player(19, 1, 0, 10, 20).build()));
    scene.selected = kSelectNothing;
    scene.debugText = "(debug 1 0 0 2 3 10.00 -20.00 0.75 4 9 A 5 6 B shoot (-10.00,-20.00) tm 4.00)";
    DisplayOptions options;
    options.Stamina = options.Kickmargin = options.Number = options.Viewarea = false;
    options.debug = true;
    auto at = [](const QImage& image, double x, double y) {
        return image.pixelColor(static_cast<int>(575 + x * 10), static_cast<int>(460 + y * 10));
    };
    const QImage on = renderer.compose(scene, options);
    EXPECT_EQ(at(on, 10, -20), QColor(255, 255, 10));  // the target's marker
    EXPECT_EQ(at(on, -10, -20), QColor(255, 0, 255));  // the named point
    EXPECT_EQ(at(on, -20, 20), QColor(0, 0, 255));     // on the marking line from 4 to 9
    // The pair 5-6 names players who are not on the field: nothing is drawn for it.
    options.debug = false;
    const QImage off = renderer.compose(scene, options);
    EXPECT_EQ(at(off, 10, -20), QColor(0, 96, 0));
    EXPECT_EQ(at(off, -20, 20), QColor(0, 96, 0));
    renderer.removeOverlay(&overlay);
}

// Counts the paint events of the widget it watches.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST(DebugTextDrawingTest, ANewMessageIsDrawnWhileTheGameStandsStill) {
    TempProfile settings;
    const auto profile = settings.open();
    CDisplayer display(*profile);
    display.resize(400, 300);
    display.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
    display.toggleClientOption(ClientOption::Debug);
    PaintCounter counter;
    display.installEventFilter(&counter);
    display.repaint();
    // Let every paint already asked for happen: until a round of the event loop paints
    // nothing more.
    int settled = -1;
    for (int round = 0; round < 100 && settled != counter.paints; ++round) {
        settled = counter.paints;
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    const int before = counter.paints;
    ASSERT_GT(before, 0);
    // No record arrives: the message alone must bring the display up to date.
    display.SetDebugText("(debug 1 0 0 1 0 10.00 -20.00 0.75)");
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > before; }, 10000));
    display.removeEventFilter(&counter);
}

}  // namespace
}  // namespace tessarin::test
