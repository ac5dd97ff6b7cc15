// The views of sight records, checked on the pixels of exported frames.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <initializer_list>

#include "display/DisplayPalette.h"
#include "export/PngExport.h"
#include "gui/GuiTestSupport.h"
#include "record/ByteOrder.h"

namespace tessarin::test {
namespace {

const QColor kField(0, 96, 0);
const QColor kYellow(255, 255, 10);
const QColor kRed(200, 0, 0);
const QColor kHighlight(213, 117, 117);

void putF(Bytes& record, std::size_t offset, float value) { putLef32(record.data() + offset, value); }

struct Seen1 {
    char side;
    int number;
    float x, y, confidence;
};

// A sight log ("SLG") of one record: the observer at (ox, oy) facing +x, and seen players.
Bytes sightLogOf(float ox, float oy, std::initializer_list<Seen1> seen) {
    Bytes record(kSightRecordSize, 0);
    record[0] = 1;  // cycle 1
    putF(record, 4, ox);
    putF(record, 8, oy);
    putF(record, 12, 1.0f);
    putF(record, 32, 2.0944f);  // view width
    std::size_t i = 0;
    for (const Seen1& p : seen) {
        const std::size_t base = 60 + 28 * i++;
        record[base] = static_cast<std::uint8_t>(p.side);
        record[base + 1] = static_cast<std::uint8_t>(p.number);
        putF(record, base + 4, p.x);
        putF(record, base + 8, p.y);
        putF(record, base + 12, p.confidence);
    }
    Bytes file(3 + record.size());
    file[0] = 'S';
    file[1] = 'L';
    file[2] = 'G';
    std::copy(record.begin(), record.end(), file.begin() + 3);
    return file;
}

struct Seen2 {
    char side;
    float x, y;
    int stamina;
};

// A version-2 sight log ("SLH") of one record with the observer at (ox, oy) facing +x.
Bytes sightV2LogOf(float ox, float oy, std::int32_t count, std::initializer_list<Seen2> seen) {
    Bytes file = sightV2Log({1});
    Bytes::iterator record = file.end() - static_cast<std::ptrdiff_t>(kSightRecordV2Size);
    Bytes bytes(record, file.end());
    putLe32(bytes.data(), static_cast<std::uint32_t>(count));
    bytes[12] = 'l';
    bytes[13] = 9;
    bytes[15] = 2;  // view width 2 pi / 3
    putF(bytes, 16, ox);
    putF(bytes, 20, oy);
    putF(bytes, 24, 1.0f);
    putF(bytes, 48, 8000.0f);
    std::size_t i = 0;
    for (const Seen2& p : seen) {
        const std::size_t base = 84 + 56 * i++;
        putF(bytes, base, p.x);
        putF(bytes, base + 4, p.y);
        putF(bytes, base + 8, 1.0f);
        bytes[base + 32] = static_cast<std::uint8_t>(p.side);
        bytes[base + 33] = static_cast<std::uint8_t>(i);
        putLe32(bytes.data() + base + 36, static_cast<std::uint32_t>(p.stamina));
    }
    std::copy(bytes.begin(), bytes.end(), record);
    return file;
}

class SightViewTest : public ::testing::Test {
protected:
    // Exports at 10 pixels per metre with the centre spot at (575, 460).
    QImage exportOf(const Bytes& file, std::initializer_list<const char*> extra = {}) {
        QStringList arguments = {QStringLiteral("--export-png"), QString::fromStdString(dir.file("out.png")),
                                 QStringLiteral("--size"), QStringLiteral("1150x850")};
        for (const char* item : extra) arguments << QString::fromLatin1(item);
        arguments << QString::fromStdString(dir.write("sight.log", file));
        QString error;
        const auto request = parseExportArguments(arguments, error);
        EXPECT_TRUE(request) << error.toStdString();
        if (!request) return {};
        const auto profile = settings.open();
        EXPECT_EQ(exportPng(*request, *profile), QString());
        return QImage(QString::fromStdString(dir.file("out.png")));
    }
    static QColor at(const QImage& image, double x, double y, int dx, int dy) {
        return image.pixelColor(static_cast<int>(575 + x * 10) + dx, static_cast<int>(460 + y * 10) + dy);
    }
    // Whether any pixel within one pixel of (px, py) is black.
    static bool blackNear(const QImage& image, int px, int py) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (image.pixelColor(px + dx, py + dy) == QColor(0, 0, 0)) return true;
            }
        }
        return false;
    }

    TempDir dir;
    TempProfile settings;
};

TEST_F(SightViewTest, KindOneDrawsSeenPlayersWithAnyConfidenceAndTheObserver) {
    const QImage image = exportOf(sightLogOf(
        -20, 10,
        {{'l', 0, 10, 10, 0.0f}, {'l', 0, -10, 10, 0.01f}, {'r', 0, 10, -10, 0.5f}, {'x', -3, 20, -10, 0.5f}}));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(at(image, 10, 10, 0, 4), kField);
    EXPECT_EQ(at(image, -10, 10, 0, 4), kYellow);
    EXPECT_EQ(at(image, 10, -10, 0, 4), kRed);
    EXPECT_EQ(at(image, 20, -10, 0, 4), QColor(255, 255, 255));
    // The observer's front half is highlighted, his back half black (Stamina is on).
    EXPECT_EQ(at(image, -20, 10, 4, 0), kHighlight);
    EXPECT_EQ(at(image, -20, 10, -4, 0), QColor(0, 0, 0));
}

TEST_F(SightViewTest, KindTwoGreysSelectionAndCone) {
    const Bytes file = sightV2LogOf(-20, 10, 3, {{'l', 0, 20, -5}, {'r', 10, 20, 9000}, {'l', 20, 20, 4000}});
    const QImage image = exportOf(file, {"--select", "1"});
    ASSERT_FALSE(image.isNull());
    // Facing +x, the back half is on the left: stamina -5 counts as 0 (white), 9000 as 8000 (black).
    EXPECT_EQ(at(image, 0, 20, -4, 0), QColor(255, 255, 255));
    EXPECT_EQ(at(image, 10, 20, -4, 0), QColor(0, 0, 0));
    EXPECT_EQ(at(image, 20, 20, -4, 0), QColor(127, 127, 127));
    // Index 1 is highlighted, the others keep their side's colour.
    EXPECT_EQ(at(image, 0, 20, 4, 0), kYellow);
    EXPECT_EQ(at(image, 10, 20, 4, 0), kHighlight);
    EXPECT_EQ(at(image, 20, 20, 4, 0), kYellow);
    // The observer is never selected here, so his side colour stays at index 3 = n too.
    const QImage observer = exportOf(file, {"--select", "3"});
    EXPECT_EQ(at(observer, -20, 10, 4, 2), kYellow);
    EXPECT_EQ(at(observer, 10, 20, 4, 0), kRed);

    // The closing line of the cone runs up and right at 60 degrees from the observer.
    const int px = 375 + 50;
    const int py = 560 - 87;
    EXPECT_TRUE(blackNear(image, px, py));
    const QImage noCone = exportOf(file, {"--option", "Viewarea=0"});
    EXPECT_FALSE(blackNear(noCone, px, py));
}

TEST_F(SightViewTest, KindTwoObserversNumberIsWrittenInTheModeFont) {
    const QImage image = exportOf(sightV2LogOf(-20, 10, 0, {}), {"--option", "Stamina=0"});
    ASSERT_FALSE(image.isNull());
    // The number 9 starts up and right of the observer (radius 9 pixels at scale 3), in
    // (55,255,255) blended into the field at its edges: measure the rows its ink covers.
    const QRect area(375 + 9, 560 - 9 - 10, 60, 60);
    int top = area.bottom();
    int bottom = area.top();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 200 && c.blue() > 200 && c.red() < 120) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(bottom, top);
    DisplayFonts fonts;
    fonts.make(10.0);
    const int modeHeight = QFontMetrics(fonts.mode).tightBoundingRect(QStringLiteral("9")).height();
    const int labelHeight = QFontMetrics(fonts.label).tightBoundingRect(QStringLiteral("9")).height();
    ASSERT_GT(modeHeight, labelHeight + 2);
    EXPECT_NEAR(bottom - top + 1, modeHeight, 2);
}

TEST_F(SightViewTest, GarbageCountsDrawOnlyWhatFits) {
    for (const std::int32_t count : {-7, 23, 0x7FFFFFFF}) {
        const QImage image = exportOf(sightV2LogOf(-20, 10, count, {{'r', 0, 20, 0}}));
        ASSERT_FALSE(image.isNull()) << count;
        EXPECT_EQ(at(image, 0, 20, 4, 0), count < 0 ? kField : kRed) << count;
    }
}

}  // namespace
}  // namespace tessarin::test
