// The drawings: their hit tests, how two clicks make them, what they describe, and Delete.

#include <gtest/gtest.h>

#include "display/VisualObject.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

class VisualObjectTest : public ::testing::Test {
protected:
    // 10 pixels per metre, the centre spot at (575, 460).
    void SetUp() override { ASSERT_TRUE(renderer.prepare(1150, 850)); }
    static QPoint pixel(double x, double y) {
        return QPoint(static_cast<int>(575 + x * 10), static_cast<int>(460 + y * 10));
    }
    std::unique_ptr<CVisualLine> line(QPoint a, QPoint b) {
        auto made = std::make_unique<CVisualLine>(renderer, a);
        made->Track(Qt::NoModifier, b);
        return made;
    }

    FieldRenderer renderer;
};

TEST_F(VisualObjectTest, LineIsHitWithinThreePixelsAndNotBeyondItsEnds) {
    CVisualLine made(renderer, QPoint(100, 100));
    EXPECT_FALSE(made.HitTest(Qt::NoModifier, QPoint(100, 100)));  // unfinished
    made.Track(Qt::NoModifier, QPoint(200, 100));
    EXPECT_TRUE(made.finished());
    EXPECT_TRUE(made.IsSelected());
    EXPECT_TRUE(made.HitTest(Qt::NoModifier, QPoint(150, 103)));
    EXPECT_FALSE(made.HitTest(Qt::NoModifier, QPoint(150, 104)));
    EXPECT_FALSE(made.HitTest(Qt::NoModifier, QPoint(96, 100)));
    EXPECT_TRUE(made.HitTest(Qt::NoModifier, QPoint(97, 100)));
    // A later click elsewhere deselects it, one on it selects it again.
    made.Track(Qt::NoModifier, QPoint(150, 120));
    EXPECT_FALSE(made.IsSelected());
    made.Track(Qt::NoModifier, QPoint(150, 101));
    EXPECT_TRUE(made.IsSelected());
    // A steep line is tested along y.
    const auto steep = line(QPoint(300, 100), QPoint(310, 200));
    EXPECT_TRUE(steep->HitTest(Qt::NoModifier, QPoint(308, 150)));
    EXPECT_FALSE(steep->HitTest(Qt::NoModifier, QPoint(309, 150)));
}

TEST_F(VisualObjectTest, LineAnglesAndDescription) {
    EXPECT_DOUBLE_EQ(line(pixel(10, 0), pixel(0, 0))->angle(), -180.0);
    EXPECT_NEAR(line(pixel(10, 0), pixel(0, 10))->angle(), 135.0, 1e-6);
    EXPECT_NEAR(line(pixel(0, 0), pixel(10, 10))->angle(), 45.0, 1e-6);
    EXPECT_NEAR(line(pixel(0, 0), pixel(10, -10))->angle(), -45.0, 1e-6);
    const auto made = line(pixel(0, 0), pixel(3, 4));
    EXPECT_DOUBLE_EQ(made->length(), 5.0);
    EXPECT_EQ(made->Describe(), QStringLiteral("(0.00,0.00)->(3.00,4.00) (L:5.00) (A:53.13)"));
}

TEST_F(VisualObjectTest, RectangleIsHitOnItsBorderOnly) {
    CVisualRect rect(renderer, QPoint(300, 200));
    rect.Track(Qt::NoModifier, QPoint(200, 100));  // corners in any order
    EXPECT_TRUE(rect.HitTest(Qt::NoModifier, QPoint(250, 102)));
    EXPECT_TRUE(rect.HitTest(Qt::NoModifier, QPoint(298, 150)));
    EXPECT_TRUE(rect.HitTest(Qt::NoModifier, QPoint(197, 197)));
    EXPECT_FALSE(rect.HitTest(Qt::NoModifier, QPoint(250, 150)));
    EXPECT_FALSE(rect.HitTest(Qt::NoModifier, QPoint(303, 150)));  // right edge of the grown box excluded
    const QPoint a = pixel(-10, -5);
    CVisualRect described(renderer, a);
    described.Track(Qt::NoModifier, pixel(10, 5));
    EXPECT_EQ(described.Describe(), QStringLiteral("(-10.00,-5.00) (10.00,5.00) (20.00*10.00)"));
    // A rectangle of no width has degenerate sides; it is hit along its one line.
    CVisualRect flat(renderer, QPoint(400, 100));
    flat.Track(Qt::NoModifier, QPoint(400, 200));
    EXPECT_TRUE(flat.HitTest(Qt::NoModifier, QPoint(401, 150)));
    EXPECT_FALSE(flat.HitTest(Qt::NoModifier, QPoint(410, 150)));
}

TEST_F(VisualObjectTest, TwoClicksOnOnePixelLeaveTheDrawingUnfinished) {
    VisualObjectList list;
    list.append(makeVisualObject(kToolLine, renderer, QPoint(50, 50)));
    EXPECT_FALSE(list.track(Qt::NoModifier, QPoint(50, 50)));
    const auto& made = dynamic_cast<const CVisualLine&>(list.at(0));
    EXPECT_FALSE(made.finished());
    QImage image(1150, 850, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        made.Draw(painter);
    }
    EXPECT_EQ(image.pixelColor(50, 50), QColor(Qt::black));
    EXPECT_TRUE(list.track(Qt::NoModifier, QPoint(90, 50)));
    EXPECT_TRUE(made.finished());
    EXPECT_EQ(makeVisualObject(kToolSelect, renderer, QPoint()), nullptr);
    EXPECT_EQ(makeVisualObject(kToolNone, renderer, QPoint()), nullptr);
}

TEST_F(VisualObjectTest, CircleKeepsItsPixelsAfterAZoom) {
    CVisualCircle circle(renderer, pixel(0, 0));
    circle.Track(Qt::NoModifier, pixel(3, 4));
    EXPECT_EQ(circle.radius(), 50);
    EXPECT_EQ(circle.Describe(), QStringLiteral("(0.00,0.00) (5.00)"));
    EXPECT_TRUE(circle.HitTest(Qt::NoModifier, pixel(0, 5.3)));
    EXPECT_FALSE(circle.HitTest(Qt::NoModifier, pixel(0, 0)));
    renderer.zoom(575, 460, true);
    EXPECT_EQ(circle.radius(), 50);
    EXPECT_EQ(circle.Describe(), QStringLiteral("(0.00,2.92) (4.17)"));
}

TEST_F(VisualObjectTest, PointAndDeleteKeepTheOrderOfTheRest) {
    VisualObjectList list;
    // The second and fourth points share a spot, so one click selects both.
    for (const int x : {100, 120, 140, 120, 180}) list.append(makeVisualObject(kToolPoint, renderer, QPoint(x, 100)));
    EXPECT_EQ(list.at(0).Describe(), QStringLiteral("(-47.50,-36.00)"));
    EXPECT_FALSE(list.deleteSelected());
    EXPECT_FALSE(list.at(0).HitTest(Qt::NoModifier, QPoint(103, 100)));  // right edge excluded
    EXPECT_TRUE(list.at(0).HitTest(Qt::NoModifier, QPoint(97, 97)));
    EXPECT_TRUE(list.track(Qt::NoModifier, QPoint(122, 102)));
    EXPECT_TRUE(list.at(1).IsSelected());
    EXPECT_TRUE(list.at(3).IsSelected());
    EXPECT_FALSE(list.at(0).IsSelected());
    EXPECT_TRUE(list.deleteSelected());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.at(0).Describe(), QStringLiteral("(-47.50,-36.00)"));
    EXPECT_EQ(list.at(1).Describe(), QStringLiteral("(-43.50,-36.00)"));
    EXPECT_EQ(list.at(2).Describe(), QStringLiteral("(-39.50,-36.00)"));
}

}  // namespace
}  // namespace tessarin::test
