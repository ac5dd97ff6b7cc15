// The debug drawings as the painter draws them (grouped by colour, culled, clipped, texts
// and small circles blitted from sprites) against the same drawings made one by one with
// plain QPainter calls: every pixel of a drawing's colour in one picture lies within a
// pixel of the same colour in the other.

#include <gtest/gtest.h>

#include <QPainterPath>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "display/AgentLogPainter.h"

namespace tessarin {
namespace {

using agentlog::Record;

std::vector<Record> parsedAll(const std::vector<std::string>& lines) {
    std::vector<Record> records;
    for (const std::string& line : lines) {
        Record r;
        EXPECT_TRUE(agentlog::parseRecord(line, r)) << line;
        records.push_back(r);
    }
    return records;
}

QColor colourOf(const Record& r) {
    const agentlog::Rgb c = r.colour.value_or(agentlog::kDefaultColour);
    return QColor(c.r, c.g, c.b);
}

// Each drawing on its own, in file order, with the QPainter call that makes its shape.
class PlainDrawings final : public FieldOverlay {
public:
    explicit PlainDrawings(std::vector<Record> records) : records_(std::move(records)) {}
    void draw(QPainter& painter, const FieldView& view, const FieldScene&, const DisplayOptions&) override {
        painter.setRenderHint(QPainter::Antialiasing, false);
        QFont font;
        font.setPixelSize(std::clamp(static_cast<int>(view.scale() * 1.2), 8, 48));
        painter.setFont(font);
        const auto at = [&](double x, double y) { return QPoint(view.pixelX(x), view.pixelY(y)); };
        for (const Record& r : records_) {
            const QColor colour = colourOf(r);
            const auto& v = r.values;
            painter.setPen(QPen(colour, 0));
            painter.setBrush(agentlog::isFilled(r.type) ? QBrush(colour) : QBrush(Qt::NoBrush));
            const auto square = [&](double x, double y, double radius) {
                const int pr = view.pixels(radius);
                return QRect(at(x, y) - QPoint(pr, pr), QSize(2 * pr, 2 * pr));
            };
            switch (r.type) {
                case 'p':
                    painter.fillRect(QRect(at(v[0], v[1]) - QPoint(1, 1), QSize(3, 3)), colour);
                    break;
                case 'l':
                    painter.drawLine(
                        QLineF(view.ToScreenX(v[0]), view.ToScreenY(v[1]), view.ToScreenX(v[2]), view.ToScreenY(v[3])));
                    break;
                case 'a':
                    // Qt turns positive angles counter-clockwise on the screen; the field's turn clockwise.
                    painter.drawArc(square(v[0], v[1], v[2]), static_cast<int>(-v[3] * 16),
                                    static_cast<int>(-v[4] * 16));
                    break;
                case 'c':
                case 'C':
                    painter.drawEllipse(square(v[0], v[1], v[2]));
                    break;
                case 'T': {
                    const QPoint corners[] = {at(v[0], v[1]), at(v[2], v[3]), at(v[4], v[5])};
                    painter.drawPolygon(corners, 3);
                    break;
                }
                case 'r':
                case 'R':
                    painter.drawRect(QRect(at(v[0], v[1]), QSize(view.pixels(v[2]), view.pixels(v[3]))));
                    break;
                case 'S': {
                    QPainterPath path;
                    path.arcMoveTo(square(v[0], v[1], v[3]), -v[4]);
                    path.arcTo(square(v[0], v[1], v[3]), -v[4], -v[5]);
                    path.arcTo(square(v[0], v[1], v[2]), -(v[4] + v[5]), v[5]);
                    path.closeSubpath();
                    painter.fillPath(path, colour);
                    break;
                }
                case 'm':
                    painter.drawText(at(v[0], v[1]), QString::fromStdString(r.text));
                    break;
                default:
                    ADD_FAILURE() << "no plain drawing for " << r.type;
            }
        }
    }

private:
    std::vector<Record> records_;
};

// Where each colour of `colours` lies in `image`.
std::map<QRgb, std::vector<QPoint>> pixelsOf(const QImage& image, const std::set<QRgb>& colours) {
    std::map<QRgb, std::vector<QPoint>> found;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (colours.contains(line[x])) found[line[x]].emplace_back(x, y);
        }
    }
    return found;
}

// How many of `pixels` have no pixel of `colour` within one pixel in `other`.
int strayPixels(const std::vector<QPoint>& pixels, const QImage& other, QRgb colour) {
    int stray = 0;
    for (const QPoint& p : pixels) {
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; ++dy) {
            for (int dx = -1; dx <= 1 && !near; ++dx) {
                const QPoint q = p + QPoint(dx, dy);
                near = other.rect().contains(q) && other.pixel(q) == colour;
            }
        }
        stray += !near;
    }
    return stray;
}

bool colourNear(const QImage& image, QPoint at, const QColor& colour) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (image.pixelColor(at + QPoint(dx, dy)) == colour) return true;
        }
    }
    return false;
}

// Pixels near a colour: where a smoothed glyph covers them wholly or nearly.
int pixelsNear(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                     std::abs(c.blue() - colour.blue()) <
                 96;
        }
    }
    return n;
}

// Draws `lines` with the painter and one by one, and compares the two pictures colour by
// colour; drawings of one colour lie apart.
void expectSamePicture(FieldRenderer& renderer, AgentLogPainter& painter, const std::vector<std::string>& lines,
                       const DisplayOptions& options, qreal ratio, const char* when) {
    SCOPED_TRACE(when);
    const std::vector<Record> records = parsedAll(lines);
    painter.setDrawings(records);
    PlainDrawings plain(records);
    // The first paint of a cycle and the next, which draws its texts from sprites.
    const QImage first = renderer.compose(FieldScene{}, options, ratio);
    const QImage fast = renderer.compose(FieldScene{}, options, ratio);
    renderer.removeOverlay(&painter);
    renderer.addOverlay(OverlayStage::DebugLog, &plain);
    const QImage reference = renderer.compose(FieldScene{}, options, ratio);
    renderer.removeOverlay(&plain);
    renderer.addOverlay(OverlayStage::DebugLog, &painter);
    ASSERT_EQ(fast.size(), reference.size());
    std::set<QRgb> colours;
    for (const Record& r : records) colours.insert(colourOf(r).rgb());
    auto inReference = pixelsOf(reference, colours), inFast = pixelsOf(fast, colours),
         inFirst = pixelsOf(first, colours);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const QRgb colour = colourOf(records[i]).rgb();
        SCOPED_TRACE(lines[i]);
        EXPECT_FALSE(inReference[colour].empty());
        EXPECT_EQ(strayPixels(inReference[colour], fast, colour), 0) << "drawn one by one, missing from the painter's";
        EXPECT_EQ(strayPixels(inFast[colour], reference, colour), 0) << "drawn by the painter, not one by one";
        EXPECT_EQ(strayPixels(inReference[colour], first, colour), 0) << "missing from the painter's first paint";
        EXPECT_EQ(strayPixels(inFirst[colour], reference, colour), 0) << "on the painter's first paint only";
    }
}

// The field is 115 m wide on 1150 pixels: its left edge at x = -57.5, its top at y = -46.
const std::vector<std::string> kAtTheEdges = {
    "1,0 1 l -80 -30 -40 -30 #0000ff",           // from off the left into view
    "1,0 1 c -58.5 0 2 #ff0000",                 // a small circle, its centre off the left
    "1,0 1 C 58.3 10 1.5 #ff8000",               // filled, its centre off the right
    "1,0 1 m -60 20 (c #8000ff) passing to 10",  // a text that starts off the left
    "1,0 1 r -62 -50 8 6 #00ffff",               // a rectangle with one corner in view
    "1,0 1 S 0 -50 2 8 45 90 #ff00ff",           // a sector that opens into view from above
    "1,0 1 a 30 -49 6 0 180 #808000",            // an arc turning down into view
    "1,0 1 p 57.4 -20 #ffff00",                  // a point on the right edge
    "1,0 1 T -10 30 -5 30 -8 45 #00ff00",        // a triangle running off the bottom
};

// Small circles of one radius and one text in several colours: a sprite for each colour.
// A text met twice in a paint has its sprite from the second time on.
const std::vector<std::string> kRepeated = {
    "1,0 1 c 10 10 0.5 #ff0000",       "1,0 1 c 12 10 0.5 #0000ff",        "1,0 1 C 14 10 0.5 #ff8000",
    "1,0 1 c 16 10 3 #808000",         "1,0 1 m -20 -10 (c #ff00ff) 0.75", "1,0 1 m -20 -5 (c #00ffff) 0.75",
    "1,0 1 m -30 -5 (c #00ffff) 0.75",
};

TEST(AgentLogPainterTest, DrawsWhatPlainCallsDrawEvenAcrossTheEdgesAndFromSprites) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(1150, 850));
    AgentLogPainter painter;
    renderer.addOverlay(OverlayStage::DebugLog, &painter);
    const DisplayOptions plain;
    expectSamePicture(renderer, painter, kAtTheEdges, plain, 1.0, "at the edges");
    expectSamePicture(renderer, painter, kRepeated, plain, 1.0, "sprites drawn");
    // Drawn again from the sprites kept: the same colours still, and the same places.
    expectSamePicture(renderer, painter, kRepeated, plain, 1.0, "sprites reused");
    // Zoomed in, texts take a larger font and circles more pixels.
    renderer.zoom(575, 460, true);
    expectSamePicture(renderer, painter, kRepeated, plain, 1.0, "zoomed in");
}

TEST(AgentLogPainterTest, DrawsWhatPlainCallsDrawOnHighDensityAndSmoothPictures) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(1150, 850));
    AgentLogPainter painter;
    renderer.addOverlay(OverlayStage::DebugLog, &painter);
    expectSamePicture(renderer, painter, kAtTheEdges, DisplayOptions{}, 2.0, "two device pixels a pixel");
    expectSamePicture(renderer, painter, kRepeated, DisplayOptions{}, 2.0, "two device pixels a pixel, repeated");
    DisplayOptions smooth;
    smooth.SmoothDrawing = true;
    expectSamePicture(renderer, painter, kRepeated, smooth, 1.0, "smooth drawing");
}

// Filled shapes are drawn under every outline, line and text, whatever their order in the
// file: a filled shape never hides another drawing's outline.
TEST(AgentLogPainterTest, FilledShapesLieUnderOutlinesAndTexts) {
    FieldRenderer renderer;
    ASSERT_TRUE(renderer.prepare(1150, 850));
    AgentLogPainter painter;
    painter.setDrawings(parsedAll({
        "1,0 1 c 0 0 3 #0000ff",
        "1,0 1 m -1 0.5 (c #ffff00) 42",
        "1,0 1 C 0 0 3 #ff0000",
        "1,0 1 R -5 -5 10 10 #ff00ff",
    }));
    renderer.addOverlay(OverlayStage::DebugLog, &painter);
    const QImage image = renderer.compose(FieldScene{}, DisplayOptions{});
    const FieldView& v = renderer.view();
    // The circle's ring over both fills, the text over them, the fill first drawn under the second.
    EXPECT_TRUE(colourNear(image, QPoint(v.pixelX(3), v.pixelY(0)), QColor(0, 0, 255)));
    EXPECT_TRUE(colourNear(image, QPoint(v.pixelX(0), v.pixelY(-3)), QColor(0, 0, 255)));
    EXPECT_GT(pixelsNear(image, QColor(255, 255, 0)), 10);
    EXPECT_EQ(image.pixelColor(v.pixelX(1.5), v.pixelY(-1.5)), QColor(255, 0, 255));
}

TEST(SpriteCacheTest, KeepsSpritesUntilFullThenRefusesUntilTrimmed) {
    SpriteCache cache;
    int drawn = 0;
    const auto dot = [&](QPainter& p) {
        ++drawn;
        p.fillRect(QRect(0, 0, 1, 1), Qt::red);
    };
    const QRect bounds(-2, -3, 64, 64);  // 16 KiB a sprite
    const SpriteCache::Sprite* first = cache.find({'c', 1, qRgb(255, 0, 0), {}}, bounds, dot);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->offset, QPoint(-2, -3));
    EXPECT_EQ(first->image.size(), QSize(64, 64));
    EXPECT_EQ(first->image.pixelColor(2, 3), QColor(Qt::red));
    EXPECT_EQ(first->image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(cache.find({'c', 1, qRgb(255, 0, 0), {}}, bounds, dot), first);
    EXPECT_EQ(drawn, 1);
    // Another colour, text or size is another sprite.
    EXPECT_NE(cache.find({'c', 1, qRgb(0, 0, 255), {}}, bounds, dot), first);
    EXPECT_NE(cache.find({'c', 2, qRgb(255, 0, 0), {}}, bounds, dot), first);
    EXPECT_NE(cache.find({'m', 1, qRgb(255, 0, 0), QStringLiteral("a")}, bounds, dot), nullptr);
    EXPECT_EQ(drawn, 4);
    EXPECT_EQ(cache.find({'c', 1, qRgb(0, 0, 0), {}}, QRect(), dot), nullptr);

    cache.trim();  // nothing refused yet: all kept
    EXPECT_EQ(cache.size(), 4);
    EXPECT_FALSE(cache.refusing());
    int n = 0;
    while (cache.find({'m', 1, 0, QString::number(n)}, bounds, dot)) ++n;
    EXPECT_LE(cache.bytes(), SpriteCache::kMostBytes);
    EXPECT_GT(cache.bytes(), SpriteCache::kMostBytes - 64 * 64 * 4);
    EXPECT_TRUE(cache.refusing());
    EXPECT_NE(cache.find({'c', 1, qRgb(255, 0, 0), {}}, bounds, dot), nullptr) << "a kept sprite is still found";
    EXPECT_NE(cache.held({'c', 1, qRgb(255, 0, 0), {}}), nullptr);
    cache.trim();
    EXPECT_FALSE(cache.refusing());
    EXPECT_EQ(cache.held({'c', 1, qRgb(255, 0, 0), {}}), nullptr);
    EXPECT_EQ(cache.size(), 0);
    EXPECT_EQ(cache.bytes(), 0);
    EXPECT_NE(cache.find({'m', 1, 0, QString::number(n)}, bounds, dot), nullptr);
}

}  // namespace
}  // namespace tessarin
