// Where a tool window with no place of its own opens: beside the program's windows, on the screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include "gui/GuiTestSupport.h"
#include "settings/Profile.h"
#include "settings/WindowPlacement.h"

namespace tessarin::test {
namespace {

class WindowPlacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        area = QGuiApplication::primaryScreen()->availableGeometry();
        strip.setGeometry(area.left(), area.top(), 300, 60);
        display.setGeometry(area.left(), area.top() + 80, 320, 240);
        strip.show();
        display.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
    }

    QRect area;
    QWidget strip;
    QWidget display;
};

TEST_F(WindowPlacementTest, ANewToolWindowOpensRightOfTheProgramsWindows) {
    QWidget tool(&strip, Qt::Tool);
    tool.resize(200, 150);
    placeBesideOthers(tool);
    EXPECT_GT(tool.x(), display.frameGeometry().right()) << "clear of the field";
    EXPECT_EQ(tool.y(), area.top());
}

TEST_F(WindowPlacementTest, WithoutRoomBesideItStaysOnTheScreen) {
    display.setGeometry(area.left(), area.top() + 80, area.width() - 50, 240);
    QWidget tool(&strip, Qt::Tool);
    tool.resize(200, 150);
    placeBesideOthers(tool);
    EXPECT_TRUE(area.contains(QRect(tool.pos(), tool.size()))) << tool.x() << "," << tool.y();
}

TEST_F(WindowPlacementTest, AStoredPlaceWinsOverTheDefault) {
    TempProfile settings;
    settings.writeText("[Tool]\nLeft=" + std::to_string(area.left() + 5) + "\nTop=" + std::to_string(area.top() + 7) +
                       "\n");
    const auto profile = settings.open();
    QWidget tool(&strip, Qt::Tool);
    tool.resize(200, 150);
    restorePlacement(tool, *profile, QStringLiteral("Tool"));
    EXPECT_EQ(tool.pos(), QPoint(area.left() + 5, area.top() + 7));
    QWidget fresh(&strip, Qt::Tool);
    fresh.resize(200, 150);
    restorePlacement(fresh, *profile, QStringLiteral("Other"));
    EXPECT_GT(fresh.x(), display.frameGeometry().right());
}

}  // namespace
}  // namespace tessarin::test
