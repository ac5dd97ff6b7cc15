// Start-up, settings, keys, commands and loading of the main frame with its display.

#include <gtest/gtest.h>

#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <thread>

#include <sys/stat.h>

#include "app/CommandIds.h"
#include "app/CycleSlider.h"
#include "app/MainFrm.h"
#include "app/RecentFiles.h"
#include "app/StatusBar.h"
#include "app/Tessarin.h"
#include "display/Displayer.h"
#include "gui/GuiTestSupport.h"
#include "support/FakeHost.h"
#include "windows/DisplayToolWindows.h"
#include "windows/DrawingBox.h"
#include "windows/ObjectDetailDialog.h"

namespace tessarin::test {
namespace {

const QString kMainFrame = QStringLiteral("MainFrame");

class MainFrameTest : public ::testing::Test {
protected:
    void start(const QString& path = {}, std::optional<QPoint> at = {}) {
        profile = settings.open();
        app = std::make_unique<CTessarinApp>(*profile);
        app->InitInstance(path, at);
        FrameDialogs dialogs;
        dialogs.showMessage = [this](const std::string& text) { messages.push_back(text); };
        frame().setDialogs(dialogs);
        QApplication::processEvents();
    }
    // The separated strip: 3 pixels below the bars, then the status bar.
    int stripHeight() { return frame().barsBottom() + kBarStripMargin + frame().statusBar()->sizeHint().height(); }
    // Closes the frame and destroys everything, as the end of the program does.
    void stop() {
        if (app) {
            app->mainFrame()->close();
            app.reset();
        }
        profile.reset();
    }
    void TearDown() override { stop(); }

    CMainFrame& frame() { return *app->mainFrame(); }
    CDisplayer& display() { return *app->displayer(); }
    // A key pressed while the frame is the active window, as a user would press it.
    void key(char c) {
        activate(frame());
        QTest::keyClick(&frame(), c);
        QApplication::processEvents();
    }
    void key(Qt::Key k) {
        activate(frame());
        QTest::keyClick(&frame(), k);
        QApplication::processEvents();
    }
    static void activate(QWidget& window) {
        if (QApplication::activeWindow() == &window) return;
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // Loads a game and waits until it has been read.
    void load(const std::string& path) {
        frame().openDocument(QString::fromStdString(path));
        frame().logPlayer().waitForParser();
        QApplication::processEvents();
    }
    int shownCycle() {
        QApplication::processEvents();
        const FieldScene scene = display().scene();
        return scene.current ? scene.current->cycle : -1;
    }

    TempProfile settings;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<CTessarinApp> app;
    std::vector<std::string> messages;
};

TEST_F(MainFrameTest, FirstStartIsSeparatedWithDefaultBars) {
    start();
    EXPECT_TRUE(frame().isVisible());
    EXPECT_TRUE(frame().separated());
    EXPECT_TRUE(display().isWindow());
    EXPECT_TRUE(display().isVisible());
    EXPECT_EQ(display().windowTitle(), QStringLiteral("Displayer Window"));
    EXPECT_FALSE(frame().onTop());
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Tessarin"));
    const bool expected[kToolBarCount] = {false, true, true, true, false, false, true, true, true};
    for (int i = 0; i < kToolBarCount; ++i) {
        EXPECT_EQ(!frame().toolBar(i)->isHidden(), expected[i]) << "bar " << i;
        EXPECT_EQ(frame().action(cmd::kFirstBarView + i)->isChecked(), expected[i]) << "bar " << i;
    }
    // The separated frame is a strip of bars and the status bar; the display opens below it.
    EXPECT_EQ(frame().height(), stripHeight());
    EXPECT_TRUE(frame().statusBar()->isVisible());
    EXPECT_EQ(display().pos().x(), frame().frameGeometry().left());
    EXPECT_GT(display().pos().y(), frame().frameGeometry().bottom());
    // Sized to the screen: two thirds of its height, and on it with the strip.
    const QRect work = frame().screen()->availableGeometry();
    EXPECT_TRUE(display().height() >= work.height() * 2 / 3 || display().width() >= work.width() * 9 / 10 - 1)
        << display().width() << "x" << display().height() << " on " << work.width() << "x" << work.height();
    EXPECT_TRUE(work.contains(frame().frameGeometry().topLeft()));
    EXPECT_LE(display().geometry().right(), work.right());
}

TEST_F(MainFrameTest, ANewInstanceOpensWhereItIsToldWithTheDisplayBelow) {
    // The display's place of the first instance is stored, yet the new one goes under its strip.
    start();
    display().resize(600, 400);  // stored small enough to fit beside the new strip's place
    stop();
    start({}, QPoint(140, 90));
    EXPECT_EQ(frame().pos(), QPoint(140, 90));
    EXPECT_EQ(display().pos().x(), 140);
    EXPECT_GT(display().pos().y(), frame().frameGeometry().bottom());
}

TEST_F(MainFrameTest, MenusCarryTheirTextsAndLaterEntriesAreDisabled) {
    start();
    // Keys stand in the menus' shortcut column, not in the texts.
    EXPECT_EQ(frame().action(cmd::kPlay)->text(), QStringLiteral("&Play"));
    EXPECT_EQ(frame().action(cmd::kPlay)->shortcut(), QKeySequence(Qt::Key_X));
    EXPECT_EQ(frame().action(cmd::kExit)->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(frame().action(cmd::kZoomIn)->text(), QStringLiteral("Zoom In"));
    EXPECT_EQ(frame().action(cmd::kZoomIn)->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(frame().action(cmd::kPassCourse)->text(), QStringLiteral("&Pass course"));
    EXPECT_EQ(frame().action(cmd::kPassCourse)->toolTip(), QStringLiteral("Control Course"));
    EXPECT_EQ(frame().action(cmd::kDebugPlanFlag)->text(), QStringLiteral("DeffenseInfo"));
    for (const Command& command : frame().commands()) {
        EXPECT_FALSE(command.text.contains(QLatin1Char('(')) && command.text.endsWith(QLatin1Char(')')))
            << command.text.toStdString();
    }
    EXPECT_EQ(frame().action(147)->text(), QStringLiteral("befor_kick_off"));
    ASSERT_NE(frame().action(32898), nullptr);
    // The selection buttons' prompts.
    EXPECT_EQ(frame().action(cmd::kSelectFirstLeft)->toolTip(), QStringLiteral("Select No.1 of Left Team"));
    EXPECT_EQ(frame().action(cmd::kSelectFirstRight + 10)->toolTip(), QStringLiteral("Select No.11 of Right Team"));
    EXPECT_EQ(frame().action(cmd::kSelectBall)->toolTip(), QStringLiteral("Select Ball"));
    for (const int id : {cmd::kPlayerTypeFirst, cmd::kMonitorDisconnect, cmd::kMonitorKickOff}) {
        ASSERT_NE(frame().action(id), nullptr) << id;
        EXPECT_FALSE(frame().action(id)->isEnabled()) << id;
    }
    // Idle: connecting, the trainer (disconnecting it too), its play modes, the debug entries
    // and saving are available.
    for (const int id : {cmd::kMonitorConnect, cmd::kMonitorReconnect, cmd::kTrainerConnect, cmd::kTrainerDisconnect,
                         cmd::kTrainKicker, 149, 32898, cmd::kDebugPause, cmd::kEnableOpponentModeling, cmd::kSave}) {
        ASSERT_NE(frame().action(id), nullptr) << id;
        EXPECT_TRUE(frame().action(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(frame().action(cmd::kLoad)->isEnabled());
    EXPECT_TRUE(frame().action(cmd::kKickMargin)->isChecked());
    EXPECT_TRUE(frame().action(cmd::kSelectBall)->isChecked());
    // The Logplayer bar holds its ten buttons in order.
    const QList<QAction*> buttons = frame().toolBar(6)->actions();
    ASSERT_EQ(buttons.size(), 10);
    EXPECT_EQ(buttons.front()->data().toInt(), cmd::kLoad);
    EXPECT_EQ(buttons.back()->data().toInt(), cmd::kJump);
    EXPECT_EQ(frame().toolBar(0)->actions().size(), 25);
}

TEST_F(MainFrameTest, PlayIsUnavailableWithoutAGame) {
    start();
    EXPECT_FALSE(frame().action(cmd::kPlay)->isEnabled());
    key('x');
    EXPECT_FALSE(frame().logPlayer().running());
    EXPECT_FALSE(frame().playbackTimerActive());
    EXPECT_EQ(display().scene().current, std::nullopt);
}

TEST_F(MainFrameTest, PlaybackKeys) {
    start();
    load(writeGame(settings.dir(), "game.rcg", 40));
    EXPECT_EQ(shownCycle(), 1);
    EXPECT_TRUE(frame().action(cmd::kPlay)->isEnabled());

    // A and D change the speed only while playing.
    key('a');
    EXPECT_DOUBLE_EQ(frame().logPlayer().period(), 100.0);
    key('x');
    EXPECT_TRUE(frame().logPlayer().running());
    EXPECT_TRUE(frame().playbackTimerActive());
    EXPECT_EQ(frame().playbackTimerInterval(), 100);
    EXPECT_EQ(shownCycle(), 2);  // play draws the next record at once
    key('A');
    EXPECT_DOUBLE_EQ(frame().logPlayer().period(), 50.0);
    EXPECT_EQ(frame().playbackTimerInterval(), 50);
    key('d');
    key('d');
    EXPECT_EQ(frame().playbackTimerInterval(), 200);

    // The timer moves the game on.
    const int before = shownCycle();
    EXPECT_TRUE(eventuallyInGui([&] { return shownCycle() > before; }));

    key('c');
    EXPECT_FALSE(frame().logPlayer().running());
    EXPECT_FALSE(frame().playbackTimerActive());
    const int stopped = shownCycle();
    key(Qt::Key_Right);
    EXPECT_EQ(shownCycle(), stopped + 1);
    key('.');
    EXPECT_EQ(shownCycle(), stopped + 2);
    key(Qt::Key_Left);
    key(',');
    EXPECT_EQ(shownCycle(), stopped);
    key('v');
    EXPECT_EQ(shownCycle(), 1);
    EXPECT_FALSE(frame().action(cmd::kRewind)->isEnabled());
    key('b');
    EXPECT_TRUE(frame().logPlayer().reverse());
    key('c');
}

TEST_F(MainFrameTest, PlaybackStopsAtTheLastCycle) {
    start();
    load(writeGame(settings.dir(), "short.rcg", 5));
    key('x');
    key('a');
    key('a');
    EXPECT_EQ(frame().playbackTimerInterval(), 25);
    ASSERT_TRUE(eventuallyInGui([&] { return !frame().logPlayer().running(); }));
    EXPECT_EQ(shownCycle(), 5);
    EXPECT_FALSE(frame().playbackTimerActive());
    EXPECT_TRUE(frame().action(cmd::kPlay)->isEnabled());
    EXPECT_FALSE(frame().action(cmd::kStop)->isEnabled());
}

TEST_F(MainFrameTest, JumpDialogJumpsToTheChosenCycle) {
    start();
    load(writeGame(settings.dir(), "game.rcg", 40));
    activate(frame());  // before the answer is queued: activating runs the event loop
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CCycleSlider*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->slider()->setValue(25);
        dialog->accept();
    });
    key('j');
    EXPECT_EQ(frame().logPlayer().current_cycle(), 25);
    EXPECT_EQ(shownCycle(), 25);

    // Cancelling leaves the position, although the preview stays drawn.
    activate(frame());  // before the answer is queued: activating runs the event loop
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CCycleSlider*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->slider()->setValue(7);
        dialog->reject();
    });
    key('J');
    EXPECT_EQ(frame().logPlayer().current_cycle(), 25);
}

TEST_F(MainFrameTest, DisplayKeysAndSelectionCommands) {
    start();
    key('q');
    EXPECT_FALSE(display().options().Kickmargin);
    key('e');
    EXPECT_FALSE(display().options().Stamina);
    key('u');
    EXPECT_TRUE(display().options().Velocity);
    key('3');
    EXPECT_EQ(display().selected(), 2);
    EXPECT_TRUE(frame().action(231)->isChecked());
    key('0');
    EXPECT_EQ(display().selected(), 9);
    key('-');
    EXPECT_EQ(display().selected(), 10);
    key('!');
    EXPECT_EQ(display().selected(), 11);
    key('_');
    EXPECT_EQ(display().selected(), 21);
    key('`');
    EXPECT_EQ(display().selected(), kSelectBall);
    key('~');
    EXPECT_EQ(display().selected(), kSelectNothing);
    key(Qt::Key_Up);
    EXPECT_NEAR(display().options().PlayerScale, 3.4, 1e-9);
    key(Qt::Key_Down);
    key('y');
    EXPECT_NEAR(display().options().PlayerScale, 2.6, 1e-9);
    key(Qt::Key_F3);
    EXPECT_EQ(display().zoomMode(), kZoomIn);
    key(Qt::Key_F4);
    EXPECT_EQ(display().zoomMode(), kZoomOut);
    key('m');  // no entry: nothing happens
    EXPECT_EQ(display().zoomMode(), kZoomOut);

    // Keys pressed on the display reach the frame.
    QTest::keyClick(&display(), 'r');
    EXPECT_FALSE(display().options().Number);
}

TEST_F(MainFrameTest, FullScreenAndHideDependOnPlacement) {
    start();
    ASSERT_TRUE(frame().separated());
    key('f');
    EXPECT_TRUE(display().isMaximized());
    EXPECT_TRUE(frame().action(cmd::kFullScreen)->isChecked());
    key(Qt::Key_Escape);
    EXPECT_FALSE(display().isMaximized());

    key('h');
    EXPECT_FALSE(frame().isVisible());
    QTest::keyClick(&display(), 'h');
    EXPECT_TRUE(frame().isVisible());

    frame().onCommand(cmd::kSeparated);
    QApplication::processEvents();
    ASSERT_FALSE(frame().separated());
    EXPECT_FALSE(display().isWindow());
    EXPECT_EQ(frame().centralWidget(), &display());
    EXPECT_EQ(profile->readInt(QStringLiteral("Displayer"), QStringLiteral("Separated"), -1), 0);
    key('h');
    EXPECT_TRUE(frame().isVisible());
    key('f');
    EXPECT_TRUE(frame().isMaximized());
    key('f');
    EXPECT_FALSE(frame().isMaximized());

    frame().onCommand(cmd::kSeparated);
    QApplication::processEvents();
    EXPECT_TRUE(frame().separated());
    EXPECT_TRUE(display().isWindow());
}

TEST_F(MainFrameTest, HidingBarsShrinksTheSeparatedStrip) {
    start();
    for (int i = 0; i < kToolBarCount; ++i) frame().toolBar(i)->hide();
    QApplication::processEvents();
    const int bare = frame().height();
    EXPECT_EQ(bare, stripHeight());
    frame().onCommand(cmd::kFirstBarView + 6);
    QApplication::processEvents();
    EXPECT_GT(frame().height(), bare);
    EXPECT_EQ(frame().height(), stripHeight());
}

TEST_F(MainFrameTest, BarsOnTopAndDisplaySettingsSurviveARestart) {
    start();
    frame().onCommand(cmd::kFirstBarView + 0);  // show bar 0
    frame().onCommand(cmd::kFirstBarView + 6);  // hide bar 6
    frame().onCommand(cmd::kFirstBarView + 8);  // hide bar 8
    frame().onCommand(cmd::kTop);
    display().toggleOption(&DisplayOptions::Number);
    display().toggleOption(&DisplayOptions::Velocity);
    display().setGeometry(40, 50, 500, 300);
    stop();

    profile = settings.open();
    EXPECT_EQ(profile->readInt(kMainFrame, QStringLiteral("ToolBars0"), -1), (206 | 1) & ~(1 << 6));
    EXPECT_EQ(profile->readInt(kMainFrame, QStringLiteral("ToolBars1"), -1), 0);
    EXPECT_EQ(profile->readInt(kMainFrame, QStringLiteral("OnTop"), -1), 1);
    EXPECT_EQ(profile->readInt(kMainFrame, QStringLiteral("Hide"), -1), 0);
    EXPECT_TRUE(profile->contains(kMainFrame, QStringLiteral("left")));
    EXPECT_EQ(profile->readInt(QStringLiteral("Displayer"), QStringLiteral("Right"), -1), 540);
    profile.reset();

    start();
    EXPECT_FALSE(frame().toolBar(0)->isHidden());
    EXPECT_TRUE(frame().toolBar(6)->isHidden());
    EXPECT_TRUE(frame().toolBar(8)->isHidden());
    EXPECT_TRUE(frame().onTop());
    EXPECT_TRUE(frame().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(display().options().Number);
    EXPECT_TRUE(display().options().Velocity);
    EXPECT_EQ(display().geometry(), QRect(40, 50, 500, 300));
}

TEST_F(MainFrameTest, NonsenseSettingsStartWithDefaultsAndAVisibleWindow) {
    settings.writeText(
        "[MainFrame]\nHide=1\nOnTop=banana\nToolBars0=1e99\nToolBars1=\n"
        "[Displayer]\nSeparated=0\nLeft=-99999999999\nTop=20\nRight=-5\nBottom=abc\nPlayerScale=-3\n");
    start();
    // Hide applies only to a separated display: a hidden frame would leave no window.
    EXPECT_TRUE(frame().isVisible());
    EXPECT_FALSE(frame().separated());
    EXPECT_FALSE(frame().onTop());
    EXPECT_TRUE(frame().toolBar(1)->isVisible());
    EXPECT_FALSE(frame().toolBar(0)->isVisible());
    EXPECT_DOUBLE_EQ(display().options().PlayerScale, 3.0);
    EXPECT_TRUE(display().isVisible());
}

TEST_F(MainFrameTest, PlacementOffEveryScreenIsIgnored) {
    settings.writeText("[Displayer]\nLeft=50000\nTop=50000\nRight=50600\nBottom=50400\n");
    start();
    EXPECT_LT(display().geometry().left(), 50000);
    EXPECT_EQ(display().size(), QSize(600, 400));
    stop();

    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    settings.writeText("[Displayer]\nLeft=" + std::to_string(work.left() + 10) +
                       "\nTop=" + std::to_string(work.top() + 20) + "\nRight=" + std::to_string(work.left() + 310) +
                       "\nBottom=" + std::to_string(work.top() + 220) + "\n");
    start();
    EXPECT_EQ(display().geometry(), QRect(work.left() + 10, work.top() + 20, 300, 200));
}

TEST_F(MainFrameTest, DisplayPlacementIsWrittenEmbeddedAndMaximisedAsItStands) {
    const QString section = QStringLiteral("Displayer");
    settings.writeText("[Displayer]\nSeparated=0\n");
    start();
    ASSERT_FALSE(frame().separated());
    const QSize embedded = display().size();
    stop();
    profile = settings.open();
    ASSERT_TRUE(profile->contains(section, QStringLiteral("Left"))) << "written while embedded too";
    EXPECT_EQ(
        profile->readInt(section, QStringLiteral("Right"), 0) - profile->readInt(section, QStringLiteral("Left"), 0),
        embedded.width());
    EXPECT_EQ(profile->readInt(section, QStringLiteral("FullScreen"), -1), 0);
    profile.reset();

    settings.writeText("[Displayer]\nSeparated=1\n");
    start();
    key('f');
    ASSERT_TRUE(display().isMaximized());
    const QRect maximised = display().geometry();
    stop();
    profile = settings.open();
    EXPECT_EQ(profile->readInt(section, QStringLiteral("Left"), -1), maximised.left());
    EXPECT_EQ(profile->readInt(section, QStringLiteral("Right"), -1), maximised.left() + maximised.width());
    EXPECT_EQ(profile->readInt(section, QStringLiteral("Bottom"), -1), maximised.top() + maximised.height());
    EXPECT_EQ(profile->readInt(section, QStringLiteral("FullScreen"), -1), 1);
}

TEST_F(MainFrameTest, HiddenSeparatedFrameStartsHidden) {
    settings.writeText("[MainFrame]\nHide=1\n[Displayer]\nSeparated=1\n");
    start();
    EXPECT_FALSE(frame().isVisible());
    EXPECT_TRUE(display().isVisible());
    QTest::keyClick(&display(), 'h');
    EXPECT_TRUE(frame().isVisible());
}

TEST_F(MainFrameTest, GameOnTheCommandLineIsLoadedAndDrawn) {
    TempDir dir;
    const std::string path = writeGame(dir, "cmdline.rcg", 12, "Gamma", "Delta");
    start(QString::fromStdString(path));
    frame().logPlayer().waitForParser();
    EXPECT_EQ(frame().logPlayer().size(), 12u);
    EXPECT_EQ(shownCycle(), 1);
    EXPECT_EQ(display().scene().state.team[0].name, "Gamma");
}

TEST_F(MainFrameTest, LoadingWhilePlayingStopsAndShowsTheNewGame) {
    start();
    load(writeGame(settings.dir(), "a.rcg", 30, "First", "One"));
    key('x');
    ASSERT_TRUE(frame().playbackTimerActive());
    load(writeGame(settings.dir(), "b.rcg", 8, "Second", "Two"));
    EXPECT_FALSE(frame().playbackTimerActive());
    EXPECT_FALSE(frame().logPlayer().running());
    EXPECT_EQ(frame().logPlayer().size(), 8u);
    EXPECT_EQ(shownCycle(), 1);
    EXPECT_EQ(display().scene().state.team[0].name, "Second");
}

TEST_F(MainFrameTest, DroppingTwoFilesLeavesTheSecondLoaded) {
    start();
    const std::string a = writeGame(settings.dir(), "a.rcg", 20, "First", "One");
    const std::string b = writeGame(settings.dir(), "b.rcg", 5, "Second", "Two");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)), QUrl::fromLocalFile(QString::fromStdString(b))});
    // Delivered straight to the window's event handler, as the platform's drop would be.
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject&>(frame()).event(&drop);
    frame().logPlayer().waitForParser();
    EXPECT_EQ(frame().logPlayer().size(), 5u);
    EXPECT_EQ(shownCycle(), 1);
    EXPECT_EQ(display().scene().state.team[0].name, "Second");

    // The same on the display window.
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(a))});
    QDropEvent again(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject&>(display()).event(&again);
    frame().logPlayer().waitForParser();
    EXPECT_EQ(frame().logPlayer().size(), 20u);
}

TEST_F(MainFrameTest, UnreadableFileKeepsTheGame) {
    start();
    const std::string game = writeGame(settings.dir(), "a.rcg", 10);
    load(game);
    frame().openDocument(QString::fromStdString(settings.dir().file("missing.rcg")));
    EXPECT_EQ(frame().logPlayer().size(), 10u);
    EXPECT_EQ(shownCycle(), 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("cannot read"), std::string::npos) << messages[0];

    // A text file: the game stays playable, and the user is told why nothing was loaded.
    const std::string readme = settings.dir().write("README.md", {'#', ' ', 'T', 'e', 's', 's', '\n'});
    frame().openDocument(QString::fromStdString(readme));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], readme +
                               " is not a game log Tessarin can read (expected a \"ULG\" version 3 to 6, "
                               "\"SLG\" or \"SLH\" header, plain or gzip-compressed)");
    EXPECT_TRUE(eventuallyInGui([&] { return frame().statusLine().message() == QString::fromStdString(messages[1]); }));
    EXPECT_EQ(frame().gameFile(), QString::fromStdString(game));
    key(Qt::Key_Right);
    EXPECT_EQ(shownCycle(), 2);
    key('x');
    EXPECT_TRUE(frame().playbackTimerActive());
}

TEST_F(MainFrameTest, StatusBarAndTitlesFollowTheGame) {
    start();
    const std::string demo = demoGamePath();
    load(demo);
    const QString name = QString::fromStdString(std::filesystem::path(demo).filename().string());
    activate(frame());  // before the answer is queued: activating runs the event loop
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CCycleSlider*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->slider()->setValue(2400);
        dialog->accept();
    });
    key('j');
    // Refreshed by the UI timer, a few times a second.
    EXPECT_TRUE(eventuallyInGui([&] {
        return frame().statusLine().text().contains(QStringLiteral("cycle 2400 / 8000"));
    })) << frame().statusLine().text().toStdString();
    const QStringList sections = frame().statusLine().text().split(QStringLiteral(" | "));
    EXPECT_EQ(sections.value(0), name);
    EXPECT_EQ(sections.value(2), QStringLiteral("play_on"));
    EXPECT_EQ(sections.value(3), QStringLiteral("stopped (10.0 cycles/s)"));
    EXPECT_EQ(frame().windowTitle(), name + QStringLiteral(" \u2014 Tessarin"));
    EXPECT_EQ(display().windowTitle(), name + QStringLiteral(" \u2014 Displayer Window"));
    key('b');
    key('a');
    EXPECT_TRUE(eventuallyInGui([&] {
        return frame().statusLine().text().split(QStringLiteral(" | ")).value(3) ==
               QStringLiteral("20.0 cycles/s backward");
    })) << frame().statusLine().text().toStdString();
}

TEST_F(MainFrameTest, TheStoreBudgetComesFromTheSettingsAndAStopAtItIsSaid) {
    settings.writeText("[MainFrame]\nMaxRecords=300\n");
    start();
    load(demoGamePath());
    EXPECT_EQ(frame().logPlayer().size(), 300u);
    EXPECT_TRUE(eventually([&] { return frame().statusLine().message().contains(QStringLiteral("budget of 300")); }))
        << frame().statusLine().message().toStdString();
}

TEST(ProfileFile, ASettingsFileThatIsNoRegularFileIsNeverOpened) {
    TempDir dir;
    const std::string fifo = dir.file("Tessarin.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Opening the FIFO for reading would wait for a writer for ever.
    Profile profile(QString::fromStdString(fifo));
    EXPECT_FALSE(profile.problem().isEmpty());
    EXPECT_EQ(profile.readInt(kMainFrame, QStringLiteral("OnTop"), 7), 7);
    profile.writeInt(kMainFrame, QStringLiteral("OnTop"), 1);
    profile.sync();
    EXPECT_EQ(profile.readInt(kMainFrame, QStringLiteral("OnTop"), 7), 1) << "kept for the session";
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST_F(MainFrameTest, RecentFilesListTheNewestFirstAndSurviveARestart) {
    start();
    const std::string a = writeGame(settings.dir(), "a.rcg", 10);
    const std::string b = writeGame(settings.dir(), "b.rcg", 20);
    load(a);
    load(b);
    load(a);
    frame().openDocument(QString::fromStdString(settings.dir().file("missing.rcg")));
    const QStringList expected{QString::fromStdString(a), QString::fromStdString(b)};
    EXPECT_EQ(frame().recentFiles().files(), expected) << "each once, newest first, only files that loaded";
    EXPECT_EQ(frame().recentFiles().lastFolder(), QString::fromStdString(settings.dir().path().string()));
    stop();

    start();
    EXPECT_EQ(frame().recentFiles().files(), expected);
    QMenu* system = frame().menuBar()->actions().front()->menu();
    QMenu* recent = system->actions().back()->menu();
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(system->actions().back()->text(), QStringLiteral("Recent Files"));
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions()[1]->text(), QStringLiteral("&2 b.rcg"));
    recent->actions()[1]->trigger();
    EXPECT_TRUE(eventuallyInGui([&] { return frame().logPlayer().size() == 20u; }));
    frame().logPlayer().waitForParser();
    EXPECT_EQ(frame().recentFiles().files().front(), QString::fromStdString(b));
}

TEST_F(MainFrameTest, DemoGameLoadsAndPlays) {
    start(QString::fromStdString(demoGamePath()));
    frame().logPlayer().waitForParser();
    EXPECT_EQ(frame().logPlayer().size(), 8667u);
    EXPECT_EQ(display().scene().state.team[0].name, "HELIOS_left");
    display().repaint();
    EXPECT_EQ(display().renderer().size(), display().size());
}

TEST_F(MainFrameTest, ToolWindowsToggleAndTheKeysWorkInThem) {
    TempDir dir;
    start();
    load(writeGame(dir, "game.rcg", 10));
    display().repaint();
    DisplayToolWindows& tools = *frame().toolWindows();
    ASSERT_NE(tools.details(), nullptr);
    key(Qt::Key_Tab);
    EXPECT_TRUE(tools.details()->isVisible());
    key('g');
    ASSERT_NE(tools.drawingBox(), nullptr);
    EXPECT_TRUE(tools.drawingBox()->isVisible());
    EXPECT_EQ(shownCycle(), 1);
    QTest::keyClick(tools.details(), '.');
    EXPECT_EQ(shownCycle(), 2);
    QTest::keyClick(tools.drawingBox(), '.');
    EXPECT_EQ(shownCycle(), 3);
    // Escape hides the details window; Delete with no drawings does nothing.
    QTest::keyClick(tools.details(), Qt::Key_Escape);
    EXPECT_FALSE(tools.details()->isVisible());
    key(Qt::Key_Delete);
    frame().onCommand(cmd::kDrawingTools);
    EXPECT_FALSE(tools.drawingBox()->isVisible());
}

TEST(DisplayerThreadTest, RecordFromAnotherThreadIsCopiedAndPaintedLater) {
    TempProfile settings;
    const auto profile = settings.open();
    CDisplayer display(*profile);
    display.resize(400, 300);
    display.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
    {
        std::thread producer([&] {
            cycle_info_t record = showRecord(ShowBuilder(321).team(0, "Remote", 1).build());
            display.SetCurrentRecord(record);
            record.data.fill(0xFF);  // the producer's own copy changes; the display's must not
        });
        producer.join();
    }
    const FieldScene scene = display.scene();
    ASSERT_TRUE(scene.current.has_value());
    EXPECT_EQ(scene.current->cycle, 321);
    EXPECT_EQ(scene.state.team[0].name, "Remote");
    QApplication::processEvents();
    display.repaint();
    EXPECT_EQ(display.renderer().size(), QSize(400, 300));
}

TEST(DisplayerMouseTest, ZoomClickNeedsTheModeEachTime) {
    TempProfile settings;
    const auto profile = settings.open();
    CDisplayer display(*profile);
    display.resize(800, 600);
    display.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
    display.repaint();
    const double fitted = display.view().scale();
    display.toggleZoom(kZoomIn);
    QTest::mouseClick(&display, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
    EXPECT_NEAR(display.view().scale(), fitted * 1.2, 1e-9);
    EXPECT_EQ(display.zoomMode(), kZoomNone);
    QTest::mouseClick(&display, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
    EXPECT_NEAR(display.view().scale(), fitted * 1.2, 1e-9);
    display.toggleZoom(kZoomIn);
    QTest::mouseClick(&display, Qt::LeftButton, Qt::NoModifier, QPoint(300, 200));
    EXPECT_NEAR(display.view().scale(), fitted * 1.44, 1e-9);
    // Zoomed in, a middle-button drag pans the view by the pointer's movement.
    const QPoint centre(display.view().centreX(), display.view().centreY());
    auto middle = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), display.mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::MiddleButton, held, Qt::NoModifier);
        QApplication::sendEvent(&display, &event);
    };
    middle(QEvent::MouseButtonPress, QPoint(100, 100), Qt::MiddleButton);
    middle(QEvent::MouseMove, QPoint(130, 90), Qt::MiddleButton);
    middle(QEvent::MouseMove, QPoint(160, 120), Qt::MiddleButton);
    middle(QEvent::MouseButtonRelease, QPoint(160, 120), Qt::NoButton);
    EXPECT_EQ(QPoint(display.view().centreX(), display.view().centreY()), centre + QPoint(60, 20));
    display.resize(801, 600);
    display.repaint();
    EXPECT_NEAR(display.view().scale(), 801.0 / 115.0, 1e-9);
    // Fitted again, the same drag leaves the field where it is.
    const QPoint fittedCentre(display.view().centreX(), display.view().centreY());
    middle(QEvent::MouseButtonPress, QPoint(100, 100), Qt::MiddleButton);
    middle(QEvent::MouseMove, QPoint(160, 120), Qt::MiddleButton);
    middle(QEvent::MouseButtonRelease, QPoint(160, 120), Qt::NoButton);
    EXPECT_EQ(QPoint(display.view().centreX(), display.view().centreY()), fittedCentre);
}

TEST(DisplayerMouseTest, ClickOnAPlayerSelectsItInsteadOfZooming) {
    TempProfile settings;
    const auto profile = settings.open();
    CDisplayer display(*profile);
    display.resize(1150, 850);
    display.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&display));
    display.SetCurrentRecord(showRecord(ShowBuilder(1).player(3, 1, 0, -20, 10).player(4, 1, 0, -20, 10).build()));
    display.repaint();
    const double fitted = display.view().scale();
    display.toggleZoom(kZoomIn);
    // Two players on one spot: the lower index wins.
    QTest::mouseClick(&display, Qt::LeftButton, Qt::NoModifier, QPoint(575 - 200, 460 + 100));
    EXPECT_EQ(display.selected(), 3);
    EXPECT_DOUBLE_EQ(display.view().scale(), fitted);
    EXPECT_EQ(display.zoomMode(), kZoomIn);
}

TEST(CycleSliderTest, DraggingPreviewsAndOneCycleGameHasOneValue) {
    TempDir dir;
    FakeHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, writeGame(dir, "g.rcg", 30));
    player.waitForParser();
    CCycleSlider dialog(player, player.first_cycle(), player.last_cycle(), 10);
    EXPECT_EQ(dialog.slider()->minimum(), 1);
    EXPECT_EQ(dialog.slider()->maximum(), 30);
    EXPECT_EQ(dialog.slider()->value(), 10);
    EXPECT_EQ(dialog.chosenCycle(), 10);
    dialog.slider()->setValue(17);
    EXPECT_EQ(dialog.chosenCycle(), 17);
    ASSERT_FALSE(host.drawnCycles().empty());
    EXPECT_EQ(host.drawnCycles().back(), 17);
    EXPECT_EQ(player.current_cycle(), 1);  // a preview does not move the position

    FakeHost oneHost;
    LogPlayer one(oneHost);
    one.command(kCmdLoad, writeGame(dir, "one.rcg", 1));
    one.waitForParser();
    CCycleSlider single(one, one.first_cycle(), one.last_cycle(), one.current_cycle());
    EXPECT_EQ(single.slider()->minimum(), single.slider()->maximum());

    // A click on the track moves a twentieth of the game.
    FakeHost longHost;
    LogPlayer longer(longHost);
    longer.command(kCmdLoad, writeGame(dir, "long.rcg", 401));
    longer.waitForParser();
    CCycleSlider paged(longer, longer.first_cycle(), longer.last_cycle(), 100);
    paged.slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(paged.chosenCycle(), 120);
}

TEST_F(MainFrameTest, AnalysisCommandsWorkOnTheLoadedGame) {
    start();
    load(test::demoGamePath());
    // The analyser was fed from the store while the game loaded.
    const std::size_t events = frame().logPlayer().withStore(
        [&](const std::vector<cycle_info_t>&) { return frame().analyzer().Events().size(); });
    EXPECT_GT(events, 100u);
    ASSERT_TRUE(frame().action(cmd::kStatistics)->isEnabled());
    frame().onCommand(cmd::kStatistics);
    EXPECT_TRUE(frame().analyzer().statisticsCurrent());
    EXPECT_EQ(frame().analyzer().teamStatistics(1).shots.successes, 4) << "side code 1 is the left team";

    // "Enable OpponentModeling" switches the model together with the display's flag, and
    // its check mark follows.
    QAction* modeling = frame().action(cmd::kEnableOpponentModeling);
    EXPECT_FALSE(frame().opponentModel().enabled());
    EXPECT_FALSE(modeling->isChecked());
    modeling->trigger();
    EXPECT_TRUE(frame().opponentModel().enabled());
    EXPECT_TRUE(display().options().opponentModel);
    EXPECT_TRUE(modeling->isChecked());

    // The dump and the model's blocks go to the working directory.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(settings.dir().path());
    frame().onCommand(cmd::kPosInfoToFile);
    frame().onCommand(cmd::kSaveOpponentModel);
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::exists(settings.dir().path() / "player22.txt"));
    EXPECT_EQ(std::filesystem::file_size(settings.dir().path() / "HELIOS_left.opm"), 960u);
    const QString dumped = frame().statusLine().message();
    EXPECT_TRUE(dumped.startsWith(QStringLiteral("Wrote 23 position files ("))) << dumped.toStdString();
    EXPECT_TRUE(dumped.endsWith(QString::fromStdString(settings.dir().path().string()))) << dumped.toStdString();
}

}  // namespace
}  // namespace tessarin::test
