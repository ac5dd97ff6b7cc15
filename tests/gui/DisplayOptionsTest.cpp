// Display operations, their query results and the option settings.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <memory>

#include "display/DisplayOptions.h"
#include "display/Displayer.h"
#include "gui/GuiTestSupport.h"
#include "settings/Profile.h"

namespace tessarin::test {
namespace {

const QString kDisplayer = QStringLiteral("Displayer");

class DisplayOptionsTest : public ::testing::Test {
protected:
    std::unique_ptr<CDisplayer> makeDisplay() {
        if (!profile) profile = settings.open();
        return std::make_unique<CDisplayer>(*profile);
    }
    void reopen() {
        profile.reset();
        profile = settings.open();
    }

    TempProfile settings;
    std::unique_ptr<Profile> profile;
};

TEST_F(DisplayOptionsTest, StartValues) {
    auto display = makeDisplay();
    const DisplayOptions& o = display->options();
    EXPECT_TRUE(o.Number && o.Kickmargin && o.Viewarea && o.Stamina && o.OffsideLine && o.BallDetail);
    EXPECT_FALSE(o.Velocity || o.ControlArea || o.ControlCourse);
    EXPECT_TRUE(o.PassInfo && o.ShootInfo && o.SightInfo && o.DribbleInfo && o.InterceptInfo && o.DefenseInfo);
    EXPECT_FALSE(o.pause || o.debug || o.plan || o.fullStateLeft || o.fullStateRight || o.Recover || o.opponentModel);
    EXPECT_DOUBLE_EQ(o.PlayerScale, 3.0);
    EXPECT_FALSE(o.SmoothDrawing);
    EXPECT_EQ(display->selected(), kSelectBall);
    EXPECT_EQ(display->zoomMode(), kZoomNone);
}

// Each switch flips its own flag and no other, and flips it back.
TEST_F(DisplayOptionsTest, EachSwitchFlipsOnlyItsOwnFlag) {
    const std::vector<bool DisplayOptions::*> flags = {&DisplayOptions::Number,        &DisplayOptions::Kickmargin,
                                                       &DisplayOptions::Viewarea,      &DisplayOptions::Velocity,
                                                       &DisplayOptions::Stamina,       &DisplayOptions::OffsideLine,
                                                       &DisplayOptions::BallDetail,    &DisplayOptions::ControlArea,
                                                       &DisplayOptions::ControlCourse, &DisplayOptions::opponentModel};
    auto display = makeDisplay();
    for (const auto flag : flags) {
        const DisplayOptions before = display->options();
        display->toggleOption(flag);
        for (const auto other : flags) {
            EXPECT_EQ(display->options().*other, other == flag ? !(before.*other) : before.*other);
        }
        display->toggleOption(flag);
        EXPECT_EQ(display->options().*flag, before.*flag);
    }
    // The clients' switches: the defence flag and the plan flag are distinct.
    const bool defense = display->options().DefenseInfo;
    display->toggleClientOption(ClientOption::Plan);
    EXPECT_TRUE(display->options().plan);
    EXPECT_EQ(display->options().DefenseInfo, defense);
    display->toggleClientOption(ClientOption::DefenseInfo);
    EXPECT_NE(display->options().DefenseInfo, defense);
    EXPECT_TRUE(display->clientOption(ClientOption::Plan));
}

TEST_F(DisplayOptionsTest, PlayerScaleWalksInStepsAndStopsAtTheBounds) {
    auto display = makeDisplay();
    const double up[] = {3.4, 3.8, 4.2, 4.6};
    for (const double expected : up) {
        EXPECT_TRUE(display->canEnlargePlayers());
        display->enlargePlayers();
        EXPECT_NEAR(display->options().PlayerScale, expected, 1e-9);
    }
    display->enlargePlayers();  // 4.6 < 5: a value just above 5
    EXPECT_GT(display->options().PlayerScale, 5.0);
    EXPECT_NEAR(display->options().PlayerScale, 5.0, 1e-9);
    EXPECT_FALSE(display->canEnlargePlayers());
    const double top = display->options().PlayerScale;
    display->enlargePlayers();
    EXPECT_EQ(display->options().PlayerScale, top);

    auto fresh = makeDisplay();
    const double down[] = {2.6, 2.2, 1.8, 1.4};
    for (const double expected : down) {
        fresh->reducePlayers();
        EXPECT_NEAR(fresh->options().PlayerScale, expected, 1e-9);
    }
    fresh->reducePlayers();
    EXPECT_GT(fresh->options().PlayerScale, 1.0);
    EXPECT_TRUE(fresh->canReducePlayers());
    fresh->reducePlayers();  // the sixth step reaches about 0.6
    EXPECT_NEAR(fresh->options().PlayerScale, 0.6, 1e-9);
    EXPECT_FALSE(fresh->canReducePlayers());
    fresh->reducePlayers();
    EXPECT_NEAR(fresh->options().PlayerScale, 0.6, 1e-9);
}

TEST_F(DisplayOptionsTest, ZoomModesAndSelection) {
    auto display = makeDisplay();
    display->toggleZoom(kZoomIn);
    EXPECT_EQ(display->zoomMode(), kZoomIn);
    display->toggleZoom(kZoomIn);
    EXPECT_EQ(display->zoomMode(), kZoomNone);
    display->toggleZoom(kZoomIn);
    display->toggleZoom(kZoomOut);
    EXPECT_EQ(display->zoomMode(), kZoomOut);

    EXPECT_EQ(display->selected(), kSelectBall);
    display->select(5);
    EXPECT_EQ(display->selected(), 5);
    display->select(40);
    EXPECT_EQ(display->selected(), kSelectNothing);
    display->select(5);
    display->select(-1);
    EXPECT_EQ(display->selected(), kSelectNothing);
}

TEST_F(DisplayOptionsTest, PlayerScaleIsReadBackOnlyWithinOneToFive) {
    struct Case {
        const char* stored;
        double expected;
    };
    const Case cases[] = {{"7.5", 3.0}, {"0.5", 3.0}, {"abc", 3.0}, {"", 3.0},     {"1e308", 3.0},
                          {"nan", 3.0}, {"4.2", 4.2}, {"1", 1.0},   {"5.000", 5.0}};
    for (const Case& c : cases) {
        settings.writeText(std::string("[Displayer]\nPlayerScale=") + c.stored + "\n");
        reopen();
        auto display = makeDisplay();
        EXPECT_DOUBLE_EQ(display->options().PlayerScale, c.expected) << "stored " << c.stored;
        display.reset();
    }
}

TEST_F(DisplayOptionsTest, OnlyScaleVelocityControlFlagsAndSmoothDrawingAreReadBack) {
    {
        auto display = makeDisplay();
        display->toggleOption(&DisplayOptions::Number);       // off
        display->toggleOption(&DisplayOptions::Velocity);     // on
        display->toggleOption(&DisplayOptions::ControlArea);  // on
        display->toggleOption(&DisplayOptions::Kickmargin);   // off
        display->enlargePlayers();                            // 3.4
        display->toggleClientOption(ClientOption::Pause);     // not stored
        display->setSmoothDrawing(true);
    }
    reopen();
    EXPECT_EQ(profile->readString(kDisplayer, QStringLiteral("PlayerScale"), {}), QStringLiteral("3.400"));
    EXPECT_EQ(profile->readInt(kDisplayer, QStringLiteral("Number"), -1), 0);
    EXPECT_EQ(profile->readInt(kDisplayer, QStringLiteral("Velocity"), -1), 1);
    EXPECT_EQ(profile->readInt(kDisplayer, QStringLiteral("Kickmargin"), -1), 0);
    EXPECT_EQ(profile->readInt(kDisplayer, QStringLiteral("DefenseInfo"), -1), 1);
    EXPECT_FALSE(profile->contains(kDisplayer, QStringLiteral("pause")));

    auto display = makeDisplay();
    EXPECT_TRUE(display->options().Number);  // written, not read back
    EXPECT_TRUE(display->options().Kickmargin);
    EXPECT_TRUE(display->options().Velocity);
    EXPECT_TRUE(display->options().ControlArea);
    EXPECT_FALSE(display->options().ControlCourse);
    EXPECT_FALSE(display->options().pause);
    EXPECT_NEAR(display->options().PlayerScale, 3.4, 1e-9);
    EXPECT_TRUE(display->smoothDrawing());
}

TEST_F(DisplayOptionsTest, SmoothDrawingStartsOffAndIsKeptInTheSettings) {
    {
        auto display = makeDisplay();
        EXPECT_FALSE(display->smoothDrawing());
        QSignalSpy changed(display.get(), &CDisplayer::smoothDrawingChanged);
        display->setSmoothDrawing(true);
        display->setSmoothDrawing(true);  // no change, no signal
        ASSERT_EQ(changed.count(), 1);
        EXPECT_TRUE(changed.at(0).at(0).toBool());
        EXPECT_TRUE(display->options().SmoothDrawing);
    }
    reopen();
    EXPECT_EQ(profile->readInt(kDisplayer, QStringLiteral("SmoothDrawing"), -1), 1);
    EXPECT_TRUE(makeDisplay()->smoothDrawing());
    makeDisplay()->setSmoothDrawing(false);
    reopen();
    EXPECT_FALSE(makeDisplay()->smoothDrawing());
}

TEST_F(DisplayOptionsTest, StoredFlagsCountOnlyWhenExactlyOne) {
    settings.writeText("[Displayer]\nVelocity=2\nControlArea=yes\nControlCourse=1\n");
    reopen();
    auto display = makeDisplay();
    EXPECT_FALSE(display->options().Velocity);
    EXPECT_FALSE(display->options().ControlArea);
    EXPECT_TRUE(display->options().ControlCourse);
}

TEST(ProfileTest, NonsenseValuesReadAsTheFallback) {
    TempProfile settings;
    settings.writeText(
        "[MainFrame]\nHide=abc\nToolBars0=99999999999999\nOnTop=1.5\nleft=-12\n"
        "[Socket]\nServerHost=\"a,b\"\nServerPort= 6001 \n");
    const auto profile = settings.open();
    const QString main = QStringLiteral("MainFrame");
    EXPECT_EQ(profile->readInt(main, QStringLiteral("Hide"), 7), 7);
    EXPECT_EQ(profile->readInt(main, QStringLiteral("ToolBars0"), 206), 206);
    EXPECT_EQ(profile->readInt(main, QStringLiteral("OnTop"), 0), 0);
    EXPECT_EQ(profile->readInt(main, QStringLiteral("left"), 0), -12);
    EXPECT_EQ(profile->readInt(main, QStringLiteral("Missing"), 42), 42);
    EXPECT_EQ(profile->readInt(QStringLiteral("Socket"), QStringLiteral("ServerPort"), 0), 6001);
    EXPECT_EQ(profile->readString(QStringLiteral("Socket"), QStringLiteral("ServerHost"), {}), QStringLiteral("a,b"));
}

}  // namespace
}  // namespace tessarin::test
