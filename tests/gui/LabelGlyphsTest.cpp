// Labels blended straight into the pixels against the same labels drawn by the engine.

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "display/LabelGlyphs.h"
#include "display/PainterPixels.h"

namespace tessarin::test {
namespace {

const QRgb kField = qRgb(0, 96, 0);

QImage label(const LabelGlyphs& glyphs, const QString& text, bool direct, QRgb background = kField) {
    QImage image(120, 50, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setPen(QColor(255, 255, 10));
    const PainterPixels pixels(painter);
    glyphs.draw(painter, 7, 5, text, direct ? &pixels : nullptr);
    painter.end();
    return image;
}

QRect ink(const QImage& image, QRgb background) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) box = box.united(QRect(x, y, 1, 1));
    return box;
}

TEST(LabelGlyphsTest, DirectLabelsMatchTheEnginesWithinAPixelsPlacementAndALittleShade) {
    for (const int size : {11, 32}) {
        QFont font(QStringLiteral("Times New Roman"));
        font.setStyleHint(QFont::Serif);
        font.setPixelSize(size);
        LabelGlyphs glyphs;
        glyphs.make(font);
        for (const QString& text : {QStringLiteral("10,0.52"), QStringLiteral("7"), QStringLiteral("(3.14)")}) {
            const QImage engine = label(glyphs, text, false);
            const QImage direct = label(glyphs, text, true);
            const QRect a = ink(engine, kField), b = ink(direct, kField);
            ASSERT_FALSE(a.isEmpty());
            EXPECT_LE(std::abs(a.left() - b.left()), 1) << size << " " << text.toStdString();
            EXPECT_LE(std::abs(a.right() - b.right()), 1) << size << " " << text.toStdString();
            EXPECT_LE(std::abs(a.top() - b.top()), 1) << size << " " << text.toStdString();
            EXPECT_LE(std::abs(a.bottom() - b.bottom()), 1) << size << " " << text.toStdString();
            // The same amount of ink: the summed red differs by a few per cent at most.
            long sumA = 0, sumB = 0;
            for (int y = 0; y < engine.height(); ++y) {
                for (int x = 0; x < engine.width(); ++x) {
                    sumA += qRed(engine.pixel(x, y));
                    sumB += qRed(direct.pixel(x, y));
                }
            }
            EXPECT_NEAR(static_cast<double>(sumB), static_cast<double>(sumA), 0.05 * sumA)
                << size << " " << text.toStdString();
        }
    }
}

TEST(LabelGlyphsTest, FullCoverageTakesThePenColourAndNoneLeavesTheBackground) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(40);
    LabelGlyphs glyphs;
    glyphs.make(font);
    // Over white and over black, every written pixel lies between the background and the
    // pen's colour, channel by channel, and the stems of "1" reach the pen's colour.
    for (const QRgb background : {qRgb(255, 255, 255), qRgb(0, 0, 0)}) {
        const QImage direct = label(glyphs, QStringLiteral("111"), true, background);
        bool solid = false;
        for (int y = 0; y < direct.height(); ++y) {
            for (int x = 0; x < direct.width(); ++x) {
                const QRgb p = direct.pixel(x, y);
                solid = solid || p == qRgb(255, 255, 10);
                const int pen[] = {255, 255, 10};
                const int was[] = {qRed(background), qGreen(background), qBlue(background)};
                const int now[] = {qRed(p), qGreen(p), qBlue(p)};
                for (int c = 0; c < 3; ++c) {
                    EXPECT_LE(now[c], std::max(was[c], pen[c]));
                    EXPECT_GE(now[c], std::min(was[c], pen[c]));
                }
            }
        }
        EXPECT_TRUE(solid);
    }
}

}  // namespace
}  // namespace tessarin::test
