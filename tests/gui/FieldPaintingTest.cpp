// The paint itself: the cached markings, drawing at a device-pixel ratio of 2, smooth
// drawing, and the header's texts at every size.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <set>

#include "display/FieldPainter.h"
#include "display/FieldRenderer.h"
#include "display/HeaderLayout.h"
#include "display/OverlayPainter.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

const QColor kField(0, 96, 0);
const QColor kWhite(255, 255, 255);

FieldScene sceneAt(int time, double x) {
    FieldScene scene;
    scene.setCurrent(showRecord(ShowBuilder(time).player(1, 1, 0, x, 10).team(0, "Alpha", 2).build()));
    scene.setPlayerTypes({}, kDefaultBallSize);
    return scene;
}

TEST(FieldPaintingTest, MarkingsAreDrawnAgainOnlyWhenTheViewChanges) {
    FieldRenderer renderer;
    const DisplayOptions options;
    ASSERT_TRUE(renderer.prepare(1150, 850));
    renderer.compose(sceneAt(1, -20), options);
    EXPECT_EQ(renderer.markingsDrawn(), 1);
    // New records, another selection: the same markings.
    renderer.compose(sceneAt(2, -10), options);
    renderer.compose(FieldScene{}, options);
    EXPECT_EQ(renderer.markingsDrawn(), 1);
    ASSERT_TRUE(renderer.prepare(1150, 850));  // the same size again
    renderer.compose(sceneAt(3, 0), options);
    EXPECT_EQ(renderer.markingsDrawn(), 1);

    ASSERT_TRUE(renderer.prepare(1000, 700));
    const QImage resized = renderer.compose(sceneAt(3, 0), options);
    EXPECT_EQ(renderer.markingsDrawn(), 2);
    // The new markings are those of the new size: the halfway line at x = 500.
    EXPECT_EQ(resized.pixelColor(500, renderer.view().pixelY(20)), kWhite);

    renderer.zoom(500, 350, true);
    renderer.compose(sceneAt(3, 0), options);
    EXPECT_EQ(renderer.markingsDrawn(), 3);
    renderer.pan(40, 0);
    const QImage panned = renderer.compose(sceneAt(3, 0), options);
    EXPECT_EQ(renderer.markingsDrawn(), 4);
    EXPECT_EQ(panned.pixelColor(renderer.view().pixelX(0), renderer.view().pixelY(20)), kWhite);

    DisplayOptions smooth = options;
    smooth.SmoothDrawing = true;
    renderer.compose(sceneAt(3, 0), smooth);
    EXPECT_EQ(renderer.markingsDrawn(), 5);
    renderer.compose(sceneAt(3, 0), smooth, 2.0);
    EXPECT_EQ(renderer.markingsDrawn(), 6);
    renderer.compose(sceneAt(4, 5), smooth, 2.0);
    EXPECT_EQ(renderer.markingsDrawn(), 6);

    // A renderer of one frame keeps no copy, and draws the same picture.
    FieldRenderer once;
    once.setCacheMarkings(false);
    ASSERT_TRUE(once.prepare(1150, 850));
    ASSERT_TRUE(renderer.prepare(1150, 850));
    EXPECT_EQ(once.compose(sceneAt(3, 0), options), renderer.compose(sceneAt(3, 0), options));
    EXPECT_EQ(once.markingsDrawn(), 0);
}

// With smooth drawing the markings drawn straight into an exported frame are the cached
// layer the display copies: an export is the display's picture.
TEST(FieldPaintingTest, SmoothMarkingsAreTheSameCachedOrDirect) {
    DisplayOptions smooth;
    smooth.SmoothDrawing = true;
    FieldRenderer renderer;
    FieldRenderer once;
    once.setCacheMarkings(false);
    ASSERT_TRUE(once.prepare(1150, 850));
    ASSERT_TRUE(renderer.prepare(1150, 850));
    const QImage direct = once.compose(sceneAt(3, 0), smooth);
    const QImage cached = renderer.compose(sceneAt(3, 0), smooth);
    ASSERT_EQ(direct.size(), cached.size());
    int largest = 0;
    for (int y = 0; y < direct.height(); ++y) {
        for (int x = 0; x < direct.width(); ++x) {
            const QColor a = direct.pixelColor(x, y);
            const QColor b = cached.pixelColor(x, y);
            largest = std::max(
                {largest, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
        }
    }
    EXPECT_LE(largest, 8);
}

// The colours found in a device-pixel rectangle of an image.
std::set<QRgb> coloursIn(const QImage& image, const QRect& rect) {
    std::set<QRgb> colours;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) colours.insert(image.pixel(x, y) | 0xFF000000U);
    }
    return colours;
}

TEST(FieldPaintingTest, AtRatioTwoLinesAreSharpAndInTheirPlace) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(1150, 850));  // 10 pixels per metre, centre spot at (575, 460)
    DisplayOptions options;
    const QImage image = renderer.compose(sceneAt(1, -20), options, 2.0);
    ASSERT_EQ(image.size(), QSize(2300, 1700));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    // Across the halfway line, 20 m below the centre: only white and the field's green
    // (nothing blended, so nothing blurred), the white at most the two device pixels of
    // one pixel, and within a device pixel of where the line's pixel lies.
    const int row = 2 * (460 + 200);
    const QRect across(2 * 575 - 6, row, 13, 1);
    EXPECT_EQ(coloursIn(image, across), (std::set<QRgb>{kField.rgb(), kWhite.rgb()}));
    std::vector<int> white;
    for (int x = across.left(); x <= across.right(); ++x) {
        if (image.pixelColor(x, row) == kWhite) white.push_back(x);
    }
    ASSERT_FALSE(white.empty());
    EXPECT_LE(white.size(), 2U);
    EXPECT_LE(std::abs(white.front() - 2 * 575), 1);
    // The boundary's top line the same way, down a column.
    const int column = 2 * (575 - 300);
    const QRect down(column, 2 * (460 - 340) - 6, 1, 13);
    EXPECT_EQ(coloursIn(image, down), (std::set<QRgb>{kField.rgb(), kWhite.rgb()}));
}

TEST(FieldPaintingTest, AtRatioTwoTheHatchIsScaledWithThePicture) {
    FieldRenderer renderer;
    FieldOverlays overlays(renderer);
    ASSERT_TRUE(renderer.prepare(1150, 850));
    FieldScene scene;
    scene.setCurrent(showRecord(ShowBuilder(1).player(0, 1, 0, -30, 0).player(11, 1, 0, 30, 0).build()));
    DisplayOptions options;
    options.ControlArea = true;
    // A piece of the left player's cell away from every marking and player.
    const QRect cell(575 - 280, 460 - 250, 64, 64);
    // The mean length of the hatch's runs along the rows, in device pixels.
    auto meanRun = [&](qreal ratio) {
        const QImage image = renderer.compose(scene, options, ratio);
        const QRect area(cell.topLeft() * ratio, cell.size() * ratio);
        int pixels = 0;
        int runs = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            bool inRun = false;
            for (int x = area.left(); x <= area.right(); ++x) {
                const bool blue = image.pixelColor(x, y) == QColor(0, 0, 255);
                pixels += blue;
                runs += blue && !inRun;
                inRun = blue;
            }
        }
        return runs == 0 ? 0.0 : static_cast<double>(pixels) / runs;
    };
    const double unscaled = meanRun(1.0);
    EXPECT_GT(unscaled, 0.9);
    // Twice as wide in device pixels: the same picture, not a finer one.
    EXPECT_NEAR(meanRun(2.0), 2 * unscaled, 0.3);
}

TEST(FieldPaintingTest, SmoothDrawingBlendsTheEdgesOfCircles) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(1150, 850));
    DisplayOptions options;
    options.Number = options.Stamina = options.Viewarea = false;
    const FieldScene scene = sceneAt(1, -20);
    // Around the player's body and kickable circle, away from any marking.
    const QRect around(575 - 200 - 16, 560 - 16, 33, 33);
    const QImage aliased = renderer.compose(scene, options);
    EXPECT_LE(coloursIn(aliased, around).size(), 3U);  // field, black outline, yellow body
    options.SmoothDrawing = true;
    const QImage smooth = renderer.compose(scene, options);
    EXPECT_GT(coloursIn(smooth, around).size(), 6U);
    // The markings too: the centre circle's edge is blended where it runs diagonally.
    const int r9 = static_cast<int>(9.15 * 10 + 1);
    const QRect diagonal(575 + r9 * 7 / 10 - 3, 460 + r9 * 7 / 10 - 3, 7, 7);
    EXPECT_LE(coloursIn(aliased, diagonal).size(), 2U);
    EXPECT_GT(coloursIn(smooth, diagonal).size(), 2U);
    // Straight lines stay sharp: the halfway line's pixel is white, its neighbours green.
    for (const QImage* image : {&aliased, &smooth}) {
        EXPECT_EQ(image->pixelColor(575, 660), kWhite);
        EXPECT_EQ(image->pixelColor(574, 660), kField);
        EXPECT_EQ(image->pixelColor(576, 660), kField);
    }
}

// The header's texts of a record with long names, a long play mode and two-digit scores.
FieldScene crowdedHeader() {
    FieldScene scene;
    scene.setCurrent(showRecord(ShowBuilder(5999)
                                    .playmode(9)  // free_kick_r
                                    .team(0, "HELIOS_leftWWWWW", 12)
                                    .team(1, "HELIOS_rightWWWW", 10)
                                    .build()));
    return scene;
}

TEST(HeaderLayoutTest, TextsNeverOverlapAndKeepTheirPlacesWhereTheyFit) {
    const FieldScene scene = crowdedHeader();
    for (const QSize size : {QSize(80, 50), QSize(81, 63), QSize(120, 90), QSize(200, 150), QSize(320, 200),
                             QSize(640, 480), QSize(800, 600), QSize(1080, 720), QSize(1280, 860), QSize(1920, 1080),
                             QSize(2560, 1440), QSize(4000, 900), QSize(8192, 8192)}) {
        SCOPED_TRACE(size.width());
        FieldView view;
        view.fit(size.width(), size.height());
        DisplayFonts fonts;
        fonts.make(view.scale());
        const HeaderLayout layout = layoutHeader(view, fonts, headerTexts(scene));
        // What each text takes along the line, measured anew from its font: advance and ink.
        std::vector<std::pair<int, int>> spans;
        for (const HeaderItem& item : layout) {
            if (item.text.isEmpty()) continue;
            const QFontMetrics metrics(item.font);
            const QRect ink = metrics.boundingRect(item.text).translated(item.box.left(), 0);
            spans.emplace_back(std::min(item.box.left(), ink.left()),
                               std::max(item.box.left() + metrics.horizontalAdvance(item.text), ink.right() + 1));
        }
        for (std::size_t i = 1; i < spans.size(); ++i) {
            EXPECT_LE(spans[i - 1].second, spans[i].first) << "texts " << i - 1 << " and " << i;
        }
        // The scores, the play mode and the cycle are never cut or lost.
        EXPECT_EQ(layout[kLeftScore].text, QStringLiteral("12"));
        EXPECT_EQ(layout[kRightScore].text, QStringLiteral("10"));
        EXPECT_EQ(layout[kTime].text, QStringLiteral("5999"));
        EXPECT_EQ(layout[kPlayMode].text, QStringLiteral("free_kick_r"));
        if (size.width() >= 320) {
            EXPECT_FALSE(layout[kLeftName].text.isEmpty());
        }
        // Every text stays in the band above the field.
        for (const HeaderItem& item : layout) {
            EXPECT_GE(item.box.top(), view.pixelY(-44.0) - 1);
            EXPECT_LE(item.box.bottom(), view.pixelY(-34.0) + 1);
        }
    }

    // At 800 x 600 with short names everything stands where the field's marks put it.
    FieldScene plain;
    plain.setCurrent(showRecord(ShowBuilder(12).team(0, "Alpha", 1).team(1, "Beta", 0).build()));
    FieldView view;
    view.fit(800, 600);
    DisplayFonts fonts;
    fonts.make(view.scale());
    const HeaderLayout layout = layoutHeader(view, fonts, headerTexts(plain));
    EXPECT_EQ(layout[kLeftScore].box.left(), view.pixelX(-52.5));
    EXPECT_EQ(layout[kLeftName].box.left(), view.pixelX(-44.5));
    EXPECT_EQ(layout[kLeftName].font, fonts.name);
    EXPECT_EQ(layout[kTime].box.left(), view.pixelX(2.0));
    EXPECT_EQ(layout[kRightName].box.right() + 1, view.pixelX(44.5));
    EXPECT_EQ(layout[kRightScore].box.right() + 1, view.pixelX(52.5));
}

TEST(HeaderLayoutTest, EveryTextIsDrawnAtEverySize) {
    const FieldScene scene = crowdedHeader();
    for (const QSize size : {QSize(800, 600), QSize(1080, 720), QSize(1920, 1080), QSize(2560, 1440), QSize(3840, 2160),
                             QSize(8192, 8192)}) {
        SCOPED_TRACE(size.width());
        FieldView view;
        view.fit(size.width(), size.height());
        DisplayFonts fonts;
        fonts.make(view.scale());
        // Only the band above the field is drawn, into an image just as tall.
        const int top = view.pixelY(-44.0);
        const int height = view.pixelY(-34.0) - top;
        QImage band(size.width(), height, QImage::Format_RGB32);
        band.fill(kField);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            HeaderCache cache;
            drawHeader(painter, view, fonts, scene, cache);
        }
        for (const HeaderItem& item : layoutHeader(view, fonts, headerTexts(scene))) {
            SCOPED_TRACE(item.text.toStdString());
            const QRect box = item.box.translated(0, -top).intersected(band.rect());
            int dark = 0;
            for (int y = box.top(); y <= box.bottom(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(band.constScanLine(y));
                for (int x = box.left(); x <= box.right(); ++x) dark += qGray(line[x]) < 20;
            }
            // A glyph's strokes are about a tenth of its height thick.
            EXPECT_GT(dark, box.height() * box.height() / 100);
        }
    }
}

}  // namespace
}  // namespace tessarin::test
