// The "Games" window: a folder scanned on a worker while the window keeps painting,
// Cancel, the cache of scanned games, a team's results, sorting, filtering and keys.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>

#include "support/LogBuilder.h"
#include "windows/GamesWindow.h"

namespace tessarin::test {
namespace {

namespace fs = std::filesystem;

// Runs the event loop until `done` holds or 30 s have passed; says whether it held.
bool waitFor(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Counts the paints of a widget.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

GameSummary fakeGame(const std::string& path, const std::string& left, int lg, const std::string& right, int rg,
                     int cycles) {
    GameSummary g;
    g.file = path;
    g.cycles = cycles;
    g.sides[0].team = left;
    g.sides[0].goals = lg;
    g.sides[1].team = right;
    g.sides[1].goals = rg;
    return g;
}

std::string stem(const std::string& path) { return fs::path(path).stem().string(); }

QString cell(const QTableView& table, int row, int column) {
    return table.model()->index(row, column).data().toString();
}

TEST(GamesWindow, ScansOnAWorkerWhileTheWindowPaintsAndCancelKeepsTheRows) {
    TempDir dir;
    for (const char* name : {"a.rcg", "b.rcg", "c.rcg", "d.rcg"}) dir.write(name, Bytes{'x'});
    // The last game is read only when the test lets it: the scan is surely still running.
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    std::atomic<bool> lastEntered{false};
    std::atomic<bool> lastReturned{false};
    const SummarizeFn gated = [&](const std::string& path) {
        if (stem(path) == "d") {
            lastEntered = true;
            std::unique_lock lock(m);
            cv.wait_for(lock, std::chrono::seconds(30), [&] { return release; });
            lastReturned = true;
        }
        return fakeGame(path, "Us", 1, "Them", 0, 100);
    };
    GamesWindow window(QString::fromStdString(dir.file("cache.json")), nullptr, gated);
    window.show();
    PaintCounter counter;
    window.table()->viewport()->installEventFilter(&counter);
    QSignalSpy finished(&window, &GamesWindow::scanFinished);

    window.openFolder(QString::fromStdString(dir.path().string()));
    EXPECT_TRUE(window.scanning());
    ASSERT_TRUE(waitFor([&] { return window.table()->model()->rowCount() == 3 && lastEntered; }));
    EXPECT_TRUE(window.scanning());
    const int before = counter.paints;
    window.table()->viewport()->update();
    ASSERT_TRUE(waitFor([&] { return counter.paints > before; })) << "the window paints during the scan";

    window.cancelScan();
    EXPECT_FALSE(window.scanning());
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_EQ(window.table()->model()->rowCount(), 3);

    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    ASSERT_TRUE(waitFor([&] { return lastReturned.load(); }));
    for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(window.table()->model()->rowCount(), 3) << "nothing is added after Cancel";
    EXPECT_EQ(finished.count(), 1);
}

TEST(GamesWindow, OpeningAnotherFolderDoesNotWaitForTheOldScan) {
    TempDir dir;
    fs::create_directories(dir.path() / "old");
    fs::create_directories(dir.path() / "new");
    dir.write("old/slow.rcg", Bytes{'x'});
    dir.write("new/n1.rcg", Bytes{'x'});
    dir.write("new/n2.rcg", Bytes{'x'});
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    std::atomic<bool> slowEntered{false};
    std::atomic<bool> slowReturned{false};
    const SummarizeFn gated = [&](const std::string& path) {
        if (stem(path) == "slow") {
            slowEntered = true;
            std::unique_lock lock(m);
            // Bounded, so that a window that waited for this scan fails the test instead of hanging it.
            cv.wait_for(lock, std::chrono::seconds(30), [&] { return release; });
            slowReturned = true;
        }
        return fakeGame(path, "Us", 0, "Them", 0, 10);
    };
    GamesWindow window(QString::fromStdString(dir.file("cache.json")), nullptr, gated);
    window.openFolder(QString::fromStdString((dir.path() / "old").string()));
    ASSERT_TRUE(waitFor([&] { return slowEntered.load(); }));
    window.openFolder(QString::fromStdString((dir.path() / "new").string()));
    EXPECT_FALSE(slowReturned) << "the window went on while the old scan still read its game";
    ASSERT_TRUE(waitFor([&] { return !window.scanning(); }));
    ASSERT_EQ(window.games().size(), 2u);
    for (const GameSummary& g : window.games()) EXPECT_NE(stem(g.file), "slow");
    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    ASSERT_TRUE(waitFor([&] { return slowReturned.load(); }));
    for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(window.games().size(), 2u) << "the old scan's game is not added";
}

TEST(GamesWindow, ASecondScanOfAFolderComesFromTheCache) {
    TempDir dir;
    fs::create_directory(dir.path() / "games");
    fs::copy_file(demoGamePath(), dir.path() / "games" / "demo.rcg");
    fs::copy_file(testDataPath("text/v6-short.rcg.gz"), dir.path() / "games" / "v6.rcg.gz");
    const QString cacheFile = QString::fromStdString(dir.file("cache/games.json"));
    const QString folder = QString::fromStdString((dir.path() / "games").string());
    std::atomic<int> reads{0};
    const SummarizeFn counting = [&](const std::string& path) {
        ++reads;
        return summarizeGame(path);
    };
    const auto scan = [&] {
        auto window = std::make_unique<GamesWindow>(cacheFile, nullptr, counting);
        window->openFolder(folder);
        EXPECT_TRUE(waitFor([&] { return !window->scanning(); }));
        return window;
    };
    const auto first = scan();
    EXPECT_EQ(reads, 2);
    ASSERT_EQ(first->games().size(), 2u);
    const auto second = scan();
    EXPECT_EQ(reads, 2) << "both games came from the cache";
    ASSERT_EQ(second->games().size(), 2u);
    const auto byFile = [](const GamesWindow& w) {
        std::map<std::string, GameSummary> m;
        for (const GameSummary& g : w.games()) m[g.file] = g;
        return m;
    };
    EXPECT_TRUE(byFile(*first) == byFile(*second));

    // A changed file is read again; the other one still comes from the cache.
    std::ofstream(dir.path() / "games" / "demo.rcg", std::ios::app) << 'x';
    const auto third = scan();
    EXPECT_EQ(reads, 3);
}

TEST(GamesWindow, TeamResultsSortingFilteringAndKeys) {
    TempDir dir;
    for (const char* name : {"g1.rcg", "g2.rcg", "g3.rcg"}) dir.write(name, Bytes{'x'});
    const SummarizeFn fake = [](const std::string& path) {
        const std::string s = stem(path);
        if (s == "g1") return fakeGame(path, "Alpha", 2, "Beta", 0, 100);
        if (s == "g2") return fakeGame(path, "Beta", 1, "Alpha", 1, 300);
        return fakeGame(path, "Gamma", 0, "Beta", 3, 200);
    };
    GamesWindow window(QString::fromStdString(dir.file("cache.json")), nullptr, fake);
    window.show();
    window.openFolder(QString::fromStdString(dir.path().string()));
    ASSERT_TRUE(waitFor([&] { return !window.scanning(); }));
    QTableView& table = *window.table();
    ASSERT_EQ(table.model()->rowCount(), 3);
    EXPECT_EQ(cell(table, 0, GamesWindow::kFile), QStringLiteral("g1.rcg"));

    window.setTeam(QStringLiteral("Alpha"));
    EXPECT_EQ(cell(table, 0, GamesWindow::kResult), QStringLiteral("win"));
    EXPECT_EQ(cell(table, 1, GamesWindow::kResult), QStringLiteral("draw"));
    EXPECT_EQ(cell(table, 2, GamesWindow::kResult), QString());
    EXPECT_TRUE(window.aggregateText().startsWith(
        QStringLiteral("Alpha: 2 game(s), 1 won, 1 drawn, 0 lost, 4 points, goals 3:1")))
        << window.aggregateText().toStdString();

    table.sortByColumn(GamesWindow::kCycles, Qt::DescendingOrder);
    EXPECT_EQ(cell(table, 0, GamesWindow::kCycles), QStringLiteral("300"));
    EXPECT_EQ(cell(table, 2, GamesWindow::kCycles), QStringLiteral("100"));

    window.setFilterText(QStringLiteral("gAm"));
    ASSERT_EQ(table.model()->rowCount(), 1);
    EXPECT_EQ(cell(table, 0, GamesWindow::kLeft), QStringLiteral("Gamma"));
    window.setFilterText(QString());
    ASSERT_EQ(table.model()->rowCount(), 3);

    QSignalSpy opened(&window, &GamesWindow::openGame);
    table.setFocus();
    table.setCurrentIndex(table.model()->index(0, 0));
    QTest::keyClick(&table, Qt::Key_Return);
    QTest::keyClick(&table, Qt::Key_N);
    QTest::keyClick(&table, Qt::Key_N);
    QTest::keyClick(&table, Qt::Key_N);  // stays on the last game
    QTest::keyClick(&table, Qt::Key_P);
    ASSERT_EQ(opened.count(), 5);
    const auto openedStem = [&](int i) { return stem(opened.at(i).at(0).toString().toStdString()); };
    EXPECT_EQ(openedStem(0), "g2");  // the longest game, first in the sorted table
    EXPECT_EQ(openedStem(1), "g3");
    EXPECT_EQ(openedStem(2), "g1");
    EXPECT_EQ(openedStem(3), "g1");
    EXPECT_EQ(openedStem(4), "g3");
    emit table.doubleClicked(table.model()->index(0, GamesWindow::kScore));
    ASSERT_EQ(opened.count(), 6);
    EXPECT_EQ(openedStem(5), "g2");
}

}  // namespace
}  // namespace tessarin::test
