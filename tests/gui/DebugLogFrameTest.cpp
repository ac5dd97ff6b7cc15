// The players' debug logs and the games browser in the running viewer: the logs beside a
// loaded game are found, the "Debug Log" window follows the game and the selection, its
// drawings reach the field, a found cycle moves the game, and the "Games" window opens its
// games in the frame with keys that the frame's shortcuts do not take away.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTableView>
#include <QTest>
#include <cmath>
#include <filesystem>

#include "app/CommandIds.h"
#include "app/DebugLogLink.h"
#include "app/MainFrm.h"
#include "app/Tessarin.h"
#include "display/Displayer.h"
#include "export/ClipSource.h"
#include "gui/GuiTestSupport.h"
#include "windows/DebugLogWindow.h"
#include "windows/GamesWindow.h"

namespace tessarin::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = fs::path(TESSARIN_TEST_DATA_DIR) / "agent-debug";
const char* const kGame = "20261210040211-HELIOS_L_0-vs-HELIOS_R_0.rcg.gz";
// Left player 6: its log holds cycles 0..6, each with the eleven home positions drawn as
// black circles of half a metre.
constexpr int kLeftSix = 5;

bool waitFor(const std::function<bool()>& condition) { return eventuallyInGui(condition, std::chrono::seconds(30)); }

class DebugLogFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The games cache goes where the user's cache would be; here, into the test's folder.
        oldCacheHome_ = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString((dir.path() / "cache").string()));
        profile = settings.open();
        app = std::make_unique<CTessarinApp>(*profile);
        app->InitInstance();
        FrameDialogs dialogs;
        dialogs.showMessage = [](const std::string&) {};
        dialogs.askFolder = [this](const QString&) { return answerFolder; };
        frame().setDialogs(dialogs);
        QApplication::processEvents();
    }
    void TearDown() override {
        app->mainFrame()->close();
        app.reset();
        profile.reset();
        qputenv("XDG_CACHE_HOME", oldCacheHome_);
    }
    CMainFrame& frame() { return *app->mainFrame(); }
    CDisplayer& display() { return *app->displayer(); }
    DebugLogLink& logs() { return frame().debugLogs(); }
    CDebugLogWindow& window() { return logs().window(); }

    // The sample game in a folder of its own with its players' logs in "log/" beside it.
    std::string gameWithLogsBeside() {
        const fs::path game = dir.path() / "game";
        fs::create_directories(game / "log");
        fs::copy_file(kSamples / kGame, game / kGame);
        for (const char* log : {"HELIOS_L-6.log", "HELIOS_R-7.log.gz"})
            fs::copy_file(kSamples / log, game / "log" / log);
        return (game / kGame).string();
    }
    void load(const std::string& path) {
        frame().openDocument(QString::fromStdString(path));
        frame().logPlayer().waitForParser();
        QApplication::processEvents();
    }
    int shownCycle() {
        const FieldScene scene = display().scene();
        return scene.current ? scene.current->cycle : -1;
    }
    // Loads the game, waits for its logs and shows the window on left player 6.
    void openGameAtLeftSix() {
        load(gameWithLogsBeside());
        ASSERT_TRUE(waitFor([&] { return !logs().lookupPending(); }));
        ASSERT_EQ(window().logs().size(), 2u);
        frame().onCommand(cmd::kDebugLogWindow);
        ASSERT_TRUE(window().isVisible());
        display().select(kLeftSix);
        ASSERT_EQ(window().logs()[static_cast<std::size_t>(window().currentLog())].fileName, "HELIOS_L-6.log");
    }
    void jump(int cycle) {
        frame().logPlayer().jumpTo(cycle);
        frame().drawLogPlayerRecord();
    }
    static QString firstLine(const CDebugLogWindow& w) {
        const QStringList lines = w.shownLines();
        return lines.isEmpty() ? QString() : lines.front();
    }

    TempDir dir;
    TempProfile settings;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<CTessarinApp> app;
    std::optional<QString> answerFolder;

private:
    QByteArray oldCacheHome_;
};

TEST_F(DebugLogFrameTest, FindsTheLogsBesideTheGameAndFollowsTheShownCycleAndSelection) {
    openGameAtLeftSix();
    for (const int cycle : {3, 4}) {
        if (cycle == 4) {
            frame().onCommand(cmd::kForward);
        } else {
            jump(cycle);
        }
        ASSERT_TRUE(waitFor([&] { return shownCycle() == cycle; }));
        EXPECT_TRUE(waitFor([&] { return firstLine(window()).startsWith(QStringLiteral("all: CYCLE %1").arg(cycle)); }))
            << firstLine(window()).toStdString();
    }
    // Choosing right player 7 on the field lists its log.
    display().select(11 + 6);
    EXPECT_TRUE(waitFor([&] {
        return window().logs()[static_cast<std::size_t>(window().currentLog())].fileName == "HELIOS_R-7.log.gz";
    }));

    // Another game without logs beside it takes the old game's logs away.
    load(writeGame(dir, "plain.rcg", 20));
    EXPECT_TRUE(waitFor([&] { return !logs().lookupPending() && window().logs().empty(); }));
}

TEST_F(DebugLogFrameTest, TheShownWindowsDrawingsReachTheFieldAndOnlyThere) {
    openGameAtLeftSix();
    jump(3);
    ASSERT_TRUE(waitFor([&] { return shownCycle() == 3 && logs().painter().drawings().size() == 11; }));
    const std::vector<agentlog::Record> drawings = logs().painter().drawings();
    const QImage shown = display().grab().toImage();

    frame().onCommand(cmd::kDebugLogWindow);
    ASSERT_FALSE(window().isVisible());
    EXPECT_TRUE(logs().painter().drawings().empty());
    const QImage hidden = display().grab().toImage();
    ASSERT_EQ(shown.size(), hidden.size());

    // Every pixel the drawings changed lies on one of their circles, and each circle
    // changed some: the shapes are drawn where the field puts them, and nothing else is.
    const FieldView& view = display().view();
    const double ratio = shown.devicePixelRatio();
    std::vector<int> changedPerCircle(drawings.size(), 0);
    int stray = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) == hidden.pixel(x, y)) continue;
            bool onCircle = false;
            for (std::size_t i = 0; i < drawings.size(); ++i) {
                const agentlog::Record& c = drawings[i];
                ASSERT_EQ(c.type, 'c');
                const double dx = x / ratio - view.ToScreenX(c.values[0]);
                const double dy = y / ratio - view.ToScreenY(c.values[1]);
                const double radius = c.values[2] * view.scale();
                if (std::abs(std::hypot(dx, dy) - radius) <= 2.0) {
                    ++changedPerCircle[i];
                    onCircle = true;
                }
            }
            if (!onCircle) ++stray;
        }
    }
    EXPECT_EQ(stray, 0);
    for (std::size_t i = 0; i < drawings.size(); ++i) EXPECT_GT(changedPerCircle[i], 0) << "circle " << i;
}

TEST_F(DebugLogFrameTest, AFoundCycleMovesTheGameThere) {
    openGameAtLeftSix();
    ASSERT_NE(shownCycle(), 120);
    emit window().cycleRequested(120);
    EXPECT_TRUE(waitFor([&] { return shownCycle() == 120; }));
    EXPECT_EQ(frame().logPlayer().current_cycle(), 120);
}

TEST_F(DebugLogFrameTest, AClipDrawsTheLogTheDisplayDraws) {
    openGameAtLeftSix();
    const ClipDebugLogs shown = frame().shownDebugLogs();
    ASSERT_EQ(shown.logs.size(), 1u);
    EXPECT_EQ(shown.logs.front().fileName, "HELIOS_L-6.log");
    EXPECT_EQ(shown.levels, window().levels());
    frame().onCommand(cmd::kDebugLogWindow);
    ASSERT_FALSE(window().isVisible());
    EXPECT_TRUE(frame().shownDebugLogs().logs.empty()) << "a hidden window draws nothing on the display";
}

TEST_F(DebugLogFrameTest, KeysStepTheGameWhileTheListsKeepTheirOwn) {
    openGameAtLeftSix();
    jump(3);
    auto* messages = window().findChild<QListWidget*>(QStringLiteral("messages"));
    ASSERT_NE(messages, nullptr);
    ASSERT_TRUE(waitFor([&] { return messages->count() > 2; }));
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    messages->setFocus();
    messages->setCurrentRow(0);
    const double playerScale = display().options().PlayerScale;

    QTest::keyClick(messages, Qt::Key_Down);
    EXPECT_EQ(messages->currentRow(), 1);
    EXPECT_EQ(display().options().PlayerScale, playerScale);

    QTest::keyClick(messages, Qt::Key_Right);
    EXPECT_TRUE(waitFor([&] { return shownCycle() == 4; }));
}

TEST_F(DebugLogFrameTest, AChosenFolderOfLogsTakesItsSidesFromTheGameLoadedLater) {
    answerFolder.reset();
    frame().onCommand(cmd::kOpenDebugLogs);
    EXPECT_FALSE(window().isVisible());

    // Before any game the team names are unknown, and so are the logs' sides.
    answerFolder = QString::fromStdString(kSamples.string());
    frame().onCommand(cmd::kOpenDebugLogs);
    EXPECT_TRUE(window().isVisible());
    ASSERT_EQ(window().logs().size(), 2u);
    EXPECT_EQ(window().logs()[0].side, agentlog::Side::Unknown);

    // The game, alone in its folder, has no logs beside it: the chosen folder stays,
    // its logs now on the game's sides, so that the field's selection reaches them.
    fs::create_directories(dir.path() / "alone");
    fs::copy_file(kSamples / kGame, dir.path() / "alone" / kGame);
    load((dir.path() / "alone" / kGame).string());
    ASSERT_TRUE(waitFor([&] { return !logs().lookupPending(); }));
    ASSERT_EQ(window().logs().size(), 2u);
    EXPECT_EQ(window().logs()[0].side, agentlog::Side::Left);
    EXPECT_EQ(window().logs()[1].side, agentlog::Side::Right);
    display().select(11 + 6);
    EXPECT_EQ(window().logs()[static_cast<std::size_t>(window().currentLog())].fileName, "HELIOS_R-7.log.gz");
}

TEST_F(DebugLogFrameTest, OpenFolderBrowsesItsGamesAndOpensThemWithTheTablesKeys) {
    TempDir games;
    const std::string first = writeGame(games, "a.rcg", 30, "Alpha", "Beta");
    const std::string second = writeGame(games, "b.rcg", 40, "Gamma", "Delta");
    answerFolder = QString::fromStdString(games.path().string());
    frame().onCommand(cmd::kOpenFolder);
    GamesWindow* browser = frame().gamesWindow();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->isVisible());
    ASSERT_TRUE(waitFor([&] { return !browser->scanning() && browser->games().size() == 2; }));

    // The program's N starts another Tessarin: in the table it must open the next game
    // instead. The command is replaced by a counter, so that a failure starts nothing.
    QAction* newInstance = frame().action(cmd::kNewInstance);
    QObject::disconnect(newInstance, &QAction::triggered, &frame(), nullptr);
    int instancesStarted = 0;
    QObject::connect(newInstance, &QAction::triggered, [&] { ++instancesStarted; });

    browser->table()->sortByColumn(GamesWindow::kFile, Qt::AscendingOrder);
    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
    browser->table()->setFocus();
    browser->table()->selectRow(0);
    QTest::keyClick(browser->table(), Qt::Key_Return);
    EXPECT_TRUE(waitFor([&] { return frame().gameFile() == QString::fromStdString(first); }));
    QTest::keyClick(browser->table(), Qt::Key_N);
    EXPECT_TRUE(waitFor([&] { return frame().gameFile() == QString::fromStdString(second); }));
    EXPECT_EQ(instancesStarted, 0);
    EXPECT_TRUE(browser->isVisible());

    // Opening a folder again reuses the window.
    frame().onCommand(cmd::kOpenFolder);
    EXPECT_EQ(frame().gamesWindow(), browser);
}

}  // namespace
}  // namespace tessarin::test
