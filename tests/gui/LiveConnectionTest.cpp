// The viewer as a monitor client and trainer, against a stand-in server on loopback:
// the Monitor, Debug and Trainer menus, keys and the display's context menu.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "analysis/BehaviorAnalyzer.h"
#include "app/CommandIds.h"
#include "app/MainFrm.h"
#include "app/StatusBar.h"
#include "app/Tessarin.h"
#include "display/Displayer.h"
#include "display/OverlayGeometry.h"
#include "gui/GuiTestSupport.h"
#include "live/StandInServer.h"
#include "windows/SocketDialog.h"

namespace tessarin::test {
namespace {

using namespace std::chrono_literals;

// Once a popup menu is open, triggers its entry with this text and closes it.
void chooseFromNextPopup(const QString& text, bool* found) {
    QTimer::singleShot(0, [text, found] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* act : menu->actions()) {
            if (act->text() == text && act->isEnabled()) {
                *found = true;
                act->trigger();
            }
        }
        menu->close();
    });
}

class LiveConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = settings.open();
        // The trainer sends to the stand-in's monitor port and writes into the test's directory.
        app = std::make_unique<CTessarinApp>(*profile,
                                             TrainerOptions{settings.dir().path().string(), server.monitorPort()});
        app->InitInstance();
        FrameDialogs dialogs;
        dialogs.askServer = [this]() -> std::optional<ServerAddress> {
            ++serverQuestions;
            return ServerAddress{"127.0.0.1", server.monitorPort(), protocol};
        };
        dialogs.askYesNo = [this](const std::string& text, const std::string& caption) {
            questions.push_back(caption + ": " + text);
            return true;
        };
        dialogs.showMessage = [this](const std::string& text) { messages.push_back(text); };
        frame().setDialogs(dialogs);
        QApplication::processEvents();
    }
    void TearDown() override { stop(); }
    void stop() {
        if (app) {
            app->mainFrame()->close();
            app.reset();
        }
        profile.reset();
    }

    CMainFrame& frame() { return *app->mainFrame(); }
    CDisplayer& display() { return *app->displayer(); }
    void key(char c) {
        QTest::keyClick(&frame(), c);
        QApplication::processEvents();
    }
    void connectThroughTheMenu() {
        frame().action(cmd::kMonitorConnect)->trigger();
        ASSERT_TRUE(server.waitForInit());
        ASSERT_TRUE(frame().monitor().connected());
    }
    // A show from the server, waited for until the display draws it.
    void receiveShow(int cycle) {
        server.sendShow(ShowBuilder(cycle).playmode(PM_PlayOn).team(0, "Live", 2).team(1, "Other", 1).build());
        ASSERT_TRUE(eventuallyInGui([&] {
            const FieldScene scene = display().scene();
            return scene.current && scene.current->cycle == cycle;
        }));
    }
    // Every text the server received, in order, without the monitor's init.
    std::vector<std::string> commands() const {
        std::vector<std::string> out;
        for (const auto& r : server.received()) {
            if (r.text != "(dispinit version 2)") out.push_back(r.text);
        }
        return out;
    }
    // Sends the one-step text and waits for it: everything sent before has arrived then.
    std::vector<std::string> commandsUpToAStep() {
        key(' ');
        EXPECT_TRUE(server.waitFor([](const std::vector<StandInServer::Received>& all) {
            return !all.empty() && all.back().text == "(disponestep)";
        }));
        auto out = commands();
        out.pop_back();
        return out;
    }

    StandInServer server;
    TempProfile settings;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<CTessarinApp> app;
    int serverQuestions = 0;
    int protocol = 2;  // what the connect dialog answers; the stand-in speaks binary at 2
    std::vector<std::string> questions;
    std::vector<std::string> messages;
};

TEST_F(LiveConnectionTest, ConnectWhereNothingListensKeepsTheGameAndSaysSo) {
    const std::string game = writeGame(settings.dir(), "kept.rcg", 30);
    frame().openDocument(QString::fromStdString(game));
    frame().logPlayer().waitForParser();
    std::uint16_t freePort = 0;
    {
        StandInServer probe;
        freePort = probe.monitorPort();
    }
    FrameDialogs dialogs;
    dialogs.askServer = [freePort]() -> std::optional<ServerAddress> {
        return ServerAddress{"127.0.0.1", freePort, 2};
    };
    dialogs.showMessage = [this](const std::string& text) { messages.push_back(text); };
    frame().setDialogs(dialogs);
    frame().action(cmd::kMonitorConnect)->trigger();
    ASSERT_TRUE(eventuallyInGui([&] { return !messages.empty(); }));
    EXPECT_EQ(messages, std::vector<std::string>{"No server answered at 127.0.0.1:" + std::to_string(freePort)});
    EXPECT_EQ(frame().logPlayer().size(), 30u);
    EXPECT_TRUE(display().logMode());
    frame().updateCommandUi();
    EXPECT_TRUE(frame().action(cmd::kMonitorConnect)->isEnabled());
    EXPECT_FALSE(frame().action(cmd::kMonitorDisconnect)->isEnabled());
    key('x');
    ASSERT_TRUE(frame().playbackTimerActive());
    ASSERT_TRUE(eventuallyInGui([&] {
        const FieldScene scene = display().scene();
        return scene.current && scene.current->cycle > 2;
    }));
}

TEST_F(LiveConnectionTest, ConnectReceiveRefereeAndDisconnect) {
    EXPECT_TRUE(frame().action(cmd::kMonitorConnect)->isEnabled());
    EXPECT_FALSE(frame().action(cmd::kMonitorKickOff)->isEnabled());
    connectThroughTheMenu();
    EXPECT_EQ(serverQuestions, 1);
    EXPECT_FALSE(display().logMode()) << "the context menu is the monitor's now";
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(cmd::kMonitorConnect)->isEnabled());
    EXPECT_FALSE(frame().action(cmd::kMonitorReconnect)->isEnabled());
    EXPECT_TRUE(frame().action(cmd::kMonitorDisconnect)->isEnabled());
    EXPECT_TRUE(frame().action(cmd::kMonitorKickOff)->isEnabled());
    EXPECT_TRUE(frame().action(cmd::kSave)->isEnabled());

    server.sendParameters();
    for (int cycle = 1; cycle <= 20; ++cycle) receiveShow(cycle);
    EXPECT_EQ(frame().logPlayer().size(), 20u);
    EXPECT_EQ(display().scene().current->cycle, 20) << "the newest show is drawn";

    key('k');
    ASSERT_TRUE(server.waitForText("(dispstart)"));
    server.sendDebug("(debug left 5 sees the ball)");
    ASSERT_TRUE(eventuallyInGui([&] { return display().debugText() == "(debug left 5 sees the ball)"; }));

    key('o');
    ASSERT_TRUE(server.waitForText("(dispbye)"));
    EXPECT_FALSE(frame().monitor().connected());
    EXPECT_TRUE(display().logMode());
    frame().updateCommandUi();
    EXPECT_TRUE(frame().action(cmd::kMonitorConnect)->isEnabled());
    EXPECT_EQ(commands(), (std::vector<std::string>{"(dispstart)", "(dispbye)"}));

    // After a game has arrived, Reconnect asks and reuses the address without the dialog.
    key('p');
    ASSERT_TRUE(eventuallyInGui([&] { return frame().monitor().connected(); }));
    EXPECT_EQ(questions, std::vector<std::string>{"Reconnect: Reconnect to server?"});
    EXPECT_EQ(serverQuestions, 1);
}

TEST_F(LiveConnectionTest, ALiveGameAtTheStoresBudgetSaysThatNoMoreShowsAreKept) {
    connectThroughTheMenu();
    StoreBudget budget = frame().logPlayer().budget();
    budget.records = 5;
    frame().logPlayer().setBudget(budget);
    for (int cycle = 1; cycle <= 8; ++cycle) server.sendShow(ShowBuilder(cycle).build());
    ASSERT_TRUE(eventuallyInGui([&] {
        return frame().statusLine().message().contains(QStringLiteral("No more shows are kept"));
    })) << frame().statusLine().message().toStdString();
    EXPECT_EQ(frame().logPlayer().size(), 5u);
}

TEST_F(LiveConnectionTest, ConnectDialogTakesTheAddressAndKeepsTheSocketSettings) {
    frame().setDialogs({});
    bool filled = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<CSocketDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        const auto edits = dialog->findChildren<QLineEdit*>();
        ASSERT_EQ(edits.size(), 2);
        EXPECT_EQ(edits[0]->text(), QStringLiteral("localhost"));
        EXPECT_EQ(edits[1]->text(), QStringLiteral("6000"));
        edits[0]->setText(QStringLiteral("127.0.0.1"));
        edits[1]->setText(QString::number(server.monitorPort()));
        auto* choice = dialog->findChild<QComboBox*>();
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->currentData().toInt(), 5) << "servers 17 to 19 speak 5";
        choice->setCurrentIndex(choice->findData(3));
        filled = true;
        dialog->accept();
    });
    key('i');
    ASSERT_TRUE(filled);
    ASSERT_TRUE(server.waitForInit());
    EXPECT_EQ(server.initVersion(), 3);
    EXPECT_EQ(profile->readString(QStringLiteral("Socket"), QStringLiteral("ServerHost"), {}),
              QStringLiteral("127.0.0.1"));
    EXPECT_EQ(profile->readInt(QStringLiteral("Socket"), QStringLiteral("ServerPort"), 0), server.monitorPort());
    EXPECT_EQ(profile->readInt(QStringLiteral("Socket"), QStringLiteral("Protocol"), 0), 3);
}

TEST_F(LiveConnectionTest, Protocol5ShowsAreDrawnAndCardsGoToTheSelectedPlayer) {
    protocol = 5;
    connectThroughTheMenu();
    for (int cycle = 1; cycle <= 3; ++cycle) server.sendGameShow(cycle, cycle == 3 ? 0x40001 : 0x1);
    ASSERT_TRUE(eventuallyInGui([&] {
        const FieldScene scene = display().scene();
        return scene.current && scene.current->cycle == 3;
    }));
    ASSERT_TRUE(display().scene().current->companion);
    EXPECT_EQ(display().scene().current->companion->players[0].card(), Card::Yellow);

    display().select(kSelectNothing);
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(cmd::kMonitorYellowCard)->isEnabled()) << "no player selected";
    display().select(13);  // right 3
    frame().updateCommandUi();
    ASSERT_TRUE(frame().action(cmd::kMonitorYellowCard)->isEnabled());
    frame().action(cmd::kMonitorRedCard)->trigger();
    display().select(0);
    frame().action(cmd::kMonitorYellowCard)->trigger();
    ASSERT_TRUE(server.waitForText("(dispcard 1 1 yellow)"));
    EXPECT_TRUE(server.waitForText("(dispcard -1 3 red)"));

    key('o');
    ASSERT_TRUE(server.waitForText("(dispbye)"));
    protocol = 2;
    connectThroughTheMenu();
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(cmd::kMonitorYellowCard)->isEnabled()) << "protocol 2 has no cards";
    EXPECT_FALSE(frame().action(cmd::kMonitorRedCard)->isEnabled());
}

TEST_F(LiveConnectionTest, AServerSilentToProtocol5IsSaidOnTheStatusBar) {
    protocol = 5;
    connectThroughTheMenu();  // the stand-in takes the request and sends nothing
    ASSERT_TRUE(eventuallyInGui(
        [&] { return frame().statusLine().message().contains(QStringLiteral("(dispinit version 5)")); }, 10s))
        << frame().statusLine().message().toStdString();
    EXPECT_TRUE(frame().statusLine().message().contains(QStringLiteral("protocol 2")));
}

// The pass course belongs to the game it was drawn from: a game loaded or dropped, or a
// live game begun, starts with none.
TEST_F(LiveConnectionTest, ANewGameShowsNoPassCourseOfTheOldOne) {
    display().toggleOption(&DisplayOptions::ControlCourse);
    ASSERT_TRUE(display().options().ControlCourse);
    const PassCourse& course = display().overlays().passCourse();
    const auto drawDemoAction = [&] {
        frame().openDocument(QString::fromStdString(demoGamePath()));
        frame().logPlayer().waitForParser();
        const int cycle = frame().logPlayer().withStore([&](const auto&) {
            for (const BasicBehaviorEvent& e : frame().analyzer().Events()) {
                if (isCourseKind(e.kind)) return e.start_cycle;
            }
            return -1;
        });
        frame().logPlayer().preview(cycle);
        QApplication::processEvents();
        display().repaint();
    };
    drawDemoAction();
    ASSERT_FALSE(course.events().empty());
    ASSERT_NE(course.side(), 0);

    frame().displayDroppedFiles({QString::fromStdString(writeGame(settings.dir(), "next.rcg", 5))});
    frame().logPlayer().waitForParser();
    QApplication::processEvents();
    display().repaint();
    EXPECT_TRUE(course.events().empty());
    EXPECT_EQ(course.side(), 0);

    drawDemoAction();
    ASSERT_FALSE(course.events().empty());
    connectThroughTheMenu();
    receiveShow(7);                 // not the cycle of the demo's first record, which connecting draws again
    QApplication::processEvents();  // the frame hears of the live game through its queue
    display().repaint();
    EXPECT_TRUE(course.events().empty());
    EXPECT_EQ(course.side(), 0);
}

TEST_F(LiveConnectionTest, DebugEntriesToggleTheirFlagAndSendTheNewValue) {
    connectThroughTheMenu();
    struct Row {
        int id;
        const char* text;
        bool checked;
    };
    // The six info flags start on, the others off.
    const Row rows[] = {
        {cmd::kDebugPassInfo, "(disppassinfo 0)", false},
        {cmd::kDebugPause, "(disppause 1)", true},
        {cmd::kDebugDebug, "(dispdebug 1)", true},
        {cmd::kDebugShootInfo, "(dispshootinfo 0)", false},
        {cmd::kDebugSightInfo, "(dispsightinfo 0)", false},
        {cmd::kDebugDribbleInfo, "(dispdribble 0)", false},
        {cmd::kDebugInterceptInfo, "(dispintercept 0)", false},
        {cmd::kDebugDefenseFlag, "(dispdeffense 0)", false},
        {cmd::kDebugPlanFlag, "(dispplaninfo 1)", true},
        {cmd::kDebugFullStateLeft, "(dispfullsl 1)", true},
        {cmd::kDebugFullStateRight, "(dispfullsr 1)", true},
        {cmd::kDebugPause, "(disppause 0)", false},
    };
    std::vector<std::string> expected;
    for (const Row& row : rows) {
        frame().onCommand(row.id);
        EXPECT_EQ(frame().action(row.id)->isChecked(), row.checked) << row.text;
        expected.push_back(row.text);
    }
    EXPECT_EQ(commandsUpToAStep(), expected);
}

TEST_F(LiveConnectionTest, SelectionKeysSendTheClampedIndex) {
    connectThroughTheMenu();
    key('_');
    key('~');
    key('1');
    key('`');
    frame().onCommand(cmd::kSelectFirstRight);
    display().select(99);
    EXPECT_EQ(display().selected(), kSelectNothing);
    EXPECT_EQ(commandsUpToAStep(), (std::vector<std::string>{"(dispndebug 21)", "(dispndebug 23)", "(dispndebug 0)",
                                                             "(dispndebug 22)", "(dispndebug 11)", "(dispndebug 23)"}));
}

TEST_F(LiveConnectionTest, BackWardReplaysOnlyWhilePausedWithoutDebug) {
    connectThroughTheMenu();
    for (int cycle = 1; cycle <= 40; ++cycle) receiveShow(cycle);
    frame().onCommand(cmd::kDebugBackWard);
    EXPECT_FALSE(frame().logPlayer().replayMode());
    frame().onCommand(cmd::kDebugPause);
    frame().onCommand(cmd::kDebugDebug);
    frame().onCommand(cmd::kDebugBackWard);
    EXPECT_FALSE(frame().logPlayer().replayMode()) << "debug output on";
    EXPECT_EQ(commandsUpToAStep(), (std::vector<std::string>{"(disppause 1)", "(dispdebug 1)"}));

    frame().onCommand(cmd::kDebugDebug);
    frame().onCommand(cmd::kDebugBackWard);
    EXPECT_TRUE(frame().logPlayer().replayMode());
    EXPECT_TRUE(frame().playbackTimerActive());
    // The replay's packets reach the clients over the monitor socket, one per tick.
    ASSERT_TRUE(eventuallyInGui(
        [&] {
            int packets = 0;
            for (const auto& r : server.received()) packets += r.text.size() == kReplayPacketSize ? 1 : 0;
            return packets >= 2;
        },
        10s))
        << "no replay packets arrived";
}

TEST_F(LiveConnectionTest, LiveReplayGoesBackFromTheNewestRecordAndADumpOnlyPausesIt) {
    connectThroughTheMenu();
    // The cycle count starts again within the connection: a search by cycle would find
    // cycle 10 of the first run.
    for (int cycle = 1; cycle <= 40; ++cycle) receiveShow(cycle);
    for (int cycle = 1; cycle <= 10; ++cycle) receiveShow(cycle);
    LogPlayer& player = frame().logPlayer();
    ASSERT_EQ(player.size(), 50u);
    frame().onCommand(cmd::kDebugPause);
    frame().onCommand(cmd::kDebugBackWard);
    ASSERT_TRUE(player.replayMode());
    // Thirty back from the newest record; the frame's draw after the play command has
    // already moved one on.
    const std::size_t start = 49u - kReplayLength + 1;
    EXPECT_EQ(player.index(), start);
    ASSERT_TRUE(eventuallyInGui([&] { return player.index() > start; }));

    // The position dump stops the timer and starts it again without starting the replay over.
    const std::size_t before = player.index();
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(settings.dir().path());
    frame().onCommand(cmd::kPosInfoToFile);
    std::filesystem::current_path(previous);
    EXPECT_EQ(player.index(), before);
    EXPECT_TRUE(frame().playbackTimerActive());

    ASSERT_TRUE(eventuallyInGui([&] { return !player.replayMode(); }, 10s));
    EXPECT_EQ(player.index(), 49u);
    int packets = 0;
    for (const auto& text : commandsUpToAStep()) packets += text.size() == kReplayPacketSize ? 1 : 0;
    EXPECT_EQ(packets, 49 - static_cast<int>(start)) << "one per tick up to the newest record, each once";
}

TEST_F(LiveConnectionTest, TogglingWhileDisconnectedChangesChecksButSendsNothing) {
    frame().onCommand(cmd::kDebugPassInfo);
    frame().onCommand(cmd::kDebugPause);
    key('5');
    key(' ');
    EXPECT_FALSE(frame().action(cmd::kDebugPassInfo)->isChecked());
    EXPECT_TRUE(frame().action(cmd::kDebugPause)->isChecked());
    EXPECT_EQ(display().selected(), 4);
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(server.received().empty());
}

TEST_F(LiveConnectionTest, ContextMenuRefereesAtTheClickedPoint) {
    // In log-player mode the display offers the log player's menu.
    bool found = false;
    chooseFromNextPopup(QStringLiteral("&Move Player"), &found);
    display().openContextMenu(QPointF(0, 0), display().mapToGlobal(QPoint(5, 5)));
    EXPECT_FALSE(found);

    connectThroughTheMenu();
    receiveShow(1);
    key('5');  // left player 5
    chooseFromNextPopup(QStringLiteral("&Move Player"), &found);
    display().openContextMenu(QPointF(-10.5, 3.2), display().mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(found);
    EXPECT_EQ(display().menuPoint(), QPoint(-168, 51));

    // A right click on the field: the point comes from the display's mapping.
    const QPoint pixel(display().width() / 3, display().height() / 2);
    const FieldView& view = display().view();
    const int x = toSixteenths(view.ToWorldX(pixel.x()));
    const int y = toSixteenths(view.ToWorldY(pixel.y()));
    found = false;
    chooseFromNextPopup(QStringLiteral("&Drop Ball"), &found);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pixel, display().mapToGlobal(pixel));
    QApplication::sendEvent(&display(), &event);
    ASSERT_TRUE(found);

    found = false;
    chooseFromNextPopup(QStringLiteral("Dis&card Player"), &found);
    display().openContextMenu(QPointF(0, 0), display().mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(found);
    key('`');  // the ball: moving it sends nothing
    found = false;
    chooseFromNextPopup(QStringLiteral("&Move Player"), &found);
    display().openContextMenu(QPointF(1, 1), display().mapToGlobal(QPoint(5, 5)));
    ASSERT_TRUE(found);

    const std::string drop = "(dispfoul " + std::to_string(x) + " " + std::to_string(y) + " 0)";
    EXPECT_EQ(commandsUpToAStep(), (std::vector<std::string>{"(dispndebug 4)", "(dispplayer 1 5 -168 51 0)", drop,
                                                             "(dispdiscard 1 5)", "(dispndebug 22)"}));
}

TEST_F(LiveConnectionTest, RefereeEntriesAreDisabledWhileDisconnected) {
    frame().updateCommandUi();
    QMenu* menu = frame().contextMenu(false);
    int referee = 0;
    for (QAction* act : menu->actions()) {
        if (act->text() == QStringLiteral("&Move Player") || act->text() == QStringLiteral("&Drop Ball")) {
            ++referee;
            EXPECT_FALSE(act->isEnabled()) << act->text().toStdString();
        }
    }
    EXPECT_EQ(referee, 2);
}

TEST_F(LiveConnectionTest, ClosingTheFrameWhileConnectedSaysGoodbye) {
    connectThroughTheMenu();
    receiveShow(1);
    stop();
    EXPECT_TRUE(server.waitForText("(dispbye)"));
}

TEST_F(LiveConnectionTest, TrainerMenuModesPlaymodesAndRecover) {
    for (const int id :
         {cmd::kTrainShoot, cmd::kTrainAttack, cmd::kTrainIntercept, cmd::kTrainKicker, cmd::kTrainDribble}) {
        EXPECT_TRUE(frame().action(id)->isEnabled()) << id;
        frame().action(id)->trigger();
        EXPECT_TRUE(frame().action(id)->isChecked()) << id;
    }
    COfflineCoach& coach = app->trainer();
    EXPECT_TRUE(coach.shoot && coach.attack && coach.intercept && coach.kicker && coach.dribble);
    for (const int id : {cmd::kTrainShoot, cmd::kTrainAttack, cmd::kTrainDribble}) frame().action(id)->trigger();
    EXPECT_FALSE(coach.shoot || coach.attack || coach.dribble);
    // While Intercept is on, its counters stand in the header in place of the scores.
    ASSERT_TRUE(frame().displayHeaderCounters().has_value());
    FieldScene scene;
    scene.scoreCounters = frame().displayHeaderCounters();
    EXPECT_EQ(headerTexts(scene).leftScore, "   0");
    frame().action(cmd::kTrainIntercept)->trigger();
    EXPECT_FALSE(frame().displayHeaderCounters().has_value());

    // The trainer follows the monitor connection's host.
    connectThroughTheMenu();
    frame().action(cmd::kTrainerConnect)->trigger();
    ASSERT_TRUE(coach.connected());
    EXPECT_TRUE(messages.empty());
    frame().updateCommandUi();
    EXPECT_TRUE(frame().action(cmd::kTrainerDisconnect)->isEnabled());
    frame().action(cmd::kHumanJudge)->trigger();
    EXPECT_TRUE(server.waitForText("(change_mode human_judge)"));
    frame().action(147)->trigger();
    EXPECT_TRUE(server.waitForText("(change_mode before_kick_off)"));

    // Recover: once at once, then again on every paint while it is on.
    frame().onCommand(cmd::kDebugRecover);
    EXPECT_TRUE(frame().action(cmd::kDebugRecover)->isChecked());
    const auto recovers = [&] {
        int n = 0;
        for (const auto& text : commands()) n += text == "(recover)" ? 1 : 0;
        return n;
    };
    ASSERT_TRUE(eventuallyInGui([&] { return recovers() >= 1; }));
    display().repaint();
    ASSERT_TRUE(eventuallyInGui([&] { return recovers() >= 2; }));

    // Disconnecting the monitor disconnects the trainer, which writes the Kicker statistics.
    key('o');
    EXPECT_FALSE(coach.connected());
    const auto statistics = settings.dir().path() / "kicker_s.txt";
    EXPECT_TRUE(std::filesystem::exists(statistics));
    // The trainer's Disconnect runs while it is not connected, and writes them again.
    std::filesystem::remove(statistics);
    frame().updateCommandUi();
    frame().action(cmd::kTrainerDisconnect)->trigger();
    EXPECT_TRUE(std::filesystem::exists(statistics));
}

TEST_F(LiveConnectionTest, ServerWithoutCoachModeIsReportedOnceFromThePaintStep) {
    connectThroughTheMenu();
    receiveShow(1);  // the monitor's commands go to the game port from now on
    frame().action(cmd::kTrainerConnect)->trigger();
    ASSERT_TRUE(app->trainer().connected());
    frame().action(cmd::kHumanJudge)->trigger();
    ASSERT_TRUE(server.waitForText("(change_mode human_judge)"));
    for (int i = 0; i < 2; ++i) {
        server.replyToLastSender(kNotCoachModeReply);
        std::this_thread::sleep_for(20ms);
        display().repaint();
    }
    ASSERT_TRUE(eventuallyInGui([&] {
        display().repaint();
        return !messages.empty();
    }));
    receiveShow(2);
    display().repaint();
    EXPECT_EQ(messages, std::vector<std::string>{kNotCoachModeText});
}

}  // namespace
}  // namespace tessarin::test
