// The key table as the user meets it: every key works from the main frame, from the
// separated display and from a tool window, the right team is reached by Shift and a digit
// whatever character the layout makes of it, and check marks follow at once.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QShortcutEvent>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "app/CommandIds.h"
#include "app/CycleSlider.h"
#include "app/MainFrm.h"
#include "app/StatusBar.h"
#include "app/Tessarin.h"
#include "display/Displayer.h"
#include "gui/GuiTestSupport.h"
#include "windows/DisplayToolWindows.h"
#include "windows/DrawingBox.h"
#include "windows/ObjectDetailDialog.h"
#include "windows/PresentDialog.h"
#include "windows/StatisticDialog.h"
#include "windows/TypeExplorer.h"

namespace tessarin::test {
namespace {

class CommandKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = settings.open();
        // The trainer's key starts it, and it writes its files into the test's directory.
        app = std::make_unique<CTessarinApp>(*profile, TrainerOptions{settings.dir().path().string()});
        app->InitInstance();
        FrameDialogs dialogs;
        dialogs.showMessage = [this](const std::string& text) { messages.push_back(text); };
        frame().setDialogs(dialogs);
        frame().openDocument(QString::fromStdString(writeGame(settings.dir(), "keys.rcg", 40)));
        frame().logPlayer().waitForParser();
        QApplication::processEvents();
    }
    void TearDown() override {
        app->mainFrame()->close();
        app.reset();
        profile.reset();
    }
    CMainFrame& frame() { return *app->mainFrame(); }
    CDisplayer& display() { return *app->displayer(); }
    DisplayToolWindows& tools() { return *frame().toolWindows(); }
    // Makes `window` the active window, as a user's click on it would.
    static void activate(QWidget& window) {
        if (!window.isVisible()) window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    static void press(QWidget& window, Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers) {
        QTest::sendKeyEvent(QTest::Press, &window, key, text, modifiers);
        QTest::sendKeyEvent(QTest::Release, &window, key, text, modifiers);
    }
    int cycle() const { return app->mainFrame()->logPlayer().current_cycle(); }

    TempProfile settings;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<CTessarinApp> app;
    std::vector<std::string> messages;
};

// A key of the table: a character (typed as the user types it) or a named key, what to
// set up before it, what it changes and how to tidy up after it.
struct KeyRow {
    const char* name;
    char character = 0;
    Qt::Key key = Qt::Key_unknown;
    std::function<std::string()> observe;
    std::function<void()> prepare = [] {};
    std::function<void()> cleanup = [] {};
};

TEST_F(CommandKeysTest, EveryKeyWorksFromTheFrameTheDisplayAndTheStatisticsWindow) {
    const auto flag = [this](bool DisplayOptions::*f) {
        return [this, f] { return std::to_string(display().options().*f); };
    };
    const auto visible = [](std::function<QWidget*()> window) {
        return [window] {
            QWidget* w = window();
            return std::string(w && w->isVisible() ? "shown" : "hidden");
        };
    };
    const auto shownCycle = [this] { return std::to_string(cycle()); };
    const auto playing = [this] { return std::to_string(frame().logPlayer().running()); };
    const auto period = [this] { return std::to_string(frame().logPlayer().period()); };
    const auto scale = [this] { return std::to_string(display().options().PlayerScale); };
    const auto selected = [this] { return std::to_string(display().selected()); };
    const auto stepForward = [this] { frame().onCommand(cmd::kForward); };
    const auto play = [this] { frame().onCommand(cmd::kPlay); };
    const auto stop = [this] { frame().onCommand(cmd::kStop); };
    const auto unselect = [this] { display().select(kSelectNothing); };

    std::vector<KeyRow> rows = {
        {"X", 'x', {}, playing, stop, stop},
        {"F5", 0, Qt::Key_F5, playing, stop, stop},
        {"C", 'c', {}, playing, play, stop},
        {"B", 'b', {}, [this] { return std::to_string(frame().logPlayer().reverse()); }},
        {"A", 'a', {}, period, play, stop},
        {"D", 'd', {}, period, play, stop},
        {"Right", 0, Qt::Key_Right, shownCycle, stop},
        {".", '.', {}, shownCycle, stop},
        {">", '>', {}, shownCycle, stop},
        {"Left", 0, Qt::Key_Left, shownCycle, stepForward},
        {",", ',', {}, shownCycle, stepForward},
        {"<", '<', {}, shownCycle, stepForward},
        {"V", 'v', {}, shownCycle, stepForward},
        {"Q", 'q', {}, flag(&DisplayOptions::Kickmargin)},
        {"W", 'w', {}, flag(&DisplayOptions::Viewarea)},
        {"E", 'e', {}, flag(&DisplayOptions::Stamina)},
        {"R", 'r', {}, flag(&DisplayOptions::Number)},
        {"U", 'u', {}, flag(&DisplayOptions::Velocity)},
        {"+", '+', {}, flag(&DisplayOptions::BallDetail)},
        {"|", '|', {}, flag(&DisplayOptions::OffsideLine)},
        {"\\", '\\', {}, flag(&DisplayOptions::ControlCourse)},
        {"Z", 'z', {}, flag(&DisplayOptions::ControlArea)},
        {"Up", 0, Qt::Key_Up, scale},
        {"Down", 0, Qt::Key_Down, scale},
        {"Y", 'y', {}, scale},
        {"1", '1', {}, selected, unselect},
        {"0", '0', {}, selected, unselect},
        {"-", '-', {}, selected, unselect},
        {"!", '!', {}, selected, unselect},
        {")", ')', {}, selected, unselect},
        {"_", '_', {}, selected, unselect},
        {"`", '`', {}, selected, unselect},
        {"~", '~', {}, selected},
        {"F3", 0, Qt::Key_F3, [this] { return std::to_string(display().zoomMode()); }},
        {"F4", 0, Qt::Key_F4, [this] { return std::to_string(display().zoomMode()); }},
        {"F",
         'f',
         {},
         [this] { return std::to_string(display().fullScreen()); },
         [] {},
         [this] { display().leaveFullScreen(); }},
        {"H", 'h', {}, visible([this] { return &frame(); }), [] {}, [this] { frame().show(); }},
        {"T", 't', {}, [this] { return std::to_string(frame().onTop()); }},
        {"Tab", 0, Qt::Key_Tab, visible([this] { return tools().details(); })},
        {"G", 'g', {}, visible([this] { return tools().drawingBox(); })},
        {"]", ']', {}, visible([this] { return tools().presentDialog(); })},
        {"=", '=', {}, visible([this] { return frame().typeExplorer(); })},
        {"[", '[', {}, visible([this] { return frame().statisticDialog(); })},
    };
    frame().onCommand(cmd::kStatistics);
    ASSERT_NE(frame().statisticDialog(), nullptr);
    const std::vector<std::pair<const char*, std::function<QWidget&()>>> targets = {
        {"frame", [this]() -> QWidget& { return frame(); }},
        {"display", [this]() -> QWidget& { return display(); }},
        {"statistics", [this]() -> QWidget& { return *frame().statisticDialog(); }},
    };
    for (const auto& [where, target] : targets) {
        for (const KeyRow& row : rows) {
            row.prepare();
            QWidget& window = target();
            activate(window);
            const std::string before = row.observe();
            if (row.character) {
                QTest::keyClick(&window, row.character);
            } else {
                QTest::keyClick(&window, row.key);
            }
            QApplication::processEvents();
            EXPECT_NE(row.observe(), before) << "key " << row.name << " in the " << where;
            row.cleanup();
        }
    }
}

TEST_F(CommandKeysTest, ShiftAndADigitSelectTheRightTeamWhateverCharacterTheLayoutGives) {
    activate(display());
    // US, German and a made-up layout: the same key code with three texts.
    for (const char* text : {"!", "+", "1"}) {
        display().select(kSelectNothing);
        press(display(), Qt::Key_1, QString::fromLatin1(text), Qt::ShiftModifier);
        EXPECT_EQ(display().selected(), 11) << "Shift+1 giving " << text;
    }
    press(display(), Qt::Key_0, QStringLiteral("="), Qt::ShiftModifier);
    EXPECT_EQ(display().selected(), 20);
    press(display(), Qt::Key_Minus, QStringLiteral("?"), Qt::ShiftModifier);
    EXPECT_EQ(display().selected(), 21);
    // Without Shift the same keys select the left team.
    press(display(), Qt::Key_1, QStringLiteral("1"), Qt::NoModifier);
    EXPECT_EQ(display().selected(), 0);

    // An X11 keyboard reports Shift+1 as "Shift+1" and as "!": both name right player 1,
    // and the doubly matched key still selects him.
    QAction* right1 = frame().action(cmd::kSelectFirstRight);
    QShortcutEvent doubled(QKeySequence(Qt::Key_Exclam), 0, true);
    QApplication::sendEvent(right1, &doubled);
    EXPECT_EQ(display().selected(), 11);
}

TEST_F(CommandKeysTest, CheckMarksFollowTheirStateAtOnce) {
    activate(frame());
    QAction* controlArea = frame().action(cmd::kControlArea);
    ASSERT_FALSE(controlArea->isChecked());
    QTest::keyClick(&frame(), 'z');
    EXPECT_TRUE(controlArea->isChecked());
    QTest::keyClick(&frame(), 'z');
    EXPECT_FALSE(controlArea->isChecked());

    // A click on a player checks his button; Unselect is a command, never a check mark.
    display().SetCurrentRecord(showRecord(ShowBuilder(1).player(0, 1, 0, -20, 10).build()));
    QApplication::processEvents();
    display().repaint();
    const QPoint at(display().view().pixelX(-20), display().view().pixelY(10));
    QTest::mouseClick(&display(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_EQ(display().selected(), 0);
    EXPECT_TRUE(frame().action(cmd::kSelectFirstLeft)->isChecked());
    EXPECT_FALSE(frame().action(cmd::kSelectBall)->isChecked());
    EXPECT_FALSE(frame().action(cmd::kUnselect)->isCheckable());
    // Leaving full screen by Escape, which no command does, is followed too.
    frame().onCommand(cmd::kFullScreen);
    ASSERT_TRUE(eventuallyInGui([&] { return display().fullScreen(); }));
    EXPECT_TRUE(frame().action(cmd::kFullScreen)->isChecked());
    activate(display());
    QTest::keyClick(&display(), Qt::Key_Escape);
    EXPECT_TRUE(eventuallyInGui([&] { return !frame().action(cmd::kFullScreen)->isChecked(); }));
}

TEST_F(CommandKeysTest, TheJumpBoxTakesATypedCycleAndEnterJumps) {
    activate(frame());
    const int selected = display().selected();
    bool typed = false;
    QTimer::singleShot(0, [&typed] {
        auto* dialog = qobject_cast<CCycleSlider*>(QApplication::activeModalWidget());
        if (!dialog) return;
        // The box has the focus with its text selected: typing replaces it.
        QTest::keyClicks(dialog->cycleBox(), QStringLiteral("27"));
        QTest::keyClick(dialog->cycleBox(), Qt::Key_Return);
        typed = true;
    });
    QTest::keyClick(&frame(), 'j');
    ASSERT_TRUE(typed);
    EXPECT_EQ(cycle(), 27);
    // The digits went to the box, not to the selection.
    EXPECT_EQ(display().selected(), selected);
}

TEST_F(CommandKeysTest, OneModelessTypeExplorerThatTheOtherKeysPassBy) {
    activate(frame());
    QTest::keyClick(&frame(), '=');
    CTypeExplorer* explorer = frame().typeExplorer();
    ASSERT_TRUE(explorer && explorer->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    activate(*explorer);
    QTest::keyClick(explorer, '[');
    ASSERT_NE(frame().statisticDialog(), nullptr);
    EXPECT_TRUE(frame().statisticDialog()->isVisible());
    activate(*explorer);
    QTest::keyClick(explorer, '=');
    EXPECT_TRUE(eventuallyInGui([&] { return !frame().typeExplorer() || !frame().typeExplorer()->isVisible(); }));
    EXPECT_LE(frame().findChildren<CTypeExplorer*>().size(), 1);
}

TEST_F(CommandKeysTest, TrainerConnectSaysWhatHappened) {
    frame().onCommand(cmd::kTrainerConnect);
    ASSERT_TRUE(app->trainer().connected());
    EXPECT_TRUE(frame().statusLine().message().startsWith(QStringLiteral("Trainer connected to")))
        << frame().statusLine().message().toStdString();
    EXPECT_TRUE(frame().statusLine().message().endsWith(QStringLiteral("localhost:6001")));
    frame().onCommand(cmd::kTrainerDisconnect);
    EXPECT_EQ(frame().statusLine().message(), QStringLiteral("Trainer disconnected"));
}

}  // namespace
}  // namespace tessarin::test
