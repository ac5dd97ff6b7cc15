// The control areas' hatch on rendered pixels: its lattice, its edges, scaled screens,
// smooth drawing and a change of size. A pixel counts as hatch where it differs from the
// same frame drawn without the control areas.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <set>
#include <utility>

#include "display/FieldRenderer.h"
#include "display/OverlayPainter.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kField(0, 96, 0);

// 10 pixels per metre, centre spot at (575, 460).
constexpr int kWidth = 1150;
constexpr int kHeight = 850;
QPoint at(double x, double y) { return QPoint(static_cast<int>(575 + x * 10), static_cast<int>(460 + y * 10)); }

// Left player 1 at (-20, -10), right player 1 at (20, 10); the others are off the field
// and stand on their side's player, so that the two cells are the halves of the field
// on either side of the line 2x + y = 0.
FieldScene twoCells() {
    ShowBuilder show(1);
    for (int k = 0; k < kPlayersPerSide; ++k) {
        show.player(k, k == 0 ? 1 : 0, 0, -20, -10);
        show.player(kPlayersPerSide + k, k == 0 ? 1 : 0, 0, 20, 10);
    }
    show.ball(0, 30);
    FieldScene scene;
    scene.setCurrent(showRecord(show.build()));
    return scene;
}

std::set<QRgb> coloursIn(const QImage& image, const QRect& box) {
    std::set<QRgb> colours;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) colours.insert(image.pixel(x, y) | 0xFF000000U);
    }
    return colours;
}

// Signed distance in pixels of a pixel's centre from the cells' common edge, negative on
// the left cell's side.
double fromEdge(int x, int y) { return (2.0 * (x + 0.5 - 575) + (y + 0.5 - 460)) / std::sqrt(5.0); }

class HatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(renderer.prepare(kWidth, kHeight));
        options.Number = options.Kickmargin = options.Viewarea = options.Velocity = options.Stamina = false;
        options.OffsideLine = options.BallDetail = options.ControlCourse = false;
    }
    QImage draw(bool areas, qreal ratio = 1.0) {
        options.ControlArea = areas;
        return renderer.compose(scene, options, ratio);
    }
    // The hatch pixels of a device-pixel rectangle.
    std::set<std::pair<int, int>> hatchIn(const QImage& on, const QImage& off, const QRect& box) const {
        std::set<std::pair<int, int>> hatch;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                if (on.pixel(x, y) != off.pixel(x, y)) hatch.emplace(x, y);
            }
        }
        return hatch;
    }

    FieldRenderer renderer;
    FieldOverlays overlays{renderer};
    FieldScene scene = twoCells();
    DisplayOptions options;
};

// Open field inside each cell, away from the markings, the bodies and the ball.
const QRect kLeftOpen(at(-31, 13), at(-24, 19));
const QRect kRightOpen(at(24, -19), at(31, -13));

// The positions of a set of pixels within the hatch's period.
std::set<std::pair<int, int>> phases(const std::set<std::pair<int, int>>& pixels) {
    std::set<std::pair<int, int>> result;
    for (const auto& [x, y] : pixels) result.emplace(x % 8, y % 8);
    return result;
}

TEST_F(HatchTest, EachSideHatchesADiagonalCrossFixedToTheWindow) {
    const QImage off = draw(false);
    const QImage on = draw(true);
    for (const auto& [box, colour] : {std::pair{kLeftOpen, kBlue}, std::pair{kRightOpen, kRed}}) {
        const auto hatch = hatchIn(on, off, box);
        // Two lines cross every 8 pixels: a quarter of the area, in the side's colour, the
        // field between them.
        EXPECT_NEAR(static_cast<double>(hatch.size()) / (box.width() * box.height()), 0.25, 0.02);
        EXPECT_TRUE(coloursIn(on, box) == (std::set<QRgb>{kField.rgb(), colour.rgb()}));
        for (const auto& [x, y] : hatch) {
            // Repeated every 8 pixels along both axes, and each pixel on a diagonal line.
            if (box.contains(x + 8, y + 8)) {
                EXPECT_TRUE(hatch.count({x + 8, y}) && hatch.count({x, y + 8})) << x << "," << y;
            }
            if (box.adjusted(1, 1, -1, -1).contains(x, y)) {
                const int diagonal = hatch.count({x - 1, y - 1}) + hatch.count({x + 1, y + 1}) +
                                     hatch.count({x - 1, y + 1}) + hatch.count({x + 1, y - 1});
                EXPECT_GE(diagonal, 2) << x << "," << y;
            }
        }
    }
    // Both sides' lines lie on the same lattice, so that neighbouring cells' lines meet.
    EXPECT_EQ(phases(hatchIn(on, off, kLeftOpen)), phases(hatchIn(on, off, kRightOpen)));
    EXPECT_EQ(phases(hatchIn(on, off, kLeftOpen)).size(), 16U);

    // Smooth drawing blends lines and circles, not the hatch: the same pixels, unblended.
    options.SmoothDrawing = true;
    const QImage smoothOff = draw(false);
    const QImage smoothOn = draw(true);
    EXPECT_EQ(hatchIn(smoothOn, smoothOff, kLeftOpen), hatchIn(on, off, kLeftOpen));
    EXPECT_TRUE(coloursIn(smoothOn, kLeftOpen) == (std::set<QRgb>{kField.rgb(), kBlue.rgb()}));
}

TEST_F(HatchTest, EachCellsHatchStaysInsideItAndReachesItsEdge) {
    const QImage off = draw(false);
    const QImage on = draw(true);
    const QRect field(at(-52.4, -33.9), at(52.6, 34.0));
    int nearEdge[2] = {0, 0};
    int outside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (on.pixel(x, y) == off.pixel(x, y)) continue;
            if (!field.adjusted(-1, -1, 1, 1).contains(x, y)) {
                ++outside;
                continue;
            }
            const double d = fromEdge(x, y);
            const bool left = on.pixelColor(x, y) == kBlue;
            ASSERT_TRUE(left || on.pixelColor(x, y) == kRed) << x << "," << y;
            // Within a pixel of its own cell.
            EXPECT_LE(left ? d : -d, 1.0) << x << "," << y;
            if (std::abs(d) < 3.0) ++nearEdge[left ? 0 : 1];
        }
    }
    EXPECT_EQ(outside, 0);
    // Lines reach the common edge from both sides: 2 in 8 pixels of a 3-pixel band
    // along a line of over 700 pixels, on each side.
    EXPECT_GT(nearEdge[0], 100);
    EXPECT_GT(nearEdge[1], 100);
}

TEST_F(HatchTest, ScaledScreensShowTheSameHatchInSharpPixels) {
    const QImage off = draw(false);
    const QImage on = draw(true);
    const auto unscaled = hatchIn(on, off, kLeftOpen);
    for (const qreal ratio : {2.0, 1.5, 1.25}) {
        SCOPED_TRACE(ratio);
        const QImage scaledOff = draw(false, ratio);
        const QImage scaledOn = draw(true, ratio);
        const QRect box(kLeftOpen.topLeft() * ratio, kLeftOpen.size() * ratio);
        // Only the side's colour over the field: nothing blended, nothing blurred.
        EXPECT_TRUE(coloursIn(scaledOn, box) == (std::set<QRgb>{kField.rgb(), kBlue.rgb()}));
        const auto hatch = hatchIn(scaledOn, scaledOff, box);
        EXPECT_NEAR(static_cast<double>(hatch.size()) / (box.width() * box.height()), 0.25, 0.03);
        // Each device pixel of the hatch lies within a device pixel of where the unscaled
        // hatch's pixel, scaled, lies.
        for (const auto& [x, y] : hatch) {
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    near = unscaled.count({static_cast<int>((x + dx) / ratio), static_cast<int>((y + dy) / ratio)});
                }
            }
            EXPECT_TRUE(near) << x << "," << y;
        }
        // And each unscaled pixel of the hatch shows, scaled, within a device pixel.
        for (const auto& [x, y] : unscaled) {
            const QPoint centre(static_cast<int>((x + 0.5) * ratio), static_cast<int>((y + 0.5) * ratio));
            bool shown = false;
            for (int dy = -1; dy <= 1 && !shown; ++dy) {
                for (int dx = -1; dx <= 1 && !shown; ++dx) shown = hatch.count({centre.x() + dx, centre.y() + dy});
            }
            EXPECT_TRUE(shown) << x << "," << y;
        }
    }
}

TEST_F(HatchTest, AChangeOfSizeOrRatioDrawsTheHatchOfTheNewOne) {
    for (const qreal ratio : {1.0, 2.0, 1.1}) {
        SCOPED_TRACE(ratio);
        ASSERT_TRUE(renderer.prepare(600, 400));
        draw(true, ratio);
        draw(true, ratio * 2);
        ASSERT_TRUE(renderer.prepare(kWidth, kHeight));
        const QImage grown = draw(true, ratio);
        FieldRenderer fresh;
        FieldOverlays freshOverlays(fresh);
        ASSERT_TRUE(fresh.prepare(kWidth, kHeight));
        EXPECT_TRUE(grown == fresh.compose(scene, options, ratio));
    }
}

}  // namespace
}  // namespace tessarin::test
