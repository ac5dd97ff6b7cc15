// The field's mapping, zoom and drawing, checked on rendered pixels.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "display/DisplayOptions.h"
#include "display/DisplayPalette.h"
#include "display/FieldPainter.h"
#include "display/FieldRenderer.h"
#include "display/FieldScene.h"
#include "display/FieldView.h"
#include "gui/GuiTestSupport.h"
#include "record/ByteOrder.h"

namespace tessarin::test {
namespace {

const QColor kField(0, 96, 0);
const QColor kYellow(255, 255, 10);
const QColor kCyan(128, 255, 255);
const QColor kRed(200, 0, 0);
const QColor kMagenta(255, 0, 255);
const QColor kHighlight(213, 117, 117);
const QColor kWhite(255, 255, 255);

TEST(FieldViewTest, FitsByAspectRatio) {
    FieldView view;
    view.fit(800, 600);  // ratio 1.33: width decides
    EXPECT_NEAR(view.scale(), 800.0 / 115.0, 1e-12);
    EXPECT_EQ(view.centreX(), 400);
    EXPECT_EQ(view.centreY(), 324);

    view.fit(1000, 500);  // ratio 2.0: height decides
    EXPECT_NEAR(view.scale(), 500.0 / 85.0, 1e-12);
    EXPECT_EQ(view.centreX(), 500);
    EXPECT_EQ(view.centreY(), 270);
}

TEST(FieldViewTest, MappingRoundTripsAndTruncates) {
    FieldView view;
    view.fit(800, 600);
    EXPECT_EQ(view.pixelX(-52.5), static_cast<int>(400 - 52.5 * view.scale()));
    EXPECT_NEAR(view.ToWorldX(view.pixelX(10.0)), 10.0, 1.0 / view.scale());
    EXPECT_NEAR(view.ToWorldY(324), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(view.ToPixels(2.0), 2.0 * view.scale());
}

TEST(FieldViewTest, TooSmallAreasAreNotPainted) {
    EXPECT_FALSE(FieldView::paintable(79, 600));
    EXPECT_FALSE(FieldView::paintable(800, 49));
    EXPECT_TRUE(FieldView::paintable(80, 50));
    FieldRenderer renderer;
    EXPECT_FALSE(renderer.prepare(79, 600));
    EXPECT_TRUE(renderer.size().isEmpty());
}

TEST(FieldViewTest, ZoomTwiceMultipliesByOnePointFourFourAndResizeRefits) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(800, 600));
    const double fitted = renderer.view().scale();
    renderer.zoom(500, 300, true);
    renderer.zoom(500, 300, true);
    EXPECT_NEAR(renderer.view().scale(), fitted * 1.44, 1e-9);
    // The clicked world point is moved toward the middle, with the scale before the step.
    FieldView expected;
    expected.fit(800, 600);
    const double wx = expected.ToWorldX(500);
    EXPECT_EQ(expected.centreX(), 400);
    FieldRenderer once;
    ASSERT_TRUE(once.prepare(800, 600));
    once.zoom(500, 300, true);
    EXPECT_EQ(once.view().centreX(), static_cast<int>(-wx * fitted + 400));

    renderer.zoom(100, 100, false);
    EXPECT_NEAR(renderer.view().scale(), fitted * 1.2, 1e-9);

    // A new size fits the view again; the same size keeps the zoom.
    ASSERT_TRUE(renderer.prepare(800, 600));
    EXPECT_NEAR(renderer.view().scale(), fitted * 1.2, 1e-9);
    ASSERT_TRUE(renderer.prepare(800, 601));
    EXPECT_NEAR(renderer.view().scale(), 800.0 / 115.0, 1e-12);
}

TEST(FieldViewTest, ZoomStopsBeforeCoordinatesOverflow) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(800, 600));
    for (int i = 0; i < 200; ++i) renderer.zoom(400, 300, true);
    EXPECT_LT(renderer.view().scale(), 2000.0 * 1.2);
    EXPECT_LT(std::abs(renderer.view().ToScreenX(52.5)), 1.0e9);
}

TEST(FieldDrawingTest, AnglesAreBroughtIntoHalfOpenRange) {
    EXPECT_NEAR(normalizeAngle(kDisplayPi), kDisplayPi, 1e-12);
    EXPECT_NEAR(normalizeAngle(-kDisplayPi), kDisplayPi, 1e-12);
    EXPECT_NEAR(normalizeAngle(3 * kDisplayPi / 2), -kDisplayPi / 2, 1e-12);
    EXPECT_NEAR(normalizeAngle(-5 * kDisplayPi / 2), -kDisplayPi / 2, 1e-9);
    EXPECT_EQ(normalizeAngle(std::nan("")), 0.0);
}

TEST(FieldDrawingTest, PlayerLookFollowsModeBitsInOrder) {
    const DisplayPalette palette;
    EXPECT_EQ(playerLook(palette, 0, 1, kSelectBall).fill.color(), kYellow);
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0008, kSelectBall).fill.color(), kCyan);
    EXPECT_EQ(playerLook(palette, 11, 1, kSelectBall).fill.color(), kRed);
    EXPECT_EQ(playerLook(palette, 11, 1 | 0x0008, kSelectBall).fill.color(), kMagenta);
    EXPECT_EQ(playerLook(palette, 11, 1 | 0x0008, kSelectBall).text, kMagenta);
    // A selected left goalie is highlighted; colliding with the ball it is white.
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0008, 0).fill.color(), kHighlight);
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0008 | 0x0040, 0).fill.color(), kWhite);
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0080, kSelectBall).fill.color(), kWhite);
    // The text colour stays the side's colour.
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0040, 0).text, kYellow);
    // Outline: 0x2020 before 0x0004 before 0x1010 before 0x0002 before 0x0C00.
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0004 | 0x0020, 0).outline.color(), QColor(255, 128, 255));
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0004 | 0x1000, 0).outline.color(), QColor(200, 0, 0));
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0010 | 0x0002, 0).outline.color(), QColor(255, 255, 0));
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0002 | 0x0400, 0).outline.color(), kWhite);
    EXPECT_EQ(playerLook(palette, 0, 1 | 0x0800, 0).outline.color(), kHighlight);
    EXPECT_EQ(playerLook(palette, 0, 1, 0).outline.color(), QColor(0, 0, 0));
}

TEST(FieldDrawingTest, BodyRadiusScalesWithPlayerScale) {
    FieldView view;
    view.fit(1150, 850);  // 10 pixels per metre
    ASSERT_NEAR(view.scale(), 10.0, 1e-12);
    EXPECT_EQ(bodyRadius(view, 1.085, 5.0), view.pixels(1.085));
    EXPECT_EQ(bodyRadius(view, 1.085, 1.0), view.pixels(1.085 / 5));
    EXPECT_EQ(bodyRadius(view, 1.085, 3.0), 6);
}

TEST(FieldDrawingTest, HeaderTextsWithAndWithoutRecord) {
    FieldScene scene;
    HeaderTexts empty = headerTexts(scene);
    EXPECT_EQ(empty.leftName, "Left");
    EXPECT_EQ(empty.rightName, "Right");
    EXPECT_EQ(empty.leftScore, " 0");
    EXPECT_EQ(empty.playMode, "");
    EXPECT_EQ(empty.time, "0");

    scene.setCurrent(showRecord(ShowBuilder(1234).playmode(PM_PlayOn).team(0, "Alpha", 3).team(1, "Beta", 12).build()));
    const HeaderTexts texts = headerTexts(scene);
    EXPECT_EQ(texts.leftName, "Alpha");
    EXPECT_EQ(texts.rightName, "Beta");
    EXPECT_EQ(texts.leftScore, " 3");
    EXPECT_EQ(texts.rightScore, "12");
    EXPECT_EQ(texts.playMode, "play_on");
    EXPECT_EQ(texts.time, "1234");

    // A sight record keeps the last show copy but shows no names, scores or play mode.
    cycle_info_t sight;
    sight.kind = kSightRecord;
    sight.data[0] = 77;
    scene.setCurrent(sight);
    EXPECT_EQ(scene.state.team[0].name, "Alpha");
    const HeaderTexts sightTexts = headerTexts(scene);
    EXPECT_EQ(sightTexts.leftName, "Left");
    EXPECT_EQ(sightTexts.leftScore, " 0");
    EXPECT_EQ(sightTexts.playMode, "");
    EXPECT_EQ(sightTexts.time, "77");

    cycle_info_t sight2;
    sight2.kind = kSightRecordV2;
    sight2.data[4] = 10;
    sight2.data[6] = 2;
    scene.setCurrent(sight2);
    EXPECT_EQ(headerTexts(scene).time, "10 : 2");
}

TEST(FieldDrawingTest, PlayerReachComesFromItsType) {
    FieldScene scene;
    scene.setCurrent(showRecord(ShowBuilder(1).player(0, 1, 2, 0, 0).player(1, 1, 9, 5, 0).build()));
    player_type_t type{};
    type.id = hostToNet16(2);
    type.player_size = hostToNet32(toFixed(0.4));
    type.kickable_margin = hostToNet32(toFixed(0.5));
    scene.setPlayerTypes({type}, 0.1);
    EXPECT_NEAR(scene.kickRange[0], 1.0, 1e-4);
    EXPECT_NEAR(scene.playerSize[0], 0.4, 1e-4);
    // Unknown type 9: the defaults 0.3 + 0.7 and the ball.
    EXPECT_NEAR(scene.kickRange[1], 1.1, 1e-9);
}

class FieldPixelTest : public ::testing::Test {
protected:
    // 1150 x 850 gives 10 pixels per metre and centre (575, 460).
    static constexpr int kWidth = 1150;
    static constexpr int kHeight = 850;

    QImage render(const show_info_t& show, int selected = kSelectBall) {
        FieldScene scene;
        scene.setCurrent(showRecord(show));
        scene.setPlayerTypes({}, kDefaultBallSize);
        scene.selected = selected;
        return renderField(scene, options, kWidth, kHeight);
    }
    static int sx(double x) { return static_cast<int>(575 + x * 10.0); }
    static int sy(double y) { return static_cast<int>(460 + y * 10.0); }
    // A point of the body's front half, off its radius line (face direction 0 is +x).
    static QColor bodyColour(const QImage& image, double x, double y) { return image.pixelColor(sx(x) + 2, sy(y) + 3); }

    DisplayOptions options;
};

TEST_F(FieldPixelTest, FieldMarkingsAndColours) {
    const QImage image = render(ShowBuilder(1).build());
    EXPECT_EQ(image.pixelColor(sx(-30), sy(-20)), kField);
    EXPECT_EQ(image.pixelColor(2, kHeight - 2), kField);
    // Halfway line and boundary are white.
    EXPECT_EQ(image.pixelColor(sx(0), sy(10)), kWhite);
    EXPECT_EQ(image.pixelColor(sx(-30), sy(-34)), kWhite);
    EXPECT_EQ(image.pixelColor(sx(52.5), sy(20)), kWhite);
    // The centre circle passes 9.15 m right of the centre spot.
    const int r9 = static_cast<int>(9.15 * 10 + 1);
    bool found = false;
    for (int dx = -1; dx <= 1; ++dx) found |= image.pixelColor(sx(0) + r9 + dx, sy(0)) == kWhite;
    EXPECT_TRUE(found);
    // Goals are black on the goal lines.
    EXPECT_EQ(image.pixelColor(sx(-52.5), sy(0)), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(sx(52.5), sy(3)), QColor(0, 0, 0));
    // Penalty spot: the pixel above it and the spot itself, not the one below.
    EXPECT_EQ(image.pixelColor(sx(-41.5), sy(0) - 1), kWhite);
    EXPECT_EQ(image.pixelColor(sx(-41.5), sy(0) + 1), kField);
}

TEST_F(FieldPixelTest, PlayersAreFilledBySideRoleAndState) {
    options.Stamina = false;
    const show_info_t show = ShowBuilder(1)
                                 .player(0, 1 | 0x0008, 0, -40, 0)  // left goalie
                                 .player(1, 1, 0, -20, 10)          // left player
                                 .player(2, 1, 0, -10, -10)         // selected below
                                 .player(3, 1 | 0x0040, 0, 0, 20)   // colliding
                                 .player(11, 1, 0, 20, 10)          // right player
                                 .player(12, 1 | 0x0008, 0, 40, 0)  // right goalie
                                 .ball(30, -20)
                                 .build();
    const QImage image = render(show, 2);
    EXPECT_EQ(bodyColour(image, -40, 0), kCyan);
    EXPECT_EQ(bodyColour(image, -20, 10), kYellow);
    EXPECT_EQ(bodyColour(image, -10, -10), kHighlight);
    EXPECT_EQ(bodyColour(image, 0, 20), kWhite);
    EXPECT_EQ(bodyColour(image, 20, 10), kRed);
    EXPECT_EQ(bodyColour(image, 40, 0), kMagenta);
    // The ball: white with a black centre pixel.
    EXPECT_EQ(image.pixelColor(sx(30), sy(-20)), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(sx(30) + 1, sy(-20) + 1), kWhite);
}

TEST_F(FieldPixelTest, PlayerWithModeZeroIsNotDrawn) {
    const QImage image = render(ShowBuilder(1).player(4, 0, 0, -20, 10).build());
    EXPECT_EQ(bodyColour(image, -20, 10), kField);
}

TEST_F(FieldPixelTest, StaminaFillsTheBackHalfInGrey) {
    show_info_t show = ShowBuilder(1).player(1, 1, 0, -20, 10).player(2, 1, 0, 10, 10).build();
    // Full stamina on player 1, none on player 2.
    show.player[1].stamina = hostToNet32(toFixed(8000));
    const QImage image = render(show);
    // Body angle 0: the back half is to the left of the centre.
    EXPECT_EQ(image.pixelColor(sx(-20) - 2, sy(10) + 3), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(sx(10) - 2, sy(10) + 3), kWhite);
    EXPECT_EQ(bodyColour(image, -20, 10), kYellow);
    options.Stamina = false;
    const QImage plain = render(show);
    EXPECT_EQ(plain.pixelColor(sx(-20) - 2, sy(10) + 3), kYellow);
}

TEST_F(FieldPixelTest, KickMarginCircleAndLabels) {
    options.Stamina = false;
    const show_info_t show = ShowBuilder(1).player(1, 1, 0, -20, 10).build();
    const QImage with = render(show);
    // Kickable distance 1.085 m: the circle passes 10 pixels left of the centre.
    auto leftEdge = [&](const QImage& image) {
        return image.pixelColor(sx(-20) - 10, sy(10)) == QColor(0, 0, 0) ||
               image.pixelColor(sx(-20) - 10, sy(10) - 1) == QColor(0, 0, 0);
    };
    EXPECT_TRUE(leftEdge(with));
    options.Kickmargin = false;
    const QImage without = render(show);
    EXPECT_FALSE(leftEdge(without));

    // The number label sits up and right of the body in the side's colour.
    auto countColour = [](const QImage& image, QRect rect, const QColor& colour) {
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) n += image.pixelColor(x, y) == colour;
        }
        return n;
    };
    const QRect labelArea(sx(-20) + 6, sy(10) - 6, 20, 20);
    EXPECT_GT(countColour(without, labelArea, kYellow), 0);
    options.Number = false;
    EXPECT_EQ(countColour(render(show), labelArea, kYellow), 0);
}

TEST_F(FieldPixelTest, HeaderIsWrittenInBlackAboveTheField) {
    auto blackIn = [](const QImage& image, QRect rect) {
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) n += image.pixelColor(x, y) == QColor(0, 0, 0);
        }
        return n;
    };
    const QRect leftName(sx(-44.5), 0, 150, sy(-34));
    const QRect playMode(sx(-20), 0, 180, sy(-34));
    const QImage named = render(ShowBuilder(1).playmode(PM_PlayOn).team(0, "WWWWWWWW", 0).team(1, "Beta", 0).build());
    const QImage unnamed = render(ShowBuilder(1).team(0, "", 0).build());
    EXPECT_GT(blackIn(named, leftName), blackIn(unnamed, leftName));
    EXPECT_GT(blackIn(named, playMode), 0);
    EXPECT_EQ(blackIn(unnamed, playMode), 0);
}

TEST_F(FieldPixelTest, ViewConeOnlyForTheSelectedPlayer) {
    options.Stamina = false;
    const show_info_t show = ShowBuilder(1).player(1, 1, 0, -20, 10).build();
    // The 3 m circle of the view passes 30 pixels above the player.
    auto topOfCircle = [&](const QImage& image) {
        int n = 0;
        for (int dx = -1; dx <= 1; ++dx) n += image.pixelColor(sx(-20) + dx, sy(10) - 30) == QColor(0, 0, 0);
        return n;
    };
    EXPECT_GT(topOfCircle(render(show, 1)), 0);
    EXPECT_EQ(topOfCircle(render(show, kSelectBall)), 0);
}

}  // namespace
}  // namespace tessarin::test
