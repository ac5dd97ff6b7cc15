// One-pixel lines written directly against the same lines stroked by the paint engine:
// every pixel must agree, for random polylines, outlines and lines that cross the
// device's edges, in a painter translated inside its device.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <random>

#include "display/PainterPixels.h"
#include "display/PixelStroke.h"

namespace tessarin::test {
namespace {

QPen flatPen(QColor colour) {
    QPen pen(colour);
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

enum class Shape { Line, Polyline, Polygon };

// The shape drawn on a fresh image, by the engine or directly.
QImage drawn(const QPolygon& points, Shape shape, bool direct, QPoint offset) {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(qRgb(0, 96, 0));
    QPainter painter(&image);
    painter.translate(offset);
    painter.setPen(flatPen(QColor(250, 250, 10)));
    if (direct) {
        const PainterPixels pixels(painter);
        PixelStroke stroke(painter, pixels);
        EXPECT_TRUE(stroke.usable());
        if (shape == Shape::Line) stroke.line(points[0], points[1]);
        if (shape == Shape::Polyline) stroke.polyline(points.constData(), static_cast<int>(points.size()));
        if (shape == Shape::Polygon && !stroke.polygon(points.constData(), static_cast<int>(points.size()))) {
            painter.drawPolygon(points);
        }
    } else {
        painter.setBrush(Qt::NoBrush);
        if (shape == Shape::Line) painter.drawLine(points[0], points[1]);
        if (shape == Shape::Polyline) painter.drawPolyline(points);
        if (shape == Shape::Polygon) painter.drawPolygon(points);
    }
    painter.end();
    return image;
}

// Pixels set in one image and not in the other; with `slack`, only those that have no
// set pixel of the other image among their eight neighbours.
int differing(const QImage& a, const QImage& b, bool slack) {
    const QRgb background = qRgb(0, 96, 0);
    auto set = [&](const QImage& image, int x, int y) {
        return image.rect().contains(x, y) && image.pixel(x, y) != background;
    };
    auto near = [&](const QImage& image, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (set(image, x + dx, y + dy)) return true;
        return false;
    };
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (set(a, x, y) == set(b, x, y)) continue;
            const QImage& other = set(a, x, y) ? b : a;
            if (!slack || !near(other, x, y)) ++count;
        }
    }
    return count;
}

TEST(PixelStrokeTest, SetsTheEnginesPixelsForLinesPolylinesAndOutlines) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> inside(0, 119);
    std::uniform_int_distribution<int> far(-3000, 3000);
    std::uniform_int_distribution<int> step(-3, 3);
    std::uniform_int_distribution<int> length(2, 12);
    int failures = 0;
    for (int trial = 0; trial < 3000 && failures < 5; ++trial) {
        const Shape shape = static_cast<Shape>(trial % 3);
        const QPoint offset = trial % 4 == 0 ? QPoint(13, 7) : QPoint(0, 0);
        // Every seventh shape leaves the device. The engine cuts a polyline at the
        // device's edge in a way of its own, so where one crosses it the pixels after
        // the crossing may sit a pixel aside from the engine's.
        const bool leaves = trial % 7 == 0;
        QPolygon points;
        const int count = shape == Shape::Line ? 2 : length(random);
        for (int i = 0; i < count; ++i) {
            if (leaves) {
                points << QPoint(far(random), far(random));
            } else if (trial % 5 == 0 && i > 0) {
                // Tiny steps, the case where a segment may set no pixel of its own.
                const QPoint next = points.back() + QPoint(step(random), step(random));
                points << QPoint(std::clamp(next.x(), 0, 119), std::clamp(next.y(), 0, 119));
            } else {
                points << QPoint(inside(random), inside(random));
            }
        }
        if (trial % 11 == 0) points << points.front();  // explicitly closed
        const int diff = differing(drawn(points, shape, false, offset), drawn(points, shape, true, offset), leaves);
        if (diff != 0) {
            ++failures;
            ADD_FAILURE() << "trial " << trial << " shape " << static_cast<int>(shape) << ": " << diff
                          << " pixels differ";
        }
    }
}

TEST(PixelStrokeTest, FillsAndOutlinesEllipsesAsTheEngineDoes) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> size(1, 320);
    std::uniform_int_distribution<int> place(-150, 150);
    int failures = 0;
    for (int trial = 0; trial < 600 && failures < 5; ++trial) {
        const QRect rect(place(random), place(random), size(random), trial % 3 == 0 ? size(random) : 0);
        const QRect box = rect.height() == 0 ? QRect(rect.topLeft(), QSize(rect.width(), rect.width())) : rect;
        const bool filled = trial % 2 == 0;
        const QPoint offset = trial % 4 == 1 ? QPoint(13, 7) : QPoint(0, 0);
        QImage images[2];
        for (int direct = 0; direct < 2; ++direct) {
            QImage& image = images[direct];
            image = QImage(160, 120, QImage::Format_RGB32);
            image.fill(qRgb(0, 96, 0));
            QPainter painter(&image);
            painter.translate(offset);
            painter.setPen(flatPen(QColor(0, 0, 0)));
            painter.setBrush(filled ? QBrush(QColor(255, 255, 10)) : QBrush(Qt::NoBrush));
            const PainterPixels pixels(painter);
            if (direct == 0) {
                painter.drawEllipse(box);
            } else {
                EXPECT_TRUE(drawPixelEllipse(painter, pixels, box));
            }
        }
        if (images[0] != images[1]) {
            ++failures;
            ADD_FAILURE() << "ellipse " << box.x() << "," << box.y() << " " << box.width() << "x" << box.height()
                          << (filled ? " filled" : "");
        }
    }
}

TEST(PixelStrokeTest, RefusesPensItDoesNotDrawLikeTheEngine) {
    QImage image(20, 20, QImage::Format_RGB32);
    QPainter painter(&image);
    const PainterPixels pixels(painter);
    QPen pen = flatPen(Qt::black);
    painter.setPen(pen);
    EXPECT_TRUE(PixelStroke(painter, pixels).usable());
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    EXPECT_FALSE(PixelStroke(painter, pixels).usable());
    pen = flatPen(QColor(0, 0, 0, 128));
    painter.setPen(pen);
    EXPECT_FALSE(PixelStroke(painter, pixels).usable());
    pen = flatPen(Qt::black);
    pen.setWidth(2);
    painter.setPen(pen);
    EXPECT_FALSE(PixelStroke(painter, pixels).usable());
    pen = flatPen(Qt::black);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    EXPECT_FALSE(PixelStroke(painter, pixels).usable());
    painter.setPen(flatPen(Qt::black));
    painter.setBrush(Qt::Dense4Pattern);
    EXPECT_FALSE(drawPixelEllipse(painter, pixels, QRect(2, 2, 9, 9)));
    painter.setBrush(QColor(0, 0, 0, 100));
    EXPECT_FALSE(drawPixelEllipse(painter, pixels, QRect(2, 2, 9, 9)));
    painter.setRenderHint(QPainter::Antialiasing);
    EXPECT_FALSE(PixelStroke(painter, pixels).usable());
}

}  // namespace
}  // namespace tessarin::test
