// The chart control: bounds of its series, its scales and what it draws.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>

#include "chart/2DScale.h"
#include "chart/ChartCtrl.h"
#include "chart/ChartWnd.h"
#include "chart/LegendWnd.h"
#include "gui/GuiTestSupport.h"

namespace tessarin::test {
namespace {

TEST(ChartBoundsTest, FirstPointAfterRemovingAllSetsEveryBound) {
    CDataSeriesArray data;
    EXPECT_FALSE(data.hasPoints());
    EXPECT_EQ(data.minX(), std::numeric_limits<double>::max());
    EXPECT_EQ(data.maxY(), std::numeric_limits<double>::min());
    const int s = data.add(QStringLiteral("a"), Qt::red);
    ASSERT_TRUE(data.addPoint(s, {3, 40}));
    ASSERT_TRUE(data.addPoint(s, {-2, 5}));
    data.removeAll();
    const int t = data.add(QStringLiteral("b"), Qt::green);
    ASSERT_TRUE(data.addPoint(t, {4, 7}));
    EXPECT_EQ(data.minX(), 4);
    EXPECT_EQ(data.maxX(), 4);
    EXPECT_EQ(data.minY(), 7);
    EXPECT_EQ(data.maxY(), 7);
    // A count of zero, or a value below zero, is a bound as well.
    data.removeAll();
    data.add(QStringLiteral("c"), Qt::blue);
    ASSERT_TRUE(data.addPoint(0, {1, 0}));
    EXPECT_EQ(data.maxY(), 0);
    ASSERT_TRUE(data.addPoint(0, {-3, -1}));
    EXPECT_EQ(data.maxX(), 1);
    EXPECT_EQ(data.minY(), -1);
}

TEST(ChartBoundsTest, BadIndicesAndPointsAreRefusedAndRemovingOneRecomputes) {
    CDataSeriesArray data;
    EXPECT_FALSE(data.addPoint(0, {1, 1})) << "no series yet";
    data.add(QStringLiteral("a"), Qt::red);
    data.add(QStringLiteral("b"), Qt::green);
    EXPECT_FALSE(data.addPoint(-1, {1, 1}));
    EXPECT_FALSE(data.addPoint(2, {1, 1}));
    EXPECT_FALSE(data.addPoint(0, {std::nan(""), 1}));
    EXPECT_FALSE(data.addPoint(0, {1, std::numeric_limits<double>::infinity()}));
    EXPECT_FALSE(data.hasPoints());
    data.addPoint(0, {1, 50});
    data.addPoint(1, {11, 2});
    ASSERT_TRUE(data.remove(0));
    EXPECT_EQ(data.size(), 1);
    EXPECT_EQ(data.minX(), 11);
    EXPECT_EQ(data.maxY(), 2);
    EXPECT_FALSE(data.remove(5));
}

TEST(ChartScaleTest, LabelFormatsAreCheckedAndRangesFollowTheData) {
    C2DScale scale;
    EXPECT_TRUE(scale.setLabelFormat("%.0f"));
    EXPECT_EQ(scale.label(3.0), QStringLiteral("3"));
    EXPECT_TRUE(scale.setLabelFormat("%5.1f%%"));
    EXPECT_EQ(scale.label(2.25), QStringLiteral("  2.2%"));
    for (const char* bad : {"%s", "%d", "%f %f", "no conversion", "%", "%n"}) {
        EXPECT_FALSE(scale.setLabelFormat(bad)) << bad;
    }
    EXPECT_EQ(scale.labelFormat(), "%5.1f%%");

    scale.setRange(0, 10);
    scale.setStep(1);
    C2DScale::Drawn d = scale.drawn(true, 0, 7);
    EXPECT_EQ(d.maximum, 10);
    EXPECT_EQ(d.step, 1);
    // Forty-seven passes: the axis reaches them, in steps of five.
    d = scale.drawn(true, 0, 47);
    EXPECT_EQ(d.step, 5);
    EXPECT_EQ(d.maximum, 50);
    EXPECT_EQ(C2DScale::ticks(d).size(), 11u);
    d = scale.drawn(true, 0, 1e6);
    EXPECT_GE(d.maximum, 1e6);
    EXPECT_LE(C2DScale::ticks(d).size(), static_cast<std::size_t>(C2DScale::kMaxTicks) + 1);
}

int countColour(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == colour ? 1 : 0;
    }
    return n;
}

TEST(ChartCtrlTest, BarsAreDrawnInTheirSeriesColoursAndSavedAsPng) {
    TempDir dir;
    CChartCtrl chart;
    chart.resize(600, 360);
    chart.SetChartType(kChartBars);
    chart.SetRange(ChartAxis::Horizontal, 1, 11);
    chart.SetRange(ChartAxis::Vertical, 0, 10);
    chart.SetScaleFlags(ChartAxis::Vertical, chart.GetScaleFlags(ChartAxis::Vertical) | C2DScale::kShowLabels);
    // No series: an empty plot, still an image.
    const QString empty = QString::fromStdString(dir.file("empty.png"));
    ASSERT_TRUE(chart.SaveImage(empty));
    EXPECT_EQ(countColour(QImage(empty), QColor(255, 0, 0)), 0);

    const int all = chart.AddSeries(QStringLiteral("ALL"), QColor(255, 0, 0));
    const int succeed = chart.AddSeries(QStringLiteral("SUCCEED"), QColor(0, 255, 0));
    for (int unum = 1; unum <= 11; ++unum) {
        chart.AddPoint(all, unum, unum);
        chart.AddPoint(succeed, unum, unum / 2);
    }
    EXPECT_FALSE(chart.AddPoint(-1, 1, 1));
    ASSERT_EQ(chart.legend().entries().size(), 2u);
    EXPECT_EQ(chart.legend().entries()[1].name, QStringLiteral("SUCCEED"));
    const QString path = QString::fromStdString(dir.file("chart.png"));
    ASSERT_TRUE(chart.SaveImage(path));
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    const int red = countColour(image, QColor(255, 0, 0));
    const int green = countColour(image, QColor(0, 255, 0));
    EXPECT_GT(red, 2000);
    EXPECT_GT(green, 500);
    EXPECT_GT(red, green) << "every ALL bar is at least as tall as its SUCCEED bar";

    // The context menu's entry: the chosen name gets its extension; a place that cannot
    // be written leaves no file behind.
    chart.setSavePathAsker([&dir] { return QString::fromStdString(dir.file("menu")); });
    chart.saveImageWithDialog();
    EXPECT_FALSE(QImage(QString::fromStdString(dir.file("menu.png"))).isNull());
    EXPECT_FALSE(chart.SaveImage(QString::fromStdString(dir.file("missing/chart.png"))));

    chart.RemoveAllSeries();
    EXPECT_TRUE(chart.legend().entries().empty());
    EXPECT_EQ(chart.series().size(), 0);
}

}  // namespace
}  // namespace tessarin::test
