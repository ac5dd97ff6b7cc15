// The control areas' hatch drawn through direct pixel access, against filling each area
// whole in turn, and the guards of that access.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <climits>
#include <random>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "display/AreaHatch.h"
#include "display/DisplayOptions.h"
#include "display/FieldRenderer.h"
#include "display/OverlayPainter.h"
#include "display/PainterPixels.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

const QRgb kBackground = qRgb(0, 96, 0);

QPolygon randomTriangle(std::mt19937& random, int from, int to) {
    std::uniform_int_distribution<int> coordinate(from, to);
    QPolygon polygon;
    for (int i = 0; i < 3; ++i) polygon << QPoint(coordinate(random), coordinate(random));
    return polygon;
}

// Qt's aliased fill of `polygon`, as per-row spans over `bounds`.
std::vector<std::pair<int, int>> engineSpans(const QPolygon& polygon, const QRect& bounds) {
    QImage image(bounds.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.translate(-bounds.topLeft());
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(polygon);
    }
    std::vector<std::pair<int, int>> spans;
    for (int y = 0; y < image.height(); ++y) {
        std::pair<int, int> span{INT_MAX, INT_MIN};
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) continue;
            span.first = std::min(span.first, x + bounds.left());
            span.second = std::max(span.second, x + bounds.left() + 1);
        }
        spans.push_back(span);
    }
    return spans;
}

TEST(AreaHatchTest, SpansDifferFromTheEngineOnlyByAPixelWhereAnEdgePassesThroughACentre) {
    const QRect bounds(-20, -20, 240, 240);
    std::mt19937 random(7);
    int rows = 0;
    int differing = 0;
    for (int round = 0; round < 200; ++round) {
        const QPolygon polygon = randomTriangle(random, -10, 210);
        const PolygonSpans ours = convexSpans(polygon, bounds);
        const std::vector<std::pair<int, int>> engine = engineSpans(polygon, bounds);
        for (std::size_t i = 0; i < engine.size(); ++i) {
            const int y = bounds.top() + static_cast<int>(i);
            const int row = y - ours.top;
            std::pair<int, int> mine{0, 0};
            if (row >= 0 && row < static_cast<int>(ours.spans.size())) mine = ours.spans[static_cast<std::size_t>(row)];
            const bool mineEmpty = mine.first >= mine.second;
            const bool engineEmpty = engine[i].first >= engine[i].second;
            if (mineEmpty && engineEmpty) continue;
            ++rows;
            if (mine == engine[i]) continue;
            ++differing;
            if (mineEmpty || engineEmpty) {
                // Only a one-pixel sliver may be missing.
                const auto& span = mineEmpty ? engine[i] : mine;
                EXPECT_EQ(span.second - span.first, 1) << "round " << round << " row " << y;
            } else {
                EXPECT_LE(std::abs(mine.first - engine[i].first), 1) << "round " << round << " row " << y;
                EXPECT_LE(std::abs(mine.second - engine[i].second), 1) << "round " << round << " row " << y;
            }
        }
    }
    EXPECT_LT(differing * 50, rows) << differing << " of " << rows << " rows differ";
}

// Every way of writing a hatch row this processor has sets the pixels the pattern names
// from the run's phase, changes no other, and keeps to the run: short runs, long ones,
// runs that end mid-block, and empty or full rows of the pattern.
TEST(AreaHatchTest, EveryFormOfTheRowWritesSetsThePatternsPixelsWithinTheRun) {
    std::vector<HatchWrites> forms{HatchWrites::Scalar};
    if (fastestHatchWrites() != HatchWrites::Scalar) forms.push_back(HatchWrites::Avx2);
    if (fastestHatchWrites() == HatchWrites::Avx512) forms.push_back(HatchWrites::Avx512);
    constexpr int kGuard = 20;
    constexpr QRgb kOld = 0xff102030U;
    constexpr QRgb kNew = 0xffa0b0c0U;
    std::mt19937 random(5);
    for (int round = 0; round < 400; ++round) {
        const int count = round % 80;
        const int phase = std::uniform_int_distribution<int>(-20, 20)(random);
        const unsigned bits = round % 7 == 0 ? 0xffU : round % 11 == 0 ? 0U : random() & 0xffU;
        std::vector<QRgb> expected(static_cast<std::size_t>(count + 2 * kGuard), kOld);
        for (int x = 0; x < count; ++x) {
            if ((bits >> ((x + phase) & 7)) & 1U) expected[static_cast<std::size_t>(x + kGuard)] = kNew;
        }
        for (const HatchWrites form : forms) {
            std::vector<QRgb> pixels(expected.size(), kOld);
            writeHatchRun(form, pixels.data() + kGuard, phase, count, bits, kNew);
            ASSERT_EQ(pixels, expected) << "form " << static_cast<int>(form) << " count " << count << " phase " << phase
                                        << " bits " << bits;
        }
    }
}

// The hatch of every area filled whole in turn, with a drawing between the areas: the
// picture that drawing only the parts no later area covers must give. Every other round
// the painter is moved by a few pixels, so the pattern's phase differs from the image's.
TEST(AreaHatchTest, DrawingTheUncoveredPartsGivesThePictureOfFillingEachAreaInTurn) {
    const QRect bounds(0, 0, 300, 200);
    const std::array<std::uint8_t, 8> pattern = diagonalCrossRows();
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        std::vector<QPolygon> areas;
        std::vector<QColor> colours;
        std::vector<QRect> bodies;
        for (int k = 0; k < 12; ++k) {
            areas.push_back(randomTriangle(random, -40, 340));
            colours.push_back(QColor::fromRgb(qRgb(10 * k, 255 - 10 * k, 128)));
            std::uniform_int_distribution<int> at(0, 280);
            bodies.emplace_back(at(random), at(random) % 180, 15, 15);
        }
        QImage expected(bounds.size(), QImage::Format_RGB32);
        expected.fill(kBackground);
        QImage drawn = expected.copy();
        const QPoint offset = round % 2 ? QPoint(5, 3) : QPoint();
        {
            QPainter painter(&drawn);
            painter.translate(offset);
            AreaHatch hatch;
            hatch.prepare(areas, colours, PainterPixels(painter).bounds());
            for (std::size_t k = 0; k < areas.size(); ++k) {
                hatch.draw(painter, k);
                painter.fillRect(bodies[k], Qt::white);
            }
        }
        for (std::size_t k = 0; k < areas.size(); ++k) {
            const PolygonSpans spans = convexSpans(areas[k], bounds.translated(-offset));
            for (std::size_t row = 0; row < spans.spans.size(); ++row) {
                const int y = spans.top + static_cast<int>(row);
                for (int x = spans.spans[row].first; x < spans.spans[row].second; ++x) {
                    if ((pattern[static_cast<std::size_t>(y & 7)] >> (x & 7)) & 1U) {
                        expected.setPixel(QPoint(x, y) + offset, colours[k].rgb());
                    }
                }
            }
            QPainter painter(&expected);
            painter.translate(offset);
            painter.fillRect(bodies[k], Qt::white);
        }
        ASSERT_EQ(drawn, expected) << "round " << round;
    }
}

TEST(AreaHatchTest, DirectPixelsOnlyWhereTheyAreTheEnginesOwn) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(kBackground);
    {
        // A translated painter writes where it would draw.
        QPainter painter(&image);
        painter.translate(10, 5);
        const PainterPixels pixels(painter);
        ASSERT_TRUE(pixels.available());
        EXPECT_EQ(pixels.origin(), QPoint(10, 5));
        EXPECT_EQ(pixels.bounds(), QRect(-10, -5, 40, 30));
        pixels.set(2, 3, qRgb(255, 0, 0));
        pixels.set(35, 3, qRgb(255, 0, 0));  // outside: nothing
    }
    EXPECT_EQ(image.pixel(12, 8), qRgb(255, 0, 0));
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) red += image.pixel(x, y) == qRgb(255, 0, 0);
    }
    EXPECT_EQ(red, 1);
    {
        // Scaled, clipped or semi-transparent painting, and another format: no access.
        QPainter painter(&image);
        painter.scale(2, 2);
        EXPECT_FALSE(PainterPixels(painter).available());
        painter.resetTransform();
        painter.setClipRect(0, 0, 10, 10);
        EXPECT_FALSE(PainterPixels(painter).available());
        painter.setClipping(false);
        painter.setOpacity(0.5);
        EXPECT_FALSE(PainterPixels(painter).available());
    }
    QImage small(10, 10, QImage::Format_RGB16);
    QPainter smallPainter(&small);
    EXPECT_FALSE(PainterPixels(smallPainter).available());
}

TEST(AreaHatchTest, ASharedImageIsNotWrittenBehindTheCopy) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    const QImage copy = image;  // shares the pixels until one of them is written
    const PainterPixels pixels(painter);
    if (pixels.available()) pixels.set(1, 1, qRgb(255, 0, 0));
    EXPECT_EQ(copy.pixel(1, 1), kBackground);
}

// A field drawn straight into its window, the way the display paints.
class FieldWidget final : public QWidget {
public:
    FieldWidget(const FieldScene& scene, const DisplayOptions& options, QWidget* parent)
        : QWidget(parent), scene_(scene), options_(options) {}
    void paintEvent(QPaintEvent*) override {
        if (!renderer_.prepare(width(), height())) return;
        QPainter painter(this);
        renderer_.paint(painter, scene_, options_);
    }

private:
    FieldScene scene_;
    DisplayOptions options_;
    FieldRenderer renderer_;
    FieldOverlays overlays_{renderer_};
};

TEST(AreaHatchTest, AWindowAwayFromItsBackingStoresOriginShowsTheImagesPicture) {
    ShowBuilder show(1);
    for (int k = 0; k < kPlayersPerSide; ++k) {
        show.player(k, 1, 0, -40 + 7 * k, -30 + 5 * k);
        show.player(kPlayersPerSide + k, 1, 0, -35 + 7 * k, 28 - 6 * k);
    }
    FieldScene scene;
    scene.setCurrent(showRecord(show.ball(3, 4).build()));
    DisplayOptions options;
    options.ControlArea = true;
    // Offsets that are no multiple of the hatch's eight pixels.
    QWidget window;
    window.resize(640, 440);
    auto* field = new FieldWidget(scene, options, &window);
    field->setGeometry(13, 7, 600, 400);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    field->repaint();
    const QImage shown =
        window.screen()->grabWindow(window.winId(), 13, 7, 600, 400).toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.isNull()) GTEST_SKIP() << "this platform cannot grab a window";

    FieldRenderer renderer;
    FieldOverlays overlays(renderer);
    ASSERT_TRUE(renderer.prepare(600, 400));
    const QImage image = renderer.compose(scene, options);
    EXPECT_EQ(shown, image);
    int hatched = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) hatched += image.pixel(x, y) == qRgb(0, 0, 255);
    }
    EXPECT_GT(hatched, 1000);
}

}  // namespace
}  // namespace tessarin::test
